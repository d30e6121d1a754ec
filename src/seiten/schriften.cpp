#include "seiten/schriften.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace kvui {

QFont::Weight Gewicht(int gewicht) {
  gewicht = std::clamp(gewicht, 100, 900);
  return static_cast<QFont::Weight>(gewicht);
}

QFont Zellenschrift(const QString& name, int hoehe, int breite, int gewicht) {
  QFont f(name.isEmpty() ? QStringLiteral("Courier New") : name);
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  f.setWeight(Gewicht(gewicht));
  f.setKerning(false);
  hoehe = std::max(hoehe, 4);
  // The configured height is the whole cell (ascent + descent).
  f.setPixelSize(hoehe);
  const double zelle = QFontMetricsF(f).height();
  if (zelle > 0) f.setPixelSize(std::max(3, static_cast<int>(std::lround(hoehe * hoehe / zelle))));
  if (breite > 0) {
    // Narrow the glyphs themselves to the configured width (as the platform
    // does for a font created with height and width), then make the pitch
    // exact with the letter spacing.
    const double natuerlich = QFontMetricsF(f).horizontalAdvance(QLatin1Char('M'));
    if (natuerlich > 0) {
      f.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * breite / natuerlich)), 1, 4000));
      const double gestreckt = QFontMetricsF(f).horizontalAdvance(QLatin1Char('M'));
      f.setLetterSpacing(QFont::AbsoluteSpacing, breite - gestreckt);
    }
  }
  return f;
}

QFont Druckerschrift(int hoeheTwips, int gewicht) {
  QFont f(QStringLiteral("Courier New"));
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  f.setKerning(false);
  f.setWeight(Gewicht(gewicht));
  f.setPixelSize(std::max(1, hoeheTwips));
  return f;
}

}  // namespace kvui
