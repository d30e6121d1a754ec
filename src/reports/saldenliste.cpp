#include "reports/saldenliste.h"

#include <algorithm>
#include <cmath>

#include "basis/format.h"
#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/seitenkopf.h"
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

class Saldenliste : Berichtsgenerator {
 public:
  Saldenliste(const Berichtskontext& k, Druckauswahl& a, Druckzustand& z, bool breit)
      : Berichtsgenerator(k, a, z), breit_(breit), w_(breit ? W112 : W67) {}

  void Schreibe() {
    Kopf();
    const int vonSlot = k_.Slot(a_.VonMonat), bisSlot = k_.Slot(a_.BisMonat);
    // The span of the wide form starts with period 1 when it starts with
    // the opening balance, which is then the balance before it.
    const int spannenStart = a_.VonMonat == 0 ? 1 : vonSlot;
    Kontosatz satz;
    bool da = a_.Alphabetisch ? lauf_.ErsterName() : lauf_.Erster(a_.VonKonto, a_.BisKonto);
    for (; da && !z_.SeitengrenzeErreicht() && !z_.Schreibfehler();
         da = a_.Alphabetisch ? lauf_.NaechsterName() : lauf_.Naechster(a_.BisKonto)) {
      if (z_.RestZeilen <= 0) Kopf();
      if (!lauf_.Lese(satz)) continue;
      if (!PasstMaske(satz.kontotext, a_.Kontengruppe)) continue;
      if (satz.nummer < a_.VonKonto || satz.nummer > a_.BisKonto) continue;
      if (breit_)
        ZeileBreit(satz, spannenStart, bisSlot);
      else
        ZeileSchmal(satz, vonSlot, bisSlot);
    }
    if (z_.RestZeilen < 4) Kopf();
    z_.SchreibeZeile(Trennlinie(w_));
    if (breit_) {
      z_.SchreibeZeile(Format(
          "SALDEN                                      %16s         %16s         %16s\r\n",
          Summenfeld(summe_[0]).c_str(), Summenfeld(summe_[1]).c_str(),
          Summenfeld(summe_[2]).c_str()));
    } else {
      z_.SchreibeZeile(Format("SUMMEN                            %15s %15s\r\n",
                                   Betragsfeld(soll_, 15).c_str(), Betragsfeld(haben_, 15).c_str()));
      double d = Gerundet(soll_ - haben_);
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
  // Amount with its S/H mark: blank for 0.
  static std::string Markiert(double wert) {
    return Betragsfeld(std::fabs(wert), 15) + (wert == 0 ? " " : wert > 0 ? "S" : "H");
  }
  // Totals are marked "S" also when they are 0.
  static std::string Summenfeld(double wert) {
    wert = Gerundet(wert);
    return Betragsfeld(std::fabs(wert), 15) + (wert >= 0 ? "S" : "H");
  }

  void ZeileBreit(const Kontosatz& satz, int spannenStart, int bisSlot) {
    double vortrag = satz.Summe(0, spannenStart - 1);
    double bewegung = satz.Summe(spannenStart, bisSlot);
    double saldo = Gerundet(vortrag + bewegung);
    if (!a_.MitNullsalden && IstNull(vortrag) && IstNull(bewegung) && IstNull(saldo)) return;
    z_.SchreibeZeile(Format(
        "%-5s  %-25s            %16s         %16s         %16s\r\n", satz.kontotext.c_str(),
        satz.name.c_str(), Markiert(vortrag).c_str(), Markiert(bewegung).c_str(),
        Markiert(saldo).c_str()));
    summe_[0] += vortrag;
    summe_[1] += bewegung;
    summe_[2] += saldo;
  }

  void ZeileSchmal(const Kontosatz& satz, int vonSlot, int bisSlot) {
    double b = satz.Summe(vonSlot, bisSlot);
    if (!a_.MitNullsalden && std::fabs(b) < 0.00444) return;
    z_.SchreibeZeile(SollHabenZeile(satz, b, soll_, haben_));
  }

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
      // A month 0 is shown as the first of January.
      int vonTag = a_.VonMonat == 0 ? 1 : KorrigiereTag(a_.VonTag, a_.VonMonat, a_.VonJahr);
      int vonMonat = a_.VonMonat == 0 ? 1 : a_.VonMonat;
      int bisTag = a_.BisMonat == 0 ? 1 : KorrigiereTag(a_.BisTag, a_.BisMonat, a_.BisJahr);
      int bisMonat = a_.BisMonat == 0 ? 1 : a_.BisMonat;
      z_.SchreibeKopfzeile(Format(
          "Konto     Bezeichnung                    Saldo vor %02i.%02i.%02i            Zugang/Abgang          Saldo: %02i.%02i.%02i \r\n",
          vonTag, vonMonat, a_.VonJahr % 100, bisTag, bisMonat, a_.BisJahr % 100));
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

  const bool breit_;
  const int w_;
  double summe_[3] = {0, 0, 0};
  double soll_ = 0, haben_ = 0;
};

Status Drucke(const Berichtskontext& kontext, Druckauswahl& auswahl, Druckzustand& zustand,
              bool breit) {
  return SchreibeBericht(kontext, auswahl, zustand,
                         breit ? kAusgabeSaldenlisteVerkehr : kAusgabeSaldenliste,
                         [&] { Saldenliste(kontext, auswahl, zustand, breit).Schreibe(); });
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

Status DruckeSaldenlisteBreit(const Berichtskontext& kontext, Druckauswahl& auswahl,
                              Druckzustand& zustand) {
  return Drucke(kontext, auswahl, zustand, true);
}

Status DruckeSaldenlisteSchmal(const Berichtskontext& kontext, Druckauswahl& auswahl,
                               Druckzustand& zustand) {
  return Drucke(kontext, auswahl, zustand, false);
}

}  // namespace kv
