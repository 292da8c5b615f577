// The entry every fuzz target defines. libFuzzer calls it with generated
// inputs (clang build, tools/fuzz.sh); ReplayMain.cpp calls it with each file
// of a corpus, so the committed seeds run in every test build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace kxfuzz {

// Stops the run with a message when an invariant does not hold; abort() is
// what both libFuzzer and the replay report as a finding.
void Check(bool condition, const char* what);

// The input cut into pieces at NUL bytes (the last piece runs to the end).
std::vector<std::string> Split(const uint8_t* data, size_t size);

}  // namespace kxfuzz
