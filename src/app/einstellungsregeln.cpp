#include "app/einstellungsregeln.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "storage/texte.h"

namespace kv {
namespace {

// Copies a text into a fixed field, cut to the field's size minus the NUL.
template <std::size_t N>
void Setze(char (&feld)[N], std::string_view text) {
  const std::size_t n = std::min(text.size(), N - 1);
  std::memcpy(feld, text.data(), n);
  std::memset(feld + n, 0, N - n);
}

// "%.2f" without the locale.
std::string ZweiStellen(double wert) {
  if (!std::isfinite(wert)) wert = 0;
  if (wert == 0) wert = 0;  // no "-0.00"
  char puffer[400];
  const auto r = std::to_chars(puffer, puffer + sizeof puffer, wert, std::chars_format::fixed, 2);
  if (r.ec != std::errc()) return "0.00";
  return std::string(puffer, r.ptr);
}

Meldung Fehler(std::string text) {
  return Meldung::Text(std::move(text), 58001, Meldungsart::Fehler);
}

}  // namespace

void UebernehmeProgrammverwaltung(Programmkonfiguration& k, bool gesondert,
                                  std::string_view datenpfad, std::string_view programm,
                                  std::string_view uebergabe) {
  Setze(k.daten, gesondert ? datenpfad : std::string_view());
  Setze(k.kvonlineProgramm, programm);
  Setze(k.kvonlineImport, uebergabe);
}

std::string FiltrierePasswort(std::string_view text) {
  std::string r;
  for (char c : text.substr(0, kPasswortFeldlaenge)) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.')
      r += c;
  }
  return r;
}

void UebernehmeBuchungstechnik(Programmkonfiguration& k, bool dreizehnterMonat,
                               bool passwortVerwenden, std::string_view passwort) {
  k.dreizehnterMonat = dreizehnterMonat ? 1 : 0;
  Setze(k.passwort, passwortVerwenden ? FiltrierePasswort(passwort) : std::string());
}

std::string MwstAnzeige(std::string_view gespeichert) {
  return ZweiStellen(Dezimalzahl(gespeichert));
}

Status FilterMwst(std::string& text) {
  // The character rules are those of every amount field; the limits are
  // checked here without the C library's locale.
  Status status = FilterBetrag(text, HUGE_VAL);
  const double wert = Dezimalzahl(text);
  if (wert > kMaxMwstSatz) {
    text = "0.00";
    return status.Uebernimm(Fehler("Maximaler Betrag: " + ZweiStellen(kMaxMwstSatz)));
  }
  if (wert < kMinMwstSatz) {
    text = "0.00";
    return status.Uebernimm(Fehler("Minimaler Betrag: " + ZweiStellen(kMinMwstSatz)));
  }
  return status;
}

std::string MwstText(std::string_view text) {
  std::string t = ZweiStellen(Dezimalzahl(text));
  if (t.size() < 5) t.insert(0, 5 - t.size(), ' ');
  return t;
}

void UebernehmeMwst(Programmkonfiguration& k, std::string_view f7, std::string_view f8) {
  Setze(k.mwstF7, MwstText(f7));
  Setze(k.mwstF8, MwstText(f8));
}

int FindeSchriftgroesse(const Schriftsatz& s) {
  for (std::size_t i = 0; i < kSchriftgroessen.size(); ++i)
    if (kSchriftgroessen[i].breite == s.breite && kSchriftgroessen[i].hoehe == s.hoehe)
      return static_cast<int>(i);
  return -1;
}

bool FettNachRegel(int groesse, bool fett) {
  if (groesse >= 0 && groesse < static_cast<int>(kSchriftgroessen.size()) &&
      kSchriftgroessen[groesse].breite >= kFettAbBreite)
    return true;
  return fett;
}

int StandardSchriftgroesse(int bildschirmBreite, int bildschirmHoehe) {
  return bildschirmBreite < 800 || bildschirmHoehe < 600 ? 0 : 1;
}

namespace {

Schriftsatz Bildschirmschrift(int groesse, bool fett) {
  Schriftsatz s;  // without a size: the substitute cell 23 x 8
  if (groesse >= 0 && groesse < static_cast<int>(kSchriftgroessen.size())) {
    s.breite = kSchriftgroessen[groesse].breite;
    s.hoehe = kSchriftgroessen[groesse].hoehe;
  }
  s.gewicht = fett || s.breite > 13 ? 700 : 400;
  Setze(s.name, "Courier New");
  return s;
}

}  // namespace

void UebernehmeBildschirmschriften(CIniSB& ini, int buchung, bool buchungFett, int bildschirm,
                                   bool bildschirmFett) {
  Programmkonfiguration& k = ini.konfiguration;
  k.fontBuchung = Bildschirmschrift(buchung, buchungFett);
  k.fontBildschirm = Bildschirmschrift(bildschirm, bildschirmFett);
  Schriftsatz dialog;
  dialog.hoehe = 16;
  dialog.breite = 6;
  dialog.gewicht = 700;
  Setze(dialog.name, "Arial");
  k.fontDialog = dialog;
  k.fontNutzung = dialog;
  ini.BerechneAufloesung();
}

}  // namespace kv
