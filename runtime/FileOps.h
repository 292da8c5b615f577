// Small key=value text files: the per-port cache files that keep staged
// settings between commands.
//
// Reading: a line may start with blanks; a line that is empty after them or
// starts with "#" is a comment; the key ends at the first blank or at the
// separator; the value starts after the separator and any blanks and ends at
// the first blank, "#" or the line end. Lines are read in pieces of at most
// 1022 characters and rewritten in pieces of at most 511.
//
// Rewriting never touches the original until a complete copy is on disk: the
// new content goes to "<path>_tmp", every write and the close are checked, the
// copy is flushed with fsync and then renamed over the original.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using KeyValuePairs = std::vector<std::pair<std::string, std::string>>;

class FileOps {
 public:
  // 1 when path names an existing regular file, else 0.
  static int IsFilePresent(const char* path);

  // -1 when path, key or value is null; -2 when the file cannot be opened or
  // read; 0 when no line has the key; 1 when found. The key is compared
  // case-insensitively and whole; the first matching line wins; value always
  // ends with a NUL within valueSize bytes.
  static int GetKeyValueFromFile(const char* path, const char* key, char* value, size_t valueSize, char separator);

  // Replaces every line that contains key (case-sensitive substring) with
  // "key=value", or appends that line when none does; creates a missing file.
  // Returns 0 or 19; on 19 the file is as it was.
  static uint32_t UpdateKeyValueInFile(const char* path, const char* key, const char* value);

  // The same for several keys in one rewrite, each applied in turn as by
  // UpdateKeyValueInFile, so that either all of them reach the file or none.
  static uint32_t UpdateKeyValuesInFile(const std::string& path, const KeyValuePairs& pairs);

  // 0, or 19 when the file exists and cannot be removed.
  static uint32_t RemoveFile(const char* path);
};
