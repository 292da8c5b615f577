// The transceiver decoder: turns the 512-byte module image (page A0 in bytes
// 0-255, page A2 in 256-511; a QSFP module's serial ID in 128-255) into the
// "Dmi Data" text. Reads nothing but the image, writes nothing but the text
// block and the exported calibration arrays; no I/O.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sfp/SfpTables.h"

namespace sfp {

inline constexpr size_t kSfpImageSize = 512;
inline constexpr size_t kDmiTextSize = 16384;

// The decoder's text: a fixed block that takes a piece only when the whole
// piece fits together with the terminating NUL; a piece that does not fit is
// dropped, never cut.
class DmiText {
 public:
  DmiText(char* block, size_t capacity);
  bool Append(std::string_view piece);
  size_t Length() const { return length_; }
  const char* Text() const { return block_; }

 private:
  char* block_;
  size_t capacity_;
  size_t length_ = 0;
};

// Quantities of the diagnostic table, in their row order of valueArray.
enum DmiQuantity { kTemperature = 0, kVoltage = 1, kTxBias = 2, kTxPower = 3, kRxPower = 4 };
// Columns of valueArray.
enum DmiColumn { kMeasured = 0, kHighAlarm = 1, kHighWarning = 2, kLowWarning = 3, kLowAlarm = 4 };

// The live values, thresholds and external-calibration constants of an SFP.
struct DmiCalibration {
  float value[5][5] = {};
  float slope[5] = {};
  float offset[5] = {};
  float rxPower[5] = {};  // Rx_PWR(0) ... Rx_PWR(4)
};

// Identifiers 12, 13, 17 and 18 (QSFP, QSFP+, QSFP28, CXP2).
bool IsQsfpIdentifier(uint8_t identifier);
// The field table the identifier byte selects.
const IndxTbl* FieldTableFor(const uint8_t* image, size_t length);

const IndxTbl& FindSfpField(const uint8_t* image, size_t length, const char* name);
uint32_t GetSfpFieldValue(const uint8_t* image, size_t length, const char* name);
std::string GetSfpFieldText(const uint8_t* image, size_t length, uint16_t offset, uint16_t type);
// Texts of the rows whose mask is set in the entry's byte; allBits keeps them
// all, otherwise the last match wins. Each text ends in one blank.
std::string GetBitDataCodeTable(const IndxTbl& entry, const uint8_t* image, size_t length, const DataTable* table,
                                bool allBits);
// The same, matching rows by equality with the byte.
std::string GetEqualDataCodeTable(const IndxTbl& entry, const uint8_t* image, size_t length, const DataTable* table);
uint32_t GetSFPTableBitValue(const uint8_t* image, size_t length, const char* name, uint32_t mask);
uint32_t findbit(int32_t value, int bit, bool wide);
// The number written as M "." L in decimal (bytes 0 and 128 give 0.128).
float buildSlope(uint8_t m, uint8_t l);
// A big-endian IEEE 754 single; infinity and NaN read as the largest float.
float DecodeRxPowerCoefficient(const uint8_t* bytes);
// The temperature-threshold rule for a high (alarm/warning) or low threshold.
float TemperatureThreshold(uint8_t first, uint8_t second, bool high);

// Step C: the values, thresholds and calibration of an SFP image; false (and
// out untouched) for a QSFP identifier.
bool ComputeDetailsDMIData(const uint8_t* image, size_t length, DmiCalibration& out);
// Step C into the exported arrays; nothing for a QSFP identifier.
void CalculateDetailsDMIData(const uint8_t* image, size_t length);
// The calibration as the exported arrays hold it now.
DmiCalibration CalibrationFromArrays();
float GetCalibratedValue(const DmiCalibration& cal, int quantity, float v);
const char* GetDiagStatus(float value, float highAlarm, float highWarning, float lowWarning, float lowAlarm);

// Step B (and D for an SFP with digital diagnostics): the "Media Information" summary and the table.
void DisplayDiagMonitoringTable(const uint8_t* image, size_t length, bool showVendor, DmiText& out);
// Step A: the walk of the module's field table.
void DisplaySfpFields(const uint8_t* image, size_t length, DmiText& out);

// The whole decode in the order the "get" command shows it; returns the text length.
size_t DecodeSfpImage(const uint8_t* image, size_t length, char* block, size_t capacity);

}  // namespace sfp
