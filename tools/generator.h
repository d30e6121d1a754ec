// Generator of realistic data directories for the tests, the benchmark and
// the shipped sample: booking circles with master files, balances files,
// balances indexes and (empty) journals, for the charts KR03 and KR04, with
// real German account names, customers and suppliers, calendar years and
// financial-year codes.  Deterministic from a seed: the same seed gives the
// same bytes on every machine (own random numbers, no std distributions).
//
// Header-only so that kvgen, the benchmark and the tests share it.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "storage/dateinamen.h"
#include "storage/inidatei.h"
#include "storage/salden.h"
#include "storage/sindex.h"

namespace kvgen {

// splitmix64: tiny, fast and the same everywhere.
class Zufall {
 public:
  explicit Zufall(uint64_t saat) : z_(saat) {}
  uint64_t Naechste() {
    uint64_t z = (z_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n).
  uint64_t Bis(uint64_t n) { return n ? Naechste() % n : 0; }
  long long Zwischen(long long a, long long b) { return a + static_cast<long long>(Bis(b - a + 1)); }
  bool Chance(int prozent) { return Bis(100) < static_cast<uint64_t>(prozent); }

 private:
  uint64_t z_;
};

// Sign of an account's typical balance: +1 debit, -1 credit.
struct Sachkonto {
  int nummer;
  const char* name;  // UTF-8, at most 25 characters in Windows-1252
  int seite;
};

inline const std::vector<Sachkonto>& KontenKR03() {
  static const std::vector<Sachkonto> k = {
      {1570, "VORSTEUER", +1}, {1770, "MEHRWERTSTEUER", -1},
      {27, "EDV-Software", +1}, {200, "Techn. Anlagen und Masch.", +1},
      {320, "Pkw", +1}, {420, "Büroeinrichtung", +1}, {480, "Geringwertige WG", +1},
      {650, "Verbindlichk. Kreditinst.", -1}, {800, "Gezeichnetes Kapital", -1},
      {880, "Kapitalrücklage", -1}, {1000, "Kasse", +1}, {1200, "Bank", +1},
      {1210, "Sparkasse", +1}, {1360, "Geldtransit", +1}, {1400, "Forderungen aus L+L", +1},
      {1600, "Verbindlichkeiten aus L+L", -1}, {1740, "Verbindl. Lohn und Gehalt", -1},
      {1741, "Verbindl. Lohnsteuer", -1}, {1742, "Verbindl. soziale Sicherh", -1},
      {1780, "Umsatzsteuer-Vorausz.", +1}, {1800, "Privatentnahmen", +1},
      {1890, "Privateinlagen", -1}, {2100, "Zinsen und ähnl. Aufw.", +1},
      {2650, "Sonstige Zinserträge", -1}, {3300, "Wareneingang 7% VSt", +1},
      {3400, "Wareneingang 19% VSt", +1}, {4100, "Löhne und Gehälter", +1},
      {4120, "Gehälter", +1}, {4130, "Gesetzl. soziale Aufw.", +1}, {4210, "Miete", +1},
      {4240, "Gas, Strom, Wasser", +1}, {4360, "Versicherungen", +1}, {4380, "Beiträge", +1},
      {4530, "Laufende Kfz-Betriebsk.", +1}, {4600, "Werbekosten", +1},
      {4650, "Bewirtungskosten", +1}, {4670, "Reisekosten Unternehmer", +1},
      {4800, "Reparatur/Instandhaltung", +1}, {4830, "Abschreibungen Sachanl.", +1},
      {4910, "Porto", +1}, {4920, "Telefon", +1}, {4930, "Bürobedarf", +1},
      {4940, "Zeitschriften, Bücher", +1}, {4950, "Rechts- u. Beratungskost.", +1},
      {4955, "Buchführungskosten", +1}, {4970, "Nebenkosten Geldverkehr", +1},
      {8100, "Steuerfreie Umsätze", -1}, {8300, "Erlöse 7% USt", -1},
      {8400, "Erlöse 19% USt", -1}, {8736, "Gewährte Skonti 19% USt", +1},
      {9000, "Saldenvorträge Sachkont.", -1},
  };
  return k;
}

inline const std::vector<Sachkonto>& KontenKR04() {
  static const std::vector<Sachkonto> k = {
      {1400, "VORSTEUER", +1}, {3800, "MEHRWERTSTEUER", -1},
      {135, "EDV-Software", +1}, {440, "Maschinen", +1}, {520, "Pkw", +1},
      {650, "Büroeinrichtung", +1}, {670, "Geringwertige WG", +1},
      {1000, "Roh-, Hilfs-, Betriebsst.", +1}, {1200, "Forderungen aus L+L", +1},
      {1460, "Geldtransit", +1}, {1600, "Kasse", +1}, {1800, "Bank", +1},
      {1810, "Sparkasse", +1}, {2100, "Privatentnahmen", +1}, {2180, "Privateinlagen", -1},
      {2900, "Gezeichnetes Kapital", -1}, {3150, "Verbindl. Kreditinstitute", -1},
      {3300, "Verbindlichk. aus L+L", -1}, {3720, "Verbindl. Lohn und Gehalt", -1},
      {3730, "Verbindl. Lohnsteuer", -1}, {3740, "Verbindl. soziale Sicherh", -1},
      {3820, "Umsatzsteuer-Vorausz.", +1}, {4100, "Steuerfreie Umsätze", -1},
      {4300, "Erlöse 7% USt", -1}, {4400, "Erlöse 19% USt", -1},
      {4736, "Gewährte Skonti 19% USt", +1}, {5200, "Wareneingang", +1},
      {5300, "Wareneingang 7% VSt", +1}, {5400, "Wareneingang 19% VSt", +1},
      {6000, "Löhne und Gehälter", +1}, {6020, "Gehälter", +1},
      {6110, "Gesetzl. soziale Aufw.", +1}, {6220, "Abschreibungen Sachanl.", +1},
      {6310, "Miete", +1}, {6325, "Gas, Strom, Wasser", +1}, {6400, "Versicherungen", +1},
      {6420, "Beiträge", +1}, {6470, "Reparatur/Instandhaltung", +1},
      {6530, "Laufende Kfz-Betriebsk.", +1}, {6600, "Werbekosten", +1},
      {6640, "Bewirtungskosten", +1}, {6670, "Reisekosten Unternehmer", +1},
      {6800, "Porto", +1}, {6805, "Telefon", +1}, {6815, "Bürobedarf", +1},
      {6820, "Zeitschriften, Bücher", +1}, {6825, "Rechts- u. Beratungskost.", +1},
      {6830, "Buchführungskosten", +1}, {6855, "Nebenkosten Geldverkehr", +1},
      {7100, "Sonstige Zinserträge", -1}, {7300, "Zinsen und ähnl. Aufw.", +1},
      {9000, "Saldenvorträge Sachkont.", -1},
  };
  return k;
}

inline const std::vector<const char*>& Familiennamen() {
  static const std::vector<const char*> n = {
      "Müller", "Schmidt", "Schneider", "Fischer", "Weber", "Meyer", "Wagner", "Becker",
      "Schulz", "Hoffmann", "Schäfer", "Koch", "Bauer", "Richter", "Klein", "Wolf",
      "Schröder", "Neumann", "Schwarz", "Zimmermann", "Braun", "Krüger", "Hofmann",
      "Hartmann", "Lange", "Schmitt", "Werner", "Schmitz", "Krause", "Meier", "Lehmann",
      "Köhler", "Herrmann", "König", "Walter", "Huber", "Kaiser", "Fuchs", "Peters",
      "Scholz", "Möller", "Weiß", "Jung", "Hahn", "Vogel", "Günther", "Keller", "Frank",
      "Berger", "Winkler", "Roth", "Beck", "Lorenz", "Baumann", "Albrecht", "Böhm",
      "Krämer", "Jäger", "Sommer", "Groß", "Seidel", "Brandt", "Kühn", "Pohl", "Engel",
      "Voigt", "Sauer", "Pfeiffer", "Dörr", "Bäumer", "Öztürk", "Ußner",
  };
  return n;
}

inline const std::vector<const char*>& Branchen() {
  static const std::vector<const char*> b = {
      "Autohaus", "Bäckerei", "Metzgerei", "Elektro", "Gasthof", "Möbelhaus", "Blumen",
      "Druckerei", "Sanitär", "Dachdecker", "Optik", "Getränke", "Reisebüro", "Schreinerei",
      "Malerbetrieb", "Apotheke", "Bürobedarf", "Fliesen", "Kfz-Teile", "Spedition",
  };
  return b;
}

inline const std::vector<const char*>& Rechtsformen() {
  static const std::vector<const char*> r = {"GmbH", "KG", "OHG", "AG", "e.K.", "GbR",
                                             "GmbH & Co. KG", "UG"};
  return r;
}

// Personal account name (customer or supplier), at most 25 characters.
inline std::string Personenkontoname(Zufall& z) {
  const auto& fam = Familiennamen();
  std::string name;
  // The two draws of a name in a fixed order (the second part first, as the
  // shipped sample was drawn), not in the order a compiler picks for the
  // operands of one expression.
  switch (z.Bis(3)) {
    case 0: {
      const auto hinten = z.Bis(fam.size());
      name = std::string(Branchen()[z.Bis(Branchen().size())]) + " " + fam[hinten];
      break;
    }
    case 1: {
      const auto hinten = z.Bis(Rechtsformen().size());
      name = std::string(fam[z.Bis(fam.size())]) + " " + Rechtsformen()[hinten];
      break;
    }
    default: {
      const auto hinten = z.Bis(fam.size());
      name = std::string(fam[z.Bis(fam.size())]) + " & " + fam[hinten];
      break;
    }
  }
  std::string w = kv::W(name);
  if (w.size() > 25) w.resize(25);
  return w;
}

// One account of a generated balances file.
struct Konto {
  int nummer = 0;
  std::string name;  // Windows-1252, at most 25 characters
  char kennzeichen = ' ';
  long long cent[14] = {};  // slots 0..13 in cents
};

// 202-byte record of the balances file.
inline std::string Satz(const Konto& k) {
  char puffer[256];
  int n = std::snprintf(puffer, sizeof puffer, "%5i%-25.25s%c", k.nummer, k.name.c_str(), k.kennzeichen);
  std::string s(puffer, static_cast<size_t>(n));
  for (int j = 0; j < 14; ++j) {
    std::snprintf(puffer, sizeof puffer, "%12.2f", static_cast<double>(k.cent[j]) / 100.0);
    s += puffer;
  }
  s += "*\r\n";
  return s;
}

inline bool SchreibeDatei(const std::string& pfad, const std::string& inhalt) {
  kv::Datei d;
  if (!d.Oeffnen(pfad, kv::Datei::Anlegen)) return false;
  return inhalt.empty() || d.Schreibe(inhalt.data(), inhalt.size());
}

// Description of one booking circle to generate.
struct Kreis {
  int nummer = 1;
  std::string name;            // UTF-8
  int kontenrahmen = 3;
  int jahr = 2010;             // "Jahr" of the master file and year of the books
  int ersterMonat = 1;         // "1.Monat"
  bool euRechnung = true;
  bool mitSalden = true;       // false: master file only, no books for the year
  bool mitIndex = true;        // false: no .sdx (the program rebuilds it)
  int konten = 120;            // accounts in the balances file (at least the tax accounts)
  // Books from bookings that each debit and credit the same amount (see
  // ErzeugeAusgeglicheneKonten); otherwise random amounts, which the tests
  // and the benchmark are made for.
  bool ausgeglichen = false;
};

// Master file in the layout a new file receives, with the circle's values.
inline std::string Stammtext(const Kreis& k) {
  char jahr[16], monat[16], kr[16];
  std::snprintf(jahr, sizeof jahr, "%4i", k.jahr);
  std::snprintf(monat, sizeof monat, "%02i", k.ersterMonat);
  std::snprintf(kr, sizeof kr, "%02i", k.kontenrahmen);
  std::string name = kv::W(k.name);
  if (name.size() > 56) name.resize(56);
  const std::pair<const char*, std::string> werte[] = {
      {"Version", "W001001"}, {"Name", name}, {"BK-Passwort", ""}, {"Kontenrahmen", kr},
      {"Jahr", jahr}, {"1.Monat", monat}, {"MwSt", "J"},
      {"E\xDC-Rechnung", k.euRechnung ? "J" : "N"}, {"W\xE4hrung1", "EUR"},
      {"W\xE4hrung2", ""}, {"W\xE4hrungsfaktor", ""}, {"Auto-Beleg", "000000"},
      {"ElsterStNr", ""}, {"ElsterFaNr", ""}, {"ElsterName", ""}, {"ElsterStrasse", ""},
      {"ElsterPlz", ""}, {"ElsterOrt", ""}, {"ElsterTelefon", ""}, {"ElsterEmail", ""},
      {"DatevStbNr", ""}, {"DatevMandantNr", ""}, {"DatevDFV", ""}, {"DatevPasswort", ""},
      {"DatevDatenTrNr", ""}, {"DatevAbrechNr", ""}, {"DatevVon", ""}, {"DatevBis", ""},
      {"DatevWaehrung", ""}, {"DatevExpPfad", ""},
  };
  std::string t = std::string(kv::kIniKopfzeile) + "\r\n\r\n[BUCHUNGSKREIS]\r\n";
  for (const auto& [schluessel, wert] : werte) t += std::string(schluessel) + "=" + wert + "\r\n";
  return t;
}

// Accounts of one circle: the tax accounts first (as the companion program
// creates them), then general ledger accounts, customers and suppliers in the
// order they were "opened".  Amounts stay below 50,000.00 per slot so that
// even 999 circles sum within the 12-character amount field.
inline std::vector<Konto> ErzeugeKonten(const Kreis& k, Zufall& z) {
  const auto& sach = k.kontenrahmen == 4 ? KontenKR04() : KontenKR03();
  std::vector<Konto> konten;
  auto bewege = [&](Konto& konto, int seite) {
    bool bebucht = z.Chance(85);
    if (z.Chance(40)) konto.cent[0] = seite * z.Zwischen(0, 2500000);
    if (bebucht) {
      for (int p = 1; p <= 12; ++p)
        if (z.Chance(70)) konto.cent[p] = seite * z.Zwischen(-50000, 4500000);
      if (z.Chance(10)) konto.cent[13] = seite * z.Zwischen(-100000, 300000);
    }
    konto.kennzeichen = bebucht ? '1' : (konto.cent[0] != 0 && z.Chance(50) ? '9' : ' ');
  };
  for (size_t i = 0; i < sach.size() && static_cast<int>(konten.size()) < k.konten; ++i) {
    // Some general ledger accounts are missing in some circles, never the
    // tax accounts.
    if (i >= 2 && z.Chance(10)) continue;
    Konto konto;
    konto.nummer = sach[i].nummer;
    konto.name = kv::W(sach[i].name);
    bewege(konto, sach[i].seite);
    konten.push_back(konto);
  }
  // Customers 10000.. and suppliers 20000.. ; the numbers come from a shared
  // pool so that circles share some and each has some of its own.
  int rest = k.konten - static_cast<int>(konten.size());
  int kunden = (rest + 1) / 2, lieferanten = rest - kunden;
  auto personen = [&](int basis, int anzahl, int seite) {
    int nr = basis;
    for (int i = 0; i < anzahl && nr < basis + 9999; ++i) {
      nr += 1 + static_cast<int>(z.Bis(3));
      if (nr > basis + 9999) break;
      Konto konto;
      konto.nummer = nr;
      // The same number usually names the same partner in every circle.
      Zufall namenszufall(static_cast<uint64_t>(nr) * 7919u + (z.Chance(15) ? z.Naechste() : 0));
      konto.name = Personenkontoname(namenszufall);
      bewege(konto, seite);
      konten.push_back(konto);
    }
  };
  personen(10000, kunden, +1);
  personen(20000, lieferanten, -1);
  // Accounts were opened over time, not in number order: shuffle all but
  // the tax accounts a little.
  for (size_t i = konten.size(); i > 3; --i) {
    size_t j = 2 + z.Bis(i - 2);
    std::swap(konten[i - 1], konten[j]);
  }
  return konten;
}

// ---- balanced books -------------------------------------------------------

// The accounts the bookings of balanced books need, by their role; each is
// in the chart's table above.  0: the chart has none.
struct Kontenrollen {
  int vorsteuer, mehrwertsteuer, ustVorauszahlung;
  int kasse, bank, sparkasse, forderungen, verbindlichkeiten, darlehen;
  int lohnVerbindlichkeit, lohnsteuer, sozialversicherung;
  int kapital, ruecklage, privatentnahme, privateinlage;
  int erloese19, erloese7, erloeseFrei, skonti, wareneingang19, wareneingang7;
  int loehne, gehaelter, sozialaufwand, abschreibung, zinsaufwand, zinsertrag;
  std::vector<int> anlagen;   // fixed assets, written off at the close
  std::vector<int> kosten19;  // expenses with 19 % input VAT
  std::vector<int> kosten0;   // expenses without VAT
  std::vector<int> Alle() const {
    std::vector<int> n = {vorsteuer, mehrwertsteuer, ustVorauszahlung, kasse, bank, sparkasse,
                          forderungen, verbindlichkeiten, darlehen, lohnVerbindlichkeit, lohnsteuer,
                          sozialversicherung, kapital, ruecklage, privatentnahme, privateinlage,
                          erloese19, erloese7, erloeseFrei, skonti, wareneingang19, wareneingang7,
                          loehne, gehaelter, sozialaufwand, abschreibung, zinsaufwand, zinsertrag};
    n.erase(std::remove(n.begin(), n.end(), 0), n.end());
    return n;
  }
};

inline const Kontenrollen& RollenKR03() {
  static const Kontenrollen r = {
      1570, 1770, 1780, 1000, 1200, 1210, 1400, 1600, 650, 1740, 1741, 1742, 800, 880, 1800,
      1890, 8400, 8300, 8100, 8736, 3400, 3300, 4100, 4120, 4130, 4830, 2100, 2650,
      {27, 200, 320, 420, 480},
      {4240, 4530, 4600, 4650, 4800, 4920, 4930, 4940, 4950, 4955},
      {4210, 4360, 4380, 4670, 4910, 4970}};
  return r;
}

inline const Kontenrollen& RollenKR04() {
  static const Kontenrollen r = {
      1400, 3800, 3820, 1600, 1800, 1810, 1200, 3300, 3150, 3720, 3730, 3740, 2900, 0, 2100,
      2180, 4400, 4300, 4100, 4736, 5400, 5300, 6000, 6020, 6110, 6220, 7300, 7100,
      {135, 440, 520, 650, 670},
      {6325, 6470, 6530, 6600, 6640, 6805, 6815, 6820, 6825, 6830},
      {6310, 6400, 6420, 6670, 6800, 6855}};
  return r;
}

// The accounts of balanced books: the same kinds of accounts as
// ErzeugeKonten, with amounts that come from bookings, each of which debits
// one account and credits another with the same amount.  So every slot
// (opening balances, months 1 to 12, the closing period 13) sums to zero
// over the accounts: a Saldenliste ends at 0,00 and a Bilanz, with the
// result of the period, has no Differenz, for each circle and for any
// cumulation of such circles.  The opening balances are assets, debts and
// the capital that balances them; sales and purchases carry their VAT on
// the tax accounts; wages, payments, private withdrawals, interest and the
// VAT prepayments follow month by month; the closing period writes the
// fixed assets off.
inline std::vector<Konto> ErzeugeAusgeglicheneKonten(const Kreis& k, Zufall& z) {
  const auto& sach = k.kontenrahmen == 4 ? KontenKR04() : KontenKR03();
  const Kontenrollen& r = k.kontenrahmen == 4 ? RollenKR04() : RollenKR03();
  const std::vector<int> noetig = r.Alle();
  std::vector<Konto> konten;
  for (size_t i = 0; i < sach.size(); ++i) {
    // Accounts no booking needs are missing in some circles.
    const bool gebraucht = std::find(noetig.begin(), noetig.end(), sach[i].nummer) != noetig.end();
    if (!gebraucht && z.Chance(15)) continue;
    Konto konto;
    konto.nummer = sach[i].nummer;
    konto.name = kv::W(sach[i].name);
    konten.push_back(konto);
  }
  // Customers and suppliers as in ErzeugeKonten, a few at least.
  const int rest = std::max(k.konten - static_cast<int>(konten.size()), 6);
  const int kunden = (rest + 1) / 2, lieferanten = rest - kunden;
  std::vector<int> kundenkonten, lieferantenkonten;
  auto personen = [&](int basis, int anzahl, std::vector<int>& nummern) {
    int nr = basis;
    for (int i = 0; i < anzahl; ++i) {
      nr += 1 + static_cast<int>(z.Bis(3));
      if (nr > basis + 9999) break;
      Konto konto;
      konto.nummer = nr;
      Zufall namenszufall(static_cast<uint64_t>(nr) * 7919u + (z.Chance(15) ? z.Naechste() : 0));
      konto.name = Personenkontoname(namenszufall);
      konten.push_back(konto);
      nummern.push_back(nr);
    }
  };
  personen(10000, kunden, kundenkonten);
  personen(20000, lieferanten, lieferantenkonten);

  auto finde = [&](int nummer) -> Konto* {
    for (Konto& konto : konten)
      if (konto.nummer == nummer) return &konto;
    return nullptr;
  };
  // One booking: debit `soll`, credit `haben`, the same amount in cents.
  // A role the chart or the circle lacks falls back to the bank.
  auto buche = [&](int slot, int soll, int haben, long long cent) {
    Konto* s = finde(soll);
    Konto* h = finde(haben);
    if (!s) s = finde(r.bank);
    if (!h) h = finde(r.bank);
    if (s == h || cent == 0) return;
    s->cent[slot] += cent;
    h->cent[slot] -= cent;
  };
  auto saldo = [&](int nummer) {
    long long summe = 0;
    if (const Konto* konto = finde(nummer))
      for (long long c : konto->cent) summe += c;
    return summe;
  };
  auto steuer = [](long long netto, int prozent) { return (netto * prozent + 50) / 100; };
  auto eines = [&](const std::vector<int>& liste) {
    std::vector<int> da;
    for (int n : liste)
      if (finde(n)) da.push_back(n);
    return da.empty() ? 0 : da[z.Bis(da.size())];
  };
  auto euro = [&](long long von, long long bis) { return z.Zwischen(von * 100, bis * 100); };
  // Paid in cash when the till holds it, or else by bank.
  auto bar = [&](long long cent) { return saldo(r.kasse) >= cent ? r.kasse : r.bank; };

  // Opening balances: assets and debts against the capital.
  for (int anlage : r.anlagen)
    if (finde(anlage) && z.Chance(80)) buche(0, anlage, r.kapital, euro(1000, 60000));
  buche(0, r.kasse, r.kapital, euro(300, 5000));
  buche(0, r.bank, r.kapital, euro(5000, 80000));
  if (z.Chance(50)) buche(0, r.sparkasse, r.kapital, euro(1000, 30000));
  for (int kunde : kundenkonten)
    if (z.Chance(40)) buche(0, kunde, r.kapital, euro(200, 15000));
  for (int lieferant : lieferantenkonten)
    if (z.Chance(40)) buche(0, r.kapital, lieferant, euro(200, 12000));
  if (z.Chance(60)) buche(0, r.kapital, r.darlehen, euro(10000, 60000));
  if (r.ruecklage && z.Chance(50)) buche(0, r.kapital, r.ruecklage, euro(2000, 20000));

  const int umsatz = static_cast<int>(z.Zwischen(1, 4));  // size of the business
  const long long gehalt = euro(1500, 4500) * umsatz, miete = euro(400, 1500) * umsatz;
  long long ustVormonat = 0;
  for (int m = 1; m <= 12; ++m) {
    const long long mwstVorher = saldo(r.mehrwertsteuer), vstVorher = saldo(r.vorsteuer);
    // Sales, on account or paid at once.
    for (int i = 0, n = 1 + umsatz + static_cast<int>(z.Bis(3)); i < n; ++i) {
      const int satz = z.Chance(75) ? 19 : 7;
      const long long netto = euro(100, 8000) * umsatz;
      const int kunde = z.Chance(55) && !kundenkonten.empty() ? kundenkonten[z.Bis(kundenkonten.size())]
                        : z.Chance(80)                         ? r.bank
                                                               : r.kasse;
      buche(m, kunde, satz == 19 ? r.erloese19 : r.erloese7, netto);
      buche(m, kunde, r.mehrwertsteuer, steuer(netto, satz));
    }
    if (z.Chance(20)) buche(m, r.bank, r.erloeseFrei, euro(100, 3000));
    // Customers pay what they owe, some with a discount.
    for (int kunde : kundenkonten) {
      const long long offen = saldo(kunde);
      if (offen <= 0 || !z.Chance(60)) continue;
      long long zahlung = offen * static_cast<long long>(z.Zwischen(50, 100)) / 100;
      if (zahlung == offen && z.Chance(20)) {
        const long long brutto = zahlung * 2 / 100;
        const long long netto = brutto * 100 / 119;
        buche(m, r.skonti, kunde, netto);
        buche(m, r.mehrwertsteuer, kunde, brutto - netto);
        zahlung -= brutto;
      }
      buche(m, r.bank, kunde, zahlung);
    }
    // Goods bought, on account or by bank.
    for (int i = 0, n = umsatz + static_cast<int>(z.Bis(2)); i < n; ++i) {
      const int satz = z.Chance(70) ? 19 : 7;
      const long long netto = euro(100, 5000) * umsatz;
      const int lieferant = z.Chance(60) && !lieferantenkonten.empty()
                                ? lieferantenkonten[z.Bis(lieferantenkonten.size())]
                                : r.bank;
      buche(m, satz == 19 ? r.wareneingang19 : r.wareneingang7, lieferant, netto);
      buche(m, r.vorsteuer, lieferant, steuer(netto, satz));
    }
    for (int lieferant : lieferantenkonten) {
      const long long offen = -saldo(lieferant);
      if (offen > 0 && z.Chance(60))
        buche(m, lieferant, r.bank, offen * static_cast<long long>(z.Zwischen(50, 100)) / 100);
    }
    // Running costs: with input VAT, without VAT, the rent.
    for (int i = 0, n = 2 + static_cast<int>(z.Bis(4)); i < n; ++i) {
      const long long netto = euro(20, 2500);
      const int gegen = z.Chance(80) ? r.bank : bar(netto + steuer(netto, 19));
      buche(m, eines(r.kosten19), gegen, netto);
      buche(m, r.vorsteuer, gegen, steuer(netto, 19));
    }
    if (finde(r.kosten0[0])) buche(m, r.kosten0[0], r.bank, miete);
    for (int i = 0, n = static_cast<int>(z.Bis(3)); i < n; ++i) {
      const long long betrag = euro(10, 1500);
      const int gegen = z.Chance(80) ? r.bank : bar(betrag);  // drawn before the account
      buche(m, eines(r.kosten0), gegen, betrag);
    }
    // Wages: net to the employees, tax and social security to their
    // creditors, paid in the same month except in December.
    const long long lohnsteuer = gehalt * 15 / 100, sozial = gehalt * 20 / 100;
    buche(m, r.gehaelter, r.bank, gehalt - lohnsteuer - sozial);
    buche(m, r.gehaelter, r.lohnsteuer, lohnsteuer);
    buche(m, r.gehaelter, r.sozialversicherung, sozial);
    buche(m, r.sozialaufwand, r.sozialversicherung, sozial);
    if (z.Chance(30)) {
      const long long aushilfe = euro(300, 2000);
      buche(m, r.loehne, r.lohnVerbindlichkeit, aushilfe);
      buche(m, r.lohnVerbindlichkeit, bar(aushilfe), aushilfe);
    }
    if (m < 12) {
      buche(m, r.lohnsteuer, r.bank, lohnsteuer);
      buche(m, r.sozialversicherung, r.bank, 2 * sozial);
    }
    // The VAT of the month before is prepaid.
    if (ustVormonat > 0) buche(m, r.ustVorauszahlung, r.bank, ustVormonat);
    // The till is emptied into the bank now and then.
    if (saldo(r.kasse) > 300000 && z.Chance(70))
      buche(m, r.bank, r.kasse, saldo(r.kasse) - euro(200, 2000));
    // Owners, lenders, the odd new asset.
    if (z.Chance(50)) buche(m, r.privatentnahme, r.bank, euro(300, 4000));
    if (z.Chance(10)) buche(m, r.bank, r.privateinlage, euro(1000, 10000));
    if (saldo(r.darlehen) < 0) {
      buche(m, r.zinsaufwand, r.bank, -saldo(r.darlehen) / 200);
      buche(m, r.darlehen, r.bank, std::min(-saldo(r.darlehen), euro(200, 1500)));
    }
    if (m % 3 == 0) buche(m, r.bank, r.zinsertrag, euro(1, 300));
    if (z.Chance(8)) {
      const long long netto = euro(800, 15000);
      const int anlage = eines(r.anlagen);
      buche(m, anlage ? anlage : r.anlagen[0], r.bank, netto);
      buche(m, r.vorsteuer, r.bank, steuer(netto, 19));
    }
    ustVormonat = (mwstVorher - saldo(r.mehrwertsteuer)) - (saldo(r.vorsteuer) - vstVorher);
  }
  // Closing period: depreciation of the fixed assets.
  for (int anlage : r.anlagen) {
    const long long wert = saldo(anlage);
    if (wert > 0) buche(13, r.abschreibung, anlage, wert * static_cast<long long>(z.Zwischen(10, 25)) / 100);
  }
  // The mark as ErzeugeKonten sets it: booked during the year, or an
  // opening balance only.
  for (Konto& konto : konten) {
    bool bebucht = false;
    for (int p = 1; p <= 13; ++p) bebucht = bebucht || konto.cent[p] != 0;
    konto.kennzeichen = bebucht ? '1' : (konto.cent[0] != 0 && z.Chance(50) ? '9' : ' ');
  }
  for (size_t i = konten.size(); i > 3; --i) {
    size_t j = 2 + z.Bis(i - 2);
    std::swap(konten[i - 1], konten[j]);
  }
  return konten;
}

// Builds the balances index of an existing balances file the way the
// program does when none is there.
inline bool BaueIndex(const std::string& sal, const std::string& sdx) {
  kv::LoescheDatei(sdx);
  kv::Datei salden, index;
  if (!salden.Oeffnen(sal, kv::Datei::LesenSchreiben)) return false;
  kv::CSIndex idx;
  idx.Verbinde(&index, &salden, sal, sdx);
  const bool ok = idx.Oeffnen().Ok();
  idx.Schliesse();
  return ok;
}

// Writes one booking circle below data directory `daten` (which must exist).
inline bool ErzeugeKreis(const std::string& daten, const Kreis& k, uint64_t saat) {
  Zufall z(saat * 1000003u + static_cast<uint64_t>(k.nummer));
  if (!kv::ErzeugeVerzeichnis(kv::NameBuchungskreisVerzeichnis(daten, k.nummer))) return false;
  if (!SchreibeDatei(kv::NameStammdatei(daten, k.nummer), Stammtext(k))) return false;
  if (!k.mitSalden) return true;
  std::string inhalt;
  for (const Konto& konto : k.ausgeglichen ? ErzeugeAusgeglicheneKonten(k, z) : ErzeugeKonten(k, z))
    inhalt += Satz(konto);
  const std::string sal = kv::NameSaldendatei(daten, k.nummer, k.kontenrahmen, k.jahr);
  if (!SchreibeDatei(sal, inhalt)) return false;
  // The file probe of a circle's main files also looks at the journal.
  SchreibeDatei(kv::NameJournal(daten, k.nummer, k.kontenrahmen, k.jahr), "");
  SchreibeDatei(kv::NameJournalindex(daten, k.nummer, k.kontenrahmen, k.jahr), "");
  if (!k.mitIndex) return true;
  return BaueIndex(sal, kv::NameSaldenindex(daten, k.nummer, k.kontenrahmen, k.jahr));
}

// Writes one booking circle with the given accounts (in file order) and
// writes its balances index directly instead of inserting account by
// account, so that circles of 29,999 accounts are made in moments.  The
// index holds what the program's own build would hold (same entries, same
// capacity rule); equal name keys are ordered by record number.
inline bool ErzeugeKreisMitKonten(const std::string& daten, const Kreis& k,
                                  const std::vector<Konto>& konten) {
  if (!kv::ErzeugeVerzeichnis(kv::NameBuchungskreisVerzeichnis(daten, k.nummer))) return false;
  if (!SchreibeDatei(kv::NameStammdatei(daten, k.nummer), Stammtext(k))) return false;
  std::string inhalt;
  inhalt.reserve(konten.size() * kv::kSatzLaenge);
  for (const Konto& konto : konten) inhalt += Satz(konto);
  if (!SchreibeDatei(kv::NameSaldendatei(daten, k.nummer, k.kontenrahmen, k.jahr), inhalt))
    return false;
  SchreibeDatei(kv::NameJournal(daten, k.nummer, k.kontenrahmen, k.jahr), "");
  SchreibeDatei(kv::NameJournalindex(daten, k.nummer, k.kontenrahmen, k.jahr), "");
  struct Eintrag {
    int konto;
    std::string schluessel;
    int satz;
  };
  std::vector<Eintrag> e;
  for (size_t i = 0; i < konten.size(); ++i)
    if (konten[i].nummer > 0)
      e.push_back({konten[i].nummer, kv::CSIndex::NamensSchluessel(konten[i].name), static_cast<int>(i)});
  int kap = kv::kIndexStartKapazitaet;
  while (static_cast<int>(e.size()) > kap - 3) kap *= 2;
  std::string bild(kv::kIndexKopf + static_cast<size_t>(kap) * 24, '\0');
  std::memcpy(bild.data(), "W001001", 8);
  auto le = [&](size_t off, int32_t v) {
    for (int b = 0; b < 4; ++b) bild[off + b] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * b)) & 0xff);
  };
  le(8, static_cast<int32_t>(e.size()));
  le(12, kap);
  auto nummern = e;
  std::stable_sort(nummern.begin(), nummern.end(), [](const Eintrag& a, const Eintrag& b) { return a.konto < b.konto; });
  for (size_t i = 0; i < nummern.size(); ++i) {
    le(kv::kIndexKopf + 8 * i, nummern[i].konto);
    le(kv::kIndexKopf + 8 * i + 4, nummern[i].satz);
  }
  auto namen = e;
  std::stable_sort(namen.begin(), namen.end(), [](const Eintrag& a, const Eintrag& b) {
    return std::memcmp(a.schluessel.data(), b.schluessel.data(), kv::kNamensSchluessel) < 0;
  });
  const size_t basis = kv::kIndexKopf + 8 * static_cast<size_t>(kap);
  for (size_t i = 0; i < namen.size(); ++i) {
    std::memcpy(bild.data() + basis + 16 * i, namen[i].schluessel.data(), kv::kNamensSchluessel);
    le(basis + 16 * i + 12, namen[i].satz);
  }
  return SchreibeDatei(kv::NameSaldenindex(daten, k.nummer, k.kontenrahmen, k.jahr), bild);
}

// Program directory with "kalvento.ini" (data directory "Daten") in the
// default layout.
inline bool ErzeugeKonfiguration(const std::string& programm, const std::string& daten) {
  // The defaults in the companion program's order; only "Daten" differs.
  const std::pair<const char*, const char*> werte[] = {
      {"Version", "W001002"}, {"Daten", nullptr}, {"Sicherung", "A:          "},
      {"Import", ""}, {"Export", ""}, {"Passwort", ""}, {"Drucker", ""},
      {"Zeilen pro Seite", "68"}, {"Rand oben", "0"}, {"Rand links", "9"}, {"Farbe", ""},
      {"Auflösung", "25,08"}, {"Font Scr normal", ""}, {"Font Scr fett", ""},
      {"Font Prn normal", "240"}, {"Font Prn schmal", "144"}, {"MwSt F7", " 7.00"},
      {"MwSt F8", "19.00"}, {"Änderung", "J"}, {"13.Monat", "J"}, {"Signalton", "J"},
      {"Euro-Faktor", "1.95583"}, {"Kvop", ""}, {"Fakt", ""}, {"Verein", ""},
      {"Texte zentral", "J"}, {"Text F01", ""}, {"Text F02", ""}, {"Text F03", ""},
      {"Text F04", ""}, {"Text F05", ""}, {"Text F06", ""}, {"Text F07", ""},
      {"Text F08", ""}, {"Text F09", ""}, {"Text F10", ""}, {"Text F11", ""},
      {"Text F12", ""}, {"Font Buchung", "25,08,0400,Courier New"},
      {"Font Bildschirm", "25,08,0400,Courier New"}, {"Font Dialog", "16,06,0700,Arial"},
      {"Font Nutzung", "16,06,0700,Arial"},
      {"KvonlineProgramm", "C:\\Programme\\kvonline\\kvonline.exe"},
      {"KvonlineImport", "C:\\Programme\\kvonline\\import"}, {"DatevExport", ""},
  };
  std::string t = std::string(kv::kIniKopfzeile) + "\r\n\r\n[KALVENTO]\r\n";
  for (const auto& [schluessel, wert] : werte)
    t += kv::W(schluessel) + "=" + (wert ? kv::W(wert) : daten) + "\r\n";
  return SchreibeDatei(programm + "/kalvento.ini", t);
}

// The shipped sample: seven circles of two charts, balanced books.
// Cumulating 2010 from 1 to 7 with reference 3 adds 1 and 7, leaves 2 out
// silently (no books for 2010), 4 with a message (KR04) and 5 and 6 with a
// message (financial year from July); cumulating 1011 from 5 to 6 with
// reference 5 adds both.
inline std::vector<Kreis> Beispielkreise() {
  std::vector<Kreis> k(7);
  k[0] = {1, "Bäckerei Müller KG", 3, 2010, 1, true, true, true, 60};
  k[1] = {2, "Schröder & Söhne OHG", 3, 2010, 1, true, false, true, 60};
  k[2] = {3, "Muster GmbH", 3, 2010, 1, false, true, true, 80};
  k[3] = {4, "Weißgerber AG", 4, 2010, 1, false, true, true, 60};
  k[4] = {5, "Gärtnerei Grünfeld e.K.", 3, 1011, 7, true, true, true, 50};
  k[5] = {6, "Hofladen Ölmühle GmbH", 3, 1011, 7, true, true, false, 50};
  k[6] = {7, "Café Süßholz GmbH", 3, 2010, 1, true, true, true, 70};
  for (Kreis& kreis : k) kreis.ausgeglichen = true;
  return k;
}

}  // namespace kvgen
