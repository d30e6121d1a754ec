// Start of the desktop program: window size from the configuration, main
// window, and at once the opening sequence of a new document.
#pragma once
#include <functional>
#include <string>

namespace kvui {

class CMainFrame;

// "Auflösung" of "kalvento.ini" in the working directory ("25,08" when the
// file is missing); the configuration is upgraded first, as at every start.
std::string LeseAufloesung();

// Runs the program until its main window closes.  `beiStart` is called once
// the main window shows, before the opening sequence begins (the screenshot
// driver of docs/screenshots.sh hooks in there).
int StarteProgramm(int argc, char** argv,
                   const std::function<void(CMainFrame&)>& beiStart = {});

}  // namespace kvui
