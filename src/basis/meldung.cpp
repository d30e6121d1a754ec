#include "basis/meldung.h"

#include "basis/oberflaeche.h"
#include "basis/stringtabelle.h"

namespace kv {

Meldung Meldung::Nr(int textNr, int titelNr, Meldungsart art) {
  return {art, Ressource(titelNr), Ressource(textNr), textNr};
}
Meldung Meldung::Nr(int textNr, std::string titel, Meldungsart art) {
  return {art, std::move(titel), Ressource(textNr), textNr};
}
Meldung Meldung::Text(std::string text, int titelNr, Meldungsart art) {
  return {art, Ressource(titelNr), std::move(text), 0};
}
Meldung Meldung::Text(std::string text, std::string titel, Meldungsart art) {
  return {art, std::move(titel), std::move(text), 0};
}
Meldung Meldung::Standard(std::string text) {
  return {Meldungsart::Standard, "Fehler", std::move(text), 0};
}
Meldung Meldung::Fehler(int textNr) { return Nr(textNr, "FEHLER", Meldungsart::Fehler); }
Meldung Meldung::Fehler(std::string text) {
  return Text(std::move(text), "FEHLER", Meldungsart::Fehler);
}

void Zeige(const Meldung& m) {
  if (m.art == Meldungsart::Standard)
    Ui().StandardMeldung(m.text);
  else
    Ui().Meldung(static_cast<int>(m.art), m.titel, m.text);
}

void Zeige(const Status& s) {
  for (const Meldung& m : s.Meldungen()) Zeige(m);
}

std::string MeldungInEinerZeile(const std::string& text) {
  std::string zeile;
  for (size_t i = 0; i < text.size();) {
    if (text[i] != '\n' && text[i] != '\r') {
      zeile += text[i++];
      continue;
    }
    while (!zeile.empty() && zeile.back() == ' ') zeile.pop_back();
    while (i < text.size() && (text[i] == '\n' || text[i] == '\r' || text[i] == ' ')) ++i;
    if (!zeile.empty() && i < text.size()) zeile += ' ';
  }
  return zeile;
}

}  // namespace kv
