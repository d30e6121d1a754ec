#include "ui/bildlauf.h"

#include <algorithm>

#include "basis/datei.h"
#include "basis/oberflaeche.h"
#include "basis/text1252.h"

namespace kvui {

int VermesseArbeitsdatei(const std::string& pfad, int64_t erwarteteGroesse, Arbeitsdateimass& mass,
                         bool melden) {
  kv::Datei d;
  if (!d.Oeffnen(pfad, kv::Datei::Lesen, kv::Datei::Geteilt)) {
    if (melden) kv::ZeigeMeldung(58049, 58001, 16);
    return 0;
  }
  const int64_t groesse = d.Laenge();
  auto lesefehler = [&] {
    if (melden) kv::ZeigeMeldung(kv::W("Fehler beim Lesen aus der temporären Datei !"), 58001, 16);
    return 0;
  };
  if (groesse < 0) return lesefehler();
  if (groesse < 67 || groesse != erwarteteGroesse) return 0;
  char puffer[1023];
  const int64_t gelesen = d.Lies(puffer, sizeof puffer);
  if (gelesen < 67) return lesefehler();
  // Row length from the first line ends: at least four, all the same
  // distance apart; a report width ends the scan at once, any other length
  // is confirmed over up to ten line ends.
  std::vector<int64_t> enden;
  bool gleich = true;
  for (int64_t i = 0; i + 1 < gelesen && enden.size() < 10 && gleich; ++i) {
    if (puffer[i] != '\r' || puffer[i + 1] != '\n') continue;
    enden.push_back(i + 2);
    const size_t k = enden.size() - 1;
    if (k > 0 && enden[k] - enden[k - 1] != enden[0]) gleich = false;
    if (gleich && enden.size() >= 4 && (enden[0] == 67 || enden[0] == 112)) break;
  }
  if (gleich && enden.size() >= 4) {
    mass.laenge = static_cast<int>(enden[0]);
    mass.zeilen = groesse / enden[0];
    return 1;
  }
  mass = Arbeitsdateimass{};
  return lesefehler();
}

int LeseZeilenblock(const std::string& pfad, int64_t erste, int64_t zeilen, int64_t anzahl,
                    int laenge, std::string& puffer) {
  puffer.clear();
  const int64_t k = std::min(anzahl, zeilen - erste);
  if (laenge <= 0 || erste < 0 || k <= 0) return 1;  // nothing of the file on screen
  kv::Datei d;
  if (!d.Oeffnen(pfad, kv::Datei::Lesen, kv::Datei::Geteilt)) {
    kv::ZeigeMeldung(58049, 58001, 16);
    return 0;
  }
  puffer.resize(static_cast<size_t>(k * laenge));
  // A file cut short since it was measured fails like any other read.
  if (!d.LiesBei(erste * laenge, puffer.data(), puffer.size())) {
    puffer.clear();
    kv::ZeigeMeldung(kv::W("Fehler beim Lesen aus der temporären Datei !"), 58001, 16);
    return 0;
  }
  return 1;
}

void Bildlauf::Einrichten(int64_t zeilen, int dx, int dy, int textbreite) {
  n_ = zeilen;
  dx_ = std::max(1, dx);
  dy_ = std::max(1, dy);
  textbreite_ = textbreite;
  t_ = 0;
  h_ = 0;
}

void Bildlauf::Groesse(int cx, int cy) {
  cx = std::max(cx, 40);
  cy = std::max(cy, 40);
  v_ = cy / dy_ + 1;
  hmax_ = std::max(0, (textbreite_ - cx) / dx_);
  hpage_ = hmax_ == 0 ? 0 : cx / dx_;
  h_ = std::min(h_, hmax_);
}

int Bildlauf::Skala() const {
  if (n_ < 10000) return 1;
  if (n_ <= 100000) return 10;
  if (n_ <= 1000000) return 100;
  return 1000;
}
int64_t Bildlauf::VMax() const { return std::max<int64_t>(0, (n_ - v_ + 3) / Skala()); }
int64_t Bildlauf::VPos() const { return std::max<int64_t>(0, t_ / Skala()); }

bool Bildlauf::SetzeH(int h) {
  h = std::clamp(h, 0, hmax_);
  if (h == h_) return false;
  h_ = h;
  return true;
}
bool Bildlauf::SetzeT(int64_t t) {
  if (t == t_) return false;
  t_ = t;
  return true;
}

bool Bildlauf::Druecke(Taste t) {
  const int64_t letzte = LetzteObersteZeile();
  switch (t) {
    case Taste::Runter: return t_ < letzte ? SetzeT(t_ + 1) : false;
    case Taste::Hoch: return t_ > 0 ? SetzeT(t_ - 1) : false;
    case Taste::BildRunter: return SetzeT(std::max<int64_t>(0, std::min(t_ + v_ - 1, letzte)));
    case Taste::BildHoch: return SetzeT(std::max<int64_t>(0, t_ - v_ + 1));
    case Taste::Rechts: return SetzeH(h_ + 1);
    case Taste::Links: return SetzeH(h_ - 1);
    case Taste::Pos1: return SetzeH(0);
    case Taste::Ende: return SetzeH(hmax_);
    case Taste::StrgPos1: {
      bool a = SetzeT(0);
      bool b = SetzeH(0);
      return a || b;
    }
    case Taste::StrgEnde: {
      bool a = SetzeT(std::max<int64_t>(0, letzte));
      bool b = SetzeH(hmax_);
      return a || b;
    }
  }
  return false;
}

bool Bildlauf::Vertikal(Laufaktion a, int pos) {
  switch (a) {
    case Laufaktion::ZeileZurueck: return Druecke(Taste::Hoch);
    case Laufaktion::ZeileVor: return Druecke(Taste::Runter);
    case Laufaktion::SeiteZurueck: return Druecke(Taste::BildHoch);
    case Laufaktion::SeiteVor: return Druecke(Taste::BildRunter);
    case Laufaktion::Ziehen: return SetzeT(static_cast<int64_t>(pos) * Skala());
    // To the top / bottom of the bar: only the sideways position follows,
    // the top row stays where it is.
    case Laufaktion::Anfang: return SetzeH(0);
    case Laufaktion::Schluss: return SetzeH(hmax_);
  }
  return false;
}

bool Bildlauf::Horizontal(Laufaktion a, int pos) {
  switch (a) {
    case Laufaktion::ZeileZurueck: return SetzeH(h_ - 1);
    case Laufaktion::ZeileVor: return SetzeH(h_ + 1);
    case Laufaktion::SeiteZurueck: return SetzeH(h_ - hpage_);
    case Laufaktion::SeiteVor: return SetzeH(h_ + hpage_);
    case Laufaktion::Ziehen: return SetzeH(pos);
    case Laufaktion::Anfang: return SetzeH(0);
    case Laufaktion::Schluss: return SetzeH(hmax_);
  }
  return false;
}

std::vector<int64_t> Seitenanfaenge(const std::vector<int64_t>& seitenende, int seitenzahl, int l) {
  std::vector<int64_t> r;
  if (l <= 0) return r;
  r.reserve(static_cast<size_t>(std::max(seitenzahl, 0)) + 1);
  for (int i = 0; i <= seitenzahl && i < static_cast<int>(seitenende.size()); ++i) {
    if (seitenende[i] < 0) break;
    r.push_back(seitenende[i] / l);
  }
  if (r.size() > 1 && !std::is_sorted(r.begin() + 1, r.end())) std::sort(r.begin() + 1, r.end());
  return r;
}

std::vector<Bildzeile> Bildzeilen(int64_t oben, int64_t sichtbar,
                                  const std::vector<int64_t>& seitenanfaenge) {
  std::vector<Bildzeile> r;
  if (sichtbar < 0) return r;
  r.reserve(static_cast<size_t>(sichtbar) + 2);
  // Entry 0 is where the first page starts: no blank row above it.
  const auto ende = seitenanfaenge.end();
  auto grenze = seitenanfaenge.size() > 1
                    ? std::lower_bound(seitenanfaenge.begin() + 1, ende, oben)
                    : ende;
  for (int64_t i = oben; i <= oben + sichtbar; ++i) {
    // Empty pages put several boundaries on one row, each with its blank row.
    for (; grenze != ende && *grenze == i; ++grenze) r.push_back(Bildzeile{-1});
    r.push_back(Bildzeile{i});
  }
  return r;
}

}  // namespace kvui
