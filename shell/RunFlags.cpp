#include "shell/RunFlags.h"

std::atomic<uint32_t> RunFlags{0};
