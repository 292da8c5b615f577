#include "runtime/FileOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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

void SyncDirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);  // best effort: the file itself is already on disk
  close(fd);
}

// Writes text to "<path>_tmp", flushes it to disk and renames it over path.
uint32_t ReplaceFile(const std::string& path, const std::string& text) {
  const std::string tmp = path + "_tmp";
  FILE* out = fopen(tmp.c_str(), "w+");
  if (!out) {
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
    remove(tmp.c_str());
    return 19;
  }
  if (rename(tmp.c_str(), path.c_str()) != 0) {
    TraceLevel(kTraceError, "FileOps::UpdateKeyValueInFile: rename file failed");
    remove(tmp.c_str());
    return 19;
  }
  SyncDirectoryOf(path);
  return 0;
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

int FileOps::GetKeyValueFromFile(const char* path, const char* key, char* value, size_t valueSize, char separator) {
  if (!path || !key || !value) return -1;
  FILE* in = fopen(path, "r");
  if (!in) return -2;
  char line[kReadPiece + 1];
  int found = 0;
  while (found == 0 && fgets(line, sizeof line, in)) {
    const char* p = line;
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
    size_t valueLen = static_cast<size_t>(p - valueStart);
    if (valueSize == 0) {
      found = 1;
      break;
    }
    if (valueLen > valueSize - 1) valueLen = valueSize - 1;
    memcpy(value, valueStart, valueLen);
    value[valueLen] = '\0';
    found = 1;
  }
  // A read error is not "no such key": the caller must not take it for one.
  if (found == 0 && ferror(in)) found = -2;
  fclose(in);
  return found;
}

uint32_t FileOps::UpdateKeyValueInFile(const char* path, const char* key, const char* value) {
  if (!path || !key || !value) return 19;
  return UpdateKeyValuesInFile(path, {{key, value}});
}

uint32_t FileOps::UpdateKeyValuesInFile(const std::string& path, const KeyValuePairs& pairs) {
  TraceLevel(kTraceInfo, "FileOps::UpdateKeyValueInFile: Entered");
  std::string text;
  if (!ReadWhole(path.c_str(), text)) {
    if (errno != ENOENT) {
      // The file is there but unreadable: rewriting it would lose what it holds.
      TraceLevel(kTraceError, "FileOps::UpdateKeyValueInFile: File read failed: %s", strerror(errno));
      return 19;
    }
    TraceLevel(kTraceError, "FileOps::UpdateKeyValueInFile: File open failed in read mode, creating it");
    text.clear();
  }
  for (const auto& [key, value] : pairs) {
    const std::string newLine = key + "=" + value + "\n";
    TraceLevel(kTraceInfo, "FileOps::UpdateKeyValueInFile: NewValue=%s", newLine.c_str());
    text = ApplyUpdate(text, key, newLine);
  }
  if (const uint32_t st = ReplaceFile(path, text)) return st;
  TraceLevel(kTraceInfo, "FileOps::UpdateKeyValueInFile: Exiting");
  return 0;
}

uint32_t FileOps::RemoveFile(const char* path) {
  if (!path) return 19;
  if (remove(path) != 0 && errno != ENOENT) {
    TraceLevel(kTraceError, "FileOps::UpdateKeyValueInFile: remove file failed");
    return 19;
  }
  return 0;
}
