#include "reports/druck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "basis/format.h"
#include "basis/oberflaeche.h"
#include "basis/text1252.h"
#include "storage/texte.h"

namespace kv {

namespace {

constexpr int kTitelFehler = 58001;  // "FEHLER"

// The error box of the work file's messages.
Meldung Fehler(int textNr) { return Meldung::Nr(textNr, kTitelFehler, Meldungsart::Fehler); }
Meldung Fehler(std::string text) {
  return Meldung::Text(std::move(text), kTitelFehler, Meldungsart::Fehler);
}
constexpr char kUnterstrich = '\xAD';

// Visible length of a line: without its trailing CR LF.
size_t Sichtbar(const std::string& zeile) {
  if (zeile.size() >= 2 && zeile.compare(zeile.size() - 2, 2, "\r\n") == 0)
    return zeile.size() - 2;
  return zeile.size();
}

std::string ZeitpunktText(int tag, int monat, int jahr) {
  if (monat == 0) return "Anfangswerte";
  if (monat == 13) return "Abschluss";
  return DatumText(tag, monat, jahr);
}

std::string Ziffern(const std::string& text) {
  std::string z;
  for (char c : text)
    if (c >= '0' && c <= '9') z += c;
  return z;
}

}  // namespace

int Satzbreite(int ausgabeart) {
  switch (ausgabeart) {
    case kAusgabeSaldenlisteVerkehr:
    case kAusgabeAuswertungMonat:
    case kAusgabeKontenverlauf:
    case kAusgabeProtokoll:
    case kAusgabeKreisspiegel:
      return 112;
    default:
      return 67;
  }
}

int Kopfreserve(int ausgabeart) {
  switch (ausgabeart) {
    case kAusgabeUebersicht:
      return 14;
    case kAusgabeSaldenliste:
    case kAusgabeSaldenlisteVerkehr:
    case kAusgabeAuswertungMonat:
    case kAusgabeKontenverlauf:
    case kAusgabeProtokoll:
    case kAusgabeKreisspiegel:
      return 22;
    default:
      return 20;
  }
}

// ---- Print state ------------------------------------------------------------

Druckzustand::Druckzustand() : Seitenende(kMaxSeiten + 2, -1) { Seitenende[0] = 0; }

Status Druckzustand::OeffneDruckdatei(const std::string& pfad, int satzbreite) {
  datei_.Schliessen();
  lesen_.Schliessen();
  ausstehend_.clear();
  gesammelt_ = false;
  seite_.clear();
  seiteNr_ = 0;
  pfad_ = pfad;
  satzbreite_ = std::max(satzbreite, 3);
  fehler_ = false;
  lauf_ = Status();
  seitenzahl_ = 0;
  Blatt = 1;
  KopfBlatt = 0;
  RestZeilen = 0;
  Dateiposition = 0;
  std::fill(Seitenende.begin(), Seitenende.end(), -1);
  Seitenende[0] = 0;

  Status status;
  {
    Datei neu;
    if (!neu.Oeffnen(pfad, Datei::Anlegen)) {
      // A link in place of the work file would have the report written
      // into whatever file it names: refused, and named.
      if (neu.Fehler() == DateiFehler::KeineDatei)
        return Fehler(DateiFehlerText(neu.Fehler(), neu.Pfad()));
      status.Dazu(Fehler(58048));
    }
  }
  if (!datei_.Oeffnen(pfad, Datei::LesenSchreiben)) status.Uebernimm(Fehler(58049));
  return status;
}

void Druckzustand::SetzeZeilenJeSeite(const Druckauswahl& auswahl, int ausgabeart) {
  ZeilenJeSeite = auswahl.ZeilenProSeite - auswahl.RandOben - Kopfreserve(ausgabeart);
}

int Druckzustand::Schreibe(const std::string& text) {
  if (fehler_) return 0;
  // Every record is exactly W bytes ending in CR LF, whatever the caller's
  // text looks like: the sinks find lines by arithmetic alone.
  std::string satz = text.substr(0, Sichtbar(text));
  satz.resize(static_cast<size_t>(satzbreite_ - 2), ' ');
  satz += "\r\n";
  if (!datei_.IstOffen()) {
    fehler_ = true;
    lauf_.Dazu(Fehler(58051));
    return 0;
  }
  if (!gesammelt_) {
    if (!datei_.Schreibe(satz.data(), satz.size())) {
      fehler_ = true;
      lauf_.Dazu(Fehler(58051));
      return 0;
    }
    Dateiposition += satzbreite_;
    return 1;
  }
  ausstehend_ += satz;
  Dateiposition += satzbreite_;
  if (ausstehend_.size() >= kSchreibblock) return SchreibeAusstehende();
  return 1;
}

int Druckzustand::SchreibeAusstehende() {
  if (ausstehend_.empty() || fehler_) {
    ausstehend_.clear();
    return fehler_ ? 0 : 1;
  }
  const bool ok = datei_.Schreibe(ausstehend_.data(), ausstehend_.size());
  ausstehend_.clear();
  if (ok) return 1;
  fehler_ = true;
  lauf_.Dazu(Fehler(58051));
  return 0;
}

int Druckzustand::SchreibeKopfzeile(const std::string& text) { return Schreibe(text); }

int Druckzustand::SchreibeZeile(const std::string& text) {
  const int ok = Schreibe(text);
  --RestZeilen;
  return ok;
}

int Druckzustand::SeiteAbschliessen(int leerzeilen, int satzbreite, int blatt) {
  for (int i = 0; i < leerzeilen; ++i)
    if (!Schreibe(Leerzeile(satzbreite))) return 0;
  if (!Schreibe(Fortsetzungszeile(satzbreite, blatt))) return 0;
  RestZeilen = ZeilenJeSeite;
  // Pages beyond the table's end fold into its last page.
  if (blatt >= 1 && blatt <= kMaxSeiten) Seitenende[blatt] = Dateiposition;
  return 1;
}

bool Druckzustand::BrauchtSeitenkopf(int zeilen) const {
  return Blatt != KopfBlatt || RestZeilen < zeilen;
}

int Druckzustand::BeginneSeite(bool umbruch) {
  int ok = 1;
  if (umbruch) {
    ok = SeiteAbschliessen(RestZeilen + 2, satzbreite_, Blatt);
    ++Blatt;
  }
  RestZeilen = ZeilenJeSeite;
  KopfBlatt = Blatt;
  return ok && !fehler_;
}

void Druckzustand::Abbrechen(const std::string& meldung) {
  // A write that failed before this point stops the report first, as it
  // would have had every line been written at once.
  SchreibeAusstehende();
  if (fehler_) return;
  fehler_ = true;
  if (!meldung.empty()) lauf_.Dazu(Fehler(meldung));
}

Status Druckzustand::SchliesseDruckdatei(Druckauswahl& auswahl) {
  const int letzte = std::clamp(Blatt, 1, kMaxSeiten);
  Seitenende[letzte] = Dateiposition;
  Seitenende[letzte + 1] = -1;
  seitenzahl_ = letzte;
  auswahl.Seitenzahl = letzte;
  SchreibeAusstehende();
  if (!fehler_ && !datei_.SetzeLaenge(Dateiposition)) {
    fehler_ = true;
    lauf_.Dazu(Fehler(58051));
  }
  datei_.Schliessen();
  lesen_.Schliessen();
  seite_.clear();
  seiteNr_ = 0;
  Status status = std::move(lauf_);
  lauf_ = Status();
  if (fehler_) status.SetzeFehlschlag();
  return status;
}

int Druckzustand::LeseZeile(int seite, int zeile, std::string& puffer, Status& status) const {
  puffer.clear();
  if (seite < 1 || seite > kMaxSeiten || zeile < 0) return 0;
  const int64_t anfang = Seitenende[seite - 1];
  const int64_t ende = Seitenende[seite];
  if (anfang < 0) return 0;
  const int64_t position = anfang + static_cast<int64_t>(zeile) * satzbreite_;
  if (position >= ende) return 0;

  // Screen, printer and the command line read line after line: the page is
  // read once, the lines come from it.  What a short read brought is kept,
  // so the lines before the end of a cut file still arrive.
  const size_t imBlock = static_cast<size_t>(position - anfang);
  const size_t laenge = static_cast<size_t>(satzbreite_ - 2);
  if (seiteNr_ != seite || seite_.size() < imBlock + laenge) {
    // The handle stays open between reads: every open resolves the name
    // afresh.
    seiteNr_ = 0;
    seite_.clear();
    if (!lesen_.IstOffen() && !lesen_.Oeffnen(pfad_, Datei::Lesen)) {
      status.Uebernimm(Fehler(58049));
      return 0;
    }
    if (!lesen_.Positioniere(anfang)) {
      lesen_.Schliessen();
      status.Uebernimm(Fehler(W("Positionierfehler in temporärer Datei aufgetreten !")));
      return 0;
    }
    seite_.resize(static_cast<size_t>(ende - anfang));
    const int64_t gelesen = lesen_.Lies(seite_.data(), seite_.size());
    seite_.resize(static_cast<size_t>(std::max<int64_t>(gelesen, 0)));
    seiteNr_ = seite;
    if (seite_.size() < imBlock + laenge) {
      lesen_.Schliessen();
      status.Uebernimm(Fehler(W("Fehler beim Lesen aus der temporären Datei !")));
      return 0;
    }
  }
  puffer.assign(seite_, imBlock, laenge);
  return 1;
}

int Druckzustand::Seitenzahl() const { return seitenzahl_; }

// ---- Lines and fields ---------------------------------------------------------

std::string Leerzeile(int satzbreite) {
  return std::string(static_cast<size_t>(std::max(satzbreite - 2, 0)), ' ') + "\r\n";
}

std::string Trennlinie(int satzbreite) {
  return std::string(static_cast<size_t>(std::max(satzbreite - 2, 0)), kUnterstrich) + "\r\n";
}

std::string Fortsetzungszeile(int satzbreite, int blatt) {
  // Right-aligned, so a three-digit page number starts one column further
  // left and the line keeps its width.
  return Format("%*s\r\n", std::max(satzbreite - 2, 0), (BlattText(blatt) + "+").c_str());
}

std::string Namenszeile(const std::string& name, int satzbreite) {
  std::string z = name.substr(0, Sichtbar(name));
  z.resize(static_cast<size_t>(std::max(satzbreite - 2, 0)), ' ');
  return z + "\r\n";
}

std::string BlattText(int blatt) {
  const unsigned nr = static_cast<unsigned>(blatt);
  return blatt > 99 ? Format("Blatt %03u", nr) : Format("Blatt %02u", nr);
}

void Unterstreiche(std::string& zeile, int laenge) {
  const size_t n = std::min(static_cast<size_t>(std::max(laenge, 0)), Sichtbar(zeile));
  std::fill_n(zeile.begin(), n, kUnterstrich);
}

int JahrDesMonats(int monat, int ersterMonat, int buchungsjahr) {
  if (ersterMonat <= 1 || ersterMonat > 12) return buchungsjahr;
  std::string anfang, ende;
  TeileJahr(buchungsjahr, true, anfang, ende);
  const bool zweitesJahr = (monat > 0 && monat < ersterMonat) || monat == 13;
  return std::atoi(zweitesJahr ? ende.c_str() : anfang.c_str());
}

int KorrigiereTag(int tag, int monat, int jahr) {
  if (tag < 1) return 1;
  return std::min(tag, LetzterTag(monat, jahr));
}

std::string DatumText(int tag, int monat, int jahr) {
  return Format("%02i.%02i.%04i", KorrigiereTag(tag, monat, jahr), monat, jahr);
}

int FuegeKumTitelEin(std::string& zeile, int spalte, int tag, int monat, int jahr) {
  std::string marke;
  if (monat == 0)
    marke = " (kum.),  Anfangswerte";
  else if (monat == 13)
    marke = " (kum.),  Abschluss";
  else
    marke = " (kum.) zum " + DatumText(tag, monat, jahr);
  if (spalte < 0 || static_cast<size_t>(spalte) + marke.size() > Sichtbar(zeile)) return -1;
  zeile.replace(static_cast<size_t>(spalte), marke.size(), marke);
  return static_cast<int>(marke.size());
}

int FuegeZeitraumEin(std::string& zeile, int vonTag, int vonMonat, int vonJahr, int bisTag,
                     int bisMonat, int bisJahr) {
  const std::string text = "Zeitraum: " + ZeitpunktText(vonTag, vonMonat, vonJahr) + "-" +
                           ZeitpunktText(bisTag, bisMonat, bisJahr) + "\r\n";
  if (text.size() > zeile.size()) return 0;
  zeile.replace(zeile.size() - text.size(), text.size(), text);
  return 1;
}

std::string Betragsfeld(double betrag, int breite) {
  if (breite <= 0) return "";
  const std::string sterne(static_cast<size_t>(breite), '*');
  if (!std::isfinite(betrag)) return sterne;
  std::string feld = FormatiereBetrag(betrag, breite);
  // The field is faithful when it still holds every digit and the sign of
  // the plain text; otherwise leading digits or the minus sign were cut.
  const std::string voll = Format("%.2f", betrag);
  const bool negativ = voll.find('-') != std::string::npos;
  if (feld.size() > static_cast<size_t>(breite) || Ziffern(feld) != Ziffern(voll) ||
      (feld.find('-') != std::string::npos) != negativ)
    return sterne;
  if (feld.size() < static_cast<size_t>(breite)) feld.insert(0, breite - feld.size(), ' ');
  return feld;
}

std::string Prozentfeld(double wert, double basis, int breite) {
  if (breite <= 0) return "";
  if (basis == 0.0) return Format("%*s", breite, "-----");
  const double p = std::clamp(wert * 100.0 / basis, -99999.99, 999999.99);
  return Betragsfeld(p, breite);
}

}  // namespace kv
