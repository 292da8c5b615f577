// The Read Diagnostic Parameters report: turns the reply the library returned
// (big-endian words: a list length, then tag / length / value-word
// descriptors) into the text the "rdp" command shows. Reads nothing beyond the
// bytes it is given, whatever the reply's own length words claim; no I/O.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rdp {

// Size of the report block every decoder appends to.
inline constexpr size_t kReportSize = 16384;

// The report of the first `size` bytes of a reply. When `notes` is given, the
// decoder's remarks (list length, unknown tags, a cut-short reply) are added
// to it for the caller's trace.
std::string DecodeRdpReply(const uint8_t* data, size_t size, std::vector<std::string>* notes = nullptr);

}  // namespace rdp
