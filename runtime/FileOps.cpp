#include "runtime/FileOps.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "runtime/Trace.h"

namespace {

constexpr size_t kReadPiece = 1022;     // characters of a line taken at once when reading
constexpr size_t kRewritePiece = 511;   // ... and when rewriting

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\0' || c == '\n' || c == '\r'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameKey(const char* a, size_t aLen, const char* b) {
  if (strlen(b) != aLen) return false;
  for (size_t i = 0; i < aLen; ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// Splits text the way a line reader with a buffer of pieceSize + 1 bytes does:
// a piece ends after a newline or after pieceSize characters.
std::vector<std::string> Pieces(const std::string& text, size_t pieceSize) {
  std::vector<std::string> pieces;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    end = end == std::string::npos ? text.size() : end + 1;
    if (end - pos > pieceSize) end = pos + pieceSize;
    pieces.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return pieces;
}

// The whole file, or false when it cannot be opened or read (errno kept).
bool ReadWhole(const char* path, std::string& text) {
  FILE* in = fopen(path, "r");
  if (!in) return false;
  text.clear();
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, n);
  const bool failed = ferror(in) != 0;
  const int savedErrno = errno;
  fclose(in);
  errno = savedErrno;
  return !failed;
}

// Applies one key update the way the line-by-line rewrite does.
std::string ApplyUpdate(const std::string& text, const std::string& key, const std::string& newLine) {
  std::string out;
  bool replaced = false;
  for (const std::string& piece : Pieces(text, kRewritePiece)) {
    TraceLevel(kTraceInfo, "FileOps::UpdateKeyValueInFile: sKey=%s", key.c_str());
    TraceLevel(kTraceInfo, "FileOps::UpdateKeyValueInFile: FileValue=%s", piece.c_str());
    if (piece.find(key) != std::string::npos) {
      out += newLine;
      replaced = true;
    } else {
      out += piece;
    }
  }
  if (!replaced) {
    // Keep a last line without its newline from running into the new one.
    if (!out.empty() && out.back() != '\n') out += '\n';
    out += newLine;
  }
  return out;
}

std::string DirectoryOf(const std::string& path);

void SyncDirectoryOf(const std::string& path) {
  const int fd = open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);  // best effort: the file itself is already on disk
  close(fd);
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

constexpr const char* kTempSuffix = "_tmp";
constexpr size_t kTempUnique = 7;  // "." and the six characters of mkstemp

// Removes the temporary files of path that a process killed while writing
// left behind. Called under the file's lock, when no other writer can be busy.
void RemoveStaleTemporaries(const std::string& path) {
  const std::string prefix = BaseName(path) + kTempSuffix;
  const std::string directory = DirectoryOf(path);
  DIR* dir = opendir(directory.c_str());
  if (!dir) return;
  std::vector<std::string> stale;
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    if (name.size() == prefix.size() || (name.size() == prefix.size() + kTempUnique && name[prefix.size()] == '.'))
      stale.push_back(name);
  }
  closedir(dir);
  for (const std::string& name : stale) {
    TraceLevel(kTraceError, "FileOps::UpdateKeyValueInFile: removing stale %s", name.c_str());
    unlink((directory + "/" + name).c_str());
  }
}

// The permission bits a new file of this process gets.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Writes text to a temporary file of its own beside path, flushes it to disk
// and renames it over path. The caller holds the file's lock.
uint32_t ReplaceFile(const std::string& path, const std::string& text) {
  RemoveStaleTemporaries(path);
  std::string tmp = path + kTempSuffix + ".XXXXXX";
  const int fd = mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) {
    TraceLevel(kTraceError, "FileOps::UpdateKeyValueInFile: temp file open failed");
    return 19;
  }
  struct stat old {};
  fchmod(fd, stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode());
  FILE* out = fdopen(fd, "w");
  if (!out) {
    close(fd);
    unlink(tmp.c_str());
    TraceLevel(kTraceError, "FileOps::UpdateKeyValueInFile: temp file open failed");
    return 19;
  }
  bool ok = true;
  for (const std::string& piece : Pieces(text, kRewritePiece)) {
    if (fwrite(piece.data(), 1, piece.size(), out) != piece.size()) {
      ok = false;
      break;
    }
  }
  ok = ok && fflush(out) == 0 && fsync(fileno(out)) == 0;
  if (fclose(out) != 0) ok = false;
  if (!ok) {
    TraceLevel(kTraceError, "FileOps::UpdateKeyValueInFile: temp file write failed: %s", strerror(errno));
    unlink(tmp.c_str());
    return 19;
  }
  if (rename(tmp.c_str(), path.c_str()) != 0) {
    TraceLevel(kTraceError, "FileOps::UpdateKeyValueInFile: rename file failed");
    unlink(tmp.c_str());
    return 19;
  }
  SyncDirectoryOf(path);
  return 0;
}

// Lock files held by this process, with the descriptor and the depth.
struct HeldLock {
  int fd;
  int depth;
  pid_t pid;  // a child made by fork holds none of its parent's locks
};
std::map<std::string, HeldLock>& HeldLocks() {
  static std::map<std::string, HeldLock> held;
  return held;
}

}  // namespace

int FileOps::IsFilePresent(const char* path) {
  TraceLevel(kTraceInfo, "FileOps::IsFilePresent: Entered for file=%s", path ? path : "");
  struct stat st {};
  if (!path || stat(path, &st) != 0 || !S_ISREG(st.st_mode)) {
    TraceLevel(kTraceError, "FileOps::IsFilePresent: File not present");
    return 0;
  }
  TraceLevel(kTraceError, "FileOps::IsFilePresent: %s file present", path);
  return 1;
}

int FileOps::GetKeyValueFromText(const std::string& text, const char* key, char* value, size_t valueSize,
                                 char separator) {
  if (!key || !value) return -1;
  for (const std::string& piece : Pieces(text, kReadPiece)) {
    const char* p = piece.c_str();
    while (IsBlank(*p)) ++p;
    if (IsLineEnd(*p) || *p == '#') continue;
    const char* keyStart = p;
    while (!IsLineEnd(*p) && !IsBlank(*p) && *p != separator) ++p;
    const size_t keyLen = static_cast<size_t>(p - keyStart);
    while (IsBlank(*p)) ++p;
    if (*p != separator || !SameKey(keyStart, keyLen, key)) continue;
    ++p;
    while (IsBlank(*p)) ++p;
    const char* valueStart = p;
    while (!IsLineEnd(*p) && !IsBlank(*p) && *p != '#') ++p;
    if (valueSize == 0) return 1;
    const size_t valueLen = std::min(static_cast<size_t>(p - valueStart), valueSize - 1);
    memcpy(value, valueStart, valueLen);
    value[valueLen] = '\0';
    return 1;
  }
  return 0;
}

int FileOps::GetKeyValueFromFile(const char* path, const char* key, char* value, size_t valueSize, char separator) {
  if (!path || !key || !value) return -1;
  std::string text;
  // A read error is not "no such key": the caller must not take it for one.
  if (!ReadWhole(path, text)) return -2;
  return GetKeyValueFromText(text, key, value, valueSize, separator);
}

uint32_t FileOps::UpdateKeyValueInFile(const char* path, const char* key, const char* value) {
  if (!path || !key || !value) return 19;
  return UpdateKeyValuesInFile(path, {{key, value}});
}

uint32_t FileOps::UpdateKeyValuesInFile(const std::string& path, const KeyValuePairs& pairs) {
  KeyValueFile file(path);
  if (const uint32_t st = file.Load()) return st;
  file.Update(pairs);
  return file.Commit();
}

uint32_t FileOps::RemoveFile(const char* path) {
  if (!path) return 19;
  if (remove(path) != 0 && errno != ENOENT) {
    TraceLevel(kTraceError, "FileOps::UpdateKeyValueInFile: remove file failed");
    return 19;
  }
  return 0;
}

FileOps::Image FileOps::CheckImage(const char* path) {
  struct stat st {};
  if (!path || stat(path, &st) != 0) return Image::kMissing;
  if (!S_ISREG(st.st_mode)) return Image::kNotRegular;
  // Regular files never block on open; the descriptor proves it is readable.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Image::kUnreadable;
  const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  close(fd);
  if (!regular) return Image::kNotRegular;
  return st.st_size > 0 ? Image::kUsable : Image::kEmpty;
}

FileLock::FileLock(std::string path) : path_(std::move(path) + ".lock") {
  auto& held = HeldLocks();
  if (auto it = held.find(path_); it != held.end()) {
    if (it->second.pid == getpid()) {
      ++it->second.depth;
      held_ = true;
      return;
    }
    close(it->second.fd);  // the copy a fork left; the parent's lock stays with the parent
    held.erase(it);
  }
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) break;
    int rc;
    do rc = flock(fd, LOCK_EX);
    while (rc != 0 && errno == EINTR);
    struct stat mine {}, named {};
    // The holder before us may have removed the file we waited on: start over
    // on the one that stands under the name now.
    if (rc == 0 && fstat(fd, &mine) == 0 && stat(path_.c_str(), &named) == 0 && mine.st_ino == named.st_ino &&
        mine.st_dev == named.st_dev) {
      held[path_] = HeldLock{fd, 1, getpid()};
      held_ = true;
      return;
    }
    close(fd);
    if (rc != 0) break;
  }
  TraceLevel(kTraceError, "FileOps::Lock: %s cannot be locked: %s", path_.c_str(), strerror(errno));
}

FileLock::~FileLock() {
  if (!held_) return;
  auto& held = HeldLocks();
  auto it = held.find(path_);
  if (it == held.end() || --it->second.depth > 0) return;
  unlink(path_.c_str());
  close(it->second.fd);
  held.erase(it);
}

KeyValueFile::KeyValueFile(std::string path) : path_(std::move(path)), lock_(path_) {}

uint32_t KeyValueFile::Load() {
  TraceLevel(kTraceInfo, "FileOps::UpdateKeyValueInFile: Entered");
  if (!lock_.Held()) return 19;
  text_.clear();
  exists_ = ReadWhole(path_.c_str(), text_);
  if (!exists_) {
    if (errno != ENOENT) {
      // The file is there but unreadable: rewriting it would lose what it holds.
      TraceLevel(kTraceError, "FileOps::UpdateKeyValueInFile: File read failed: %s", strerror(errno));
      return 19;
    }
    TraceLevel(kTraceError, "FileOps::UpdateKeyValueInFile: File open failed in read mode, creating it");
    text_.clear();
  }
  return 0;
}

int KeyValueFile::Get(const char* key, char* value, size_t valueSize) const {
  return FileOps::GetKeyValueFromText(text_, key, value, valueSize, '=');
}

std::string FileOps::ApplyKeyValues(const std::string& text, const KeyValuePairs& pairs) {
  std::string out = text;
  for (const auto& [key, value] : pairs) {
    const std::string newLine = key + "=" + value + "\n";
    TraceLevel(kTraceInfo, "FileOps::UpdateKeyValueInFile: NewValue=%s", newLine.c_str());
    out = ApplyUpdate(out, key, newLine);
  }
  return out;
}

void KeyValueFile::Update(const KeyValuePairs& pairs) {
  if (pairs.empty()) return;
  text_ = FileOps::ApplyKeyValues(text_, pairs);
  changed_ = true;
}

uint32_t KeyValueFile::Commit() {
  if (!lock_.Held()) return 19;
  if (!changed_) return 0;
  if (const uint32_t st = ReplaceFile(path_, text_)) return st;
  exists_ = true;
  changed_ = false;
  TraceLevel(kTraceInfo, "FileOps::UpdateKeyValueInFile: Exiting");
  return 0;
}

uint32_t KeyValueFile::Remove() {
  if (!lock_.Held()) return 19;
  const uint32_t st = FileOps::RemoveFile(path_.c_str());
  if (st == 0) exists_ = false;
  return st;
}
