#include "reports/bilanz.h"

#include <cmath>
#include <vector>

#include "basis/format.h"
#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/kontenklassen.h"
#include "reports/seitenkopf.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W67 = 67;
constexpr double kInhalt = 0.00444444;

// Side types of a position.
enum Seite { kBeide = 0, kNurSoll = 1, kNurHaben = 2, kNurSumme = 4 };

struct Position {
  int von, bis, typ;
};

// Positions 0..2 are the totals of VAT, customer and supplier accounts;
// the others are walked in order.  KR04 3821-3829 belong to the VAT total
// (as in the Saldenbilanz classes), so position 25 starts at 3830.
const std::vector<Position> kPositionen03 = {
    {1560, 1789, kNurSumme}, {10000, 19999, kNurSumme}, {20000, 29999, kNurSumme},
    {1, 599, kBeide},        {1000, 1099, kBeide},      {1100, 1559, kNurSoll},
    {1590, 1599, kBeide},    {1790, 1799, kNurSoll},    {1890, 1899, kNurSoll},
    {3900, 3999, kBeide},    {600, 799, kNurSoll},      {980, 989, kBeide},
    {800, 800, kBeide},      {801, 929, kBeide},        {1800, 1889, kBeide},
    {1900, 1999, kBeide},    {930, 949, kBeide},        {950, 979, kBeide},
    {600, 799, kNurHaben},   {1100, 1559, kNurHaben},   {1600, 1759, kBeide},
    {1790, 1799, kNurHaben}, {1890, 1899, kNurHaben},   {990, 999, kBeide},
    {9000, 9999, kBeide},
};
const std::vector<Position> kPositionen04 = {
    {1400, 3829, kNurSumme}, {10000, 19999, kNurSumme}, {20000, 29999, kNurSumme},
    {1, 79, kBeide},         {80, 99, kNurSoll},        {100, 999, kBeide},
    {1000, 1399, kBeide},    {1420, 1499, kNurSoll},    {1500, 1699, kBeide},
    {1700, 1899, kNurSoll},  {1950, 1999, kNurSoll},    {2100, 2899, kNurSoll},
    {3950, 3999, kNurSoll},  {1900, 1949, kBeide},      {2900, 2900, kBeide},
    {80, 99, kNurHaben},     {2000, 2099, kBeide},      {2100, 2899, kNurHaben},
    {2901, 2979, kBeide},    {2980, 2999, kBeide},      {3000, 3099, kBeide},
    {1420, 1499, kNurHaben}, {1700, 1899, kNurHaben},   {1950, 1999, kNurHaben},
    {3100, 3799, kBeide},    {3830, 3899, kBeide},      {3950, 3999, kNurHaben},
    {3900, 3949, kBeide},    {9000, 9999, kNurHaben},
};

// What a section carries besides its own accounts.
enum Abschnittsart { kNormal, kUmlauf, kKapital, kLieferanten, kKlasse9 };

struct Abschnitt {
  const char* titel;  // UTF-8
  int erste, letzte;
  Abschnittsart art;
};

const std::vector<Abschnitt> kAbschnitte03 = {
    {"ANLAGEVERMÖGEN", 3, 3, kNormal},
    {"UMLAUFVERMÖGEN", 4, 9, kUmlauf},
    {"LANGFRISTIGE FORDERUNGEN", 10, 10, kNormal},
    {"RECHNUNGSABGRENZUNG", 11, 11, kNormal},
    {"KAPITAL", 12, 15, kKapital},
    {"SONDERPOSTEN MIT RÜCKLAGEANTEIL", 16, 16, kNormal},
    {"RÜCKSTELLUNGEN", 17, 17, kNormal},
    {"LANGFRISTIGE VERBINDLICHKEITEN", 18, 18, kNormal},
    {"KURZFRISTIGE VERBINDLICHKEITEN", 19, 22, kLieferanten},
    {"RECHNUNGSABGRENZUNG", 23, 23, kNormal},
    {"KONTENKLASSE 9", 24, 24, kKlasse9},
};
const std::vector<Abschnitt> kAbschnitte04 = {
    {"ANLAGEVERMÖGEN", 3, 5, kNormal},
    {"UMLAUFVERMÖGEN", 6, 12, kUmlauf},
    {"RECHNUNGSABGRENZUNG", 13, 13, kNormal},
    {"KAPITAL", 14, 18, kKapital},
    {"SONDERPOSTEN MIT RÜCKLAGEANTEIL", 19, 19, kNormal},
    {"RÜCKSTELLUNGEN", 20, 20, kNormal},
    {"VERBINDLICHKEITEN", 21, 26, kLieferanten},
    {"RECHNUNGSABGRENZUNG", 27, 27, kNormal},
    {"KONTENKLASSE 9", 28, 28, kKlasse9},
};

// The second VAT position: after it the credit VAT total is shown.
constexpr int kPositionUstHaben = 22;

bool IstKlasse9(int konto) { return konto >= 9000 && konto <= 9999; }

constexpr Titelzeilen kTitel = {
    "B I L A N Z                                            %02i.%02i.%04i\r\n",
    "-----------                                              Blatt %02u\r\n",
    "-----------                                             Blatt %03u\r\n", 11, 11};

class Bilanz : Berichtsgenerator {
 public:
  Bilanz(const Berichtskontext& k, Druckauswahl& a, Druckzustand& z)
      : Berichtsgenerator(k, a, z), kr03_(k.kontenrahmen == 3),
        positionen_(kr03_ ? kPositionen03 : kPositionen04),
        abschnitte_(kr03_ ? kAbschnitte03 : kAbschnitte04),
        kapitalkonto_(kr03_ ? 800 : 2900), bisSlot_(k.Slot(a.BisMonat)) {}

  void Schreibe() {
    Summen();
    Inhalte();
    for (size_t s = 0; s < abschnitte_.size() && !z_.Schreibfehler(); ++s) Abschnittsdruck(s);
    Ende();
  }

 private:
  // ---- pass 1 -------------------------------------------------------------

  bool IstUstKonto(int konto) const {
    if (kr03_) return (konto >= 1560 && konto <= 1589) || (konto >= 1760 && konto <= 1789);
    return (konto >= 1400 && konto <= 1419) || (konto >= 3800 && konto <= 3829);
  }

  double Bereichssumme(int von, int bis, bool (Bilanz::*mitglied)(int) const) {
    double summe = 0;
    Kontosatz satz;
    for (bool da = lauf_.Erster(von, bis); da; da = lauf_.Naechster(bis)) {
      if (mitglied && !(this->*mitglied)(lauf_.Nummer())) continue;
      if (lauf_.Lese(satz)) summe += satz.Summe(0, bisSlot_);
    }
    return Gerundet(summe);
  }

  void Summen() {
    ust_ = Bereichssumme(positionen_[0].von, positionen_[0].bis, &Bilanz::IstUstKonto);
    kunden_ = Bereichssumme(10000, 19999, nullptr);
    lieferanten_ = Bereichssumme(20000, 29999, nullptr);
    klasse9_ = Bereichssumme(9000, 9999, nullptr);
    double ergebnis = 0;
    Kontosatz satz;
    for (int g = 0; g < kErfolgsgruppen; ++g) {
      Kontenbereich b = ErfolgsgruppenBereich(k_.kontenrahmen, false, g);
      if (!b.gefunden) continue;
      for (bool da = lauf_.Erster(b.erstes, b.letztes); da; da = lauf_.Naechster(b.letztes)) {
        if (!IstInErfolgsgruppe(k_.kontenrahmen, false, g, lauf_.Nummer(), 0)) continue;
        if (lauf_.Lese(satz)) ergebnis += satz.Summe(0, bisSlot_);
      }
    }
    ergebnis_ = Gerundet(ergebnis);
    kapitalkontoDa_ = lauf_.Erster(kapitalkonto_, kapitalkonto_);
  }

  void Inhalte() {
    inhalt_.assign(abschnitte_.size(), false);
    Kontosatz satz;
    for (size_t s = 0; s < abschnitte_.size(); ++s) {
      const Abschnitt& ab = abschnitte_[s];
      bool inhalt = false;
      switch (ab.art) {
        case kUmlauf: inhalt = std::fabs(kunden_) > 0.004 || ust_ > 0.00444; break;
        case kKapital: inhalt = kapitalkontoDa_ || std::fabs(ergebnis_) > 0.004; break;
        case kLieferanten: inhalt = std::fabs(lieferanten_) > 0.004 || ust_ < -0.00444; break;
        case kKlasse9: inhalt = std::fabs(klasse9_) > 0.004; break;
        case kNormal: break;
      }
      for (int p = ab.erste; p <= ab.letzte && !inhalt; ++p) {
        const Position& pos = positionen_[p];
        for (bool da = lauf_.Erster(pos.von, pos.bis); da && !inhalt; da = lauf_.Naechster(pos.bis)) {
          // Class-9 accounts are never listed, only their total.
          if (IstKlasse9(lauf_.Nummer()) || !lauf_.Lese(satz)) continue;
          double betrag = satz.Summe(0, bisSlot_);
          inhalt = (pos.typ == kNurSoll && betrag > kInhalt) ||
                   (pos.typ == kNurHaben && betrag < -kInhalt) ||
                   (pos.typ == kBeide && std::fabs(betrag) > kInhalt);
        }
      }
      inhalt_[s] = inhalt;
    }
  }

  // ---- pass 2 -------------------------------------------------------------

  void Kopf() {
    SchreibeSeitenkopf(z_, a_, k_, kTitel, Buchungsjahrzeile(k_, Jahreszeile::SchmalVierstellig),
                       W67);
    z_.SchreibeKopfzeile(Trennlinie(W67));
    const int letzteAktiva = kr03_ ? 11 : 13;
    const char* seite = position_ >= 1 && position_ <= letzteAktiva ? "A K T I V A" : "P A S S I V A";
    z_.SchreibeKopfzeile(Format("%-29s %12s %3s   %12s %3s\r\n", seite, "Soll",
                                     k_.waehrung.c_str(), "Haben", k_.waehrung.c_str()));
    z_.SchreibeKopfzeile(Trennlinie(W67));
  }

  void Ueberschrift() {
    std::string titel = W(abschnitte_[abschnitt_].titel);
    z_.SchreibeZeile(Format("%-64s \r\n", titel.c_str()));
    std::string strich(titel.size(), '\xAD');
    strich.resize(65, ' ');
    z_.SchreibeZeile(strich + "\r\n");
  }

  // Page break inside a section: the new page repeats its heading.
  void Umbruch() {
    Kopf();
    if (inhalt_[abschnitt_]) Ueberschrift();
  }

  // Would the line writer print this amount?
  static bool WirdGedruckt(double betrag, int typ, bool nullDrucken) {
    if (typ == kNurSumme) return false;
    if (betrag > 0.001 && typ != kNurHaben) return true;
    if (betrag < -0.001 && typ != kNurSoll) return true;
    return std::fabs(betrag) <= 0.001 && nullDrucken;
  }

  // Writes one amount line by side type; returns +1 when the amount went to
  // the Soll column, -1 for the Haben column, 0 when nothing was written.
  int Zeile(const std::string& text, double betrag, int typ, bool nullDrucken) {
    if (!WirdGedruckt(betrag, typ, nullDrucken)) return 0;
    std::string soll = " ", haben = " ";
    int spalte;
    if (betrag > 0.001 && typ != kNurHaben) {
      soll = Betragsfeld(betrag, 15);
      abschnittSoll_ += betrag;
      spalte = 1;
    } else if (betrag < -0.001 && typ != kNurSoll) {
      haben = Betragsfeld(-betrag, 15);
      abschnittHaben_ -= betrag;
      spalte = -1;
    } else {
      soll = Betragsfeld(betrag, 15);
      spalte = 1;
    }
    z_.SchreibeZeile(
        Format("%-30s %15s    %15s\r\n", text.c_str(), soll.c_str(), haben.c_str()));
    return spalte;
  }

  // A special line (totals, result) with a page break first when the page
  // is full.
  void Sonderzeile(const std::string& text, double betrag, int typ) {
    if (!WirdGedruckt(betrag, typ, false)) return;
    if (z_.RestZeilen <= 0) Umbruch();
    Zeile(text, betrag, typ, false);
  }

  // Subtotal or capital line: its amount goes into the side totals.
  void Summenzeile(const std::string& text) {
    double betrag = Gerundet(abschnittSoll_ - abschnittHaben_);
    z_.SchreibeZeile(Leerzeile(W67));
    int spalte = Zeile(text, betrag, kBeide, true);
    if (spalte > 0) aktiva_ += betrag;
    if (spalte < 0) passiva_ -= betrag;
    z_.SchreibeZeile(Leerzeile(W67));
  }

  std::string Kapitaltext() const {
    if (a_.BisMonat == 0)
      return "Kapital " + DatumText(1, k_.ersterMonat, k_.JahrDesMonats(k_.ersterMonat));
    if (a_.BisMonat == 13) return Format("Kapital Abschluss %04i", k_.JahrDesMonats(13));
    return "Kapital " + DatumText(31, a_.BisMonat, a_.BisJahr);
  }

  void Konten(const Position& pos) {
    Kontosatz satz;
    for (bool da = lauf_.Erster(pos.von, pos.bis);
         da && !z_.SeitengrenzeErreicht() && !z_.Schreibfehler(); da = lauf_.Naechster(pos.bis)) {
      if (z_.RestZeilen <= 0) Umbruch();
      const int konto = lauf_.Nummer();
      if (IstKlasse9(konto) || !lauf_.Lese(satz)) continue;
      if (konto == kapitalkonto_) {
        if (kr03_ ? z_.RestZeilen <= 2 : z_.RestZeilen <= 0) Umbruch();
        Zeile("Kapitalkonto " + DatumText(1, k_.ersterMonat, k_.JahrDesMonats(k_.ersterMonat)),
              Gerundet(satz.betrag[0]), pos.typ, true);
        double bewegung = satz.Summe(1, bisSlot_);
        if (std::fabs(bewegung) > kInhalt) Zeile("Bewegungen Kapitalkonto", bewegung, pos.typ, false);
        continue;
      }
      Zeile(satz.name, satz.Summe(0, bisSlot_), pos.typ, false);
    }
  }

  void Abschnittsdruck(size_t s) {
    abschnitt_ = s;
    const Abschnitt& ab = abschnitte_[s];
    for (int p = ab.erste; p <= ab.letzte; ++p) {
      position_ = p;
      if (p == ab.erste) {
        if (s == 0 || ab.art == kKapital || z_.RestZeilen <= 4) Kopf();
        if (inhalt_[s]) Ueberschrift();
        if (ab.art == kUmlauf && std::fabs(kunden_) > 0.004)
          Sonderzeile("Kundenforderungen", kunden_, kBeide);
        if (ab.art == kLieferanten && std::fabs(lieferanten_) > 0.004)
          Sonderzeile("Lieferantenverbindlichkeiten", lieferanten_, kBeide);
      }
      Konten(positionen_[p]);
      if (p == ab.letzte && ab.art == kUmlauf) Sonderzeile("Umsatzsteuersaldo", ust_, kNurSoll);
      if (p == ab.letzte && ab.art == kKapital)
        Sonderzeile(ergebnis_ <= 0 ? "GEWINN" : "VERLUST", ergebnis_, kBeide);
      if (p == kPositionUstHaben) Sonderzeile("Umsatzsteuersaldo", ust_, kNurHaben);
      if (p == ab.letzte && ab.art == kKlasse9) Sonderzeile("KONTENKLASSE 9", klasse9_, kBeide);
    }
    if (ab.art == kKapital) {
      if (z_.RestZeilen < 4) Umbruch();
      Summenzeile(Kapitaltext());
    } else if (inhalt_[s]) {
      if (z_.RestZeilen < 2) Umbruch();
      Summenzeile("Zwischensumme");
    }
    abschnittSoll_ = abschnittHaben_ = 0;
  }

  void Ende() {
    position_ = static_cast<int>(positionen_.size());
    double d = Gerundet(aktiva_ - passiva_);
    bool differenz = std::fabs(d) >= 0.004;
    if (z_.RestZeilen < 4 || (differenz && z_.RestZeilen < 6)) Kopf();
    const char* format = "%-25s      %15s    %15s\r\n";
    z_.SchreibeZeile(Trennlinie(W67));
    z_.SchreibeZeile(Format(format, "Bilanzsummen:", Betragsfeld(aktiva_, 15).c_str(),
                                 Betragsfeld(passiva_, 15).c_str()));
    z_.SchreibeZeile(Trennlinie(W67));
    if (differenz) {
      z_.SchreibeZeile(Format(format, "Differenz:", Betragsfeld(std::fabs(d), 15).c_str(),
                                   Betragsfeld(0, 15).c_str()));
      z_.SchreibeZeile(Trennlinie(W67));
    }
  }

  const bool kr03_;
  const std::vector<Position>& positionen_;
  const std::vector<Abschnitt>& abschnitte_;
  const int kapitalkonto_;
  const int bisSlot_;

  double ust_ = 0, kunden_ = 0, lieferanten_ = 0, klasse9_ = 0, ergebnis_ = 0;
  bool kapitalkontoDa_ = false;
  std::vector<bool> inhalt_;

  size_t abschnitt_ = 0;
  int position_ = 3;
  double abschnittSoll_ = 0, abschnittHaben_ = 0;
  double aktiva_ = 0, passiva_ = 0;
};

}  // namespace

void FuelleBilanzAuswahl(const Berichtskontext& kontext, int stichmonat, const Datum& druckdatum,
                         Druckauswahl& auswahl) {
  FuelleGrundauswahl(kontext, 0, stichmonat, druckdatum, auswahl);
}

Status DruckeBilanz(const Berichtskontext& kontext, Druckauswahl& auswahl,
                    Druckzustand& zustand) {
  return SchreibeBericht(kontext, auswahl, zustand, kAusgabeBilanz,
                         [&] { Bilanz(kontext, auswahl, zustand).Schreibe(); });
}

}  // namespace kv
