#include "storage/salden.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "basis/datei.h"
#include "storage/sindex.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int kMeldungSchreibfehler = 58100;  // "Konto konnte nicht in Saldendatei gespeichert werden !"

Status Schreibfehler() { return Meldung::Fehler(kMeldungSchreibfehler); }

bool IstLeer(const char* s, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (s[i] != ' ' && s[i] != '\0') return false;
  return true;
}

// Copies a field of the record into a NUL-terminated text field.
template <size_t N>
void NachText(char (&ziel)[N], const char* quelle) {
  std::memcpy(ziel, quelle, N - 1);
  ziel[N - 1] = '\0';
}

template <size_t N>
void SetzeText(char (&ziel)[N], const std::string& text) {
  size_t n = std::min(text.size(), N - 1);
  n = ::strnlen(text.c_str(), n);
  std::memcpy(ziel, text.data(), n);
  ziel[n] = '\0';
}

}  // namespace

// ---- CSalden -------------------------------------------------------------------

CSalden::CSalden() { LeererSatz(); }

void CSalden::Verbinde(Datei* datei, CSIndex* index, int abweichendesWJ, int ersterMonat,
                       int kontenrahmen) {
  datei_ = datei;
  index_ = index;
  abweichendesWJ_ = abweichendesWJ;
  ersterMonat_ = ersterMonat;
  kontenrahmen_ = kontenrahmen;
}

int CSalden::Anzahl() {
  if (!datei_) return -1;
  int64_t laenge = datei_->Laenge();
  if (laenge < 0) return -1;
  int64_t n = laenge / kSatzLaenge;
  return n > 0x7fffffff ? 0x7fffffff : static_cast<int>(n);
}

void CSalden::LeererSatz() {
  leer_ = true;
  std::memset(&text_, 0, sizeof text_);
  std::memset(text_.Kontonummer, ' ', kBreiteKonto);
  std::memset(text_.Kontobezeichnung, ' ', kBreiteName);
  text_.Kennzeichen[0] = ' ';
  text_.Endezeichen[0] = '*';
  std::memcpy(text_.Zeilenende, "\r\n", 2);
  for (double& b : betrag_) b = 0.0;
  kontonummer_ = 0;
  kontoart_ = 1;
  Berechne();
  for (int i = 0; i < kAnzahlBetraege; ++i) std::memcpy(text_.Betrag[i], text_.Saldo, sizeof text_.Betrag[i]);
  // The raw form is the record this text form would write.
  std::memset(roh_, ' ', kSatzLaenge);
  for (int i = 0; i < kAnzahlBetraege; ++i)
    std::memcpy(roh_ + BetragsStelle(i), text_.Betrag[i], kBreiteBetrag);
  SchreibeSatzende(roh_);
}

bool CSalden::LiesRoh(int satz) {
  if (!datei_ || satz < 0) return false;
  char puffer[kSatzLaenge];
  if (!datei_->LiesBei(static_cast<int64_t>(satz) * kSatzLaenge, puffer, kSatzLaenge)) return false;
  std::memcpy(roh_, puffer, kSatzLaenge);
  return true;
}

void CSalden::Zerlege(bool nullSetzen, bool* leereBetraege) {
  leer_ = false;
  NachText(text_.Kontonummer, roh_ + kSatzKonto);
  NachText(text_.Kontobezeichnung, roh_ + kSatzName);
  NachText(text_.Kennzeichen, roh_ + kSatzKennzeichen);
  bool leere = false;
  for (int i = 0; i < kAnzahlBetraege; ++i) {
    const char* feld = roh_ + BetragsStelle(i);
    NachText(text_.Betrag[i], feld);
    if (IstLeer(feld, kBreiteBetrag)) leere = true;
    betrag_[i] = BetragAusFeld(feld);
    if (nullSetzen) NullSetzen(betrag_[i]);
  }
  NachText(text_.Endezeichen, roh_ + kSatzEnde);
  NachText(text_.Zeilenende, roh_ + kSatzZeilenende);
  if (leereBetraege) *leereBetraege = leere;
  kontonummer_ = KontoDesSatzes(roh_);
  kontoart_ = KontoartDesSatzes(kontonummer_, kontenrahmen_);
  Berechne();
}

void CSalden::Berechne() {
  double summe = 0.0;
  for (double b : betrag_) summe += b;
  RundeBetrag(summe);
  saldo_ = summe;
  std::string t = BetragsText12(saldo_);
  if (t.empty()) t = std::string(kBreiteBetrag, '*');  // beyond the field: never a wrong number
  SetzeText(text_.Saldo, t);
}

int CSalden::Lese(int satz) {
  satznummer_ = satz;
  if (!LiesRoh(satz)) {
    LeererSatz();
    return 0;
  }
  Zerlege(true, nullptr);
  return kontonummer_;
}

int CSalden::LeseAus(int satz, const char* roh) {
  satznummer_ = satz;
  std::memcpy(roh_, roh, kSatzLaenge);
  Zerlege(true, nullptr);
  return kontonummer_;
}

bool CSalden::LiesSaetze(int erster, int anzahl, char* ziel) {
  if (!datei_ || erster < 0 || anzahl < 0) return false;
  return datei_->LiesBei(static_cast<int64_t>(erster) * kSatzLaenge, ziel,
                         static_cast<size_t>(anzahl) * kSatzLaenge);
}

int CSalden::LeseGeprueft(int satz, Status& status) {
  satznummer_ = satz;
  if (!LiesRoh(satz)) {
    LeererSatz();
    return 0;
  }
  bool leereBetraege = false;
  Zerlege(false, &leereBetraege);
  const bool gueltig = HatSatzende(roh_) && !IstLeer(roh_ + kSatzKonto, kBreiteKonto) &&
                       !IstLeer(roh_ + kSatzName, kBreiteName) && kontoart_ != 1;
  if (!gueltig) return 0;
  if (leereBetraege) status.Uebernimm(Schreibe());
  return 1;
}

Status CSalden::Schreibe() {
  // A current record that could not be read is not written back: it would
  // overwrite whatever the file holds there with blanks.
  if (!datei_ || leer_ || satznummer_ < 0 || satznummer_ > Anzahl()) return Schreibfehler();
  std::string texte[kAnzahlBetraege];
  for (int i = 0; i < kAnzahlBetraege; ++i) {
    texte[i] = BetragsText12(betrag_[i]);
    if (texte[i].empty()) return Schreibfehler();  // would overflow its 12 characters
  }
  for (int i = 0; i < kAnzahlBetraege; ++i) SetzeText(text_.Betrag[i], texte[i]);

  char satz[kSatzLaenge];
  SchreibeTextfeld(satz + kSatzKonto, kBreiteKonto, text_.Kontonummer);
  SchreibeTextfeld(satz + kSatzName, kBreiteName, text_.Kontobezeichnung);
  SchreibeTextfeld(satz + kSatzKennzeichen, 1, text_.Kennzeichen);
  for (int i = 0; i < kAnzahlBetraege; ++i)
    std::memcpy(satz + BetragsStelle(i), text_.Betrag[i], kBreiteBetrag);
  // S2: a record read with a damaged end is written back whole.
  SchreibeSatzende(satz);

  if (!datei_->SchreibeBei(static_cast<int64_t>(satznummer_) * kSatzLaenge, satz, kSatzLaenge))
    return Schreibfehler();
  std::memcpy(roh_, satz, kSatzLaenge);
  std::memcpy(text_.Endezeichen, "*", 2);
  std::memcpy(text_.Zeilenende, "\r\n", 3);
  return {};
}

Status CSalden::Anlegen(const std::string& kontoText, const std::string& name,
                        double anfangsbestand) {
  if (!datei_) return Status::Fehlschlag();
  int64_t laenge = datei_->Laenge();
  if (laenge < 0) return Schreibfehler();
  const int neu = Anzahl();
  // S6: no record makes a file longer than a balances file can be.
  if (neu < 0 || neu >= kMaxSaetze) return Schreibfehler();

  std::memset(&text_, 0, sizeof text_);
  std::memset(text_.Kontobezeichnung, ' ', kBreiteName);
  std::memset(roh_, ' ', kSatzLaenge);
  betrag_[0] = anfangsbestand;
  for (int i = 1; i < kAnzahlBetraege; ++i) betrag_[i] = 0.0;
  for (int i = 0; i < kAnzahlBetraege; ++i) SetzeText(text_.Betrag[i], BetragsText12(betrag_[i]));

  char konto[kBreiteKonto + 1];
  std::memset(konto, ' ', kBreiteKonto);
  size_t n = ::strnlen(kontoText.c_str(), std::min<size_t>(kontoText.size(), kBreiteKonto));
  std::memcpy(konto, kontoText.data(), n);
  konto[kBreiteKonto] = '\0';
  std::memcpy(text_.Kontonummer, konto, sizeof konto);
  size_t m = ::strnlen(name.c_str(), std::min<size_t>(name.size(), kBreiteName));
  std::memcpy(text_.Kontobezeichnung, name.data(), m);
  text_.Kennzeichen[0] = ' ';
  text_.Endezeichen[0] = '*';
  std::memcpy(text_.Zeilenende, "\r\n", 2);

  leer_ = false;
  satznummer_ = neu;
  kontonummer_ = KontoWert(std::string_view(konto, kBreiteKonto));
  kontoart_ = KontoartDesSatzes(kontonummer_, kontenrahmen_);
  Berechne();
  if (Status geschrieben = Schreibe(); !geschrieben) return geschrieben;
  if (!datei_->SetzeLaenge(static_cast<int64_t>(neu + 1) * kSatzLaenge)) return Schreibfehler();
  return {};
}

Status CSalden::Loesche() {
  if (!datei_) return Status::Fehlschlag();
  const int anzahl = Anzahl();
  const int aktuell = satznummer_;
  // S6: the records behind are moved one by one; not billions of them.
  if (aktuell < 0 || aktuell >= anzahl || anzahl > kMaxSaetze) return Status::Fehlschlag();
  char puffer[kSatzLaenge];
  for (int i = aktuell + 1; i < anzahl; ++i) {
    if (!datei_->LiesBei(static_cast<int64_t>(i) * kSatzLaenge, puffer, kSatzLaenge))
      return Status::Fehlschlag();
    if (!datei_->SchreibeBei(static_cast<int64_t>(i - 1) * kSatzLaenge, puffer, kSatzLaenge))
      return Schreibfehler();
  }
  if (!datei_->SetzeLaenge(static_cast<int64_t>(anzahl - 1) * kSatzLaenge)) return Schreibfehler();
  // The current record is now the one that moved into its place (or the
  // empty record when the last one was removed).
  Lese(aktuell);
  return {};
}

int CSalden::Slot(int monat) const {
  if (abweichendesWJ_ == 1 && monat >= 1 && monat <= 12) return MonatZuPeriode(monat, ersterMonat_, 1);
  return monat;
}

double CSalden::BetragSlot(int slot) const {
  return slot >= 0 && slot < kAnzahlBetraege ? betrag_[slot] : 0.0;
}

void CSalden::SetzeBetragSlot(int slot, double betrag) {
  if (slot >= 0 && slot < kAnzahlBetraege) betrag_[slot] = betrag;
}

void CSalden::SetzeKennzeichen(char kennzeichen) { text_.Kennzeichen[0] = kennzeichen; }

double CSalden::Betrag(int monat) const { return BetragSlot(Slot(monat)); }

double CSalden::Summe(int von, int bis) const {
  int a = Slot(von), b = Slot(bis);
  if (a < 0) a = 0;
  if (b > kAnzahlBetraege - 1) b = kAnzahlBetraege - 1;
  double summe = 0.0;
  for (int s = a; s <= b; ++s) summe += betrag_[s];
  return summe;
}

Status CSalden::LegeSteuerkontenAn() {
  const int anzahl = Anzahl();
  if (anzahl >= 2) return {};
  // A file whose length is unknown may well hold records already.
  if (anzahl < 0) return Status::Fehlschlag();
  const bool kr03 = kontenrahmen_ == 3;
  Status ok = Anlegen(kr03 ? " 1570" : " 1400", "VORSTEUER", 0.0);
  if (ok) ok = Anlegen(kr03 ? " 1770" : " 3800", "MEHRWERTSTEUER", 0.0);
  return ok;
}

Status CSalden::Buche(int monat, double betrag, int eroeffnung) {
  int slot;
  const char altesKennzeichen = text_.Kennzeichen[0];
  if (eroeffnung) {
    slot = 0;
    text_.Kennzeichen[0] = '9';
  } else {
    slot = Slot(monat);
    if (text_.Kennzeichen[0] != '9') text_.Kennzeichen[0] = '1';
  }
  text_.Kennzeichen[1] = '\0';
  if (slot < 0 || slot >= kAnzahlBetraege) return Status::Fehlschlag();
  const double alterBetrag = betrag_[slot];
  char alterText[sizeof text_.Betrag[0]];
  std::memcpy(alterText, text_.Betrag[slot], sizeof alterText);
  betrag_[slot] += betrag;
  Status geschrieben = Schreibe();
  if (geschrieben) return geschrieben;
  // A booking that could not be written leaves the current record as it was.
  betrag_[slot] = alterBetrag;
  std::memcpy(text_.Betrag[slot], alterText, sizeof alterText);
  text_.Kennzeichen[0] = altesKennzeichen;
  return geschrieben;
}

Status CSalden::LeereBewegungen() {
  const int ab = text_.Kennzeichen[0] == '9' ? 0 : 1;
  for (int i = ab; i < kAnzahlBetraege; ++i) betrag_[i] = 0.0;
  text_.Kennzeichen[0] = ' ';
  text_.Kennzeichen[1] = '\0';
  return Schreibe();
}

// ---- account lookups through an index -------------------------------------------

int CSalden::SucheKonto(CSIndex& index, std::string& kontoText, std::string& saldoText,
                        std::string& name, int& nachNummer) {
  int satz = -1;
  int r;
  if (KontoWert(kontoText) <= 0) {
    r = index.SucheName(kontoText, satz);
    nachNummer = 0;
  } else {
    if (kontoText.size() <= 4) {
      std::string t = " 0000";
      for (size_t i = 0; i < kontoText.size(); ++i) t[i + 1] = kontoText[i];
      kontoText = t;
    }
    r = index.SucheNummer(kontoText, satz);
    nachNummer = 1;
  }
  if (r == kGleich && !kontoText.empty()) {
    Lese(satz);
    if (HatSatz()) {  // an entry beyond the end of the file finds nothing
      Status bekannt;  // the format is one of the known ones
      saldoText = FormatiereZahl(Saldo(), kFormat12_2, bekannt);
      name = Bezeichnung();
      kontoText = KontoText();
      return 0;
    }
  }
  saldoText.clear();
  name.clear();
  return 1;
}

int CSalden::KontoNummer(CSIndex& index, int nummer) {
  if (nummer < 1 || nummer > 29999) return 1;
  char text[16];
  std::snprintf(text, sizeof text, nummer <= 9999 ? " %04d" : " %05d", nummer);
  std::string kontoText = text, saldoText, name;
  int nachNummer = 0;
  return SucheKonto(index, kontoText, saldoText, name, nachNummer);
}

int CSalden::KontoNummer(int nummer) {
  if (!index_) return 1;
  return KontoNummer(*index_, nummer);
}

}  // namespace kv
