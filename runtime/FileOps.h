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
// new content goes to a temporary file of its own beside it ("<path>_tmp."
// and six characters), every write and the close are checked, the copy is
// flushed with fsync and then renamed over the original. Every read-modify-
// write of a file holds the file's lock (FileLock), so that processes staging
// the same file one after the other each see what the one before wrote;
// temporary files left by a process killed mid-write are removed then.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using KeyValuePairs = std::vector<std::pair<std::string, std::string>>;

// An advisory lock of one file across processes: flock on "<path>.lock",
// waited for. The holder removes the lock file when it lets go; a waiter that
// then finds it gone takes a fresh one. A process may take the lock of a file
// it already holds (the inner holder only counts).
class FileLock {
 public:
  explicit FileLock(std::string path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // False when the lock file could not be created or locked.
  bool Held() const { return held_; }

 private:
  std::string path_;
  bool held_ = false;
};

// One cache file for one read-modify-write, under its lock from construction
// to destruction: read once, looked up and changed in memory, and written
// back whole by Commit, or not at all. A command that fails before Commit
// leaves the file exactly as it was.
class KeyValueFile {
 public:
  explicit KeyValueFile(std::string path);
  KeyValueFile(const KeyValueFile&) = delete;
  KeyValueFile& operator=(const KeyValueFile&) = delete;

  // 0; 19 when the lock cannot be had or the file is there but unreadable.
  uint32_t Load();
  bool Exists() const { return exists_; }
  const std::string& Path() const { return path_; }
  // As GetKeyValueFromFile (separator '='), on the content as changed so far.
  int Get(const char* key, char* value, size_t valueSize) const;
  // Applies the pairs in memory as UpdateKeyValuesInFile does.
  void Update(const KeyValuePairs& pairs);
  // Drops the content read so far: Commit then writes only what is updated after.
  void Clear() { text_.clear(); changed_ = true; }
  // Writes the changed content; 0, or 19 with the file as it was.
  uint32_t Commit();
  // Removes the file; 0, or 19 when it is there and cannot be removed.
  uint32_t Remove();

 private:
  std::string path_;
  FileLock lock_;
  bool exists_ = false;
  bool changed_ = false;
  std::string text_;
};

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

  // The text after the pairs are applied in turn as UpdateKeyValueInFile
  // applies one: every line (piece) containing the key is replaced, or the
  // line is appended.
  static std::string ApplyKeyValues(const std::string& text, const KeyValuePairs& pairs);

  // The key's value in key=value text read as GetKeyValueFromFile reads a file.
  static int GetKeyValueFromText(const std::string& text, const char* key, char* value, size_t valueSize,
                                 char separator);

  // What a file the tool is about to hand to the library as an image is:
  // usable only as a regular, readable, non-empty file. Looks before it
  // opens, so a FIFO or a device never blocks the command.
  enum class Image { kUsable, kMissing, kNotRegular, kUnreadable, kEmpty };
  static Image CheckImage(const char* path);
  static bool IsUsableImage(const char* path) { return CheckImage(path) == Image::kUsable; }
};
