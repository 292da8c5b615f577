// Runs a fuzz target over the files of corpus directories (or single files),
// without libFuzzer, so that any compiler and the sanitizer build replay the
// committed seeds. Fails when a directory is missing or holds no file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/FuzzTarget.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  size_t runs = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<fs::path> files;
    if (fs::is_directory(argv[i])) {
      for (const auto& e : fs::directory_iterator(argv[i]))
        if (e.is_regular_file()) files.push_back(e.path());
    } else if (fs::is_regular_file(argv[i])) {
      files.push_back(argv[i]);
    } else {
      fprintf(stderr, "%s: no such corpus\n", argv[i]);
      return 2;
    }
    for (const fs::path& f : files) {
      std::ifstream in(f, std::ios::binary);
      const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++runs;
    }
  }
  printf("%zu inputs replayed\n", runs);
  return runs > 0 ? 0 : 2;
}
