#include "reports/berichtsmodell.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kv {

namespace {
struct Artnamen {
  Zeilenart art;
  const char* schluessel;
  const char* text;
};
constexpr Artnamen kArten[] = {
    {Zeilenart::Konto, "konto", "Konto"},
    {Zeilenart::Gruppe, "gruppe", "Gruppe"},
    {Zeilenart::Zwischensumme, "zwischensumme", "Zwischensumme"},
    {Zeilenart::Summe, "summe", "Summe"},
    {Zeilenart::Saldo, "saldo", "Saldo"},
    {Zeilenart::Ergebnis, "ergebnis", "Ergebnis"},
    {Zeilenart::Differenz, "differenz", "Differenz"},
    {Zeilenart::Monat, "monat", "Monat"},
    {Zeilenart::Kennzahl, "kennzahl", "Kennzahl"},
    {Zeilenart::Buchungskreis, "buchungskreis", "Buchungskreis"},
};
}  // namespace

const char* ZeilenartSchluessel(Zeilenart art) {
  for (const Artnamen& a : kArten)
    if (a.art == art) return a.schluessel;
  return "";
}

const char* ZeilenartText(Zeilenart art) {
  for (const Artnamen& a : kArten)
    if (a.art == art) return a.text;
  return "";
}

Modellzeile& Berichtsmodell::Zeile(Zeilenart art, int abschnitt, std::vector<Zelle> zellen) {
  zellen.resize(spalten.size());
  zeilen.push_back({art, abschnitt, std::move(zellen)});
  return zeilen.back();
}

int Berichtsmodell::SpalteNr(const std::string& schluessel) const {
  for (size_t i = 0; i < spalten.size(); ++i)
    if (spalten[i].schluessel == schluessel) return static_cast<int>(i);
  return -1;
}

std::string Betragstext(double wert) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", wert);
  // A value that rounds to zero prints without its sign, as on the pages.
  if (std::strcmp(text, "-0.00") == 0) return "0.00";
  return text;
}

int64_t Cent(double wert) {
  const std::string text = Betragstext(wert);
  const bool negativ = text[0] == '-';
  int64_t cent = 0;
  for (char c : text)
    if (c >= '0' && c <= '9') cent = cent * 10 + (c - '0');
  return negativ ? -cent : cent;
}

}  // namespace kv
