#include "ui/bereichspruefung.h"

#include <cstdio>
#include <cstdlib>

#include "basis/text1252.h"

namespace kvui {

using kv::Dialogfeld;
using kv::Meldung;
using kv::Meldungsart;

namespace {

std::string Zweistellig(int wert) {
  char puffer[16];
  std::snprintf(puffer, sizeof puffer, "%02i", wert);
  return puffer;
}

}  // namespace

Dialogfeld PruefeMonatsbereich(int von, int bis, kv::Status& meldungen) {
  if (von <= bis) return Dialogfeld::Keins;
  meldungen.Dazu(Meldung::Text(
      kv::W("Der Monat \"von\" (" + Zweistellig(von) + ") liegt nach dem Monat \"bis\" (" +
            Zweistellig(bis) +
            ").\nBitte geben Sie bei \"von\" einen Monat ein, der nicht nach \"bis\" liegt."),
      kv::W("Zeitraum"), Meldungsart::Fehler));
  return Dialogfeld::VonMonat;
}

Dialogfeld PruefeKontenbereich(const kv::Kontenauswahl& k, kv::Status& meldungen) {
  if (k.mitMuster) {
    const std::string& m = k.kontengruppe;
    if (m.size() == 5 && m[0] != ' ' && m[0] != '?' && m[0] != '1' && m[0] != '2') {
      meldungen.Dazu(Meldung::Text(
          kv::W("Die Kontengruppe \"" + m +
                "\" hat fünf Stellen; fünfstellige Konten gibt es aber nur von 10000 bis "
                "29999.\nBitte geben Sie für Sachkonten höchstens vier Stellen ein (z.B. "
                "\"44??\")."),
          kv::W("Kontenauswahl"), Meldungsart::Fehler));
      return Dialogfeld::Kontengruppe;
    }
    return Dialogfeld::Keins;
  }
  if (k.vonKonto <= k.bisKonto) return Dialogfeld::Keins;
  meldungen.Dazu(Meldung::Text(
      kv::W("Die Kontonummer \"von\" (" + std::to_string(k.vonKonto) +
            ") ist größer als die Kontonummer \"bis\" (" + std::to_string(k.bisKonto) +
            ").\nBitte geben Sie den Bereich vom kleineren zum größeren Konto ein."),
      kv::W("Kontenauswahl"), Meldungsart::Fehler));
  return Dialogfeld::VonKonto;
}

Dialogfeld PruefeDruckdatum(const std::string& text, const std::string& vorher,
                            kv::Status& meldungen) {
  // The date rule completes what was left out and corrects a day or month
  // that does not exist; only the latter is refused here.  So the day and
  // the month as typed are compared with those of the completed date.
  std::string probe = text, letztes = vorher;
  kv::Datum datum;
  kv::PruefeDatumsfeld(probe, letztes, &datum);
  std::string tag, monat;
  const size_t p1 = text.find('.');
  if (p1 == std::string::npos) {
    tag = text.substr(0, 2);
    if (text.size() > 2) monat = text.substr(2, 2);
  } else {
    tag = p1 == 0 ? std::string("1") : text.substr(0, p1);
    const size_t p2 = text.find('.', p1 + 1);
    monat = text.substr(p1 + 1, p2 == std::string::npos ? std::string::npos : p2 - p1 - 1);
  }
  const bool leer = text.find_first_not_of(' ') == std::string::npos;
  const bool tagRichtig = leer || std::atoi(tag.c_str()) == datum.tag;
  const bool monatRichtig = leer || monat.empty() || std::atoi(monat.c_str()) == datum.monat;
  if (datum.tag > 0 && tagRichtig && monatRichtig) return Dialogfeld::Keins;
  meldungen.Dazu(Meldung::Text(
      "\"" + text + "\"" +
          kv::W(" ist kein gültiges Datum.\nBitte geben Sie das Druckdatum als TT.MM.JJ ein, "
                "z.B. 15.03.10."),
      kv::W("Druckdatum"), Meldungsart::Fehler));
  return Dialogfeld::Druckdatum;
}

}  // namespace kvui
