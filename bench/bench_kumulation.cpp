// Benchmark of the cumulation (not a test): generated books of 100 and of 999
// booking circles with 2,000 accounts each are cumulated, and the same
// balances files are read end to end as the floor no cumulation can beat.
//
//   bench_kumulation [--kreise N ...] [--konten N] [--verzeichnis DIR]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/dokument.h"
#include "basis/datei.h"
#include "basis/oberflaeche.h"
#include "../tools/generator.h"

namespace {

using Uhr = std::chrono::steady_clock;

double Sekunden(Uhr::time_point a, Uhr::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// Counts messages instead of showing them.
class Still : public kv::Oberflaeche {
 public:
  int meldungen = 0;
  void Meldung(int, const std::string&, const std::string&) override { ++meldungen; }
  void StandardMeldung(const std::string&) override { ++meldungen; }
};

// Reads every balances file of the range whole, in large blocks.
double LiesAlles(const std::string& daten, int kreise, long long& bytes) {
  std::vector<char> puffer(1 << 20);
  bytes = 0;
  auto a = Uhr::now();
  for (int n = 1; n <= kreise; ++n) {
    kv::Datei d;
    if (!d.Oeffnen(kv::NameSaldendatei(daten, n, 3, 2010), kv::Datei::Lesen)) continue;
    for (;;) {
      int64_t k = d.Lies(puffer.data(), puffer.size());
      if (k <= 0) break;
      bytes += k;
    }
  }
  return Sekunden(a, Uhr::now());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> groessen;
  int konten = 2000;
  std::string basis;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--kreise" && i + 1 < argc) groessen.push_back(std::atoi(argv[++i]));
    else if (a == "--konten" && i + 1 < argc) konten = std::atoi(argv[++i]);
    else if (a == "--verzeichnis" && i + 1 < argc) basis = argv[++i];
    else { std::fprintf(stderr, "unbekannt / unknown: %s\n", a.c_str()); return 2; }
  }
  if (groessen.empty()) groessen = {100, 999};
  if (basis.empty()) {
    const char* t = std::getenv("TMPDIR");
    basis = std::string(t && *t ? t : "/tmp") + "/kvbench";
  }
  const auto start = std::filesystem::current_path();

  for (int kreise : groessen) {
    const std::string programm = basis + "/" + std::to_string(kreise);
    std::filesystem::remove_all(programm);
    std::filesystem::create_directories(programm + "/Daten");
    auto g0 = Uhr::now();
    kvgen::ErzeugeKonfiguration(programm, "Daten");
    for (int n = 1; n <= kreise; ++n) {
      kvgen::Kreis k;
      k.nummer = n;
      k.name = "Bench " + std::to_string(n);
      k.konten = konten;
      if (!kvgen::ErzeugeKreis(programm + "/Daten", k, 42)) {
        std::fprintf(stderr, "Erzeugen fehlgeschlagen / generation failed (%i)\n", n);
        return 1;
      }
    }
    auto g1 = Uhr::now();
    std::filesystem::current_path(programm);

    Still still;
    kv::SetzeOberflaeche(&still);
    long long bytes = 0;
    LiesAlles("Daten", kreise, bytes);  // warm the page cache like the cumulation will find it
    double boden = LiesAlles("Daten", kreise, bytes);
    double zeit;
    int konten_kum;
    {
      kv::CKv02Doc doc;
      doc.LeseKonfiguration();
      kv::Kumulationsauswahl auswahl{1, 1, kreise, "2010"};
      auto k0 = Uhr::now();
      doc.UebernehmeAuswahl(auswahl);
      zeit = Sekunden(k0, Uhr::now());
      konten_kum = doc.Kumulationsindex.Anzahl();
      if (!doc.KumulationBereit()) std::fprintf(stderr, "Kummulierung lief nicht / did not run\n");
    }
    kv::SetzeOberflaeche(nullptr);
    std::filesystem::current_path(start);

    std::printf("%4i Buchungskreise x %i Konten (%.0f MB, erzeugt in %.1f s, %i Konten kumuliert, %i Meldungen)\n",
                kreise, konten, bytes / 1e6, Sekunden(g0, g1), konten_kum, still.meldungen);
    std::printf("     Kummulierung / cumulation:       %8.3f s\n", zeit);
    std::printf("     Lesen / reading the same files:  %8.3f s\n", boden);
    std::printf("     Verhaeltnis / ratio:             %8.1f\n", boden > 0 ? zeit / boden : 0.0);
    std::fflush(stdout);
    std::filesystem::remove_all(programm);
  }
  return 0;
}
