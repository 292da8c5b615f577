// Small lookup tables shared by the target and LUN reports.
#pragma once

#include <cstdint>
#include <span>

// One value of a record field and the word shown for it.
struct ValueWord {
  uint32_t value;
  const char* word;
};

// The table's word for the value; fallback when the table has none.
inline const char* WordFor(std::span<const ValueWord> table, uint32_t value, const char* fallback) {
  for (const ValueWord& row : table)
    if (row.value == value) return row.word;
  return fallback;
}
