#include "basis/format.h"

#include <cstdarg>
#include <cstdio>

namespace kv {

std::string Format(const char* fmt, ...) {
  char puffer[512];
  va_list args;
  va_start(args, fmt);
  int n = std::vsnprintf(puffer, sizeof puffer, fmt, args);
  va_end(args);
  if (n < 0) return {};
  if (static_cast<size_t>(n) < sizeof puffer) return std::string(puffer, n);
  std::string gross(static_cast<size_t>(n) + 1, '\0');
  va_start(args, fmt);
  std::vsnprintf(gross.data(), gross.size(), fmt, args);
  va_end(args);
  gross.resize(n);
  return gross;
}

}  // namespace kv
