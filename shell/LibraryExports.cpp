// Functions and arrays the vendor library calls back into. They are exported
// from the executable under their plain names.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/KxApi.h"

extern "C" {

float rxPowerArray[5];
float offsetArray[5];
float slopeArray[5];
float valueArray[5][5];

void* CoreMalloc(size_t size) { return size == 0 ? nullptr : malloc(size); }

void* CoreZMalloc(size_t size) {
  void* block = CoreMalloc(size);
  if (block) memset(block, 0, size);
  return block;
}

void CoreFree(void* ptr) { free(ptr); }

const char* TranslateMessageTypeToString(uint32_t type) {
  switch (type) {
    case 1: return "Info";
    case 2: return "Warning";
    case 3: return "Error";
    case 100: return "Debug";
    default: return "Unknown";
  }
}

int CoreLogMessage(uint32_t type, const char* format, ...) {
  char message[2048] = {};
  va_list args;
  va_start(args, format);
  vsnprintf(message, sizeof message, format, args);
  va_end(args);
  char line[2080] = {};
  snprintf(line, sizeof line, "%s: %s\r\n", TranslateMessageTypeToString(type), message);
  fputs(line, stdout);
  return 0;
}

}  // extern "C"
