// Staging of HBA parameters: the record exchanged with the library, the
// per-port cache file that "setFile" fills and "set" applies, the option
// syntax and the checks of each option against the adapter class.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "runtime/FileOps.h"
#include "shell/CommandSpec.h"

#include "shell/Inventory.h"
#include "shell/KxApi.h"
#include "shell/Words.h"

// The 512-byte record of KXAPI_GetHBAParamsInfo / KXAPI_UpdateHBAParameters.
// Only the members named in kxhba are changed; every other byte goes back to
// the library as it came.
struct HbaParams {
  std::array<uint8_t, kxhba::kRecordSize> bytes{};

  uint32_t U32(size_t offset) const { return kxinv::ReadAt<uint32_t>(bytes.data(), offset); }
  void SetU32(size_t offset, uint32_t value) { std::memcpy(bytes.data() + offset, &value, sizeof value); }
  uint8_t U8(size_t offset) const { return bytes[offset]; }
  void* Data() { return bytes.data(); }
};

namespace hbaparams {

// Statuses particular to HBA parameters.
inline constexpr uint32_t kIdtWithEveryIoMode = 17;
inline constexpr uint32_t kLoopOnlyAtHighRate = 18;
inline constexpr uint32_t kReadOnly = 47;

// "<cache dir>/HBAParams_<identifier as typed>".
std::string CachePath(const std::string& identifier);

// Word tables shared with the display: code -> option word.
const char* ConnectionWord(uint32_t code);
const char* DataRateWord(uint32_t code, bool groupF);
const char* OperationModeWord(uint32_t code);

// The words of "setFile": the port identifier, then one option per parameter.
std::span<const ParamDef> SetFileParams();

// Checks the options (words after the identifier: option/value pairs only)
// against the adapter class and the staged values, then applies the accepted
// ones to the loaded file in memory. When the file does not exist yet, it
// starts from current with every key. Nothing changes unless every option
// passed. Returns 0 or a status; the caller commits.
uint32_t UpdateHBAParamsInFile(const Words& words, KeyValueFile& file, kxinv::PortEntryRef entry,
                               const HbaParams& current);

// Overlays the keys found in the file onto record, which holds the adapter's
// values; 6 for an invalid value (members read before it stay changed). A
// value outside the allowed range passes when it is the adapter's own.
uint32_t ReadHBAParamsFromFile(const KeyValueFile& file, HbaParams& record);

}  // namespace hbaparams
