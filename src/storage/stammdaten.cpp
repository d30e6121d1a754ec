#include "storage/stammdaten.h"

#include <algorithm>

#include "basis/text1252.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr std::string_view S = kStammsektion;

// Keys a master file may lack and gets added when it is read, with the
// value of a new file.  The Elster and DATEV keys follow in kZusatzschluessel.
struct Neuwert {
  std::string_view schluessel;  // UTF-8 in the source
  std::string_view wert;
};
constexpr Neuwert kGrundschluessel[] = {
    {"Version", kStammversion},
    {"Name", "Name"},
    {"BK-Passwort", ""},
    {"Kontenrahmen", "03"},
    {"Jahr", "2010"},
    {"1.Monat", "01"},
    {"MwSt", "J"},
    {"EÜ-Rechnung", "J"},
    {"Währung1", "EUR"},
    {"Währung2", ""},
    {"Währungsfaktor", ""},
    {"Auto-Beleg", "000000"},
};
constexpr std::string_view kZusatzschluessel[] = {
    "ElsterStNr",     "ElsterFaNr",     "ElsterName",   "ElsterStrasse", "ElsterPlz",
    "ElsterOrt",      "ElsterTelefon",  "ElsterEmail",  "DatevStbNr",    "DatevMandantNr",
    "DatevDFV",       "DatevPasswort",  "DatevDatenTrNr", "DatevAbrechNr", "DatevVon",
    "DatevBis",       "DatevWaehrung",  "DatevExpPfad",
};

bool IstFlagGesetzt(std::string_view wert) {
  return !wert.empty() && (wert[0] == 'J' || wert[0] == 'j');
}

void KopiereText(std::string_view quelle, char* ziel, std::size_t groesse) {
  const std::size_t n = std::min(quelle.size(), groesse - 1);
  std::copy_n(quelle.data(), n, ziel);
  ziel[n] = '\0';
}
template <std::size_t N>
void KopiereText(std::string_view quelle, char (&ziel)[N]) {
  KopiereText(quelle, ziel, N);
}

}  // namespace

bool IstStammdateitext(std::string_view text) {
  if (!IstZeilentext(text)) return false;
  for (std::string_view schluessel : {"Name", "Jahr", "Kontenrahmen"})
    if (Wertanfang(text, S, schluessel) != std::string_view::npos) return true;
  return false;
}

void CIniBK::SetzeStandardwerte() {
  for (const auto& n : kGrundschluessel) SchreibeWert(S, W(n.schluessel), n.wert);
  std::string w;
  for (auto schluessel : kZusatzschluessel)
    if (!LeseWert(S, schluessel, w)) SchreibeWert(S, schluessel, "");
}

int CIniBK::LeseStamm(Status& status) {
  std::string geladen = Text();
  Status offen;
  const int geoeffnet = Oeffnen(0, offen);
  // A file that cannot be opened now (locked, read-only), or that could be
  // read only in part (said so), still has the text its owner loaded
  // before; defaults in place of it would be wrong data.  (A text taken
  // over this way is never saved: the incomplete read keeps Speichern from
  // writing.)
  const bool teilweise = !offen.Meldungen().empty();
  status.Uebernimm(std::move(offen));
  if (geoeffnet != 1 || teilweise) SetzeText(std::move(geladen));
  if (!IstStammdateitext(Text())) {
    Schliessen();
    return 0;
  }
  const bool ergaenzt = FuelleStamm(true);
  int ergebnis = geoeffnet;
  if (geoeffnet == 1) {
    ergebnis = ergaenzt ? Speichern(status) : 1;
    Schliessen();
  }
  return ergebnis;
}

int CIniBK::LeseStammOhneErgaenzung() {
  if (!IstStammdateitext(Text())) return 0;
  FuelleStamm(false);
  return 1;
}

bool CIniBK::FuelleStamm(bool ergaenzen) {
  bool ergaenzt = false;
  auto lies = [&](std::string_view schluessel, std::string_view neuwert) {
    std::string w;
    if (!LeseWert(S, schluessel, w)) {
      if (!ergaenzen) return std::string(neuwert);
      SchreibeWert(S, schluessel, neuwert);
      LeseWert(S, schluessel, w);
      ergaenzt = true;
    }
    return w;
  };

  Stammdaten& s = stamm;
  std::string w;
  for (const auto& n : kGrundschluessel) {
    const std::string schluessel = W(n.schluessel);
    if (n.schluessel == "Version" || n.schluessel == "Jahr") continue;
    w = lies(schluessel, n.wert);
    if (n.schluessel == "Name") {
      KopiereText(w, s.name);
      s.nameText = s.name;
    } else if (n.schluessel == "BK-Passwort") {
      KopiereText(w, s.passwort);
    } else if (n.schluessel == "Kontenrahmen") {
      s.kontenrahmen = Ganzzahl(w);
    } else if (n.schluessel == "1.Monat") {
      s.ersterMonat = Ganzzahl(w);
    } else if (n.schluessel == "MwSt") {
      s.mwst = IstFlagGesetzt(w);
    } else if (n.schluessel == "EÜ-Rechnung") {
      s.euRechnung = IstFlagGesetzt(w);
    } else if (n.schluessel == "Währung1") {
      KopiereText(w, s.waehrung1);
    } else if (n.schluessel == "Währung2") {
      KopiereText(w, s.waehrung2);
    } else if (n.schluessel == "Währungsfaktor") {
      KopiereText(w, s.waehrungsfaktor);
    } else if (n.schluessel == "Auto-Beleg") {
      KopiereText(w, s.autoBeleg);
      s.autoBelegText = s.autoBeleg;
      s.autoNummerierung = Dezimalzahl(w) >= 1;
    }
  }
  char* zusatzfelder[] = {s.elsterStNr,     s.elsterFaNr,     s.elsterName,    s.elsterStrasse,
                          s.elsterPlz,      s.elsterOrt,      s.elsterTelefon, s.elsterEmail,
                          s.datevStbNr,     s.datevMandantNr, s.datevDFV,      s.datevPasswort,
                          s.datevDatenTrNr, s.datevAbrechNr,  s.datevVon,      s.datevBis,
                          s.datevWaehrung,  s.datevExpPfad};
  const std::size_t zusatzgroessen[] = {
      sizeof s.elsterStNr,     sizeof s.elsterFaNr,     sizeof s.elsterName,
      sizeof s.elsterStrasse,  sizeof s.elsterPlz,      sizeof s.elsterOrt,
      sizeof s.elsterTelefon,  sizeof s.elsterEmail,    sizeof s.datevStbNr,
      sizeof s.datevMandantNr, sizeof s.datevDFV,       sizeof s.datevPasswort,
      sizeof s.datevDatenTrNr, sizeof s.datevAbrechNr,  sizeof s.datevVon,
      sizeof s.datevBis,       sizeof s.datevWaehrung,  sizeof s.datevExpPfad};
  static_assert(std::size(zusatzfelder) == std::size(kZusatzschluessel));
  for (std::size_t i = 0; i < std::size(kZusatzschluessel); ++i)
    KopiereText(lies(kZusatzschluessel[i], ""), zusatzfelder[i], zusatzgroessen[i]);

  std::string start, ende;
  s.geteiltesJahr = TeileJahr(s.jahr, false, start, ende) == 1;
  if (s.geteiltesJahr) {
    s.ersterPeriodenmonat = s.ersterMonat;
    // The month before the first; January's predecessor is December, not 0.
    s.letzterPeriodenmonat = s.ersterMonat > 1 ? s.ersterMonat - 1 : 12;
  } else {
    s.ersterPeriodenmonat = 1;
    s.letzterPeriodenmonat = 12;
  }
  KopiereText(start, s.startjahrText);
  KopiereText(ende, s.endjahrText);
  s.startjahr = Ganzzahl(start);
  s.endjahr = Ganzzahl(ende);
  s.startjahrVoll = s.startjahr;
  s.endjahrVoll = s.endjahr;
  NormiereJahr(s.startjahrVoll, true);
  NormiereJahr(s.endjahrVoll, true);
  return ergaenzt;
}

}  // namespace kv
