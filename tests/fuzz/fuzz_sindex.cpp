// The balances index on arbitrary bytes, paired with a balances file of
// arbitrary records: open (read, or throw away and rebuild), then searches,
// walks, insertions with their new records, removals with the removal of
// their records, rebuilds, saves and reopenings in an order the input
// chooses.
//
// Checked besides memory safety, after every step (invariants of sindex.h):
//   I1  capacity 64 x 2^k, count within it, file length 24 + 24 x capacity;
//   I2  used slots sorted and above 0, unused slots all zero;
//   I3  exactly one entry in each array per record with an account above 0;
//   I5  after a save the file holds the bytes of the index in memory;
//   and every search and walk result names an entry that is there.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "basis/datei.h"
#include "fuzzhilfe.h"
#include "storage/salden.h"
#include "storage/sindex.h"
#include "storage/texte.h"

namespace {

using kv::CSalden;
using kv::CSIndex;
using kv::kGleich;
using kv::kSatzLaenge;

int32_t LE(const std::string& s, size_t p) {
  return static_cast<int32_t>(uint32_t(uint8_t(s[p])) | uint32_t(uint8_t(s[p + 1])) << 8 |
                              uint32_t(uint8_t(s[p + 2])) << 16 | uint32_t(uint8_t(s[p + 3])) << 24);
}

void SetzeLE(std::string& s, size_t p, int32_t w) {
  for (int i = 0; i < 4; ++i) s[p + i] = static_cast<char>(uint32_t(w) >> (8 * i));
}

struct Eintrag {
  int32_t konto;
  int32_t satz;
  std::string schluessel;
};

// I1, I2 and I3 against the balances file as it is on disk.
void PruefeIndex(const CSIndex& x, const std::string& salden) {
  const int kap = x.Kapazitaet(), n = x.Anzahl();
  FUZZ_PRUEFE(kap >= 64 && kap % 64 == 0 && ((kap / 64) & (kap / 64 - 1)) == 0);
  FUZZ_PRUEFE(n >= 0 && n <= kap);
  FUZZ_PRUEFE(int(x.Nummern().size()) == kap && int(x.Namen().size()) == kap);
  for (int i = 0; i < kap; ++i) {
    const auto& z = x.Nummern()[i];
    const auto& m = x.Namen()[i];
    if (i < n) {
      FUZZ_PRUEFE(z.konto > 0);
      if (i > 0) FUZZ_PRUEFE(x.Nummern()[i - 1].konto <= z.konto);
      if (i > 0)
        FUZZ_PRUEFE(std::memcmp(x.Namen()[i - 1].schluessel, m.schluessel,
                                kv::kNamensSchluessel) <= 0);
    } else {
      FUZZ_PRUEFE(z.konto == 0 && z.satz == 0 && m.satz == 0);
      for (char c : m.schluessel) FUZZ_PRUEFE(c == 0);
    }
  }
  std::vector<Eintrag> soll, ist, istNamen;
  const int saetze = static_cast<int>(salden.size() / kSatzLaenge);
  for (int s = 0; s < saetze; ++s) {
    const char* r = salden.data() + size_t(s) * kSatzLaenge;
    const int konto = kv::KontoWert(std::string_view(r, 5));
    if (konto > 0)
      soll.push_back({konto, s, CSIndex::NamensSchluessel(std::string(r + 5, 12))});
  }
  for (int i = 0; i < n; ++i) {
    ist.push_back({x.Nummern()[i].konto, x.Nummern()[i].satz, ""});
    istNamen.push_back({0, x.Namen()[i].satz, std::string(x.Namen()[i].schluessel, 12)});
  }
  FUZZ_PRUEFE(soll.size() == ist.size());
  auto nachSatz = [](const Eintrag& a, const Eintrag& b) { return a.satz < b.satz; };
  std::sort(ist.begin(), ist.end(), nachSatz);
  std::sort(istNamen.begin(), istNamen.end(), nachSatz);
  for (size_t i = 0; i < soll.size(); ++i) {
    FUZZ_PRUEFE(ist[i].satz == soll[i].satz && ist[i].konto == soll[i].konto);
    FUZZ_PRUEFE(istNamen[i].satz == soll[i].satz && istNamen[i].schluessel == soll[i].schluessel);
  }
}

// I1 and I5: the file is the index in memory.
void PruefeDatei(const CSIndex& x, const std::string& sdx) {
  const int kap = x.Kapazitaet();
  FUZZ_PRUEFE(sdx.size() == 24 + 24 * size_t(kap));
  FUZZ_PRUEFE(std::memcmp(sdx.data(), "W001001", 8) == 0);
  FUZZ_PRUEFE(LE(sdx, 8) == x.Anzahl() && LE(sdx, 12) == kap);
  for (int i = 0; i < kap; ++i) {
    FUZZ_PRUEFE(LE(sdx, 24 + 8 * i) == x.Nummern()[i].konto);
    FUZZ_PRUEFE(LE(sdx, 28 + 8 * i) == x.Nummern()[i].satz);
    const size_t p = 24 + 8 * size_t(kap) + 16 * i;
    FUZZ_PRUEFE(std::memcmp(sdx.data() + p, x.Namen()[i].schluessel, 12) == 0);
    FUZZ_PRUEFE(LE(sdx, p + 12) == x.Namen()[i].satz);
  }
}

std::string KontoText(int konto) {
  char t[16];
  std::snprintf(t, sizeof t, "%5i", konto);
  return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int deskriptoren = kvfuzz::OffeneDeskriptoren();
  FuzzedDataProvider f(data, size);
  const uint8_t art = f.ConsumeIntegral<uint8_t>();
  std::string sal = f.ConsumeRandomLengthString(40 * kSatzLaenge);
  std::string sdx = f.ConsumeRandomLengthString(24 + 24 * 128);
  if (art & 2) {
    // Keep the header and the length right, so that the slots themselves
    // (count, order, record numbers, names) are what is tested.
    sdx.resize(24 + 24 * 64, '\0');
    std::memcpy(sdx.data(), "W001001", 8);
    SetzeLE(sdx, 12, 64);
    if (art & 4) SetzeLE(sdx, 8, std::min<int32_t>(LE(sdx, 8) & 0x7f, 64));
  }
  const std::string salPfad = kvfuzz::Pfad("probe.sal");
  const std::string sdxPfad = kvfuzz::Pfad("probe.sdx");
  kvfuzz::SchreibeDatei(salPfad, sal);
  if (art & 1)
    std::remove(sdxPfad.c_str());
  else
    kvfuzz::SchreibeDatei(sdxPfad, sdx);
  {
    kv::Datei salDatei, sdxDatei;
    FUZZ_PRUEFE(salDatei.Oeffnen(salPfad, kv::Datei::LesenSchreiben));
    CSIndex x;
    x.Verbinde(&sdxDatei, &salDatei, salPfad, sdxPfad);
    FUZZ_PRUEFE(x.Oeffnen().Ok());
    CSalden s;
    s.Verbinde(&salDatei, &x, 0, 1, 4);
    PruefeIndex(x, kvfuzz::LiesDatei(salPfad));
    // An index accepted as it is keeps whatever its writer left in the
    // unused slots until it is saved; from the first save on, the file is
    // the index in memory.
    bool gespeichert = false;

    for (int schritt = 0; schritt < 24 && f.remaining_bytes() > 0; ++schritt) {
      const int n = x.Anzahl();
      // An account or name that is there, or any.
      const int i = n > 0 ? f.ConsumeIntegralInRange(0, n - 1) : 0;
      const bool vorhanden = n > 0 && f.ConsumeBool();
      const int satze = s.Anzahl();
      switch (f.ConsumeIntegralInRange(0, 11)) {
        case 0: {
          std::string text = vorhanden ? KontoText(x.Nummern()[i].konto)
                                       : f.ConsumeRandomLengthString(8);
          int satz = 0;
          const int r = x.SucheNummer(text, satz);
          if (vorhanden) FUZZ_PRUEFE(r == kGleich);
          if (r == kGleich) {
            FUZZ_PRUEFE(x.Nummern()[x.NummernPosition()].konto == kv::KontoWert(text));
            FUZZ_PRUEFE(satz >= 0 && satz < satze);
          }
          break;
        }
        case 1: {
          std::string name = vorhanden ? std::string(x.Namen()[i].schluessel, 12).substr(
                                             0, f.ConsumeIntegralInRange(0, 12))
                                       : f.ConsumeRandomLengthString(16);
          const std::string such = kv::Grossgeschrieben(name.c_str());
          int satz = 0;
          const int r = x.SucheName(name, satz);
          if (vorhanden) FUZZ_PRUEFE(r == kGleich);
          if (r == kGleich) {
            const int p = x.NamensPosition();
            const size_t l = std::min<size_t>(such.size(), 12);
            FUZZ_PRUEFE(std::memcmp(x.Namen()[p].schluessel, such.data(), l) == 0);
            FUZZ_PRUEFE(p == 0 || std::memcmp(x.Namen()[p - 1].schluessel, such.data(), l) != 0);
            FUZZ_PRUEFE(satz >= 0 && satz < satze);
          }
          break;
        }
        case 2: {
          int von = f.ConsumeIntegralInRange(-5, 30005);
          const int bis = f.ConsumeIntegralInRange(-5, 30005);
          const int anfang = von;
          int satz = x.ErsterAb(von, bis);
          int nummer = von, letzte = 0;
          for (int k = 0; satz >= 0 && k <= n; ++k) {
            FUZZ_PRUEFE(satz < satze && nummer >= anfang && nummer <= bis && nummer >= letzte);
            letzte = nummer;
            satz = x.Naechster(nummer, bis);
          }
          FUZZ_PRUEFE(satz == -1);
          break;
        }
        case 3: {
          int a = 0, b = 0, c = 0, d = 0;
          const int r = x.Bereich(a, b, c, d);
          FUZZ_PRUEFE(r == (n >= 2 ? 1 : 0));
          const int unten = f.ConsumeIntegralInRange(-1, 30000);
          int nummer = 0;
          int letzte = c + 1;
          for (int k = 0; k <= n; ++k) {
            const int satz = x.Vorheriger(nummer, unten);
            if (satz < 0) break;
            FUZZ_PRUEFE(satz < satze && nummer > unten && nummer <= letzte);
            letzte = nummer;
          }
          break;
        }
        case 4: {
          std::string name, vorher;
          int satz = x.ErsterName(name);
          int k = 0;
          for (; satz >= 0; ++k) {
            FUZZ_PRUEFE(k < n && satz < satze && name.size() == 12);
            FUZZ_PRUEFE(vorher.empty() || std::memcmp(vorher.data(), name.data(), 12) <= 0);
            vorher = name;
            satz = x.NaechsterName(name);
          }
          FUZZ_PRUEFE(k == n);
          for (; k > 1; --k) FUZZ_PRUEFE(x.VorherigerName(name) >= 0);
          FUZZ_PRUEFE(x.VorherigerName(name) == -1);
          break;
        }
        case 5: {
          // A new account: its record is appended, then indexed.
          const int konto = f.ConsumeIntegralInRange(-3, 29999);
          const std::string name = f.ConsumeRandomLengthString(28);
          const int speichern = f.ConsumeBool() ? 1 : 0;
          FUZZ_PRUEFE(s.Anlegen(KontoText(konto), name, 0.0).Ok());
          FUZZ_PRUEFE(x.FuegeEin(satze, konto, name).Ok());
          if (speichern) FUZZ_PRUEFE(x.SchreibeIndex().Ok());
          gespeichert = speichern == 1;
          break;
        }
        case 6: {
          if (n == 0) break;
          // An account removed the way the program removes one: the index
          // first, then the record the number search found.
          const std::string text = KontoText(x.Nummern()[i].konto);
          int satz = -1;
          FUZZ_PRUEFE(x.SucheNummer(text, satz) == kGleich);
          s.Lese(satz);
          const std::string name = f.ConsumeBool() ? s.Bezeichnung() : f.ConsumeRandomLengthString(12);
          x.Entferne(text, name);
          s.Lese(satz);
          FUZZ_PRUEFE(s.Loesche().Ok());
          gespeichert = true;
          break;
        }
        case 7:
          FUZZ_PRUEFE(x.Neuaufbau().Ok());
          gespeichert = true;
          break;
        case 8:
          FUZZ_PRUEFE(x.SchreibeIndex().Ok());
          gespeichert = true;
          break;
        case 9: {
          // What was saved is read back as it is, not rebuilt.
          if (!gespeichert) FUZZ_PRUEFE(x.SchreibeIndex().Ok());
          const auto nummern = x.Nummern();
          x.Schliesse();
          FUZZ_PRUEFE(sdxDatei.Oeffnen(sdxPfad, kv::Datei::LesenSchreiben));
          kv::Status gelesen;
          FUZZ_PRUEFE(x.LeseIndex(gelesen) == kv::CSIndex::Lesebefund::Gelesen);
          FUZZ_PRUEFE(x.Nummern().size() == nummern.size());
          for (size_t k = 0; k < nummern.size(); ++k)
            FUZZ_PRUEFE(x.Nummern()[k].konto == nummern[k].konto &&
                        x.Nummern()[k].satz == nummern[k].satz);
          sdxDatei.Schliessen();
          FUZZ_PRUEFE(x.Oeffnen().Ok());
          gespeichert = true;
          break;
        }
        case 10: {
          std::string konto = vorhanden ? std::to_string(x.Nummern()[i].konto)
                                        : f.ConsumeRandomLengthString(8);
          std::string saldo, name;
          int nachNummer = -1;
          const std::string eingabe = konto;
          const int r = s.SucheKonto(x, konto, saldo, name, nachNummer);
          if (vorhanden && x.Nummern()[i].konto >= 1000) FUZZ_PRUEFE(r == 0);
          if (r == 0) {
            FUZZ_PRUEFE(s.HatSatz() && saldo.size() >= 12 && konto.size() <= 5);
            if (nachNummer) FUZZ_PRUEFE(s.Kontonummer() == kv::KontoWert(konto));
          } else {
            FUZZ_PRUEFE(saldo.empty() && name.empty());
          }
          break;
        }
        case 11: {
          const int nummer = vorhanden ? x.Nummern()[i].konto : f.ConsumeIntegral<int>();
          const int r = s.KontoNummer(nummer);
          if (vorhanden && nummer <= 29999) FUZZ_PRUEFE(r == 0 && s.Kontonummer() == nummer);
          if (nummer < 1 || nummer > 29999) FUZZ_PRUEFE(r == 1);
          break;
        }
      }
      PruefeIndex(x, kvfuzz::LiesDatei(salPfad));
      if (gespeichert) PruefeDatei(x, kvfuzz::LiesDatei(sdxPfad));
    }
    x.Schliesse();
  }
  FUZZ_PRUEFE(kvfuzz::OffeneDeskriptoren() == deskriptoren);
  return 0;
}
