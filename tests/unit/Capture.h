// Captures what the code under test prints to standard output.
#pragma once

#include <cstdio>
#include <string>

class CaptureStdout {
 public:
  CaptureStdout() {
    fflush(stdout);
    kept_ = stdout;
    file_ = tmpfile();
    stdout = file_;
  }
  ~CaptureStdout() { Text(); }

  // Ends the capture (once) and returns everything printed.
  const std::string& Text() {
    if (file_) {
      fflush(file_);
      stdout = kept_;
      rewind(file_);
      char buf[4096];
      size_t n;
      while ((n = fread(buf, 1, sizeof buf, file_)) > 0) text_.append(buf, n);
      fclose(file_);
      file_ = nullptr;
    }
    return text_;
  }

 private:
  FILE* kept_ = nullptr;
  FILE* file_ = nullptr;
  std::string text_;
};
