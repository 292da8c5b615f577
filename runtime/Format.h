// printf into a std::string of any length.
#pragma once

#include <cstdarg>
#include <string>

// The formatted text; empty when the format fails. One formatting pass for a
// text of common length, a second only for a longer one.
std::string FormatV(const char* format, va_list args);
