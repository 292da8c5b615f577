// Calls of the link diagnostics: D-Port mode and test, CT pass-through, FC
// ping and FC echo.
#include <time.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "sim/SimCore.h"

using namespace sim;

namespace {

// Fields of "dportResult"; BE ones are stored most significant byte first,
// as the library hands them over.
enum class Width { kU8, kU16, kU32, kU16BE, kU32BE, kText };
struct RecordField {
  const char* key;
  size_t offset;
  Width width;
};
const RecordField kDPortFields[] = {
    {"latency", kxdiag::kDPortLatency, Width::kU32BE},
    {"distance", kxdiag::kDPortDistance, Width::kU32BE},
    {"hbaValue", kxdiag::kDPortHbaValue, Width::kU32},
    {"hbaStatus", kxdiag::kDPortHbaStatus, Width::kU8},
    {"electricalValue", kxdiag::kDPortElectricalValue, Width::kU8},
    {"electricalStatus", kxdiag::kDPortElectricalValue + 1, Width::kU8},
    {"opticalValue", kxdiag::kDPortOpticalValue, Width::kU8},
    {"opticalStatus", kxdiag::kDPortOpticalValue + 1, Width::kU8},
    {"trafficValue", kxdiag::kDPortTrafficValue, Width::kU8},
    {"trafficStatus", kxdiag::kDPortTrafficValue + 1, Width::kU8},
    {"startTime", kxdiag::kDPortStartTime, Width::kText},
    {"stopTime", kxdiag::kDPortStopTime, Width::kText},
    {"mbx1", kxdiag::kDPortMbx1, Width::kU16},
    {"mbx2", kxdiag::kDPortMbx2, Width::kU16},
    {"remoteRxPower", kxdiag::kDPortRemoteRxPower, Width::kU16BE},
    {"remoteTxPower", kxdiag::kDPortRemoteTxPower, Width::kU16BE},
    {"localRxPower", kxdiag::kDPortLocalRxPower, Width::kU16BE},
    {"localTxPower", kxdiag::kDPortLocalTxPower, Width::kU16BE},
};

void PutField(uint8_t* record, const RecordField& f, const json& value) {
  uint8_t* p = record + f.offset;
  if (f.width == Width::kText) {
    if (!value.is_string()) throw std::runtime_error(std::string("\"") + f.key + "\": expected text");
    const std::string text = value.get<std::string>();
    memcpy(p, text.data(), std::min(text.size(), kxdiag::kDPortTimeSize - 1));
    return;
  }
  const uint64_t v = Number(value);
  switch (f.width) {
    case Width::kU8: p[0] = static_cast<uint8_t>(v); break;
    case Width::kU16: { const uint16_t h = static_cast<uint16_t>(v); memcpy(p, &h, 2); break; }
    case Width::kU32: { const uint32_t h = static_cast<uint32_t>(v); memcpy(p, &h, 4); break; }
    case Width::kU16BE: p[0] = static_cast<uint8_t>(v >> 8); p[1] = static_cast<uint8_t>(v); break;
    case Width::kU32BE:
      for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
      break;
    case Width::kText: break;
  }
}

// The D-Port result: the port's "dportResult", with the script's on top.
void FillDPortResult(const json* script, KXAPI_PORT_HANDLE port, uint8_t* record) {
  const json& fixture = PortJson(port);
  for (const json* source : {fixture.contains("dportResult") ? &fixture["dportResult"] : nullptr,
                             script && script->contains("dportResult") ? &(*script)["dportResult"] : nullptr}) {
    if (!source) continue;
    for (const RecordField& f : kDPortFields)
      if (source->contains(f.key)) PutField(record, f, (*source)[f.key]);
    ApplyFields(*source, record, kxdiag::kDPortRecordSize, nullptr, 0);  // "raw"
  }
}

bool IsZero(const uint8_t* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

// The WWPN text the tool passes, read within its buffer.
std::string WwpnText(const char* text) { return text ? std::string(text, strnlen(text, kxdiag::kWwpnTextSize)) : ""; }

bool IsTargetOf(KXAPI_PORT_HANDLE port, const std::string& wwpn) {
  for (const json& target : PortJson(port).value("targets", json::array())) {
    uint8_t bytes[8] = {};
    HexBytes(target.at("wwpn"), bytes, sizeof bytes);
    char text[32];
    snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x", bytes[0], bytes[1], bytes[2], bytes[3],
             bytes[4], bytes[5], bytes[6], bytes[7]);
    if (wwpn == text) return true;
  }
  return false;
}

// No target of the port has the WWPN.
constexpr uint32_t kNoSuchTarget = 3;

// Ping and CT: the result area and count are the library's own.
uint32_t SeriesTest(const char* call, KXAPI_PORT_HANDLE port, const std::string& wwpn, uint32_t count,
                    uint32_t* resultCount, void* area, uint32_t areaSize) {
  const std::string key = PortKey(port);
  if (const uint32_t rc = ScriptedResult(call, key)) return rc;
  if (!IsTargetOf(port, wwpn)) return kNoSuchTarget;
  if (resultCount) *resultCount = count;
  if (area) memset(area, 0x5A, areaSize);
  return 0;
}

// The position of each port in its "echoResults" sequence, for this process.
std::map<std::string, size_t>& EchoPositions() {
  static std::map<std::string, size_t> positions;
  return positions;
}

// One echo result: the next element of the port's "echoResults" (the last
// one repeats), else a successful exchange of one frame.
uint32_t FillEcho(KXAPI_PORT_HANDLE port, uint8_t* record) {
  static const json kDefault = {{"sent", 1}, {"received", 1}, {"length", 2112}, {"status", "Success"}, {"timeMs", 0.25}};
  const json& sequence = PortJson(port).value("echoResults", json::array());
  size_t& position = EchoPositions()[PortKey(port)];
  const json& r = sequence.empty() ? kDefault : sequence[std::min(position, sequence.size() - 1)];
  ++position;
  const uint32_t words[] = {static_cast<uint32_t>(Number(r.value("sent", json(0)))),
                            static_cast<uint32_t>(Number(r.value("received", json(0)))),
                            static_cast<uint32_t>(Number(r.value("length", json(0)))),
                            static_cast<uint32_t>(Number(r.value("error", json(0))))};
  memcpy(record + kxdiag::kEchoFramesSent, words, sizeof words);
  const std::string status = r.value("status", "");
  memcpy(record + kxdiag::kEchoStatusText, status.data(), std::min(status.size(), kxdiag::kEchoStatusTextSize - 1));
  const float ms = r.value("timeMs", 0.0f);
  memcpy(record + kxdiag::kEchoResponseTime, &ms, sizeof ms);
  return static_cast<uint32_t>(Number(r.value("rc", json(0))));
}

template <class Body>
uint32_t Guarded(const char* call, Body body) {
  try {
    return body();
  } catch (const std::exception& e) {
    fprintf(stderr, "kxsim: %s: %s\n", call, e.what());
    return 1;
  }
}

}  // namespace

extern "C" {

uint32_t KXAPI_CheckAdapterDPortOption(KXAPI_PORT_HANDLE port) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_CheckAdapterDPortOption port=" + key);
  // The answer is the mode: a script's "rc" or "mode" pins it.
  if (const uint32_t rc = ScriptedResult("KXAPI_CheckAdapterDPortOption", key)) return rc;
  return Guarded("KXAPI_CheckAdapterDPortOption", [&]() -> uint32_t {
    const json* script = Script("KXAPI_CheckAdapterDPortOption", key);
    if (script && script->contains("mode")) return static_cast<uint32_t>(Number((*script)["mode"]));
    const json& state = PortState(key);
    if (state.contains("dportMode")) return static_cast<uint32_t>(Number(state["dportMode"]));
    return static_cast<uint32_t>(Number(PortJson(port).value("dportMode", json(0))));
  });
}

uint32_t KXAPI_ConfigureAdapterDPortSettings(KXAPI_PORT_HANDLE port, uint32_t enable, uint32_t reserved) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_ConfigureAdapterDPortSettings port=" + key + " enable=" + std::to_string(enable) +
          " reserved=" + std::to_string(reserved));
  if (const uint32_t rc = ScriptedResult("KXAPI_ConfigureAdapterDPortSettings", key)) return rc;
  PortState(key)["dportMode"] = enable;
  SaveState();
  return 0;
}

uint32_t KXAPI_DiagnosticDPortTestV2(KXAPI_PORT_HANDLE port, void* result) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_DiagnosticDPortTestV2 port=" + key);
  return Guarded("KXAPI_DiagnosticDPortTestV2", [&]() -> uint32_t {
    FillDPortResult(Script("KXAPI_DiagnosticDPortTestV2", key), port, static_cast<uint8_t*>(result));
    return ScriptedResult("KXAPI_DiagnosticDPortTestV2", key);
  });
}

void KXAPI_DiagnosticDPortTest(void* out, KXAPI_PORT_HANDLE port, void* work) {
  const std::string key = PortKey(port);
  const bool zeroed = work && IsZero(static_cast<const uint8_t*>(work), kxdiag::kDPortRecordSize);
  LogCall("KXAPI_DiagnosticDPortTest port=" + key + " work=" + (zeroed ? "zero" : "dirty"));
  // The first interface has no result: a scripted failure writes nothing.
  if (ScriptedResult("KXAPI_DiagnosticDPortTest", key) != 0) return;
  Guarded("KXAPI_DiagnosticDPortTest", [&]() -> uint32_t {
    FillDPortResult(Script("KXAPI_DiagnosticDPortTest", key), port, static_cast<uint8_t*>(out));
    return 0;
  });
}

uint32_t KXAPI_DiagnosticsFCPingTest(KXAPI_PORT_HANDLE port, const char* wwpnText, uint32_t count,
                                     uint32_t stopOnError, uint32_t* resultCount, void* resultArea, uint32_t areaSize) {
  const std::string wwpn = WwpnText(wwpnText);
  LogCall("KXAPI_DiagnosticsFCPingTest port=" + PortKey(port) + " wwpn=" + wwpn + " count=" + std::to_string(count) +
          " stop=" + std::to_string(stopOnError) + " area=" + std::to_string(areaSize));
  return Guarded("KXAPI_DiagnosticsFCPingTest", [&] {
    return SeriesTest("KXAPI_DiagnosticsFCPingTest", port, wwpn, count, resultCount, resultArea, areaSize);
  });
}

uint32_t KXAPI_DiagnosticsCTCommand(KXAPI_PORT_HANDLE port, const char* wwpnText, uint32_t count, uint32_t stopOnError,
                                    uint32_t* resultCount, void* resultArea, uint32_t areaSize, uint32_t testType) {
  const std::string wwpn = WwpnText(wwpnText);
  LogCall("KXAPI_DiagnosticsCTCommand port=" + PortKey(port) + " wwpn=" + wwpn + " count=" + std::to_string(count) +
          " stop=" + std::to_string(stopOnError) + " area=" + std::to_string(areaSize) +
          " type=" + std::to_string(testType));
  return Guarded("KXAPI_DiagnosticsCTCommand", [&] {
    return SeriesTest("KXAPI_DiagnosticsCTCommand", port, wwpn, count, resultCount, resultArea, areaSize);
  });
}

uint32_t KXAPI_DiagnosticsEchoElsTest(KXAPI_PORT_HANDLE port, const char* wwpnText, uint32_t count,
                                      uint32_t stopOnError, uint16_t destinationType, void* record) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_DiagnosticsEchoElsTest port=" + key + " wwpn=" + WwpnText(wwpnText) +
          " count=" + std::to_string(count) + " stop=" + std::to_string(stopOnError) +
          " type=" + std::to_string(destinationType));
  return Guarded("KXAPI_DiagnosticsEchoElsTest", [&]() -> uint32_t {
    if (const uint64_t ms = Number(PortJson(port).value("echoDelayMs", json(0)))) {
      const timespec pause = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
      nanosleep(&pause, nullptr);
    }
    const uint32_t rc = FillEcho(port, static_cast<uint8_t*>(record));
    const uint32_t scripted = ScriptedResult("KXAPI_DiagnosticsEchoElsTest", key);
    return scripted ? scripted : rc;
  });
}

}  // extern "C"
