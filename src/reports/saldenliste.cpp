#include "reports/saldenliste.h"

#include <algorithm>
#include <cmath>

#include "basis/format.h"
#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/seitenkopf.h"
#include "storage/sindex.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W67 = 67;
constexpr int W112 = 112;

std::string OhneLeerzeichen(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  return text;
}

constexpr Titelzeilen kTitelBreit = {
    "SALDENLISTE (kum.)                                                                                  %02i.%02i.%04i\r\n",
    "------------------                                                                                    Blatt %02u\r\n",
    "------------------                                                                                   Blatt %03u\r\n",
    -1, 0};
constexpr Titelzeilen kTitelSchmal = {
    "SALDENLISTE (kum.)                                     %02i.%02i.%04i\r\n",
    "------------------                                       Blatt %02u\r\n",
    "------------------                                      Blatt %03u\r\n", -1, 0};

// Columns of the wide form: each amount as the page prints it, without its
// sign, and its side ("S", "H", or empty for 0 on an account line).
enum SpalteBreit { kKonto, kName, kVortrag, kVortragSeite, kBewegung, kBewegungSeite, kSaldo, kSaldoSeite };
// Columns of the narrow form (SollHabenZeile takes them in this order).
enum SpalteSchmal { kSoll = 2, kHaben = 3 };

bool IstBreit(const Berichtsmodell& m) { return m.ausgabeart == kAusgabeSaldenlisteVerkehr; }

// An amount of an account line: its value without sign and its side, none
// for 0.
void Markiert(double wert, Zelle& betrag, Zelle& seite) {
  betrag = Zelle::Zahl(std::fabs(wert));
  seite = wert == 0 ? Zelle::Leer() : Zelle::Text(wert > 0 ? "S" : "H");
}
// A total is rounded first and marked "S" also when it is 0.
void Summenmarke(double wert, Zelle& betrag, Zelle& seite) {
  wert = Gerundet(wert);
  betrag = Zelle::Zahl(std::fabs(wert));
  seite = Zelle::Text(wert >= 0 ? "S" : "H");
}
// The printed field of a marked amount: 15 characters and the side.
std::string Markenfeld(const Zelle& betrag, const Zelle& seite) {
  return SchnellesBetragsfeld(betrag.zahl, 15) + (seite.leer ? std::string(" ") : seite.text);
}
// The signed value of a marked amount, as the page's totals add it up.
double Vorzeichenwert(const Zelle& betrag, const Zelle& seite) {
  return !seite.leer && seite.text == "H" ? -betrag.zahl : betrag.zahl;
}

std::string Summenfeld(double wert) {
  Zelle betrag, seite;
  Summenmarke(wert, betrag, seite);
  return Markenfeld(betrag, seite);
}

// The dates of the wide head's captions: a month 0 is shown as the first
// of January.
struct Spannendaten {
  int vonTag, vonMonat, bisTag, bisMonat;
};
Spannendaten Spanne(const Druckauswahl& a) {
  return {a.VonMonat == 0 ? 1 : KorrigiereTag(a.VonTag, a.VonMonat, a.VonJahr),
          a.VonMonat == 0 ? 1 : a.VonMonat,
          a.BisMonat == 0 ? 1 : KorrigiereTag(a.BisTag, a.BisMonat, a.BisJahr),
          a.BisMonat == 0 ? 1 : a.BisMonat};
}

// The cells of an account row, the account and its name filled: taken at
// their full number at once (30,000 rows).
std::vector<Zelle> Kontozellen(const Kontosatz& satz, size_t spalten) {
  std::vector<Zelle> zellen;
  zellen.reserve(spalten);
  zellen.push_back(Kontozelle(satz));
  zellen.push_back(Zelle::Text(Kontoname(satz)));
  zellen.resize(spalten);
  return zellen;
}

// Account lines are written only while the pages have not reached their
// limit and nothing failed.
bool Laeuft(const Druckzustand& z) { return !z.SeitengrenzeErreicht() && !z.Schreibfehler(); }

class Saldenlistenseiten {
 public:
  Saldenlistenseiten(const Berichtsmodell& m, const Berichtskontext& k, Druckauswahl& a,
                     Druckzustand& z)
      : m_(m), k_(k), a_(a), z_(z), breit_(IstBreit(m)), w_(breit_ ? W112 : W67) {}

  void Schreibe() {
    Kopf();
    Modellschritte schritte(m_);
    // The totals are those of the lines written: the same as the model's
    // unless the page limit stopped the account lines.
    double summe[3] = {0, 0, 0};
    double soll = 0, haben = 0;
    for (;;) {
      // Every account the walk met checked for the page limit and a page
      // head before its record was read, shown or not.
      if (const Berichtsmodell::Uebergangen* u = schritte.Uebergangen(-1)) {
        uint32_t n = 0;
        for (; n < u->anzahl && Laeuft(z_); ++n)
          if (z_.RestZeilen <= 0) Kopf();
        if (n < u->anzahl) break;
        if (schritte.AmAbbruch()) {
          z_.Abbrechen(m_.abbruch->meldung);
          break;
        }
        continue;
      }
      const Modellzeile* zeile = schritte.Zeile(-1);
      if (!zeile || zeile->art != Zeilenart::Konto || !Laeuft(z_)) break;
      schritte.Weiter();
      if (z_.RestZeilen <= 0) Kopf();
      if (breit_) {
        const std::vector<Zelle>& c = zeile->zellen;
        z_.SchreibeZeile(Format(
            "%-5s  %-25s            %16s         %16s         %16s\r\n", c[kKonto].text.c_str(),
            c[kName].text.c_str(), Markenfeld(c[kVortrag], c[kVortragSeite]).c_str(),
            Markenfeld(c[kBewegung], c[kBewegungSeite]).c_str(),
            Markenfeld(c[kSaldo], c[kSaldoSeite]).c_str()));
        summe[0] += Vorzeichenwert(c[kVortrag], c[kVortragSeite]);
        summe[1] += Vorzeichenwert(c[kBewegung], c[kBewegungSeite]);
        summe[2] += Vorzeichenwert(c[kSaldo], c[kSaldoSeite]);
      } else {
        z_.SchreibeZeile(SollHabenZeile(*zeile, soll, haben));
      }
    }
    if (z_.RestZeilen < 4) Kopf();
    z_.SchreibeZeile(Trennlinie(w_));
    if (breit_) {
      z_.SchreibeZeile(Format(
          "SALDEN                                      %16s         %16s         %16s\r\n",
          Summenfeld(summe[0]).c_str(), Summenfeld(summe[1]).c_str(),
          Summenfeld(summe[2]).c_str()));
    } else {
      z_.SchreibeZeile(Format("SUMMEN                            %15s %15s\r\n",
                              Betragsfeld(soll, 15).c_str(), Betragsfeld(haben, 15).c_str()));
      double d = Gerundet(soll - haben);
      if (d >= 0)
        z_.SchreibeZeile(Format("SALDO                             %15s %15s\r\n", " ",
                                Betragsfeld(d, 15).c_str()));
      else
        z_.SchreibeZeile(Format("SALDO                             %15s %15s\r\n",
                                Betragsfeld(-d, 15).c_str(), " "));
    }
    z_.SchreibeZeile(Trennlinie(w_));
  }

 private:
  void Kopf() {
    const bool muster = a_.Auswahlart == 1;
    const std::string& w = k_.waehrung;
    std::string jahr = Buchungsjahrzeile(k_, breit_ ? Jahreszeile::Breit : Jahreszeile::Schmal);
    FuegeZeitraumEin(jahr, 1, a_.VonMonat, a_.VonJahr, 31, a_.BisMonat, a_.BisJahr);
    SchreibeSeitenkopf(z_, a_, k_, breit_ ? kTitelBreit : kTitelSchmal, jahr, w_);
    if (breit_) {
      if (muster)
        z_.SchreibeKopfzeile(Format(
            W("KONTENGRUPPE: %5s, Währung: %3s                                                            (S=SOLL, H=HABEN)\r\n").c_str(),
            a_.Kontengruppe.c_str(), w.c_str()));
      else
        z_.SchreibeKopfzeile(Format(
            W("KONTENBEREICH: %11s, Währung: %3s                                                     (S=SOLL, H=HABEN)\r\n").c_str(),
            BereichstextBreit(a_.VonKonto, a_.BisKonto).c_str(), w.c_str()));
    } else {
      if (muster)
        z_.SchreibeKopfzeile(Format(
            "KONTENGRUPPE: %5s                                              \r\n",
            a_.Kontengruppe.c_str()));
      else
        z_.SchreibeKopfzeile(Format(
            "KONTENBEREICH: %-11s                                       \r\n",
            BereichstextSchmal(a_.VonKonto, a_.BisKonto).c_str()));
    }
    z_.SchreibeKopfzeile(Leerzeile(w_));
    z_.SchreibeKopfzeile(Trennlinie(w_));
    if (breit_) {
      const Spannendaten d = Spanne(a_);
      z_.SchreibeKopfzeile(Format(
          "Konto     Bezeichnung                    Saldo vor %02i.%02i.%02i            Zugang/Abgang          Saldo: %02i.%02i.%02i \r\n",
          d.vonTag, d.vonMonat, a_.VonJahr % 100, d.bisTag, d.bisMonat, a_.BisJahr % 100));
    } else if (muster) {
      z_.SchreibeKopfzeile(Format(
          "KONTENGRUPPE: %5s                      Soll %3s       Haben %3s\r\n",
          a_.Kontengruppe.c_str(), w.c_str(), w.c_str()));
    } else {
      z_.SchreibeKopfzeile(Format(
          "KONTENBEREICH: %-11s               Soll %3s       Haben %3s\r\n",
          BereichstextSchmal(a_.VonKonto, a_.BisKonto).c_str(), w.c_str(), w.c_str()));
    }
    z_.SchreibeKopfzeile(Trennlinie(w_));
  }

  const Berichtsmodell& m_;
  const Berichtskontext& k_;
  Druckauswahl& a_;
  Druckzustand& z_;
  const bool breit_;
  const int w_;
};

void BaueModell(const Berichtskontext& k, Druckauswahl& a, Berichtsmodell& m, bool breit) {
  FuelleModellkopf(k, a, breit ? kAusgabeSaldenlisteVerkehr : kAusgabeSaldenliste, "saldenliste",
                   "Saldenliste", m);
  m.von = Monatsanfang(k, a.VonMonat);
  m.bis = Monatsende(k, a.BisMonat);
  m.auswahl = a.Auswahlart == 1
                  ? "Kontengruppe: " + a.Kontengruppe
                  : "Kontenbereich: " + (breit ? BereichstextBreit(a.VonKonto, a.BisKonto)
                                               : BereichstextSchmal(a.VonKonto, a.BisKonto));
  const std::string& w = k.waehrung;
  if (breit) {
    const Spannendaten d = Spanne(a);
    const std::string vor = Format("Saldo vor %02i.%02i.%02i", d.vonTag, d.vonMonat, a.VonJahr % 100);
    const std::string saldo = Format("Saldo %02i.%02i.%02i", d.bisTag, d.bisMonat, a.BisJahr % 100);
    m.spalten = {{"konto", "Konto", Spaltentyp::Ganzzahl},
                 {"bezeichnung", "Bezeichnung", Spaltentyp::Text},
                 {"saldo_vor", vor + " " + w, Spaltentyp::Betrag},
                 {"saldo_vor_seite", "S/H", Spaltentyp::Seite},
                 {"bewegung", "Zugang/Abgang " + w, Spaltentyp::Betrag},
                 {"bewegung_seite", "S/H", Spaltentyp::Seite},
                 {"saldo", saldo + " " + w, Spaltentyp::Betrag},
                 {"saldo_seite", "S/H", Spaltentyp::Seite}};
  } else {
    m.spalten = {{"konto", "Konto", Spaltentyp::Ganzzahl},
                 {"bezeichnung", "Bezeichnung", Spaltentyp::Text},
                 {"soll", "Soll " + w, Spaltentyp::Betrag},
                 {"haben", "Haben " + w, Spaltentyp::Betrag}};
  }
  if (k.index) m.zeilen.reserve(static_cast<size_t>(k.index->Anzahl()) + 2);

  const int vonSlot = k.Slot(a.VonMonat), bisSlot = k.Slot(a.BisMonat);
  // The span of the wide form starts with period 1 when it starts with the
  // opening balance, which is then the balance before it.
  const int spannenStart = a.VonMonat == 0 ? 1 : vonSlot;
  double summe[3] = {0, 0, 0};
  double soll = 0, haben = 0;
  Kontenlauf lauf(k);
  Kontosatz satz;
  for (bool da = a.Alphabetisch ? lauf.ErsterName() : lauf.Erster(a.VonKonto, a.BisKonto); da;
       da = a.Alphabetisch ? lauf.NaechsterName() : lauf.Naechster(a.BisKonto)) {
    if (!lauf.Lese(satz)) {
      m.Uebergehe(-1);
      if (lauf.Fehlgeschlagen()) {
        m.abbruch = Berichtsmodell::Abbruch{m.zeilen.size(), lauf.Fehler()};
        return;
      }
      continue;
    }
    if (!PasstMaske(satz.kontotext, a.Kontengruppe) || satz.nummer < a.VonKonto ||
        satz.nummer > a.BisKonto) {
      m.Uebergehe(-1);
      continue;
    }
    if (breit) {
      const double vortrag = satz.Summe(0, spannenStart - 1);
      const double bewegung = satz.Summe(spannenStart, bisSlot);
      const double saldo = Gerundet(vortrag + bewegung);
      if (!a.MitNullsalden && IstNull(vortrag) && IstNull(bewegung) && IstNull(saldo)) {
        m.Uebergehe(-1);
        continue;
      }
      std::vector<Zelle> zellen = Kontozellen(satz, m.spalten.size());
      Markiert(vortrag, zellen[kVortrag], zellen[kVortragSeite]);
      Markiert(bewegung, zellen[kBewegung], zellen[kBewegungSeite]);
      Markiert(saldo, zellen[kSaldo], zellen[kSaldoSeite]);
      m.Zeile(Zeilenart::Konto, -1, std::move(zellen));
      summe[0] += vortrag;
      summe[1] += bewegung;
      summe[2] += saldo;
    } else {
      const double b = satz.Summe(vonSlot, bisSlot);
      if (!a.MitNullsalden && std::fabs(b) < 0.00444) {
        m.Uebergehe(-1);
        continue;
      }
      if (b >= 0)
        soll += b;
      else
        haben -= b;
      std::vector<Zelle> zellen = Kontozellen(satz, m.spalten.size());
      zellen[b >= 0 ? kSoll : kHaben] = Zelle::Zahl(b >= 0 ? b : -b);
      m.Zeile(Zeilenart::Konto, -1, std::move(zellen));
    }
  }
  if (breit) {
    Modellzeile& z = m.Zeile(Zeilenart::Summe, -1, {Zelle::Leer(), Zelle::Text("SALDEN")});
    Summenmarke(summe[0], z.zellen[kVortrag], z.zellen[kVortragSeite]);
    Summenmarke(summe[1], z.zellen[kBewegung], z.zellen[kBewegungSeite]);
    Summenmarke(summe[2], z.zellen[kSaldo], z.zellen[kSaldoSeite]);
  } else {
    m.Zeile(Zeilenart::Summe, -1,
            {Zelle::Leer(), Zelle::Text("SUMMEN"), Zelle::Zahl(soll), Zelle::Zahl(haben)});
    // The balance stands on the smaller side.
    const double d = Gerundet(soll - haben);
    m.Zeile(Zeilenart::Saldo, -1,
            {Zelle::Leer(), Zelle::Text("SALDO"), d >= 0 ? Zelle::Leer() : Zelle::Zahl(-d),
             d >= 0 ? Zelle::Zahl(d) : Zelle::Leer()});
  }
}

Status Drucke(const Berichtskontext& kontext, Druckauswahl& auswahl, Druckzustand& zustand,
              bool breit) {
  return SchreibeBericht(kontext, auswahl, zustand,
                         breit ? kAusgabeSaldenlisteVerkehr : kAusgabeSaldenliste, [&] {
                           Berichtsmodell modell;
                           BaueModell(kontext, auswahl, modell, breit);
                           SeitenSaldenliste(modell, kontext, auswahl, zustand);
                         });
}

}  // namespace

std::string BereichstextBreit(int von, int bis) {
  std::string a = Format("%04.0f", static_cast<double>(von));
  std::string b = Format("%04.0f", static_cast<double>(bis));
  return OhneLeerzeichen(Format("%5s-%-5s", a.c_str(), b.c_str()));
}

std::string BereichstextSchmal(int von, int bis) {
  return OhneLeerzeichen(
      Format("%5.0f-%5.0f", static_cast<double>(von), static_cast<double>(bis)));
}

void FuelleSaldenlistenAuswahl(const Berichtskontext& kontext, const Saldenlistenauswahl& s,
                               const Datum& druckdatum, Druckauswahl& auswahl) {
  FuelleGrundauswahl(kontext, s.vonMonat, s.bisMonat, druckdatum, auswahl);
  auswahl.VonKonto = s.vonKonto;
  auswahl.BisKonto = s.bisKonto;
  auswahl.Kontengruppe = s.auswahlart == 1 ? s.kontengruppe : std::string();
  auswahl.Auswahlart = s.auswahlart;
  auswahl.Alphabetisch = s.alphabetisch ? 1 : 0;
  auswahl.MitNullsalden = s.mitNullsalden ? 1 : 0;
}

void BaueSaldenlisteBreitModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                                Berichtsmodell& modell) {
  BaueModell(kontext, auswahl, modell, true);
}

void BaueSaldenlisteSchmalModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                                 Berichtsmodell& modell) {
  BaueModell(kontext, auswahl, modell, false);
}

void SeitenSaldenliste(const Berichtsmodell& modell, const Berichtskontext& kontext,
                       Druckauswahl& auswahl, Druckzustand& zustand) {
  Saldenlistenseiten(modell, kontext, auswahl, zustand).Schreibe();
}

Status DruckeSaldenlisteBreit(const Berichtskontext& kontext, Druckauswahl& auswahl,
                              Druckzustand& zustand) {
  return Drucke(kontext, auswahl, zustand, true);
}

Status DruckeSaldenlisteSchmal(const Berichtskontext& kontext, Druckauswahl& auswahl,
                               Druckzustand& zustand) {
  return Drucke(kontext, auswahl, zustand, false);
}

}  // namespace kv
