// Calls of the Read Diagnostic Parameters, loopback and read/write buffer
// tests. Each port plays its fixture's sequences of results, one element per
// call made in this process.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "sim/SimCore.h"

using namespace sim;

namespace {

// The port's value of a key: the script's, else the protocol entry's.
const json* ValueOf(const char* call, KXAPI_PORT_HANDLE port, const char* key) {
  const json* script = Script(call, PortKey(port));
  if (script && script->contains(key)) return &(*script)[key];
  const json& entry = PortJson(port);
  return entry.contains(key) ? &entry[key] : nullptr;
}

// Element `run` of a sequence; past its end the last element repeats.
const json* Step(const json* sequence, size_t run) {
  if (!sequence || !sequence->is_array() || sequence->empty()) return nullptr;
  return &(*sequence)[std::min(run, sequence->size() - 1)];
}

size_t NextRun(const std::string& call, const std::string& port) {
  static std::map<std::string, size_t> runs;
  return runs[call + " " + port]++;
}

uint32_t U32(const uint8_t* p, size_t offset) {
  uint32_t v;
  memcpy(&v, p + offset, sizeof v);
  return v;
}
void PutU32(uint8_t* p, size_t offset, uint32_t v) { memcpy(p + offset, &v, sizeof v); }
void PutText(uint8_t* p, size_t offset, size_t room, const std::string& text) {
  memcpy(p + offset, text.data(), std::min(text.size(), room - 1));
}

// The request fields as the call log shows them.
std::string RequestFields(const uint8_t* r) {
  char text[256];
  char pattern[17] = {};
  for (size_t i = 0; i < kxdiag::kRequestPatternSize; ++i)
    snprintf(pattern + 2 * i, 3, "%02x", r[kxdiag::kRequestPattern + i]);
  snprintf(text, sizeof text, "count=%u count2=%u stop=%u pattern=%u type=%u size=%u bytes=%s connection=%u",
           U32(r, kxdiag::kRequestCount), U32(r, kxdiag::kRequestCountCopy), U32(r, kxdiag::kRequestStopMode),
           U32(r, kxdiag::kRequestPatternType), U32(r, kxdiag::kRequestLoopbackType), U32(r, kxdiag::kRequestDataSize),
           pattern, r[kxdiag::kRequestConnectionMode]);
  return text;
}

uint32_t Counter(const json& object, const char* key) {
  return object.is_object() && object.contains(key) ? static_cast<uint32_t>(Number(object[key])) : 0;
}
std::string StatusText(const json& object) {
  if (object.is_string()) return object.get<std::string>();
  return object.is_object() && object.contains("status") ? object["status"].get<std::string>() : "Success";
}

// Result lists handed out and not yet released, by the number the log names them with.
std::map<const void*, int>& OpenLists() {
  static std::map<const void*, int> lists;
  return lists;
}

void* BuildList(const json& elements) {
  uint8_t* first = nullptr;
  uint8_t** link = &first;
  const json single = json::array({json::object()});
  for (const json& e : elements.is_array() ? elements : single) {
    auto* element = static_cast<uint8_t*>(calloc(1, kxdiag::kRwElementSize));
    if (!element) break;
    PutText(element, kxdiag::kRwStatus, kxdiag::kRwStatusSize, StatusText(e));
    if (e.is_object() && e.contains("portId")) HexBytes(e["portId"], element + kxdiag::kRwPortId, 3);
    const std::pair<const char*, size_t> counters[] = {{"miscompare", kxdiag::kRwDataMiscompare},
                                                       {"linkFailure", kxdiag::kRwLinkFailure},
                                                       {"lossOfSync", kxdiag::kRwLossOfSync},
                                                       {"lossOfSignal", kxdiag::kRwLossOfSignal},
                                                       {"invalidCrc", kxdiag::kRwInvalidCrc}};
    for (const auto& [key, offset] : counters) PutU32(element, offset, Counter(e, key));
    *link = element;
    link = reinterpret_cast<uint8_t**>(element + kxdiag::kRwNext);
  }
  return first;
}

template <class Body>
auto Guarded(const char* call, Body body, decltype(body()) onError) {
  try {
    return body();
  } catch (const std::exception& e) {
    fprintf(stderr, "kxsim: %s: %s\n", call, e.what());
    return onError;
  }
}

}  // namespace

extern "C" {

uint32_t KXAPI_DiagnosticsRDPTest(KXAPI_PORT_HANDLE port, uint8_t* buffer, uint32_t* size) {
  constexpr const char* kCall = "KXAPI_DiagnosticsRDPTest";
  const std::string key = PortKey(port);
  LogCall(std::string(kCall) + " port=" + key + " size=" + std::to_string(*size));
  if (const uint32_t rc = ScriptedResult(kCall, key)) return rc;
  return Guarded(
      kCall,
      [&]() -> uint32_t {
        const json* rdp = ValueOf(kCall, port, "rdp");
        size_t length = 0;
        if (rdp && rdp->contains("words")) {
          for (const json& word : (*rdp)["words"]) {
            const uint32_t v = static_cast<uint32_t>(Number(word));
            for (int b = 0; b < 4; ++b, ++length)
              if (length < *size) buffer[length] = static_cast<uint8_t>(v >> (24 - 8 * b));
          }
        }
        // A reply may claim any size, even more than the buffer holds.
        *size = rdp && rdp->contains("returned") ? static_cast<uint32_t>(Number((*rdp)["returned"]))
                                                 : static_cast<uint32_t>(std::min<size_t>(length, *size));
        return 0;
      },
      1u);
}

void KXAPI_DiagnosticsLoopBackTest(void* result, KXAPI_PORT_HANDLE port, void* request) {
  constexpr const char* kCall = "KXAPI_DiagnosticsLoopBackTest";
  const std::string key = PortKey(port);
  const size_t run = NextRun(kCall, key);
  LogCall(std::string(kCall) + " port=" + key + " run=" + std::to_string(run) + " " +
          RequestFields(static_cast<const uint8_t*>(request)));
  auto* r = static_cast<uint8_t*>(result);
  // No result code: a scripted one shows as the run's status text.
  if (const uint32_t rc = ScriptedResult(kCall, key)) {
    PutText(r, kxdiag::kLoopbackStatus, kxdiag::kLoopbackStatusSize, "Error " + std::to_string(rc));
    return;
  }
  Guarded(
      kCall,
      [&] {
        const json* step = Step(ValueOf(kCall, port, "loopback"), run);
        const json none = json::object();
        const json& s = step ? *step : none;
        PutText(r, kxdiag::kLoopbackStatus, kxdiag::kLoopbackStatusSize, StatusText(s));
        PutU32(r, kxdiag::kLoopbackCrcErrors, Counter(s, "crc"));
        PutU32(r, kxdiag::kLoopbackDisparityErrors, Counter(s, "disparity"));
        PutU32(r, kxdiag::kLoopbackFrameLengthErrors, Counter(s, "frameLength"));
        return 0;
      },
      0);
}

void* KXAPI_DiagnosticsReadWriteBufferTest(KXAPI_PORT_HANDLE port, void* request) {
  constexpr const char* kCall = "KXAPI_DiagnosticsReadWriteBufferTest";
  static int listNumber = 0;
  const std::string key = PortKey(port);
  const size_t run = NextRun(kCall, key);
  void* list = nullptr;
  // A scripted result code: the library has no list to hand back.
  if (ScriptedResult(kCall, key) == 0) {
    list = Guarded(
        kCall,
        [&]() -> void* {
          const json* step = Step(ValueOf(kCall, port, "rwbuffer"), run);
          return step && step->is_null() ? nullptr : BuildList(step ? *step : json());
        },
        nullptr);
  }
  if (list) OpenLists()[list] = ++listNumber;
  LogCall(std::string(kCall) + " port=" + key + " run=" + std::to_string(run) + " " +
          RequestFields(static_cast<const uint8_t*>(request)) +
          " list=" + (list ? std::to_string(listNumber) : std::string("null")));
  return list;
}

void KXAPI_FreeRWBufferTestResultList(void* list) {
  auto it = OpenLists().find(list);
  LogCall(std::string("KXAPI_FreeRWBufferTestResultList list=") +
          (it == OpenLists().end() ? std::string("unknown") : std::to_string(it->second)));
  if (it == OpenLists().end()) return;  // not ours, or released already
  OpenLists().erase(it);
  for (auto* element = static_cast<uint8_t*>(list); element;) {
    uint8_t* next;
    memcpy(&next, element + kxdiag::kRwNext, sizeof next);
    free(element);
    element = next;
  }
}

}  // extern "C"
