// Lifecycle and inventory calls.
#include <cstdio>

#include "sim/SimCore.h"

using namespace sim;

extern "C" {

uint32_t KXAPI_Initialize(int traceLevel, int reserved) {
  LogCall("KXAPI_Initialize traceLevel=" + std::to_string(traceLevel) + " reserved=" + std::to_string(reserved));
  CoreLogMessage(1, "KXAPI stand-in initialized (trace level %d)", traceLevel);
  return 0;
}

uint32_t KXAPI_SetToolID(uint32_t toolId) {
  LogCall("KXAPI_SetToolID id=" + std::to_string(toolId));
  return 0;
}

uint32_t KXAPI_SetToolVersion(uint32_t major, uint32_t minor, uint32_t patch, uint32_t build) {
  LogCall("KXAPI_SetToolVersion version=" + std::to_string(major) + "." + std::to_string(minor) + "." +
          std::to_string(patch) + "." + std::to_string(build));
  return 0;
}

uint32_t KXAPI_Uninitialize(void) {
  LogCall("KXAPI_Uninitialize");
  ReleaseRecords();
  return 0;
}

void* KXAPI_GetAdapterList(void) {
  LogCall("KXAPI_GetAdapterList");
  return AdapterList();
}

uint32_t KXAPI_IsRebootRequired(uint8_t* flag) {
  LogCall("KXAPI_IsRebootRequired");
  if (const uint32_t rc = ScriptedResult("KXAPI_IsRebootRequired")) return rc;
  const json* script = Script("KXAPI_IsRebootRequired");
  const json& state = State();
  uint64_t value = state.value("rebootRequired", false) ? 1 : 0;
  if (script && script->contains("flag")) value = Number((*script)["flag"]);
  if (flag) *flag = static_cast<uint8_t>(value);
  return 0;
}

}  // extern "C"
