#include "reports/saldenliste.h"

#include <algorithm>
#include <cmath>

#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W67 = 67;
constexpr int W112 = 112;

std::string OhneLeerzeichen(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  return text;
}

class Saldenliste {
 public:
  Saldenliste(const Berichtskontext& k, Druckauswahl& a, Druckzustand& z, bool breit)
      : k_(k), a_(a), z_(z), lauf_(k, z), breit_(breit), w_(breit ? W112 : W67) {}

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
      z_.SchreibeZeile(DruckFormat(
          "SALDEN                                      %16s         %16s         %16s\r\n",
          Summenfeld(summe_[0]).c_str(), Summenfeld(summe_[1]).c_str(),
          Summenfeld(summe_[2]).c_str()));
    } else {
      z_.SchreibeZeile(DruckFormat("SUMMEN                            %15s %15s\r\n",
                                   Betragsfeld(soll_, 15).c_str(), Betragsfeld(haben_, 15).c_str()));
      double d = Gerundet(soll_ - haben_);
      if (d >= 0)
        z_.SchreibeZeile(DruckFormat("SALDO                             %15s %15s\r\n", " ",
                                     Betragsfeld(d, 15).c_str()));
      else
        z_.SchreibeZeile(DruckFormat("SALDO                             %15s %15s\r\n",
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
    z_.SchreibeZeile(DruckFormat(
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
    std::string soll = " ", haben = " ";
    if (b >= 0) {
      soll = Betragsfeld(b, 15);
      soll_ += b;
    } else {
      haben = Betragsfeld(-b, 15);
      haben_ -= b;
    }
    z_.SchreibeZeile(DruckFormat("%-5s   %-25s %15s %15s\r\n", satz.kontotext.c_str(),
                                 satz.name.c_str(), soll.c_str(), haben.c_str()));
  }

  void Kopf() {
    z_.BeginneSeite(z_.KopfBlatt != 0);
    const bool muster = a_.Auswahlart == 1;
    const std::string& w = k_.waehrung;
    if (breit_) {
      SchreibeTitelKopf(
          z_, a_,
          "SALDENLISTE (kum.)                                                                                  %02i.%02i.%04i\r\n",
          "------------------                                                                                    Blatt %02u\r\n",
          "------------------                                                                                   Blatt %03u\r\n",
          -1, 0);
    } else {
      SchreibeTitelKopf(z_, a_,
                        "SALDENLISTE (kum.)                                     %02i.%02i.%04i\r\n",
                        "------------------                                       Blatt %02u\r\n",
                        "------------------                                      Blatt %03u\r\n",
                        -1, 0);
    }
    z_.SchreibeKopfzeile(Leerzeile(w_));
    std::string jahr;
    if (breit_)
      jahr = k_.AbweichendesWJ()
                 ? DruckFormat("Buchungsjahr %02i.%04i-%02i.%04i                                                                                  \r\n",
                               k_.ersterMonat, k_.jahr1, k_.letzterMonat, k_.jahr2)
                 : DruckFormat("Buchungsjahr %4i                                                                                             \r\n",
                               k_.buchungsjahr);
    else
      jahr = k_.AbweichendesWJ()
                 ? DruckFormat("Buchungsjahr %02i.%04i-%02i.%04i                                     \r\n",
                               k_.ersterMonat, k_.jahr1, k_.letzterMonat, k_.jahr2)
                 : DruckFormat("Buchungsjahr %4i                                                \r\n",
                               k_.buchungsjahr);
    FuegeZeitraumEin(jahr, 1, a_.VonMonat, a_.VonJahr, 31, a_.BisMonat, a_.BisJahr);
    z_.SchreibeKopfzeile(jahr);
    z_.SchreibeKopfzeile(Leerzeile(w_));
    z_.SchreibeKopfzeile(Namenszeile(k_.name, w_));
    z_.SchreibeKopfzeile(Leerzeile(w_));
    if (breit_) {
      if (muster)
        z_.SchreibeKopfzeile(DruckFormat(
            W("KONTENGRUPPE: %5s, Währung: %3s                                                            (S=SOLL, H=HABEN)\r\n").c_str(),
            a_.Kontengruppe.c_str(), w.c_str()));
      else
        z_.SchreibeKopfzeile(DruckFormat(
            W("KONTENBEREICH: %11s, Währung: %3s                                                     (S=SOLL, H=HABEN)\r\n").c_str(),
            BereichstextBreit(a_.VonKonto, a_.BisKonto).c_str(), w.c_str()));
    } else {
      if (muster)
        z_.SchreibeKopfzeile(DruckFormat(
            "KONTENGRUPPE: %5s                                              \r\n",
            a_.Kontengruppe.c_str()));
      else
        z_.SchreibeKopfzeile(DruckFormat(
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
      z_.SchreibeKopfzeile(DruckFormat(
          "Konto     Bezeichnung                    Saldo vor %02i.%02i.%02i            Zugang/Abgang          Saldo: %02i.%02i.%02i \r\n",
          vonTag, vonMonat, a_.VonJahr % 100, bisTag, bisMonat, a_.BisJahr % 100));
    } else if (muster) {
      z_.SchreibeKopfzeile(DruckFormat(
          "KONTENGRUPPE: %5s                      Soll %3s       Haben %3s\r\n",
          a_.Kontengruppe.c_str(), w.c_str(), w.c_str()));
    } else {
      z_.SchreibeKopfzeile(DruckFormat(
          "KONTENBEREICH: %-11s               Soll %3s       Haben %3s\r\n",
          BereichstextSchmal(a_.VonKonto, a_.BisKonto).c_str(), w.c_str(), w.c_str()));
    }
    z_.SchreibeKopfzeile(Trennlinie(w_));
  }

  const Berichtskontext& k_;
  Druckauswahl& a_;
  Druckzustand& z_;
  Kontenlauf lauf_;
  const bool breit_;
  const int w_;
  double summe_[3] = {0, 0, 0};
  double soll_ = 0, haben_ = 0;
};

int Drucke(const Berichtskontext& kontext, Druckauswahl& auswahl, Druckzustand& zustand,
           bool breit) {
  if (!KumulationBereit(kontext)) return 0;
  if (!BeginneBericht(kontext, auswahl, zustand,
                      breit ? kAusgabeSaldenlisteVerkehr : kAusgabeSaldenliste))
    return 0;
  Saldenliste(kontext, auswahl, zustand, breit).Schreibe();
  return zustand.SchliesseDruckdatei(auswahl);
}

}  // namespace

std::string BereichstextBreit(int von, int bis) {
  std::string a = DruckFormat("%04.0f", static_cast<double>(von));
  std::string b = DruckFormat("%04.0f", static_cast<double>(bis));
  return OhneLeerzeichen(DruckFormat("%5s-%-5s", a.c_str(), b.c_str()));
}

std::string BereichstextSchmal(int von, int bis) {
  return OhneLeerzeichen(
      DruckFormat("%5.0f-%5.0f", static_cast<double>(von), static_cast<double>(bis)));
}

void FuelleSaldenlistenAuswahl(const Berichtskontext& kontext, const Saldenlistenauswahl& s,
                               const Datum& druckdatum, Druckauswahl& auswahl) {
  auswahl.VonTag = 1;
  auswahl.VonMonat = s.vonMonat;
  auswahl.VonJahr = kontext.JahrDesMonats(s.vonMonat);
  auswahl.BisTag = 31;
  auswahl.BisMonat = s.bisMonat;
  auswahl.BisJahr = kontext.JahrDesMonats(s.bisMonat);
  auswahl.DruckTag = druckdatum.tag;
  auswahl.DruckMonat = druckdatum.monat;
  auswahl.DruckJahr = druckdatum.jahr;
  auswahl.RandOben = kontext.randOben;
  auswahl.ZeilenProSeite = kontext.zeilenProSeite;
  auswahl.VonKonto = s.vonKonto;
  auswahl.BisKonto = s.bisKonto;
  auswahl.Kontengruppe = s.auswahlart == 1 ? s.kontengruppe : std::string();
  auswahl.Auswahlart = s.auswahlart;
  auswahl.Alphabetisch = s.alphabetisch ? 1 : 0;
  auswahl.MitNullsalden = s.mitNullsalden ? 1 : 0;
}

int DruckeSaldenlisteBreit(const Berichtskontext& kontext, Druckauswahl& auswahl,
                           Druckzustand& zustand) {
  return Drucke(kontext, auswahl, zustand, true);
}

int DruckeSaldenlisteSchmal(const Berichtskontext& kontext, Druckauswahl& auswahl,
                            Druckzustand& zustand) {
  return Drucke(kontext, auswahl, zustand, false);
}

}  // namespace kv
