// kvgen: writes a program directory (or only a data directory) of generated
// booking circles.
//
//   kvgen ZIEL [--beispiel] [--seed N] [--kreise N] [--konten N] [--jahr J]
//              [--kontenrahmen 3|4] [--gemischt] [--ausgeglichen] [--nur-daten]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "basis/datei.h"
#include "generator.h"

namespace {

void Hilfe() {
  std::puts(
      "kvgen ZIEL [Optionen]\n"
      "  Erzeugt ein Programmverzeichnis ZIEL mit kalvento.ini (Daten=Daten) und\n"
      "  Buchungskreisen in ZIEL/Daten.  /  Writes a program directory ZIEL with\n"
      "  kalvento.ini (Daten=Daten) and booking circles in ZIEL/Daten.\n"
      "  --beispiel        die mitgelieferten Beispielbuchungskreise (ausgeglichen) /\n"
      "                    the shipped sample (balanced)\n"
      "  --seed N          Startwert / random seed (1)\n"
      "  --kreise N        Anzahl Buchungskreise 1..999 / number of circles (5)\n"
      "  --konten N        Konten je Buchungskreis / accounts per circle (120)\n"
      "  --jahr J          Buchungsjahr / booking year (2010)\n"
      "  --kontenrahmen K  3 (KR03) oder 4 (KR04) / chart of accounts (3)\n"
      "  --gemischt        jeder 5. KR04, jeder 7. mit Wirtschaftsjahr ab Juli, jeder 11.\n"
      "                    ohne Saldendatei / every 5th KR04, every 7th July year,\n"
      "                    every 11th without balances file\n"
      "  --ausgeglichen    Salden aus Buchungen, die Soll und Haben gleich bebuchen:\n"
      "                    jede Saldenliste endet bei 0,00 / balances from bookings\n"
      "                    that debit and credit the same amount (default: random\n"
      "                    amounts, as the tests and the benchmark use them)\n"
      "  --nur-daten       ZIEL ist das Datenverzeichnis, keine kalvento.ini /\n"
      "                    ZIEL is the data directory, no kalvento.ini");
}

}  // namespace

int main(int argc, char** argv) {
  std::string ziel;
  bool beispiel = false, gemischt = false, nurDaten = false, ausgeglichen = false;
  unsigned long long saat = 1;
  int kreise = 5, konten = 120, jahr = 2010, kontenrahmen = 3;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto wert = [&]() -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "kvgen: %s braucht einen Wert / needs a value\n", a.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--help" || a == "-h") { Hilfe(); return 0; }
    else if (a == "--beispiel") beispiel = true;
    else if (a == "--gemischt") gemischt = true;
    else if (a == "--ausgeglichen") ausgeglichen = true;
    else if (a == "--nur-daten") nurDaten = true;
    else if (a == "--seed") saat = std::strtoull(wert(), nullptr, 10);
    else if (a == "--kreise") kreise = std::atoi(wert());
    else if (a == "--konten") konten = std::atoi(wert());
    else if (a == "--jahr") jahr = std::atoi(wert());
    else if (a == "--kontenrahmen") kontenrahmen = std::atoi(wert());
    else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "kvgen: unbekannte Option / unknown option %s\n", a.c_str());
      return 2;
    } else if (ziel.empty()) ziel = a;
    else { std::fprintf(stderr, "kvgen: zu viele Argumente / too many arguments\n"); return 2; }
  }
  if (ziel.empty() || kreise < 1 || kreise > 999 || konten < 2) { Hilfe(); return 2; }

  std::string daten = nurDaten ? ziel : ziel + "/Daten";
  if (!kv::ErzeugeVerzeichnis(ziel) || !kv::ErzeugeVerzeichnis(daten)) {
    std::fprintf(stderr, "kvgen: Verzeichnis %s nicht anlegbar / cannot create\n", daten.c_str());
    return 1;
  }
  if (!nurDaten && !kvgen::ErzeugeKonfiguration(ziel, "Daten")) {
    std::fprintf(stderr, "kvgen: kalvento.ini nicht schreibbar / cannot write\n");
    return 1;
  }
  std::vector<kvgen::Kreis> liste;
  if (beispiel) {
    liste = kvgen::Beispielkreise();
  } else {
    for (int n = 1; n <= kreise; ++n) {
      kvgen::Kreis k;
      k.nummer = n;
      kvgen::Zufall z(saat * 31u + static_cast<unsigned>(n));
      k.name = kv::Utf8(kvgen::Personenkontoname(z));
      k.kontenrahmen = kontenrahmen;
      k.jahr = jahr;
      k.konten = konten;
      k.ausgeglichen = ausgeglichen;
      if (gemischt) {
        if (n % 5 == 0) k.kontenrahmen = 7 - kontenrahmen;
        if (n % 7 == 0) { k.ersterMonat = 7; }
        if (n % 11 == 0) k.mitSalden = false;
      }
      liste.push_back(k);
    }
  }
  for (const auto& k : liste) {
    if (!kvgen::ErzeugeKreis(daten, k, saat)) {
      std::fprintf(stderr, "kvgen: Buchungskreis %i nicht schreibbar / cannot write\n", k.nummer);
      return 1;
    }
  }
  std::printf("%zu Buchungskreise in %s\n", liste.size(), daten.c_str());
  return 0;
}
