#include "storage/saldensatz.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

#include "basis/zahlen.h"

namespace kv {
namespace {

// One range of account numbers and its kind.  The first range of the table
// that holds a number decides, so the single accounts and the narrow ranges
// come before the wide ones they lie in.
struct Kontoartbereich {
  int von, bis, art;
};

constexpr Kontoartbereich kKontoarten03[] = {
    {1, 499, 2},        {500, 999, 3},      {1579, 1579, 19},   {1560, 1578, 15},
    {1779, 1779, 18},   {1760, 1778, 14},   {1000, 1999, 4},    {2000, 2899, 5},
    {2900, 2999, 6},    {3000, 3999, 7},    {4000, 4999, 8},    {8121, 8129, 10},
    {8000, 8999, 9},    {9000, 9999, 11},   {10000, 19999, 12}, {20000, 29999, 13},
};

constexpr Kontoartbereich kKontoarten04[] = {
    {1, 999, 2},        {1000, 1199, 7},    {1409, 1409, 19},   {1400, 1419, 15},
    {1200, 1899, 4},    {1900, 1999, 3},    {2000, 2899, 4},    {2900, 2999, 3},
    {3000, 3799, 4},    {3809, 3809, 18},   {3800, 3899, 14},   {3900, 3999, 3},
    {4121, 4129, 10},   {4000, 4999, 9},    {5000, 5999, 7},    {6000, 6999, 8},
    {7000, 7999, 5},    {9000, 9999, 11},   {10000, 19999, 12}, {20000, 29999, 13},
};

template <size_t N>
int ArtIn(const Kontoartbereich (&tabelle)[N], int konto) {
  for (const Kontoartbereich& b : tabelle)
    if (konto >= b.von && konto <= b.bis) return b.art;
  return 1;
}

}  // namespace

std::string Textfeld(const char* feld, int breite) {
  return std::string(feld, ::strnlen(feld, static_cast<size_t>(breite)));
}

void SchreibeTextfeld(char* feld, int breite, const char* text) {
  const size_t n = ::strnlen(text, static_cast<size_t>(breite));
  std::memmove(feld, text, n);
  std::memset(feld + n, ' ', static_cast<size_t>(breite) - n);
}

int KontoWert(std::string_view text) {
  return Ganzzahlwert(text, {Leerraum::C, -INT_MAX, INT_MAX});
}

int KontoDesSatzes(const char* satz) {
  return KontoWert(std::string_view(satz + kSatzKonto, kBreiteKonto));
}

bool HatSatzende(const char* satz) {
  return satz[kSatzEnde] == '*' && satz[kSatzZeilenende] == '\r' && satz[kSatzZeilenende + 1] == '\n';
}

void SchreibeSatzende(char* satz) {
  satz[kSatzEnde] = '*';
  satz[kSatzZeilenende] = '\r';
  satz[kSatzZeilenende + 1] = '\n';
}

double BetragAusFeld(const char* feld) {
  double wert;
  if (!LiesDezimal(std::string_view(feld, kBreiteBetrag), wert) || !std::isfinite(wert)) return 0.0;
  return wert;
}

std::string BetragsText12(double betrag) {
  if (!std::isfinite(betrag)) return {};
  char puffer[64];
  auto [p, ec] = std::to_chars(puffer, puffer + sizeof puffer, betrag, std::chars_format::fixed, 2);
  if (ec != std::errc()) return {};
  size_t n = static_cast<size_t>(p - puffer);
  if (n > kBreiteBetrag) return {};
  return std::string(kBreiteBetrag - n, ' ') + std::string(puffer, n);
}

bool SchreibeBetragsfeld(char* feld, double betrag) {
  const std::string text = BetragsText12(betrag);
  if (text.empty()) return false;
  std::memcpy(feld, text.data(), kBreiteBetrag);
  return true;
}

int KontoartDesSatzes(int konto, int kontenrahmen) {
  if (kontenrahmen == 3) return ArtIn(kKontoarten03, konto);
  if (kontenrahmen == 4) return ArtIn(kKontoarten04, konto);
  return 1;
}

}  // namespace kv
