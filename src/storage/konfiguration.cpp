#include "storage/konfiguration.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <variant>

#include "basis/text1252.h"

namespace kv {
namespace {

constexpr std::string_view S = kKonfigurationssektion;

constexpr std::string_view kStandardBuchungsfont = "25,08,0400,Courier New";
constexpr std::string_view kStandardDialogfont = "16,06,0700,Arial";
constexpr std::string_view kStandardAufloesung = "25,08";
// The two keys with a non-ASCII name, in Windows-1252 as they stand in the
// file: "Auflösung" and "Änderung".
constexpr std::string_view kAufloesung = "Aufl\xF6sung";
constexpr std::string_view kAenderung = "\xC4nderung";

// Characters [pos, pos + n) of the text, as far as it has them.
std::string_view Teil(std::string_view text, std::size_t pos, std::size_t n = std::string_view::npos) {
  return pos >= text.size() ? std::string_view() : text.substr(pos, n);
}

std::string Flagtext(int32_t flag) { return flag ? "J" : "N"; }

bool IstFlagGesetzt(std::string_view wert) {
  return !wert.empty() && (wert[0] == 'J' || wert[0] == 'j');
}

int32_t Ersetzt(int32_t wert, int min, int max, int ersatz) {
  return wert < min || wert > max ? ersatz : wert;
}

// Puts height, width and weight back into their ranges; true when nothing
// had to change.
bool Begrenze(Schriftsatz& f) {
  const Schriftsatz alt = f;
  f.hoehe = Ersetzt(f.hoehe, kMinZeichenhoehe, kMaxZeichenhoehe, kErsatzZeichenhoehe);
  f.breite = Ersetzt(f.breite, kMinZeichenbreite, kMaxZeichenbreite, kErsatzZeichenbreite);
  f.gewicht = Ersetzt(f.gewicht, kMinSchriftgewicht, kMaxSchriftgewicht, kErsatzSchriftgewicht);
  return f.hoehe == alt.hoehe && f.breite == alt.breite && f.gewicht == alt.gewicht;
}

void KopiereText(std::string_view quelle, char* ziel, std::size_t groesse) {
  const std::size_t n = std::min(quelle.size(), groesse - 1);
  std::copy_n(quelle.data(), n, ziel);
  ziel[n] = '\0';
}

Aufloesung AufloesungAus(std::string_view wert) {
  Aufloesung a;
  if (wert.size() < 5) {
    a.hoehe = kErsatzZeichenhoehe;
    a.breite = kErsatzZeichenbreite;
  } else {
    a.hoehe = Ganzzahl(Teil(wert, 0, 2));
    a.breite = Ganzzahl(Teil(wert, 3, 2));
  }
  return a;
}

Schriftsatz SchriftsatzAus(std::string_view wert) {
  Schriftsatz f;  // the substitutes with "Courier New"
  if (wert.size() < 5) return f;
  f.hoehe = Ganzzahl(Teil(wert, 0, 2));
  f.breite = Ganzzahl(Teil(wert, 3, 2));
  f.gewicht = Ganzzahl(Teil(wert, 6, 4));
  KopiereText(Teil(wert, 11), f.name, sizeof f.name);
  Begrenze(f);
  return f;
}

std::string AufloesungText(const Aufloesung& a) {
  char puffer[32];
  std::snprintf(puffer, sizeof puffer, "%02i,%02i", a.hoehe, a.breite);
  return puffer;
}

std::string SchriftsatzText(const Schriftsatz& f) {
  char puffer[64];
  std::snprintf(puffer, sizeof puffer, "%02i,%02i,%04i,", f.hoehe, f.breite, f.gewicht);
  return puffer + std::string(f.name, strnlen(f.name, sizeof f.name));
}

// "%f" without the locale: a German locale set by the desktop program must
// not turn the decimal point into a comma in a shared file.
std::string EuroText(double wert) {
  char puffer[400];
  auto r = std::to_chars(puffer, puffer + sizeof puffer, wert, std::chars_format::fixed, 6);
  if (r.ec != std::errc()) return "0.000000";
  return std::string(puffer, r.ptr);
}

std::string Feldtext(const char* feld, std::size_t groesse) {
  return std::string(feld, strnlen(feld, groesse));
}
template <std::size_t N>
std::string Feldtext(const char (&feld)[N]) {
  return Feldtext(feld, N);
}

// ---- The keys of the section ------------------------------------------------

// How a key's value stands in the file.
enum class Wertart {
  Version,     // only in a new file: the layout version; no field of the record
  Text,        // the field's text, cut to the field when read
  Zahl,        // "%i"
  Flag,        // "J" / "N"; "J" or "j" read as 1
  Euro,        // "%f", without the locale
  Aufloesung,  // "hh,bb"
  Schrift,     // "hh,bb,gggg,face"
};

// The field of the record a key fills; which alternative follows from the
// key's Wertart (Zahl and Flag both are an int32_t).
using Feld = std::variant<std::monostate, std::span<char>, int32_t*, double*, Aufloesung*,
                          Schriftsatz*>;
using Feldzugriff = Feld (*)(Programmkonfiguration&);

template <std::size_t N>
Feld Zugriff(char (&feld)[N]) {
  return std::span<char>(feld, N);
}
Feld Zugriff(int32_t& feld) { return &feld; }
Feld Zugriff(double& feld) { return &feld; }
Feld Zugriff(Aufloesung& feld) { return &feld; }
Feld Zugriff(Schriftsatz& feld) { return &feld; }

template <auto glied>
Feld Glied(Programmkonfiguration& k) {
  return Zugriff(k.*glied);
}
template <int i>
Feld TextF(Programmkonfiguration& k) {  // "Text F01" .. "Text F12"
  return Zugriff(k.texte[i]);
}

struct Schluessel {
  std::string_view sektion;
  std::string_view name;
  std::string_view standard;  // the value in a new file
  Wertart art;
  Feldzugriff feld;  // nullptr for the version
  // Added by the companion program later: a configuration without it gets
  // it on the next read (and on the start-up upgrade).
  bool nachtrag = false;
};

using P = Programmkonfiguration;

// Every key this program knows, in the order of the record.  Writing the
// record writes them in this order, reading reads them so, and a new file
// gets them so, except for the four fonts (kSchriftfolge).  The order
// matters where SchreibeWert appends a key the text lacks.
constexpr Schluessel kSchluessel[] = {
    {S, "Version", kKonfigurationsversion, Wertart::Version, nullptr},
    {S, "Daten", "", Wertart::Text, Glied<&P::daten>},
    {S, "Sicherung", "A:          ", Wertart::Text, Glied<&P::sicherung>},
    {S, "Import", "", Wertart::Text, Glied<&P::importVerzeichnis>},
    {S, "Export", "", Wertart::Text, Glied<&P::exportVerzeichnis>},
    {S, "Passwort", "", Wertart::Text, Glied<&P::passwort>},
    {S, "Drucker", "", Wertart::Text, Glied<&P::drucker>},
    {S, "Zeilen pro Seite", "68", Wertart::Zahl, Glied<&P::zeilenProSeite>},
    {S, "Rand oben", "0", Wertart::Zahl, Glied<&P::randOben>},
    {S, "Rand links", "9", Wertart::Zahl, Glied<&P::randLinks>},
    {S, "Farbe", "", Wertart::Zahl, Glied<&P::farbe>},
    {S, kAufloesung, kStandardAufloesung, Wertart::Aufloesung, Glied<&P::aufloesung>},
    {S, "Font Scr normal", "", Wertart::Text, Glied<&P::fontScrNormal>},
    {S, "Font Scr fett", "", Wertart::Text, Glied<&P::fontScrFett>},
    {S, "Font Prn normal", "240", Wertart::Text, Glied<&P::fontPrnNormal>},
    {S, "Font Prn schmal", "144", Wertart::Text, Glied<&P::fontPrnSchmal>},
    {S, "MwSt F7", " 7.00", Wertart::Text, Glied<&P::mwstF7>},
    {S, "MwSt F8", "19.00", Wertart::Text, Glied<&P::mwstF8>},
    {S, kAenderung, "J", Wertart::Flag, Glied<&P::aenderung>},
    {S, "13.Monat", "J", Wertart::Flag, Glied<&P::dreizehnterMonat>},
    {S, "Signalton", "J", Wertart::Flag, Glied<&P::signalton>},
    {S, "Euro-Faktor", "1.95583", Wertart::Euro, Glied<&P::euroFaktor>},
    {S, "Kvop", "", Wertart::Flag, Glied<&P::kvop>},
    {S, "Fakt", "", Wertart::Flag, Glied<&P::fakt>},
    {S, "Verein", "", Wertart::Flag, Glied<&P::verein>},
    {S, "Texte zentral", "J", Wertart::Flag, Glied<&P::texteZentral>},
    {S, "Text F01", "", Wertart::Text, TextF<0>},
    {S, "Text F02", "", Wertart::Text, TextF<1>},
    {S, "Text F03", "", Wertart::Text, TextF<2>},
    {S, "Text F04", "", Wertart::Text, TextF<3>},
    {S, "Text F05", "", Wertart::Text, TextF<4>},
    {S, "Text F06", "", Wertart::Text, TextF<5>},
    {S, "Text F07", "", Wertart::Text, TextF<6>},
    {S, "Text F08", "", Wertart::Text, TextF<7>},
    {S, "Text F09", "", Wertart::Text, TextF<8>},
    {S, "Text F10", "", Wertart::Text, TextF<9>},
    {S, "Text F11", "", Wertart::Text, TextF<10>},
    {S, "Text F12", "", Wertart::Text, TextF<11>},
    {S, "Font Buchung", kStandardBuchungsfont, Wertart::Schrift, Glied<&P::fontBuchung>},
    {S, "Font Dialog", kStandardDialogfont, Wertart::Schrift, Glied<&P::fontDialog>},
    {S, "Font Nutzung", kStandardDialogfont, Wertart::Schrift, Glied<&P::fontNutzung>},
    {S, "Font Bildschirm", kStandardBuchungsfont, Wertart::Schrift, Glied<&P::fontBildschirm>},
    {S, "KvonlineProgramm", "C:\\Programme\\kvonline\\kvonline.exe", Wertart::Text,
     Glied<&P::kvonlineProgramm>, true},
    {S, "KvonlineImport", "C:\\Programme\\kvonline\\import", Wertart::Text,
     Glied<&P::kvonlineImport>, true},
    {S, "DatevExport", "", Wertart::Text, Glied<&P::datevExport>, true},
};

// The companion program writes the fonts of a new file, and adds missing
// ones on the upgrade, in this order rather than in that of the record.
constexpr std::string_view kSchriftfolge[] = {"Font Buchung", "Font Bildschirm", "Font Dialog",
                                              "Font Nutzung"};

const Schluessel& Eintrag(std::string_view name) {
  for (const Schluessel& s : kSchluessel)
    if (s.name == name) return s;
  return kSchluessel[0];  // not reached: every name asked for is in the table
}

// The value of a key as it is written from the record.
std::string Wertetext(const Schluessel& s, Programmkonfiguration& k) {
  const Feld f = s.feld(k);
  switch (s.art) {
    case Wertart::Text: {
      const std::span<char> text = std::get<std::span<char>>(f);
      return Feldtext(text.data(), text.size());
    }
    case Wertart::Zahl: return std::to_string(*std::get<int32_t*>(f));
    case Wertart::Flag: return Flagtext(*std::get<int32_t*>(f));
    case Wertart::Euro: return EuroText(*std::get<double*>(f));
    case Wertart::Aufloesung: return AufloesungText(*std::get<Aufloesung*>(f));
    case Wertart::Schrift: return SchriftsatzText(*std::get<Schriftsatz*>(f));
    case Wertart::Version: break;
  }
  return std::string();
}

// Puts a value read from the file into the record.
void SetzeWert(const Schluessel& s, Programmkonfiguration& k, std::string_view wert) {
  const Feld f = s.feld(k);
  switch (s.art) {
    case Wertart::Text: {
      const std::span<char> text = std::get<std::span<char>>(f);
      KopiereText(wert, text.data(), text.size());
      break;
    }
    case Wertart::Zahl: *std::get<int32_t*>(f) = Ganzzahl(wert); break;
    case Wertart::Flag: *std::get<int32_t*>(f) = IstFlagGesetzt(wert); break;
    case Wertart::Euro: *std::get<double*>(f) = Dezimalzahl(wert); break;
    case Wertart::Aufloesung: *std::get<Aufloesung*>(f) = AufloesungAus(wert); break;
    case Wertart::Schrift: *std::get<Schriftsatz*>(f) = SchriftsatzAus(wert); break;
    case Wertart::Version: break;
  }
}

}  // namespace

bool IstKonfigurationstext(std::string_view text) { return IstZeilentext(text); }

std::string KeineKonfigurationText(std::string_view pfad) {
  return W("Die Datei '") + std::string(pfad) +
         W("' ist keine lesbare Konfigurationsdatei\n(leer, binär oder ohne CR LF-Zeilenenden) "
           "und bleibt unverändert.\nEs gelten die Standardeinstellungen !");
}

int CIniSB::LeseKonfiguration(Status& status) {
  if (!IstKonfigurationstext(Text())) {
    // Not the companion program's file: completing it would bury whatever
    // it holds under a few keys and make it pass for a configuration.  It
    // is let go as it is; the settings of a new file stand in for it.
    Schliessen();
    SetzeText(std::string(kIniKopfzeile) + "\r\n");
    SchreibeStandardwerte();
    LeseSatz();
    return 0;
  }
  const bool ergaenzt = LeseSatz();
  // Only a file held open is completed; one that could only be read (a
  // read-only file) keeps its text, and the record has the defaults.
  return ergaenzt && IstOffen() ? Speichern(status) : 1;
}

bool CIniSB::LeseSatz() {
  bool ergaenzt = false;
  std::string w;
  for (const Schluessel& s : kSchluessel) {
    if (!s.feld) continue;  // the version is the upgrade's business
    if (!LeseWert(s.sektion, s.name, w) && s.nachtrag) {
      SchreibeWert(s.sektion, s.name, s.standard);
      LeseWert(s.sektion, s.name, w);
      ergaenzt = true;
    }
    SetzeWert(s, konfiguration, w);
  }
  return ergaenzt;
}

int CIniSB::SchreibeKonfiguration(Status& status) {
  if (Dateiname().empty()) SetzeDateiname(kKonfigurationsdatei);
  Status offen;
  const int geoeffnet = Oeffnen(0, offen);
  // The settings were not saved: say so, also when the file probe failed
  // without a message of its own.
  if (geoeffnet != 1 && offen.Meldungen().empty())
    offen.Uebernimm(Meldung::Fehler("Konnte in Datei '" + Dateiname() + "' nicht schreiben !"));
  status.Uebernimm(std::move(offen));
  if (geoeffnet != 1) return geoeffnet;

  Programmkonfiguration& k = konfiguration;
  if (k.aufloesung.hoehe < kMinZeichenhoehe || k.aufloesung.hoehe > kMaxZeichenhoehe)
    k.aufloesung.hoehe = kErsatzZeichenhoehe;
  if (k.aufloesung.breite < kMinZeichenbreite || k.aufloesung.breite > kMaxZeichenbreite)
    k.aufloesung.breite = kErsatzZeichenbreite;
  Begrenze(k.fontBuchung);
  Begrenze(k.fontDialog);
  Begrenze(k.fontNutzung);
  Begrenze(k.fontBildschirm);

  for (const Schluessel& s : kSchluessel)
    if (s.feld) SchreibeWert(s.sektion, s.name, Wertetext(s, k));

  const int gespeichert = Speichern(status);
  Schliessen();
  return gespeichert;
}

int CIniSB::SchreibeStandardKonfiguration(Status& status, std::string_view pfad) {
  SetzeDateiname(pfad);
  const int geoeffnet = Oeffnen(0, status);
  if (geoeffnet != 1) return geoeffnet;
  SchreibeStandardwerte();
  const int gespeichert = Speichern(status);
  Schliessen();
  return gespeichert;
}

void CIniSB::SchreibeStandardwerte() {
  for (const Schluessel& s : kSchluessel) {
    if (s.art != Wertart::Schrift)
      SchreibeWert(s.sektion, s.name, s.standard);
    else if (s.name == kSchriftfolge[0])
      for (std::string_view name : kSchriftfolge) SchreibeWert(S, name, Eintrag(name).standard);
  }
}

int CIniSB::AktualisiereKonfiguration(Status& status, std::string_view pfad) {
  SetzeDateiname(pfad);
  const int geoeffnet = Oeffnen(0, status);
  if (geoeffnet != 1) return geoeffnet;
  Einlesen(status);
  const bool konfigurationstext = IstKonfigurationstext(Text());
  int ergebnis = LeseKonfiguration(status);
  // LeseKonfiguration let such a file go unchanged; no upgrade either.
  if (!konfigurationstext) return ergebnis;

  std::string w;
  const int gespeicherteVersion = LeseWert(S, "Version", w) ? Ganzzahl(Teil(w, 1)) : 0;
  if (gespeicherteVersion < Ganzzahl(kKonfigurationsversion.substr(1))) {
    if (!LeseWert(S, kAufloesung, w) || w.size() < 5)
      SchreibeWert(S, kAufloesung, kStandardAufloesung);
    for (std::string_view name : kSchriftfolge)
      if (!LeseWert(S, name, w)) SchreibeWert(S, name, Eintrag(name).standard);
    SchreibeWert(S, "Version", kKonfigurationsversion);
    ergebnis = Speichern(status);
  }
  // Saved by whoever saves next.
  for (const Schluessel& s : kSchluessel)
    if (s.nachtrag && !LeseWert(s.sektion, s.name, w)) SchreibeWert(s.sektion, s.name, s.standard);
  Schliessen();
  return ergebnis;
}

int CIniSB::BerechneAufloesung() {
  const Programmkonfiguration& k = konfiguration;
  const Schriftsatz& quelle =
      k.fontBuchung.breite * 80 + 56 >= k.fontBildschirm.breite * 110 + 64 ? k.fontBuchung
                                                                         : k.fontBildschirm;
  const int32_t hoehe = std::clamp<int32_t>(quelle.hoehe, kMinZeichenhoehe, kMaxZeichenhoehe);
  const int32_t breite = std::clamp<int32_t>(quelle.breite, kMinZeichenbreite, kMaxZeichenbreite);
  konfiguration.aufloesung = {hoehe, breite};
  return hoehe == quelle.hoehe && breite == quelle.breite;
}

Fenstergroesse BerechneFenstergroesse(Status& status, std::string_view pfad) {
  Aufloesung a;  // 25 x 8
  if (PruefeDatei(std::string(pfad)) == 1) {
    CIniDatei ini;
    ini.SetzeDateiname(pfad);
    std::string w;
    if (ini.Oeffnen(0, status) == 1 && ini.LeseWert(S, kAufloesung, w) && w.size() >= 5)
      a = AufloesungAus(w);
    ini.Schliessen();
  }
  return {a.breite * 112 + 64, a.hoehe * 30 + 48};
}

}  // namespace kv
