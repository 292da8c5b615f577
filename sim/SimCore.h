// Internals of the stand-in library: fixture, records, state, scripted calls
// and call log. Each family's calls live in a file of their own beside this
// one and use only what is declared here.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <string>

#include "shell/KxApi.h"

namespace sim {

using nlohmann::json;

// The fixture: KXSIM_FIXTURE names a JSON file; without it the built-in
// default inventory is served. A fixture that cannot be used is reported on
// standard error and the library then has no adapter list.
const json& Fixture();
bool FixtureUsable();

// The records built from the fixture; valid until KXAPI_Uninitialize.
void* AdapterList();
void ReleaseRecords();

// The protocol entry a port handle belongs to, and the port's fixture object.
uint8_t* EntryOf(KXAPI_PORT_HANDLE handle);
const json& PortJson(KXAPI_PORT_HANDLE handle);
// "21:00:..." of the port a handle names: the key of its state and of scripted calls.
std::string PortKey(KXAPI_PORT_HANDLE handle);
// The port whose handle number (offset 20) is given; null when none.
KXAPI_PORT_HANDLE HandleByNumber(uint32_t handleNumber);

// Scripted calls: the fixture's "calls" list holds objects such as
//   {"call": "KXAPI_GetBeacon", "port": "21:00:...", "rc": 150, ...values}
// The first object naming the call (and, when it names one, the port) applies;
// one with "nth": n applies only to the n-th call of that name in the run
// (calls are counted as LogCall logs them, so log before looking up the script).
const json* Script(const char* call, const std::string& portKey = "");
// The scripted library result of a call; 0 when none is scripted.
uint32_t ScriptedResult(const char* call, const std::string& portKey = "");

// Persistent state (KXSIM_STATE, default inside the build's sandbox): a JSON
// object saved atomically after every change, so that a "set" in one run
// shows in a "get" of the next.
json& State();
void SaveState();
// The state object of one port, created on first use.
json& PortState(const std::string& portKey);

// Appends "call key=value ..." to the call log named by KXSIM_CALLLOG.
void LogCall(const std::string& line);

// Reads a "0x.."-or-decimal number or a plain number from a JSON value.
uint64_t Number(const json& value, uint64_t fallback = 0);
// Reads bytes written as hex text ("21:00:00:..." or "2100...") into out.
size_t HexBytes(const json& value, uint8_t* out, size_t max);

// Bytes as lower-case hex text, two digits a byte (read back with HexBytes).
std::string ToHex(const uint8_t* bytes, size_t size);
// "offset:old>new" for every byte that differs, offsets in decimal; "none"
// when no byte does. Write calls log what they change with it.
std::string ByteDiff(const uint8_t* before, const uint8_t* after, size_t size);

// A field of a record set from a fixture key.
enum class FieldType { kU8, kU16, kU32, kText, kBytes };
struct FieldSpec {
  const char* key;
  size_t offset;
  FieldType type;
  size_t size;  // text and byte fields: the room in the record
};
// Further fixture keys of a record kind, registered by a family's file:
//   static const sim::FieldSpec kFields[] = {{"beacon", 700, sim::FieldType::kU8, 1}};
//   static sim::FieldRegistrar reg(sim::RecordKind::kPortEntry, kFields);
enum class RecordKind { kAdapter, kPortEntry, kTarget, kLun };
struct FieldRegistrar {
  template <size_t N>
  FieldRegistrar(RecordKind kind, const FieldSpec (&spec)[N]) : FieldRegistrar(kind, spec, N) {}
  FieldRegistrar(RecordKind kind, const FieldSpec* spec, size_t count);
};

// Code run on every record of a kind once its fixture keys are applied (for
// a target: after its LUN entries are linked), for fields that need more than
// one key per field: nested objects, computed defaults, 64-bit numbers.
// object is the record's fixture value (a LUN may be a bare number).
using RecordFinisher = void (*)(const json& object, uint8_t* record);
struct FinisherRegistrar {
  FinisherRegistrar(RecordKind kind, RecordFinisher finisher);
};

// Writes every key of spec present in object into the record; "raw" (an
// object of offset -> hex bytes) sets any byte directly.
void ApplyFields(const json& object, uint8_t* record, size_t recordSize, const FieldSpec* spec, size_t count);

// Runs the part of a call that reads the fixture; a fixture value of the
// wrong kind is reported and fails the call (result 1) instead of ending the process.
template <class Body>
uint32_t GuardFixture(const char* call, Body body) {
  try {
    return body();
  } catch (const std::exception& e) {
    fprintf(stderr, "kxsim: %s: %s\n", call, e.what());
    return 1;
  }
}

}  // namespace sim
