#include "reports/bilanz.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "basis/format.h"
#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/kontenklassen.h"
#include "reports/seitenkopf.h"
#include "storage/sindex.h"
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

// The chart's tables.
struct Gliederung {
  explicit Gliederung(int kontenrahmen)
      : kr03(kontenrahmen == 3), positionen(kr03 ? kPositionen03 : kPositionen04),
        abschnitte(kr03 ? kAbschnitte03 : kAbschnitte04), kapitalkonto(kr03 ? 800 : 2900) {}
  // Positions 1 up to this one are the asset side.
  int LetzteAktiva() const { return kr03 ? 11 : 13; }

  const bool kr03;
  const std::vector<Position>& positionen;
  const std::vector<Abschnitt>& abschnitte;
  const int kapitalkonto;
};

// Would the line writer print this amount?
bool WirdGedruckt(double betrag, int typ, bool nullDrucken) {
  if (typ == kNurSumme) return false;
  if (betrag > 0.001 && typ != kNurHaben) return true;
  if (betrag < -0.001 && typ != kNurSoll) return true;
  return std::fabs(betrag) <= 0.001 && nullDrucken;
}

// Cells of a model row.
enum Zellennr { kKonto, kBezeichnung, kSoll, kHaben };

// ---- the model ---------------------------------------------------------------

// Pass 1 sums the accounts shown only as totals and the result; pass 2
// walks the positions section by section as the pages show them.
class Bilanzmodell {
 public:
  Bilanzmodell(const Berichtskontext& k, const Druckauswahl& a, Berichtsmodell& m)
      : k_(k), a_(a), m_(m), g_(k.kontenrahmen), lauf_(k), bisSlot_(k.Slot(a.BisMonat)) {}

  void Baue() {
    // Without its sums and the contents of its sections no section can be
    // told: the model then has none.
    if (!Summen() || !Inhalte()) return Abbruch();
    for (size_t s = 0; s < g_.abschnitte.size(); ++s)
      if (!Abschnittsbau(s)) return;
    const double d = Gerundet(aktiva_ - passiva_);
    m_.Zeile(Zeilenart::Summe, -1,
             {Zelle::Leer(), Zelle::Text("Bilanzsummen:"), Zelle::Zahl(aktiva_),
              Zelle::Zahl(passiva_)});
    if (std::fabs(d) >= 0.004)
      m_.Zeile(Zeilenart::Differenz, -1,
               {Zelle::Leer(), Zelle::Text("Differenz:"), Zelle::Zahl(std::fabs(d)),
                Zelle::Zahl(0)});
  }

 private:
  void Abbruch() { m_.abbruch = Berichtsmodell::Abbruch{m_.zeilen.size(), lauf_.Fehler()}; }

  // ---- pass 1 -------------------------------------------------------------

  bool IstUstKonto(int konto) const {
    if (g_.kr03) return (konto >= 1560 && konto <= 1589) || (konto >= 1760 && konto <= 1789);
    return (konto >= 1400 && konto <= 1419) || (konto >= 3800 && konto <= 3829);
  }

  // False when a record could not be read.
  bool Bereichssumme(int von, int bis, bool nurUst, double& summe) {
    double s = 0;
    for (bool da = lauf_.Erster(von, bis); da; da = lauf_.Naechster(bis)) {
      if (nurUst && !IstUstKonto(lauf_.Nummer())) continue;
      if (lauf_.Lese(satz_))
        s += satz_.Summe(0, bisSlot_);
      else if (lauf_.Fehlgeschlagen())
        return false;
    }
    summe = Gerundet(s);
    return true;
  }

  bool Summen() {
    if (!Bereichssumme(g_.positionen[0].von, g_.positionen[0].bis, true, ust_) ||
        !Bereichssumme(10000, 19999, false, kunden_) ||
        !Bereichssumme(20000, 29999, false, lieferanten_) ||
        !Bereichssumme(9000, 9999, false, klasse9_))
      return false;
    double ergebnis = 0;
    for (int gruppe = 0; gruppe < kErfolgsgruppen; ++gruppe) {
      Kontenbereich b = ErfolgsgruppenBereich(k_.kontenrahmen, false, gruppe);
      if (!b.gefunden) continue;
      for (bool da = lauf_.Erster(b.erstes, b.letztes); da; da = lauf_.Naechster(b.letztes)) {
        if (!IstInErfolgsgruppe(k_.kontenrahmen, false, gruppe, lauf_.Nummer(), 0)) continue;
        if (lauf_.Lese(satz_))
          ergebnis += satz_.Summe(0, bisSlot_);
        else if (lauf_.Fehlgeschlagen())
          return false;
      }
    }
    ergebnis_ = Gerundet(ergebnis);
    kapitalkontoDa_ = lauf_.Erster(g_.kapitalkonto, g_.kapitalkonto);
    return true;
  }

  // Whether a section has content by the totals alone.
  bool Grundinhalt(const Abschnitt& ab) const {
    switch (ab.art) {
      case kUmlauf: return std::fabs(kunden_) > 0.004 || ust_ > 0.00444;
      case kKapital: return kapitalkontoDa_ || std::fabs(ergebnis_) > 0.004;
      case kLieferanten: return std::fabs(lieferanten_) > 0.004 || ust_ < -0.00444;
      case kKlasse9: return std::fabs(klasse9_) > 0.004;
      case kNormal: break;
    }
    return false;
  }

  // Which sections have content, and so a heading: by their totals, or by
  // the first account that will get a line.  The section titles of the
  // model; empty for a section without a heading.
  bool Inhalte() {
    std::vector<std::string> titel(g_.abschnitte.size());
    for (size_t s = 0; s < g_.abschnitte.size(); ++s) {
      const Abschnitt& ab = g_.abschnitte[s];
      bool inhalt = Grundinhalt(ab);
      for (int p = ab.erste; p <= ab.letzte && !inhalt; ++p) {
        const Position& pos = g_.positionen[p];
        for (bool da = lauf_.Erster(pos.von, pos.bis); da && !inhalt;
             da = lauf_.Naechster(pos.bis)) {
          // Class-9 accounts are never listed, only their total.
          if (IstKlasse9(lauf_.Nummer())) continue;
          if (!lauf_.Lese(satz_)) {
            if (lauf_.Fehlgeschlagen()) return false;
            continue;
          }
          const double betrag = satz_.Summe(0, bisSlot_);
          inhalt = (pos.typ == kNurSoll && betrag > kInhalt) ||
                   (pos.typ == kNurHaben && betrag < -kInhalt) ||
                   (pos.typ == kBeide && std::fabs(betrag) > kInhalt);
        }
      }
      if (inhalt) titel[s] = W(ab.titel);
    }
    m_.abschnitte = std::move(titel);
    return true;
  }

  // ---- pass 2 -------------------------------------------------------------

  // One line of amounts by side type, as the pages print it; +1 for the
  // Soll column, -1 for the Haben column, 0 when the pages print nothing.
  int Zeile(Zeilenart art, int konto, std::string text, double betrag, int typ, bool nullDrucken) {
    if (!WirdGedruckt(betrag, typ, nullDrucken)) return 0;
    Zelle soll, haben;
    int spalte = 1;
    if (betrag > 0.001 && typ != kNurHaben) {
      soll = Zelle::Zahl(betrag);
      abschnittSoll_ += betrag;
    } else if (betrag < -0.001 && typ != kNurSoll) {
      haben = Zelle::Zahl(-betrag);
      abschnittHaben_ -= betrag;
      spalte = -1;
    } else {
      soll = Zelle::Zahl(betrag);
    }
    m_.Zeile(art, static_cast<int>(abschnitt_),
             {konto > 0 ? Zelle::Zahl(konto) : Zelle::Leer(), Zelle::Text(std::move(text)),
              std::move(soll), std::move(haben)});
    return spalte;
  }

  void Sonderzeile(Zeilenart art, const char* text, double betrag, int typ) {
    Zeile(art, 0, text, betrag, typ, false);
  }

  void Summenzeile(const std::string& text) {
    const double betrag = Gerundet(abschnittSoll_ - abschnittHaben_);
    const int spalte = Zeile(Zeilenart::Zwischensumme, 0, text, betrag, kBeide, true);
    if (spalte > 0) aktiva_ += betrag;
    if (spalte < 0) passiva_ -= betrag;
  }

  std::string Kapitaltext() const {
    if (a_.BisMonat == 0)
      return "Kapital " + DatumText(1, k_.ersterMonat, k_.JahrDesMonats(k_.ersterMonat));
    if (a_.BisMonat == 13) return Format("Kapital Abschluss %04i", k_.JahrDesMonats(13));
    return "Kapital " + DatumText(31, a_.BisMonat, a_.BisJahr);
  }

  // The accounts of a position.  False when a record could not be read:
  // the model ends there (`abbruch`).
  bool Konten(const Position& pos) {
    for (bool da = lauf_.Erster(pos.von, pos.bis); da; da = lauf_.Naechster(pos.bis)) {
      const int konto = lauf_.Nummer();
      // Class-9 accounts are never listed, only their total.
      if (IstKlasse9(konto) || !lauf_.Lese(satz_)) {
        m_.Uebergehe(static_cast<int>(abschnitt_));
        if (!lauf_.Fehlgeschlagen()) continue;
        Abbruch();
        return false;
      }
      int zeilen = 0;
      if (konto == g_.kapitalkonto) {
        // Always a line (a position of both sides, zero printed): the pages
        // know the capital account by its number in the konto cell.
        const std::string anfang =
            DatumText(1, k_.ersterMonat, k_.JahrDesMonats(k_.ersterMonat));
        zeilen += Zeile(Zeilenart::Konto, konto, "Kapitalkonto " + anfang,
                        Gerundet(satz_.betrag[0]), pos.typ, true) != 0;
        const double bewegung = satz_.Summe(1, bisSlot_);
        if (std::fabs(bewegung) > kInhalt)
          zeilen += Zeile(Zeilenart::Konto, konto, "Bewegungen Kapitalkonto", bewegung, pos.typ,
                          false) != 0;
      } else {
        zeilen = Zeile(Zeilenart::Konto, konto, Kontoname(satz_), satz_.Summe(0, bisSlot_), pos.typ,
                       false) != 0;
      }
      if (!zeilen) m_.Uebergehe(static_cast<int>(abschnitt_));
    }
    return true;
  }

  // False when a record could not be read.  The section is still finished
  // with the lines that need no account (totals, result, subtotal), as
  // the pages finish it after the failure, and then the model ends.
  bool Abschnittsbau(size_t s) {
    abschnitt_ = s;
    const Abschnitt& ab = g_.abschnitte[s];
    bool gelesen = true;
    for (int p = ab.erste; p <= ab.letzte; ++p) {
      if (p == ab.erste) {
        if (ab.art == kUmlauf && std::fabs(kunden_) > 0.004)
          Sonderzeile(Zeilenart::Gruppe, "Kundenforderungen", kunden_, kBeide);
        if (ab.art == kLieferanten && std::fabs(lieferanten_) > 0.004)
          Sonderzeile(Zeilenart::Gruppe, "Lieferantenverbindlichkeiten", lieferanten_, kBeide);
      }
      if (gelesen) gelesen = Konten(g_.positionen[p]);
      if (p == ab.letzte && ab.art == kUmlauf)
        Sonderzeile(Zeilenart::Gruppe, "Umsatzsteuersaldo", ust_, kNurSoll);
      if (p == ab.letzte && ab.art == kKapital)
        Sonderzeile(Zeilenart::Ergebnis, ergebnis_ <= 0 ? "GEWINN" : "VERLUST", ergebnis_, kBeide);
      if (p == kPositionUstHaben)
        Sonderzeile(Zeilenart::Gruppe, "Umsatzsteuersaldo", ust_, kNurHaben);
      if (p == ab.letzte && ab.art == kKlasse9)
        Sonderzeile(Zeilenart::Gruppe, "KONTENKLASSE 9", klasse9_, kBeide);
    }
    if (ab.art == kKapital)
      Summenzeile(Kapitaltext());
    else if (!m_.abschnitte[s].empty())
      Summenzeile("Zwischensumme");
    abschnittSoll_ = abschnittHaben_ = 0;
    return gelesen;
  }

  const Berichtskontext& k_;
  const Druckauswahl& a_;
  Berichtsmodell& m_;
  const Gliederung g_;
  Kontenlauf lauf_;
  const int bisSlot_;
  Kontosatz satz_;

  double ust_ = 0, kunden_ = 0, lieferanten_ = 0, klasse9_ = 0, ergebnis_ = 0;
  bool kapitalkontoDa_ = false;
  size_t abschnitt_ = 0;
  double abschnittSoll_ = 0, abschnittHaben_ = 0;
  double aktiva_ = 0, passiva_ = 0;
};

// ---- the pages ---------------------------------------------------------------

constexpr Titelzeilen kTitel = {
    "B I L A N Z                                            %02i.%02i.%04i\r\n",
    "-----------                                              Blatt %02u\r\n",
    "-----------                                             Blatt %03u\r\n", 11, 11};

bool Laeuft(const Druckzustand& z) { return !z.SeitengrenzeErreicht() && !z.Schreibfehler(); }

class Bilanzseiten {
 public:
  Bilanzseiten(const Berichtsmodell& m, const Berichtskontext& k, Druckauswahl& a, Druckzustand& z)
      : m_(m), k_(k), a_(a), z_(z), g_(k.kontenrahmen), schritte_(m) {}

  void Schreibe() {
    // No sections: the sums before them could not be read.
    if (m_.abschnitte.empty() && m_.abbruch) z_.Abbrechen(m_.abbruch->meldung);
    const size_t abschnitte = std::min(m_.abschnitte.size(), g_.abschnitte.size());
    for (size_t s = 0; s < abschnitte && !z_.Schreibfehler(); ++s) Abschnittsdruck(s);
    Ende();
    // A model that ends early never makes a whole report.
    if (m_.abbruch) z_.Abbrechen(m_.abbruch->meldung);
  }

 private:
  void Kopf() {
    SchreibeSeitenkopf(z_, a_, k_, kTitel, Buchungsjahrzeile(k_, Jahreszeile::SchmalVierstellig),
                       W67);
    z_.SchreibeKopfzeile(Trennlinie(W67));
    const char* seite = aktiva_ ? "A K T I V A" : "P A S S I V A";
    z_.SchreibeKopfzeile(Format("%-29s %12s %3s   %12s %3s\r\n", seite, "Soll",
                                k_.waehrung.c_str(), "Haben", k_.waehrung.c_str()));
    z_.SchreibeKopfzeile(Trennlinie(W67));
  }

  void Ueberschrift() {
    const std::string& titel = m_.abschnitte[abschnitt_];
    z_.SchreibeZeile(Format("%-64s \r\n", titel.c_str()));
    std::string strich(titel.size(), '\xAD');
    strich.resize(65, ' ');
    z_.SchreibeZeile(strich + "\r\n");
  }

  // Page break inside a section: the new page repeats its heading.
  void Umbruch() {
    Kopf();
    if (inhalt_) Ueberschrift();
  }

  // A line of amounts with its amount; +1 for the Soll column, -1 for the
  // Haben column, 0 when nothing was written.
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

  // A row of the model: the Soll cell holds an amount > 0.001 or the zero
  // printed, the Haben cell the negation of a negative amount.
  void Zeile(const Modellzeile& zeile) {
    const Zelle& soll = zeile.zellen[kSoll];
    const Zelle& haben = zeile.zellen[kHaben];
    std::string sollText = " ", habenText = " ";
    if (!soll.leer) {
      sollText = Betragsfeld(soll.zahl, 15);
      if (soll.zahl > 0.001) abschnittSoll_ += soll.zahl;
    }
    if (!haben.leer) {
      habenText = Betragsfeld(haben.zahl, 15);
      abschnittHaben_ += haben.zahl;
    }
    z_.SchreibeZeile(Format("%-30s %15s    %15s\r\n", zeile.zellen[kBezeichnung].text.c_str(),
                            sollText.c_str(), habenText.c_str()));
  }

  bool IstKapitalkonto(const Modellzeile* zeile) const {
    return zeile && zeile->art == Zeilenart::Konto && !zeile->zellen[kKonto].leer &&
           zeile->zellen[kKonto].zahl == g_.kapitalkonto;
  }

  // One account as the walk met it; the capital account brings its
  // movements along and wants room for both lines.
  void Konto(const Modellzeile& zeile) {
    const bool kapital = IstKapitalkonto(&zeile);
    const Modellzeile* bewegung = nullptr;
    if (kapital && IstKapitalkonto(schritte_.Zeile(static_cast<int>(abschnitt_)))) {
      bewegung = schritte_.Zeile(static_cast<int>(abschnitt_));
      schritte_.Weiter();
    }
    if (!Laeuft(z_)) return;
    if (z_.RestZeilen <= 0) Umbruch();
    if (kapital && (g_.kr03 ? z_.RestZeilen <= 2 : z_.RestZeilen <= 0)) Umbruch();
    Zeile(zeile);
    if (bewegung) Zeile(*bewegung);
  }

  // Subtotal or capital line: its amount goes into the side totals.  The
  // amount is that of the lines written, as the pages always summed them.
  void Summenzeile(const std::string& text) {
    double betrag = Gerundet(abschnittSoll_ - abschnittHaben_);
    z_.SchreibeZeile(Leerzeile(W67));
    int spalte = Zeile(text, betrag, kBeide, true);
    if (spalte > 0) aktivaSumme_ += betrag;
    if (spalte < 0) passivaSumme_ -= betrag;
    z_.SchreibeZeile(Leerzeile(W67));
  }

  void Abschnittsdruck(size_t s) {
    abschnitt_ = s;
    const int nr = static_cast<int>(s);
    const Abschnitt& ab = g_.abschnitte[s];
    aktiva_ = ab.erste >= 1 && ab.erste <= g_.LetzteAktiva();
    inhalt_ = !m_.abschnitte[s].empty();
    if (s == 0 || ab.art == kKapital || z_.RestZeilen <= 4) Kopf();
    if (inhalt_) Ueberschrift();
    for (;;) {
      // Every account the walk met checks for a page break, shown or not.
      if (const Berichtsmodell::Uebergangen* u = schritte_.Uebergangen(nr)) {
        for (uint32_t n = 0; n < u->anzahl && Laeuft(z_); ++n)
          if (z_.RestZeilen <= 0) Umbruch();
        if (schritte_.AmAbbruch()) z_.Abbrechen(m_.abbruch->meldung);
        continue;
      }
      const Modellzeile* zeile = schritte_.Zeile(nr);
      if (!zeile) break;
      schritte_.Weiter();
      if (zeile->art == Zeilenart::Konto) {
        Konto(*zeile);
      } else if (zeile->art == Zeilenart::Zwischensumme) {
        if (ab.art == kKapital ? z_.RestZeilen < 4 : z_.RestZeilen < 2) Umbruch();
        Summenzeile(zeile->zellen[kBezeichnung].text);
      } else {
        // Customers, suppliers, VAT, the result, class 9.
        if (z_.RestZeilen <= 0) Umbruch();
        Zeile(*zeile);
      }
    }
    abschnittSoll_ = abschnittHaben_ = 0;
  }

  void Ende() {
    aktiva_ = false;
    double d = Gerundet(aktivaSumme_ - passivaSumme_);
    bool differenz = std::fabs(d) >= 0.004;
    if (z_.RestZeilen < 4 || (differenz && z_.RestZeilen < 6)) Kopf();
    const char* format = "%-25s      %15s    %15s\r\n";
    z_.SchreibeZeile(Trennlinie(W67));
    z_.SchreibeZeile(Format(format, "Bilanzsummen:", Betragsfeld(aktivaSumme_, 15).c_str(),
                            Betragsfeld(passivaSumme_, 15).c_str()));
    z_.SchreibeZeile(Trennlinie(W67));
    if (differenz) {
      z_.SchreibeZeile(Format(format, "Differenz:", Betragsfeld(std::fabs(d), 15).c_str(),
                              Betragsfeld(0, 15).c_str()));
      z_.SchreibeZeile(Trennlinie(W67));
    }
  }

  const Berichtsmodell& m_;
  const Berichtskontext& k_;
  Druckauswahl& a_;
  Druckzustand& z_;
  const Gliederung g_;
  Modellschritte schritte_;

  size_t abschnitt_ = 0;
  bool aktiva_ = true;  // the side the page head names
  bool inhalt_ = false;
  double abschnittSoll_ = 0, abschnittHaben_ = 0;
  double aktivaSumme_ = 0, passivaSumme_ = 0;
};

}  // namespace

void FuelleBilanzAuswahl(const Berichtskontext& kontext, int stichmonat, const Datum& druckdatum,
                         Druckauswahl& auswahl) {
  FuelleGrundauswahl(kontext, 0, stichmonat, druckdatum, auswahl);
}

void BaueBilanzModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                      Berichtsmodell& modell) {
  FuelleModellkopf(kontext, auswahl, kAusgabeBilanz, "bilanz", "Bilanz", modell);
  modell.bis = Monatsende(kontext, auswahl.BisMonat);
  modell.spalten = {{"konto", "Konto", Spaltentyp::Ganzzahl},
                    {"bezeichnung", "Bezeichnung", Spaltentyp::Text},
                    {"soll", "Soll " + kontext.waehrung, Spaltentyp::Betrag},
                    {"haben", "Haben " + kontext.waehrung, Spaltentyp::Betrag}};
  if (kontext.index) modell.zeilen.reserve(kontext.index->Anzahl() / 2 + 64);
  Bilanzmodell(kontext, auswahl, modell).Baue();
}

void SeitenBilanz(const Berichtsmodell& modell, const Berichtskontext& kontext,
                  Druckauswahl& auswahl, Druckzustand& zustand) {
  Bilanzseiten(modell, kontext, auswahl, zustand).Schreibe();
}

Status DruckeBilanz(const Berichtskontext& kontext, Druckauswahl& auswahl,
                    Druckzustand& zustand) {
  return SchreibeBericht(kontext, auswahl, zustand, kAusgabeBilanz, [&] {
    Berichtsmodell modell;
    BaueBilanzModell(kontext, auswahl, modell);
    SeitenBilanz(modell, kontext, auswahl, zustand);
  });
}

}  // namespace kv
