// The floor the tool is measured against: a client of the vendor library,
// linked and started as kxfcli is, that only initialises the library, gets the
// adapter list, walks it as far as asked, uninitialises and prints one line.
//
//   kxfloor            adapters in the list
//   kxfloor targets    every target of every FC port
//   kxfloor luns       every LUN of every target
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "shell/KxApi.h"

namespace {

const uint8_t* Pointer(const uint8_t* record, size_t offset) {
  const uint8_t* p;
  memcpy(&p, record + offset, sizeof p);
  return p;
}

uint32_t U32(const uint8_t* record, size_t offset) {
  uint32_t v;
  memcpy(&v, record + offset, sizeof v);
  return v;
}

struct Counts {
  unsigned long adapters = 0, targets = 0, luns = 0;
  uint64_t sum = 0;  // keeps the walk's reads from being dropped
};

void Walk(const uint8_t* list, bool targets, bool luns, Counts& c) {
  for (const uint8_t* a = Pointer(list, kxrec::kListFirstAdapter); a; a = Pointer(a, kxrec::kAdapterNext)) {
    ++c.adapters;
    if (!targets) continue;
    const uint8_t* portList = Pointer(a, kxrec::kAdapterPhyPortList);
    for (const uint8_t* p = portList ? Pointer(portList, kxrec::kPhyPortListFirst) : nullptr; p;
         p = Pointer(p, kxrec::kPhyPortNext)) {
      const uint8_t* entries = Pointer(p, kxrec::kPhyPortProtocolList);
      for (const uint8_t* e = entries ? Pointer(entries, kxrec::kProtocolListFirst) : nullptr; e;
           e = Pointer(e, kxrec::kEntryNext)) {
        if (U32(e, kxrec::kEntryProtocolType) > 1) continue;
        for (const uint8_t* t = Pointer(e, kxrec::kEntryFirstTarget); t; t = Pointer(t, kxrec::kTargetNext)) {
          ++c.targets;
          c.sum += t[kxrec::kTargetWWPN + 7];
          if (!luns) continue;
          for (const uint8_t* l = Pointer(t, kxrec::kTargetFirstLun); l; l = Pointer(l, kxrec::kLunNext)) {
            ++c.luns;
            c.sum += l[kxrec::kLunNumber];
          }
        }
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const char* what = argc > 1 ? argv[1] : "";
  const bool luns = strcmp(what, "luns") == 0;
  const bool targets = luns || strcmp(what, "targets") == 0;

  // What the library prints while it starts goes where kxfcli sends it: not
  // into the one line of the result.
  fflush(stdout);
  FILE* kept = stdout;
  FILE* sink = fopen("/dev/null", "a+");
  if (sink) stdout = sink;
  KXAPI_Initialize(0, 0);
  if (sink) {
    fclose(sink);
    stdout = kept;
  }

  Counts c;
  if (const void* list = KXAPI_GetAdapterList()) Walk(static_cast<const uint8_t*>(list), targets, luns, c);
  KXAPI_Uninitialize();
  printf("adapters=%lu targets=%lu luns=%lu sum=%llu\n", c.adapters, c.targets, c.luns,
         static_cast<unsigned long long>(c.sum));
  return 0;
}
