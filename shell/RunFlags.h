// Process-wide run flags.
#pragma once

#include <atomic>
#include <cstdint>

inline constexpr uint32_t RUN_DEBUG = 0x01;
inline constexpr uint32_t RUN_ONE_SHOT = 0x04;
inline constexpr uint32_t RUN_ENGINEERING = 0x08;
inline constexpr uint32_t RUN_BREAK = 0x10;

// Also written by the signal handler; a lock-free atomic is safe there.
extern std::atomic<uint32_t> RunFlags;
static_assert(std::atomic<uint32_t>::is_always_lock_free);
