#include "ui/fenstergroesse.h"

#include <cstdlib>

namespace kvui {
namespace {

// Decimal value of a two-character field, as atoi reads it ("08" -> 8).
int Feld(const std::string& s, size_t pos) {
  if (pos >= s.size()) return 0;
  return std::atoi(s.substr(pos, 2).c_str());
}

}  // namespace

Fenstergeometrie BerechneFenstergeometrie(std::string aufloesung, int desktopBreite,
                                          int desktopHoehe) {
  if (aufloesung.size() < 5) aufloesung = "25,08";
  const int h = Feld(aufloesung, 0);
  const int w = Feld(aufloesung, 3);
  Fenstergeometrie g;
  g.breite = w * 112 + 64;
  g.hoehe = h * 30 + 48;
  bool hoeheBegrenzt = false;
  if (g.breite > desktopBreite) g.breite = desktopBreite;
  if (g.hoehe > desktopHoehe) {
    g.hoehe = desktopHoehe;
    hoeheBegrenzt = true;
  }
  g.links = (desktopBreite - g.breite) / 2;
  g.oben = (desktopHoehe - g.hoehe) / 2;
  if (hoeheBegrenzt && desktopHoehe > 510) g.hoehe = desktopHoehe - 24;
  return g;
}

}  // namespace kvui
