// Fonts built from the configuration's font keys: a character cell of a
// given pixel height and an exact column pitch, so that fixed-width report
// rows line up column by column on any machine ("Courier New" is matched by
// its metric twin where the face itself is missing).
#pragma once
#include <QFont>
#include <string>

namespace kvui {

// Face, cell height and average character width in pixels, weight 100..900.
QFont Zellenschrift(const QString& name, int hoehe, int breite, int gewicht);

// A Windows weight (100..900) as Qt weight.
QFont::Weight Gewicht(int gewicht);

// Printer font: character height in twips (the painter is set to twips),
// default width.
QFont Druckerschrift(int hoeheTwips, int gewicht);

}  // namespace kvui
