#include "storage/salden.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "basis/datei.h"
#include "basis/oberflaeche.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int kMeldungSchreibfehler = 58100;  // "Konto konnte nicht in Saldendatei gespeichert werden !"

// Field offsets within a record.
constexpr int kOffKonto = 0;
constexpr int kOffName = 5;
constexpr int kOffKennz = 30;
constexpr int kOffBetrag = 31;
constexpr int kOffEnde = 199;
constexpr int kOffZeilenende = 200;

void MeldeSchreibfehler() { ZeigeMeldung(kMeldungSchreibfehler, "FEHLER", 16); }

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

// Copies a NUL-terminated text into a record field, blank-filling the rest.
void InsFeld(char* ziel, size_t breite, const char* text) {
  size_t n = ::strnlen(text, breite);
  std::memcpy(ziel, text, n);
  std::memset(ziel + n, ' ', breite - n);
}

template <size_t N>
void SetzeText(char (&ziel)[N], const std::string& text) {
  size_t n = std::min(text.size(), N - 1);
  n = ::strnlen(text.c_str(), n);
  std::memcpy(ziel, text.data(), n);
  ziel[n] = '\0';
}

// Decimal value of a text as the C library's integer conversion reads it:
// leading white space, an optional sign, then digits up to the first
// non-digit.  Saturates instead of overflowing.
int DezimalWert(const char* s, size_t n) {  // see KontoWert
  size_t i = 0;
  while (i < n && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negativ = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) negativ = s[i++] == '-';
  long long wert = 0;
  for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i) {
    wert = wert * 10 + (s[i] - '0');
    if (wert > 2147483647LL) wert = 2147483647LL;
  }
  return static_cast<int>(negativ ? -wert : wert);
}

// Decimal amount text as the standard conversion reads it (leading blanks,
// sign, digits, point, exponent; trailing rubbish ignored), independent of
// the locale.  A field that holds no number reads as 0.
double BetragAusText(const char* s, size_t n) {
  size_t i = 0;
  while (i < n && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negativ = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) negativ = s[i++] == '-';
  if (i < n && (s[i] == '+' || s[i] == '-')) return 0.0;  // from_chars would take a second sign
  double wert = 0.0;
  auto [p, ec] = std::from_chars(s + i, s + n, wert, std::chars_format::general);
  if (ec != std::errc() || p == s + i || !std::isfinite(wert)) return 0.0;
  return negativ ? -wert : wert;
}

}  // namespace

int KontoWert(std::string_view text) { return DezimalWert(text.data(), text.size()); }

int KontoartDesSatzes(int k, int kontenrahmen) {
  auto in = [k](int von, int bis) { return k >= von && k <= bis; };
  if (kontenrahmen == 3) {
    if (in(1, 499)) return 2;
    if (in(500, 999)) return 3;
    if (k == 1579) return 19;
    if (in(1560, 1578)) return 15;
    if (k == 1779) return 18;
    if (in(1760, 1778)) return 14;
    if (in(1000, 1999)) return 4;
    if (in(2000, 2899)) return 5;
    if (in(2900, 2999)) return 6;
    if (in(3000, 3999)) return 7;
    if (in(4000, 4999)) return 8;
    if (in(8121, 8129)) return 10;
    if (in(8000, 8999)) return 9;
    if (in(9000, 9999)) return 11;
    if (in(10000, 19999)) return 12;
    if (in(20000, 29999)) return 13;
    return 1;
  }
  if (kontenrahmen == 4) {
    if (in(1, 999)) return 2;
    if (in(1000, 1199)) return 7;
    if (k == 1409) return 19;
    if (in(1400, 1419)) return 15;
    if (in(1200, 1899)) return 4;
    if (in(1900, 1999)) return 3;
    if (in(2000, 2899)) return 4;
    if (in(2900, 2999)) return 3;
    if (in(3000, 3799)) return 4;
    if (k == 3809) return 18;
    if (in(3800, 3899)) return 14;
    if (in(3900, 3999)) return 3;
    if (in(4121, 4129)) return 10;
    if (in(4000, 4999)) return 9;
    if (in(5000, 5999)) return 7;
    if (in(6000, 6999)) return 8;
    if (in(7000, 7999)) return 5;
    if (in(9000, 9999)) return 11;
    if (in(10000, 19999)) return 12;
    if (in(20000, 29999)) return 13;
    return 1;
  }
  return 1;
}

std::string BetragsText12(double betrag) {
  if (!std::isfinite(betrag)) return {};
  char puffer[64];
  auto [p, ec] = std::to_chars(puffer, puffer + sizeof puffer, betrag, std::chars_format::fixed, 2);
  if (ec != std::errc()) return {};
  size_t n = static_cast<size_t>(p - puffer);
  if (n > 12) return {};
  return std::string(12 - n, ' ') + std::string(puffer, n);
}

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
  std::memset(text_.Kontonummer, ' ', 5);
  std::memset(text_.Kontobezeichnung, ' ', 25);
  text_.Kennzeichen[0] = ' ';
  text_.Endezeichen[0] = '*';
  std::memcpy(text_.Zeilenende, "\r\n", 2);
  for (double& b : betrag_) b = 0.0;
  kontonummer_ = 0;
  kontoart_ = 1;
  Berechne();
  for (int i = 0; i < kAnzahlBetraege; ++i) std::memcpy(text_.Betrag[i], text_.Saldo, 13);
  // The raw form is the record this text form would write.
  std::memset(roh_, ' ', kSatzLaenge);
  for (int i = 0; i < kAnzahlBetraege; ++i) std::memcpy(roh_ + kOffBetrag + 12 * i, text_.Betrag[i], 12);
  roh_[kOffEnde] = '*';
  roh_[kOffZeilenende] = '\r';
  roh_[kOffZeilenende + 1] = '\n';
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
  NachText(text_.Kontonummer, roh_ + kOffKonto);
  NachText(text_.Kontobezeichnung, roh_ + kOffName);
  NachText(text_.Kennzeichen, roh_ + kOffKennz);
  bool leere = false;
  for (int i = 0; i < kAnzahlBetraege; ++i) {
    const char* feld = roh_ + kOffBetrag + 12 * i;
    NachText(text_.Betrag[i], feld);
    if (IstLeer(feld, 12)) leere = true;
    betrag_[i] = BetragAusText(feld, 12);
    if (nullSetzen) NullSetzen(betrag_[i]);
  }
  NachText(text_.Endezeichen, roh_ + kOffEnde);
  NachText(text_.Zeilenende, roh_ + kOffZeilenende);
  if (leereBetraege) *leereBetraege = leere;
  kontonummer_ = DezimalWert(roh_ + kOffKonto, 5);
  kontoart_ = KontoartDesSatzes(kontonummer_, kontenrahmen_);
  Berechne();
}

void CSalden::Berechne() {
  double summe = 0.0;
  for (double b : betrag_) summe += b;
  RundeBetrag(summe);
  saldo_ = summe;
  std::string t = BetragsText12(saldo_);
  if (t.empty()) t = std::string(12, '*');  // beyond the field: never a wrong number
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

int CSalden::LeseGeprueft(int satz) {
  satznummer_ = satz;
  if (!LiesRoh(satz)) {
    LeererSatz();
    return 0;
  }
  bool leereBetraege = false;
  Zerlege(false, &leereBetraege);
  const bool gueltig = roh_[kOffEnde] == '*' && roh_[kOffZeilenende] == '\r' &&
                       roh_[kOffZeilenende + 1] == '\n' && !IstLeer(roh_ + kOffKonto, 5) &&
                       !IstLeer(roh_ + kOffName, 25) && kontoart_ != 1;
  if (!gueltig) return 0;
  if (leereBetraege) Schreibe();
  return 1;
}

int CSalden::Schreibe() {
  // A current record that could not be read is not written back: it would
  // overwrite whatever the file holds there with blanks.
  if (!datei_ || leer_ || satznummer_ < 0 || satznummer_ > Anzahl()) {
    MeldeSchreibfehler();
    return 0;
  }
  std::string texte[kAnzahlBetraege];
  for (int i = 0; i < kAnzahlBetraege; ++i) {
    texte[i] = BetragsText12(betrag_[i]);
    if (texte[i].empty()) {  // would overflow its 12 characters
      MeldeSchreibfehler();
      return 0;
    }
  }
  for (int i = 0; i < kAnzahlBetraege; ++i) SetzeText(text_.Betrag[i], texte[i]);

  char satz[kSatzLaenge];
  InsFeld(satz + kOffKonto, 5, text_.Kontonummer);
  InsFeld(satz + kOffName, 25, text_.Kontobezeichnung);
  InsFeld(satz + kOffKennz, 1, text_.Kennzeichen);
  for (int i = 0; i < kAnzahlBetraege; ++i) std::memcpy(satz + kOffBetrag + 12 * i, text_.Betrag[i], 12);
  // S2: a record read with a damaged end is written back whole.
  satz[kOffEnde] = '*';
  satz[kOffZeilenende] = '\r';
  satz[kOffZeilenende + 1] = '\n';

  if (!datei_->SchreibeBei(static_cast<int64_t>(satznummer_) * kSatzLaenge, satz, kSatzLaenge)) {
    MeldeSchreibfehler();
    return 0;
  }
  std::memcpy(roh_, satz, kSatzLaenge);
  std::memcpy(text_.Endezeichen, "*", 2);
  std::memcpy(text_.Zeilenende, "\r\n", 3);
  return 1;
}

int CSalden::Anlegen(const std::string& kontoText, const std::string& name, double anfangsbestand) {
  if (!datei_) return 0;
  int64_t laenge = datei_->Laenge();
  if (laenge < 0) {
    MeldeSchreibfehler();
    return 0;
  }
  const int neu = Anzahl();
  // S6: no record makes a file longer than a balances file can be.
  if (neu < 0 || neu >= kMaxSaetze) {
    MeldeSchreibfehler();
    return 0;
  }

  std::memset(&text_, 0, sizeof text_);
  std::memset(text_.Kontobezeichnung, ' ', 25);
  std::memset(roh_, ' ', kSatzLaenge);
  betrag_[0] = anfangsbestand;
  for (int i = 1; i < kAnzahlBetraege; ++i) betrag_[i] = 0.0;
  for (int i = 0; i < kAnzahlBetraege; ++i) SetzeText(text_.Betrag[i], BetragsText12(betrag_[i]));

  char konto[6];
  std::memset(konto, ' ', 5);
  size_t n = ::strnlen(kontoText.c_str(), std::min<size_t>(kontoText.size(), 5));
  std::memcpy(konto, kontoText.data(), n);
  konto[5] = '\0';
  std::memcpy(text_.Kontonummer, konto, 6);
  size_t m = ::strnlen(name.c_str(), std::min<size_t>(name.size(), 25));
  std::memcpy(text_.Kontobezeichnung, name.data(), m);
  text_.Kennzeichen[0] = ' ';
  text_.Endezeichen[0] = '*';
  std::memcpy(text_.Zeilenende, "\r\n", 2);

  leer_ = false;
  satznummer_ = neu;
  kontonummer_ = DezimalWert(konto, 5);
  kontoart_ = KontoartDesSatzes(kontonummer_, kontenrahmen_);
  Berechne();
  if (!Schreibe()) return 0;
  if (!datei_->SetzeLaenge(static_cast<int64_t>(neu + 1) * kSatzLaenge)) {
    MeldeSchreibfehler();
    return 0;
  }
  return 1;
}

int CSalden::Loesche() {
  if (!datei_) return 0;
  const int anzahl = Anzahl();
  const int aktuell = satznummer_;
  // S6: the records behind are moved one by one; not billions of them.
  if (aktuell < 0 || aktuell >= anzahl || anzahl > kMaxSaetze) return 0;
  char puffer[kSatzLaenge];
  for (int i = aktuell + 1; i < anzahl; ++i) {
    if (!datei_->LiesBei(static_cast<int64_t>(i) * kSatzLaenge, puffer, kSatzLaenge)) return 0;
    if (!datei_->SchreibeBei(static_cast<int64_t>(i - 1) * kSatzLaenge, puffer, kSatzLaenge)) {
      MeldeSchreibfehler();
      return 0;
    }
  }
  if (!datei_->SetzeLaenge(static_cast<int64_t>(anzahl - 1) * kSatzLaenge)) {
    MeldeSchreibfehler();
    return 0;
  }
  // The current record is now the one that moved into its place (or the
  // empty record when the last one was removed).
  Lese(aktuell);
  return 1;
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

int CSalden::LegeSteuerkontenAn() {
  const int anzahl = Anzahl();
  if (anzahl >= 2) return 1;
  // A file whose length is unknown may well hold records already.
  if (anzahl < 0) return 0;
  const bool kr03 = kontenrahmen_ == 3;
  int ok = Anlegen(kr03 ? " 1570" : " 1400", "VORSTEUER", 0.0);
  if (ok) ok = Anlegen(kr03 ? " 1770" : " 3800", "MEHRWERTSTEUER", 0.0);
  return ok;
}

int CSalden::Buche(int monat, double betrag, int eroeffnung) {
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
  if (slot < 0 || slot >= kAnzahlBetraege) return 0;
  const double alterBetrag = betrag_[slot];
  char alterText[sizeof text_.Betrag[0]];
  std::memcpy(alterText, text_.Betrag[slot], sizeof alterText);
  betrag_[slot] += betrag;
  if (Schreibe()) return 1;
  // A booking that could not be written leaves the current record as it was.
  betrag_[slot] = alterBetrag;
  std::memcpy(text_.Betrag[slot], alterText, sizeof alterText);
  text_.Kennzeichen[0] = altesKennzeichen;
  return 0;
}

int CSalden::LeereBewegungen() {
  const int ab = text_.Kennzeichen[0] == '9' ? 0 : 1;
  for (int i = ab; i < kAnzahlBetraege; ++i) betrag_[i] = 0.0;
  text_.Kennzeichen[0] = ' ';
  text_.Kennzeichen[1] = '\0';
  return Schreibe();
}

}  // namespace kv
