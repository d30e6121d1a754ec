#include "app/auswahl.h"

#include <climits>
#include <cstdio>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "basis/zahlen.h"
#include "storage/dateinamen.h"
#include "storage/inidatei.h"
#include "storage/stammdaten.h"

namespace kv {

// Only blanks and tabs before the digits: a field that starts with a line
// break reads as 0 here, as it always has (see Ganzzahlwert).
int DezimalWert(std::string_view text) {
  return Ganzzahlwert(text, {Leerraum::BlankTab, INT_MIN, INT_MAX});
}

std::string FiltereAuswahlfeld(std::string_view text, Status& status) {
  std::string ziffern;
  bool entfernt = false;
  for (char c : text) {
    if (c >= '0' && c <= '9')
      ziffern += c;
    else
      entfernt = true;
  }
  // Leading zeros carry no value; strip them before judging the size so a
  // long run of zeros is not mistaken for a huge number.
  size_t erste = ziffern.find_first_not_of('0');
  std::string wert = erste == std::string::npos ? "0" : ziffern.substr(erste);
  if (wert.size() > 9) {
    char meldung[64];
    std::snprintf(meldung, sizeof meldung, "Maximaler Betrag: %.0f", kAuswahlMaximum);
    status.Uebernimm(Meldung::Fehler(meldung));
    // A char, not "0": gcc 12 reports an impossible overlap in the inlined
    // copy of a one-letter literal (-Wrestrict).
    wert = '0';
  }
  if (entfernt) status.Uebernimm(Meldung::Fehler(W("Nur numerische Zeichen zulässig !")));
  return wert;
}

std::string AuswahlFehler(std::string_view jahr, std::string_view von, std::string_view bis,
                          std::string_view bezug, Kumulationsauswahl& auswahl) {
  const int r = DezimalWert(bezug);
  if (r <= 0 || r > 999) return W("Keine gültige Nummer als Bezugsbuchungskreis!");
  const int v = DezimalWert(von);
  if (v <= 0 || v > 999) return W("Keine gültige Nummer bei 'Von Buchungskreis'!");
  const int b = DezimalWert(bis);
  if (b <= 0 || b > 999) return W("Keine gültige Nummer bei 'Bis Buchungskreis'!");
  auswahl.bezug = r;
  auswahl.von = v;
  auswahl.bis = b;
  auswahl.jahr = std::string(jahr.substr(0, 5));
  return {};
}

Status PruefeKumAuswahl(std::string_view jahr, std::string_view von, std::string_view bis,
                        std::string_view bezug, Kumulationsauswahl& auswahl) {
  std::string fehler = AuswahlFehler(jahr, von, bis, bezug, auswahl);
  if (fehler.empty()) return {};
  return Meldung::Standard(std::move(fehler));
}

namespace {

// Loads the master file of n when it is usable.
bool LadeStamm(std::string_view daten, int n, CIniDatei& ini, Status& status) {
  const std::string pfad = NameStammdatei(daten, n);
  ini.SetzeDateiname(pfad);
  // Opened only to load the text; the text stays readable after closing.
  // A text read only in part (said so) would pass off missing keys as
  // chart 0 or first month 0, and so would a file that is no master file
  // at all (empty, binary, LF line ends).
  Status geladen;
  const int offen = ini.OeffneVorhandene(geladen);
  const bool teilweise = !geladen.Meldungen().empty();
  status.Uebernimm(std::move(geladen));
  if (offen != 1 || teilweise) return false;
  ini.Schliessen();
  return IstStammdateitext(ini.Text());
}

}  // namespace

int LeseBkKennwerte(std::string_view daten, int n, BkKennwerte& werte, Status& status) {
  CIniDatei ini;
  if (!LadeStamm(daten, n, ini, status)) return 0;
  std::string wert;
  ini.LeseWert("[BUCHUNGSKREIS]", "Kontenrahmen", wert);
  werte.kontenrahmen = DezimalWert(wert);
  ini.LeseWert("[BUCHUNGSKREIS]", "1.Monat", wert);
  werte.ersterMonat = DezimalWert(wert);
  ini.LeseWert("[BUCHUNGSKREIS]", "Name", wert);
  werte.name = wert;
  werte.abweichendesWJ = werte.ersterMonat != 1 ? 1 : 0;
  return 1;
}

std::string Buchungskreiszeile(std::string_view daten, int n, Status& status) {
  CIniDatei ini;
  if (!LadeStamm(daten, n, ini, status)) return {};
  std::string name;
  ini.LeseWert("[BUCHUNGSKREIS]", "Name", name);
  char zeile[200];
  std::snprintf(zeile, sizeof zeile, "BK-Nr.: %03i,  %s", n, name.c_str());
  return zeile;
}

}  // namespace kv
