// The program's string table: message texts, titles and the status-bar
// prompts of the commands, by number.
#pragma once
#include <string>

namespace kv {

// Windows-1252 text of a string-table entry; "" for an unknown number.
std::string Ressource(int nummer);

}  // namespace kv
