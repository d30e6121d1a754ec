// printf-style formatting into a std::string of any length: the one helper
// for it in the core (report lines, messages, field texts).  Nothing is ever
// cut: the result is exactly the bytes printf would print, however long; ""
// only when the format cannot be printed at all (an encoding error).  A
// caller that needs a fixed width says so in its format ("%-110s", "%.25s").
#pragma once
#include <string>

namespace kv {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kv
