// Size and position of the main window from the configuration value
// "Auflösung" ("HH,WW": character height and width of the screen font).
#pragma once
#include <string>

namespace kvui {

struct Fenstergeometrie {
  int links = 0;
  int oben = 0;
  int breite = 0;
  int hoehe = 0;
};

// Width W * 112 + 64 and height H * 30 + 48, each limited to the desktop;
// when the height had to be limited on a desktop higher than 510 pixels the
// window is made 24 pixels lower (room for a task bar) after the top
// position was computed.  Centred on the desktop.  A value shorter than five
// characters counts as "25,08".
Fenstergeometrie BerechneFenstergeometrie(std::string aufloesung, int desktopBreite,
                                          int desktopHoehe);

}  // namespace kvui
