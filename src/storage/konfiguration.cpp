#include "storage/konfiguration.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "basis/oberflaeche.h"
#include "basis/text1252.h"

namespace kv {
namespace {

constexpr std::string_view S = kKonfigurationssektion;

constexpr std::string_view kStandardBuchungsfont = "25,08,0400,Courier New";
constexpr std::string_view kStandardDialogfont = "16,06,0700,Arial";
constexpr std::string_view kStandardAufloesung = "25,08";

// Keys that the companion program added later; a configuration without them
// gets them on the next read.
struct Nachtragsschluessel {
  std::string_view schluessel;
  std::string_view standard;
};
constexpr Nachtragsschluessel kOnlineSchluessel[] = {
    {"KvonlineProgramm", "C:\\Programme\\kvonline\\kvonline.exe"},
    {"KvonlineImport", "C:\\Programme\\kvonline\\import"},
    {"DatevExport", ""},
};

std::string TextF(int i) {  // "Text F01" .. "Text F12"
  char puffer[32];
  std::snprintf(puffer, sizeof puffer, "Text F%02i", i + 1);
  return puffer;
}

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

}  // namespace

bool IstKonfigurationstext(std::string_view text) { return IstZeilentext(text); }

std::string KeineKonfigurationText(std::string_view pfad) {
  return W("Die Datei '") + std::string(pfad) +
         W("' ist keine lesbare Konfigurationsdatei\n(leer, binär oder ohne CR LF-Zeilenenden) "
           "und bleibt unverändert.\nEs gelten die Standardeinstellungen !");
}

int CIniSB::LeseKonfiguration() {
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
  return ergaenzt && IstOffen() ? Speichern() : 1;
}

bool CIniSB::LeseSatz() {
  Programmkonfiguration& k = konfiguration;
  std::string w;
  LeseWert(S, "Daten", k.daten);
  LeseWert(S, "Sicherung", k.sicherung);
  LeseWert(S, "Import", k.importVerzeichnis);
  LeseWert(S, "Export", k.exportVerzeichnis);
  LeseWert(S, "Passwort", k.passwort);
  LeseWert(S, "Drucker", k.drucker);
  LeseWert(S, "Zeilen pro Seite", w);
  k.zeilenProSeite = Ganzzahl(w);
  LeseWert(S, "Rand oben", w);
  k.randOben = Ganzzahl(w);
  LeseWert(S, "Rand links", w);
  k.randLinks = Ganzzahl(w);
  LeseWert(S, "Farbe", w);
  k.farbe = Ganzzahl(w);
  LeseWert(S, W("Auflösung"), w);
  k.aufloesung = AufloesungAus(w);
  LeseWert(S, "Font Scr normal", k.fontScrNormal);
  LeseWert(S, "Font Scr fett", k.fontScrFett);
  LeseWert(S, "Font Prn normal", k.fontPrnNormal);
  LeseWert(S, "Font Prn schmal", k.fontPrnSchmal);
  LeseWert(S, "MwSt F7", k.mwstF7);
  LeseWert(S, "MwSt F8", k.mwstF8);
  LeseWert(S, W("Änderung"), w);
  k.aenderung = IstFlagGesetzt(w);
  LeseWert(S, "13.Monat", w);
  k.dreizehnterMonat = IstFlagGesetzt(w);
  LeseWert(S, "Signalton", w);
  k.signalton = IstFlagGesetzt(w);
  LeseWert(S, "Euro-Faktor", w);
  k.euroFaktor = Dezimalzahl(w);
  LeseWert(S, "Kvop", w);
  k.kvop = IstFlagGesetzt(w);
  LeseWert(S, "Fakt", w);
  k.fakt = IstFlagGesetzt(w);
  LeseWert(S, "Verein", w);
  k.verein = IstFlagGesetzt(w);
  LeseWert(S, "Texte zentral", w);
  k.texteZentral = IstFlagGesetzt(w);
  for (int i = 0; i < 12; ++i) LeseWert(S, TextF(i), k.texte[i]);
  LeseWert(S, "Font Buchung", w);
  k.fontBuchung = SchriftsatzAus(w);
  LeseWert(S, "Font Dialog", w);
  k.fontDialog = SchriftsatzAus(w);
  LeseWert(S, "Font Nutzung", w);
  k.fontNutzung = SchriftsatzAus(w);
  LeseWert(S, "Font Bildschirm", w);
  k.fontBildschirm = SchriftsatzAus(w);

  char* onlineFelder[] = {k.kvonlineProgramm, k.kvonlineImport, k.datevExport};
  bool ergaenzt = false;
  for (std::size_t i = 0; i < std::size(kOnlineSchluessel); ++i) {
    const auto& o = kOnlineSchluessel[i];
    if (!LeseWert(S, o.schluessel, onlineFelder[i], 260)) {
      SchreibeWert(S, o.schluessel, o.standard);
      LeseWert(S, o.schluessel, onlineFelder[i], 260);
      ergaenzt = true;
    }
  }
  return ergaenzt;
}

int CIniSB::SchreibeKonfiguration() {
  if (Dateiname().empty()) SetzeDateiname(kKonfigurationsdatei);
  const int geoeffnet = Oeffnen(0);
  if (geoeffnet != 1) {
    // The settings were not saved: say so, also when the file probe failed
    // without a message of its own.
    if (!FehlerGemeldet())
      ZeigeMeldung("Konnte in Datei '" + Dateiname() + "' nicht schreiben !", "FEHLER", 16);
    return geoeffnet;
  }

  Programmkonfiguration& k = konfiguration;
  if (k.aufloesung.hoehe < kMinZeichenhoehe || k.aufloesung.hoehe > kMaxZeichenhoehe)
    k.aufloesung.hoehe = kErsatzZeichenhoehe;
  if (k.aufloesung.breite < kMinZeichenbreite || k.aufloesung.breite > kMaxZeichenbreite)
    k.aufloesung.breite = kErsatzZeichenbreite;
  Begrenze(k.fontBuchung);
  Begrenze(k.fontDialog);
  Begrenze(k.fontNutzung);
  Begrenze(k.fontBildschirm);

  SchreibeWert(S, "Daten", Feldtext(k.daten));
  SchreibeWert(S, "Sicherung", Feldtext(k.sicherung));
  SchreibeWert(S, "Import", Feldtext(k.importVerzeichnis));
  SchreibeWert(S, "Export", Feldtext(k.exportVerzeichnis));
  SchreibeWert(S, "Passwort", Feldtext(k.passwort));
  SchreibeWert(S, "Drucker", Feldtext(k.drucker));
  SchreibeWert(S, "Zeilen pro Seite", std::to_string(k.zeilenProSeite));
  SchreibeWert(S, "Rand oben", std::to_string(k.randOben));
  SchreibeWert(S, "Rand links", std::to_string(k.randLinks));
  SchreibeWert(S, "Farbe", std::to_string(k.farbe));
  SchreibeWert(S, W("Auflösung"), AufloesungText(k.aufloesung));
  SchreibeWert(S, "Font Scr normal", Feldtext(k.fontScrNormal));
  SchreibeWert(S, "Font Scr fett", Feldtext(k.fontScrFett));
  SchreibeWert(S, "Font Prn normal", Feldtext(k.fontPrnNormal));
  SchreibeWert(S, "Font Prn schmal", Feldtext(k.fontPrnSchmal));
  SchreibeWert(S, "MwSt F7", Feldtext(k.mwstF7));
  SchreibeWert(S, "MwSt F8", Feldtext(k.mwstF8));
  SchreibeWert(S, W("Änderung"), Flagtext(k.aenderung));
  SchreibeWert(S, "13.Monat", Flagtext(k.dreizehnterMonat));
  SchreibeWert(S, "Signalton", Flagtext(k.signalton));
  SchreibeWert(S, "Euro-Faktor", EuroText(k.euroFaktor));
  SchreibeWert(S, "Kvop", Flagtext(k.kvop));
  SchreibeWert(S, "Fakt", Flagtext(k.fakt));
  SchreibeWert(S, "Verein", Flagtext(k.verein));
  SchreibeWert(S, "Texte zentral", Flagtext(k.texteZentral));
  for (int i = 0; i < 12; ++i) SchreibeWert(S, TextF(i), Feldtext(k.texte[i]));
  SchreibeWert(S, "Font Buchung", SchriftsatzText(k.fontBuchung));
  SchreibeWert(S, "Font Dialog", SchriftsatzText(k.fontDialog));
  SchreibeWert(S, "Font Nutzung", SchriftsatzText(k.fontNutzung));
  SchreibeWert(S, "Font Bildschirm", SchriftsatzText(k.fontBildschirm));
  SchreibeWert(S, "KvonlineProgramm", Feldtext(k.kvonlineProgramm));
  SchreibeWert(S, "KvonlineImport", Feldtext(k.kvonlineImport));
  SchreibeWert(S, "DatevExport", Feldtext(k.datevExport));

  const int gespeichert = Speichern();
  Schliessen();
  return gespeichert;
}

int CIniSB::SchreibeStandardKonfiguration(std::string_view pfad) {
  SetzeDateiname(pfad);
  const int geoeffnet = Oeffnen(0);
  if (geoeffnet != 1) return geoeffnet;
  SchreibeStandardwerte();
  const int gespeichert = Speichern();
  Schliessen();
  return gespeichert;
}

void CIniSB::SchreibeStandardwerte() {
  SchreibeWert(S, "Version", kKonfigurationsversion);
  SchreibeWert(S, "Daten", "");
  SchreibeWert(S, "Sicherung", "A:          ");
  SchreibeWert(S, "Import", "");
  SchreibeWert(S, "Export", "");
  SchreibeWert(S, "Passwort", "");
  SchreibeWert(S, "Drucker", "");
  SchreibeWert(S, "Zeilen pro Seite", "68");
  SchreibeWert(S, "Rand oben", "0");
  SchreibeWert(S, "Rand links", "9");
  SchreibeWert(S, "Farbe", "");
  SchreibeWert(S, W("Auflösung"), kStandardAufloesung);
  SchreibeWert(S, "Font Scr normal", "");
  SchreibeWert(S, "Font Scr fett", "");
  SchreibeWert(S, "Font Prn normal", "240");
  SchreibeWert(S, "Font Prn schmal", "144");
  SchreibeWert(S, "MwSt F7", " 7.00");
  SchreibeWert(S, "MwSt F8", "19.00");
  SchreibeWert(S, W("Änderung"), "J");
  SchreibeWert(S, "13.Monat", "J");
  SchreibeWert(S, "Signalton", "J");
  SchreibeWert(S, "Euro-Faktor", "1.95583");
  SchreibeWert(S, "Kvop", "");
  SchreibeWert(S, "Fakt", "");
  SchreibeWert(S, "Verein", "");
  SchreibeWert(S, "Texte zentral", "J");
  for (int i = 0; i < 12; ++i) SchreibeWert(S, TextF(i), "");
  SchreibeWert(S, "Font Buchung", kStandardBuchungsfont);
  SchreibeWert(S, "Font Bildschirm", kStandardBuchungsfont);
  SchreibeWert(S, "Font Dialog", kStandardDialogfont);
  SchreibeWert(S, "Font Nutzung", kStandardDialogfont);
  for (const auto& o : kOnlineSchluessel) SchreibeWert(S, o.schluessel, o.standard);
}

int CIniSB::AktualisiereKonfiguration(std::string_view pfad) {
  SetzeDateiname(pfad);
  const int geoeffnet = Oeffnen(0);
  if (geoeffnet != 1) return geoeffnet;
  Einlesen();
  const bool konfigurationstext = IstKonfigurationstext(Text());
  int ergebnis = LeseKonfiguration();
  // LeseKonfiguration let such a file go unchanged; no upgrade either.
  if (!konfigurationstext) return ergebnis;

  std::string w;
  const int gespeicherteVersion = LeseWert(S, "Version", w) ? Ganzzahl(Teil(w, 1)) : 0;
  if (gespeicherteVersion < Ganzzahl(kKonfigurationsversion.substr(1))) {
    if (!LeseWert(S, W("Auflösung"), w) || w.size() < 5)
      SchreibeWert(S, W("Auflösung"), kStandardAufloesung);
    const std::pair<std::string_view, std::string_view> fonts[] = {
        {"Font Buchung", kStandardBuchungsfont},
        {"Font Bildschirm", kStandardBuchungsfont},
        {"Font Dialog", kStandardDialogfont},
        {"Font Nutzung", kStandardDialogfont},
    };
    for (const auto& [schluessel, standard] : fonts)
      if (!LeseWert(S, schluessel, w)) SchreibeWert(S, schluessel, standard);
    SchreibeWert(S, "Version", kKonfigurationsversion);
    ergebnis = Speichern();
  }
  // Saved by whoever saves next.
  for (const auto& o : kOnlineSchluessel)
    if (!LeseWert(S, o.schluessel, w)) SchreibeWert(S, o.schluessel, o.standard);
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

Fenstergroesse BerechneFenstergroesse(std::string_view pfad) {
  Aufloesung a;  // 25 x 8
  if (PruefeDatei(std::string(pfad)) == 1) {
    CIniDatei ini;
    ini.SetzeDateiname(pfad);
    std::string w;
    if (ini.Oeffnen(0) == 1 && ini.LeseWert(S, W("Auflösung"), w) && w.size() >= 5)
      a = AufloesungAus(w);
    ini.Schliessen();
  }
  return {a.breite * 112 + 64, a.hoehe * 30 + 48};
}

}  // namespace kv
