// The balances reader on arbitrary bytes: every record read plainly and
// with the validity check, amounts and sums of every month, and the writing
// operations (booking, clearing, appending, the tax accounts, removing) on a
// copy of the file, with settings the input chooses.
//
// Checked besides memory safety (the numbered invariants of salden.h):
//   S1  the record count is the length / 202;
//   S2  every record this class writes is 202 bytes with "*" and CR LF, and
//       nothing outside the written record changes;
//   S3  a failed read gives the empty record;
//   S4  the tax accounts are added to files of fewer than two records only;
//   S5  removing a record moves the following ones down;
//   and the balance text is always twelve characters.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>
#include <string>

#include "basis/datei.h"
#include "fuzzhilfe.h"
#include "storage/salden.h"

namespace {

using kv::CSalden;
using kv::kSatzLaenge;

void PruefeAktuellen(const CSalden& s) {
  FUZZ_PRUEFE(std::strlen(s.Text().Saldo) == 12);
  FUZZ_PRUEFE(std::strlen(s.Text().Kontonummer) <= 5);
  FUZZ_PRUEFE(std::strlen(s.Text().Kontobezeichnung) <= 25);
  if (!s.HatSatz()) {
    FUZZ_PRUEFE(s.Kontonummer() == 0 && s.Saldo() == 0.0);
    for (int i = 0; i < kv::kAnzahlBetraege; ++i) FUZZ_PRUEFE(s.BetragSlot(i) == 0.0);
  }
  for (int i = 0; i < kv::kAnzahlBetraege; ++i) FUZZ_PRUEFE(std::isfinite(s.BetragSlot(i)));
}

// A record as this class writes it.
void PruefeGeschrieben(const std::string& datei, int satz) {
  FUZZ_PRUEFE(satz >= 0 && (satz + 1) * size_t(kSatzLaenge) <= datei.size());
  const char* r = datei.data() + size_t(satz) * kSatzLaenge;
  FUZZ_PRUEFE(r[199] == '*' && r[200] == '\r' && r[201] == '\n');
  for (int i = 0; i < kv::kAnzahlBetraege; ++i) {
    const std::string feld(r + 31 + 12 * i, 12);
    FUZZ_PRUEFE(feld.find('.') == 9);  // "%12.2f"
  }
}

// Everything but record `satz` is as before.
void PruefeRest(const std::string& vorher, const std::string& nachher, int satz) {
  FUZZ_PRUEFE(vorher.size() == nachher.size());
  const size_t a = size_t(satz) * kSatzLaenge;
  FUZZ_PRUEFE(vorher.compare(0, a, nachher, 0, a) == 0);
  FUZZ_PRUEFE(vorher.compare(a + kSatzLaenge, std::string::npos, nachher, a + kSatzLaenge,
                             std::string::npos) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int deskriptoren = kvfuzz::OffeneDeskriptoren();
  FuzzedDataProvider f(data, size);
  const int kontenrahmen = f.ConsumeIntegralInRange(2, 5);
  const int ersterMonat = f.ConsumeIntegralInRange(-1, 14);
  const int abweichend = f.ConsumeIntegralInRange(0, 2);
  const int operationen = f.ConsumeIntegralInRange(0, 12);
  std::string inhalt = f.ConsumeRandomLengthString(20 * kSatzLaenge);
  const std::string pfad = kvfuzz::Pfad("salden.sal");
  kvfuzz::SchreibeDatei(pfad, inhalt);
  {
    kv::Datei datei;
    FUZZ_PRUEFE(datei.Oeffnen(pfad, kv::Datei::LesenSchreiben));
    CSalden s;
    s.Verbinde(&datei, nullptr, abweichend, ersterMonat, kontenrahmen);
    const int anzahl = s.Anzahl();
    FUZZ_PRUEFE(anzahl == int(inhalt.size() / kSatzLaenge));  // S1

    // Reading the whole file, and one beyond its end.
    for (int satz = -1; satz <= anzahl; ++satz) {
      s.Lese(satz);
      FUZZ_PRUEFE(s.HatSatz() == (satz >= 0 && satz < anzahl));  // S3
      PruefeAktuellen(s);
      for (int m = -1; m <= 14; ++m) FUZZ_PRUEFE(std::isfinite(s.Betrag(m)) || !s.HatSatz());
      (void)s.Summe(f.ConsumeIntegralInRange(-2, 15), f.ConsumeIntegralInRange(-2, 15));
      const std::string vorher = kvfuzz::LiesDatei(pfad);
      kv::Status meldungen;  // nobody to show them to
      const int gueltig = s.LeseGeprueft(satz, meldungen);
      PruefeAktuellen(s);
      const std::string nachher = kvfuzz::LiesDatei(pfad);
      if (nachher != vorher) {  // rewritten: a valid record with blank amounts
        FUZZ_PRUEFE(gueltig == 1);
        PruefeGeschrieben(nachher, satz);
        PruefeRest(vorher, nachher, satz);
      }
      if (gueltig) {
        FUZZ_PRUEFE(s.HatSatz() && s.Kontoart() != 1);
        FUZZ_PRUEFE(s.Roh()[199] == '*');
      }
    }

    // Writing operations, each checked against the file.
    for (int i = 0; i < operationen && f.remaining_bytes() > 0; ++i) {
      const std::string vorher = kvfuzz::LiesDatei(pfad);
      const int n = static_cast<int>(vorher.size() / kSatzLaenge);
      const int satz = f.ConsumeIntegralInRange(0, n);
      s.Lese(satz);
      switch (f.ConsumeIntegralInRange(0, 4)) {
        case 0: {
          const int monat = f.ConsumeIntegralInRange(-1, 14);
          const double betrag = f.ConsumeFloatingPoint<double>();
          if (s.Buche(monat, betrag, f.ConsumeBool() ? 1 : 0)) {
            const std::string nachher = kvfuzz::LiesDatei(pfad);
            PruefeGeschrieben(nachher, satz);
            PruefeRest(vorher, nachher, satz);
          } else {
            FUZZ_PRUEFE(kvfuzz::LiesDatei(pfad) == vorher);
          }
          break;
        }
        case 1:
          if (s.LeereBewegungen()) {
            const std::string nachher = kvfuzz::LiesDatei(pfad);
            PruefeGeschrieben(nachher, satz);
            PruefeRest(vorher, nachher, satz);
            for (int k = 1; k < kv::kAnzahlBetraege; ++k) FUZZ_PRUEFE(s.BetragSlot(k) == 0.0);
          } else {
            FUZZ_PRUEFE(kvfuzz::LiesDatei(pfad) == vorher);
          }
          break;
        case 2: {
          char konto[8];
          std::snprintf(konto, sizeof konto, "%5i", f.ConsumeIntegralInRange(1, 29999));
          const std::string name = f.ConsumeRandomLengthString(30);
          const double ab = f.ConsumeFloatingPoint<double>();
          const int r = s.Anlegen(konto, name, ab).Ok() ? 1 : 0;
          const std::string nachher = kvfuzz::LiesDatei(pfad);
          if (r) {
            FUZZ_PRUEFE(nachher.size() == size_t(n + 1) * kSatzLaenge);
            FUZZ_PRUEFE(nachher.compare(0, size_t(n) * kSatzLaenge, vorher, 0,
                                        size_t(n) * kSatzLaenge) == 0);
            PruefeGeschrieben(nachher, n);
            FUZZ_PRUEFE(s.Satznummer() == n && s.Anzahl() == n + 1);
          } else {
            // An amount that does not fit its field is refused before
            // anything is written.
            FUZZ_PRUEFE(nachher == vorher);
          }
          break;
        }
        case 3: {
          const int r = s.LegeSteuerkontenAn().Ok() ? 1 : 0;
          const std::string nachher = kvfuzz::LiesDatei(pfad);
          if (n >= 2) {  // S4
            FUZZ_PRUEFE(r == 1 && nachher == vorher);
          } else {
            FUZZ_PRUEFE(r == 1 && nachher.size() == size_t(n + 2) * kSatzLaenge);
            PruefeGeschrieben(nachher, n);
            PruefeGeschrieben(nachher, n + 1);
          }
          break;
        }
        case 4: {
          const int r = s.Loesche().Ok() ? 1 : 0;
          const std::string nachher = kvfuzz::LiesDatei(pfad);
          if (satz < n) {  // S5
            FUZZ_PRUEFE(r == 1);
            const size_t a = size_t(satz) * kSatzLaenge;
            FUZZ_PRUEFE(nachher.size() == size_t(n - 1) * kSatzLaenge);
            FUZZ_PRUEFE(nachher.compare(0, a, vorher, 0, a) == 0);
            FUZZ_PRUEFE(nachher.compare(a, std::string::npos, vorher, a + kSatzLaenge,
                                        size_t(n - 1 - satz) * kSatzLaenge) == 0);
          } else {
            FUZZ_PRUEFE(r == 0 && nachher == vorher);
          }
          break;
        }
      }
      PruefeAktuellen(s);
    }
  }
  FUZZ_PRUEFE(kvfuzz::OffeneDeskriptoren() == deskriptoren);
  return 0;
}
