// Start of the desktop program: window size from the configuration, main
// window, and at once the opening sequence of a new document.
#pragma once
#include <string>

namespace kvui {

// "Auflösung" of "kalvento.ini" in the working directory ("25,08" when the
// file is missing); the configuration is upgraded first, as at every start.
std::string LeseAufloesung();

int StarteProgramm(int argc, char** argv);

}  // namespace kvui
