// Texts of the core are Windows-1252 byte strings, because every file the
// program shares with the companion program is Windows-1252 and fixed-width
// fields count bytes.  UTF-8 exists only at the edges (source literals, Qt,
// the terminal); these two functions are the only crossing points.
#pragma once
#include <string>
#include <string_view>

namespace kv {

// UTF-8 -> Windows-1252.  Characters without a Windows-1252 byte become '?'.
std::string W(std::string_view utf8);

// Windows-1252 -> UTF-8.  The five undefined bytes (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 control code points of the same value.
std::string Utf8(std::string_view win);

}  // namespace kv
