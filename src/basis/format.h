// printf-style formatting into a std::string of any length.
#pragma once
#include <string>

namespace kv {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kv
