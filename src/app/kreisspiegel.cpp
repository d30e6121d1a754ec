#include "app/kreisspiegel.h"

#include <algorithm>
#include <vector>

#include "app/kumulation/betraege.h"
#include "basis/datei.h"
#include "basis/format.h"
#include "basis/stringtabelle.h"
#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/saldenliste.h"
#include "reports/seitenkopf.h"
#include "storage/dateinamen.h"
#include "storage/salden.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W112 = 112;
constexpr int kText = W112 - 2;
constexpr int kKontobreite = 31;   // "%-5s %-25.25s"
constexpr int kSpaltenbreite = 15;
static_assert(kKontobreite + kSpiegelSpaltenJeSeite * kSpaltenbreite <= kText);

constexpr Titelzeilen kTitel = {
    "BUCHUNGSKREISSPIEGEL                                                                                %02i.%02i.%04i\r\n",
    "--------------------                                                                                  Blatt %02u\r\n",
    "--------------------                                                                                 Blatt %03u\r\n",
    20, 20};

// Columns of the model before the circles'.
enum { kKonto, kBezeichnung, kErsteDaten };

double Euro(int64_t cent) { return static_cast<double>(cent) / 100.0; }

std::string OhneRandBlanks(std::string t) {
  t.erase(0, std::min(t.find_first_not_of(' '), t.size()));
  t.erase(t.find_last_not_of(' ') + 1);
  return t;
}

// One account of the choice as a circle's balances file holds it.
struct Kreiskonto {
  int konto;
  int64_t cent;           // opening balance to the cut-off month
  std::string kontotext;  // the account field, 5 characters
  std::string name;
};

// A circle's balances file whose accounts are wanted: in use by another
// writer, gone, or too long is said as the cumulation says it.
bool LeseKreis(const std::string& pfad, const Druckauswahl& a, int bisSlot,
               std::vector<Kreiskonto>& konten, std::string& meldung) {
  Datei d;
  if (!d.Oeffnen(pfad, Datei::Lesen, Datei::SchreibenVerweigert)) {
    meldung = d.Fehler() == DateiFehler::Teilung || d.Fehler() == DateiFehler::Sperre
                  ? Ressource(58010)
                  : DateiFehlerText(d.Fehler(), pfad);
    return false;
  }
  const int64_t laenge = d.Laenge();
  const int64_t saetze = laenge / kSatzLaenge;
  if (saetze > kMaxSaetze) {
    meldung = Format("Die Saldendatei\n%s\nhat %lld Datens\xE4tze, mehr als eine Saldendatei haben "
                     "kann,\nund wird nicht verwendet !",
                     pfad.c_str(), static_cast<long long>(saetze));
    return false;
  }
  std::vector<char> bytes(static_cast<size_t>(std::max<int64_t>(saetze, 0)) * kSatzLaenge);
  if (laenge < 0 || (!bytes.empty() && !d.LiesBei(0, bytes.data(), bytes.size()))) {
    meldung = W("Unerwarteter Fehler beim Öffnen der Datei:\n") + pfad;
    return false;
  }
  for (int64_t i = 0; i < saetze; ++i) {
    const char* s = bytes.data() + i * kSatzLaenge;
    const int konto = KontoImSatz(s);
    if (konto <= 0 || konto < a.VonKonto || konto > a.BisKonto) continue;
    std::string kontotext = Textfeld(s + kSatzKonto, kBreiteKonto);
    kontotext.resize(5, ' ');
    if (!PasstMaske(kontotext, a.Kontengruppe)) continue;
    int64_t cent = 0;
    for (int j = 0; j <= bisSlot; ++j) cent += CentDesFeldes(s + BetragsStelle(j));
    konten.push_back({konto, cent, kontotext, Textfeld(s + kSatzName, kBreiteName)});
  }
  return true;
}

// The circles of the breakdown: the reference and those added, in order.
std::vector<const Kreisbericht*> Spiegelkreise(const Kumulationsergebnis& e) {
  std::vector<const Kreisbericht*> kreise;
  if (e.bezug.Hinzugefuegt()) kreise.push_back(&e.bezug);
  for (const Kreisbericht& k : e.kreise)
    if (k.Hinzugefuegt()) kreise.push_back(&k);
  return kreise;
}

struct Kontozeile {
  std::string kontotext;
  std::string name;
  bool kummuliert = false;  // the cumulated file holds it
  int64_t kumCent = 0;
};

}  // namespace

void FuelleKreisspiegelAuswahl(const Berichtskontext& kontext, const Kontenauswahl& konten,
                               int stichmonat, const Datum& druckdatum, Druckauswahl& auswahl) {
  FuelleGrundauswahl(kontext, 0, stichmonat, druckdatum, auswahl);
  auswahl.VonKonto = konten.vonKonto;
  auswahl.BisKonto = konten.bisKonto;
  auswahl.Auswahlart = konten.auswahlart;
  auswahl.Kontengruppe = konten.auswahlart == 1 ? konten.kontengruppe : std::string();
}

void BaueKreisspiegelModell(const Berichtskontext& k, const Kumulationsergebnis& e,
                            const Druckauswahl& a, Berichtsmodell& m) {
  FuelleModellkopf(k, a, kAusgabeKreisspiegel, "kreisspiegel", "Buchungskreisspiegel", m);
  m.von = Monatsanfang(k, 0);
  m.bis = Monatsende(k, a.BisMonat);
  m.auswahl = a.Auswahlart == 1 ? "Kontengruppe: " + a.Kontengruppe
                                : "Kontenbereich: " + BereichstextBreit(a.VonKonto, a.BisKonto);
  const std::string& w = k.waehrung;
  const std::vector<const Kreisbericht*> kreise = Spiegelkreise(e);
  m.spalten = {{"konto", "Konto", Spaltentyp::Ganzzahl},
               {"bezeichnung", "Bezeichnung", Spaltentyp::Text}};
  for (const Kreisbericht* kreis : kreise)
    m.spalten.push_back({Format("bk_%03i", kreis->nummer),
                         Format("BK %03i ", kreis->nummer) + kreis->name, Spaltentyp::Betrag});
  m.spalten.push_back({"summe", "Summe " + w, Spaltentyp::Betrag});
  m.spalten.push_back({"kummuliert", "Kummuliert " + w, Spaltentyp::Betrag});
  const int bisSlot = k.Slot(a.BisMonat);

  // The accounts of the choice in the cumulated file, by number.
  std::vector<Kontozeile> zeilen(30000);
  std::vector<uint8_t> gewaehlt(30000, 0);
  Kontenlauf lauf(k);
  Kontosatz satz;
  for (bool da = lauf.Erster(a.VonKonto, a.BisKonto); da; da = lauf.Naechster(a.BisKonto)) {
    if (!lauf.Lese(satz)) {
      if (lauf.Fehlgeschlagen()) {
        m.abbruch = Berichtsmodell::Abbruch{0, lauf.Fehler()};
        return;
      }
      continue;
    }
    if (satz.nummer < a.VonKonto || satz.nummer > a.BisKonto || satz.nummer >= 30000 ||
        !PasstMaske(satz.kontotext, a.Kontengruppe))
      continue;
    Kontozeile& z = zeilen[satz.nummer];
    if (!gewaehlt[satz.nummer]) {
      z.kontotext = satz.kontotext;
      z.name = OhneRandBlanks(satz.name);
    }
    gewaehlt[satz.nummer] = 1;
    z.kummuliert = true;
    for (int j = 0; j <= bisSlot; ++j) z.kumCent += CentVon(satz.betrag[j]);
  }

  // Each circle's accounts of the choice, from its own balances file.
  std::vector<std::vector<Kreiskonto>> kreiskonten(kreise.size());
  for (size_t c = 0; c < kreise.size(); ++c) {
    std::string meldung;
    const std::string pfad = NameSaldendatei(k.datenverzeichnis, kreise[c]->nummer, k.kontenrahmen, e.jahr);
    if (!LeseKreis(pfad, a, bisSlot, kreiskonten[c], meldung)) {
      m.abbruch = Berichtsmodell::Abbruch{0, meldung};
      return;
    }
    for (const Kreiskonto& kk : kreiskonten[c]) {
      if (kk.konto >= 30000 || gewaehlt[kk.konto]) continue;
      gewaehlt[kk.konto] = 1;
      zeilen[kk.konto].kontotext = kk.kontotext;
      zeilen[kk.konto].name = OhneRandBlanks(kk.name);
    }
  }

  // Rows in number order; a table of each circle's balances (an account
  // twice in a book counts twice, as the cumulation adds it twice).
  std::vector<int> nummern, zeileVon(30000, -1);
  for (int n = 0; n < 30000; ++n)
    if (gewaehlt[n]) {
      zeileVon[n] = static_cast<int>(nummern.size());
      nummern.push_back(n);
    }
  const size_t spalten = kreise.size();
  std::vector<int64_t> cent(nummern.size() * spalten, 0);
  std::vector<uint8_t> hat(nummern.size() * spalten, 0);
  for (size_t c = 0; c < spalten; ++c)
    for (const Kreiskonto& kk : kreiskonten[c]) {
      if (kk.konto >= 30000) continue;
      const size_t i = static_cast<size_t>(zeileVon[kk.konto]) * spalten + c;
      cent[i] += kk.cent;
      hat[i] = 1;
    }

  m.zeilen.reserve(nummern.size() + 2);
  std::vector<int64_t> summe(spalten + 2, 0);
  std::vector<std::string> abweichend;
  for (size_t r = 0; r < nummern.size(); ++r) {
    const Kontozeile& z = zeilen[nummern[r]];
    std::vector<Zelle> zellen;
    zellen.reserve(m.spalten.size());
    zellen.push_back({false, static_cast<double>(nummern[r]), z.kontotext});
    zellen.push_back(Zelle::Text(z.name));
    int64_t gesamt = 0;
    for (size_t c = 0; c < spalten; ++c) {
      const size_t i = r * spalten + c;
      zellen.push_back(hat[i] ? Zelle::Zahl(Euro(cent[i])) : Zelle::Leer());
      gesamt += cent[i];
      summe[c] += cent[i];
    }
    zellen.push_back(Zelle::Zahl(Euro(gesamt)));
    zellen.push_back(z.kummuliert ? Zelle::Zahl(Euro(z.kumCent)) : Zelle::Leer());
    summe[spalten] += gesamt;
    summe[spalten + 1] += z.kumCent;
    if (gesamt != z.kumCent) abweichend.push_back(OhneRandBlanks(z.kontotext));
    m.Zeile(Zeilenart::Konto, -1, std::move(zellen));
  }
  std::vector<Zelle> zellen = {Zelle::Leer(), Zelle::Text("SUMME")};
  for (int64_t s : summe) zellen.push_back(Zelle::Zahl(Euro(s)));
  m.Zeile(Zeilenart::Summe, -1, std::move(zellen));
  std::string urteil = "Abstimmung: stimmt";
  if (!abweichend.empty()) {
    urteil = "Abstimmung: Differenz bei Konto ";
    for (size_t i = 0; i < abweichend.size(); ++i) urteil += (i ? ", " : "") + abweichend[i];
  }
  m.Zeile(Zeilenart::Differenz, -1, {Zelle::Leer(), Zelle::Text(urteil)});
}

namespace {

class Spiegelseiten {
 public:
  Spiegelseiten(const Berichtsmodell& m, const Berichtskontext& k, Druckauswahl& a,
                Druckzustand& z)
      : m_(m), k_(k), a_(a), z_(z) {}

  void Schreibe() {
    if (m_.abbruch) {
      z_.Abbrechen(m_.abbruch->meldung);
      return;
    }
    const int daten = static_cast<int>(m_.spalten.size()) - kErsteDaten;
    for (int erste = 0; erste < daten && Laeuft(); erste += kSpiegelSpaltenJeSeite) {
      von_ = kErsteDaten + erste;
      bis_ = std::min(von_ + kSpiegelSpaltenJeSeite, static_cast<int>(m_.spalten.size()));
      Kopf();
      for (const Modellzeile& z : m_.zeilen) {
        if (!Laeuft()) return;
        if (z.art == Zeilenart::Konto) {
          if (z_.RestZeilen <= 0) Kopf();
          z_.SchreibeZeile(Zeile(z) + "\r\n");
        } else if (z.art == Zeilenart::Summe) {
          if (z_.RestZeilen < 2) Kopf();
          z_.SchreibeZeile(Trennlinie(W112));
          z_.SchreibeZeile(Zeile(z) + "\r\n");
        }
      }
    }
    if (!Laeuft() || m_.zeilen.empty()) return;
    const Modellzeile& urteil = m_.zeilen.back();
    if (urteil.art != Zeilenart::Differenz) return;
    std::vector<std::string> zeilen = {std::string(kText, '\xAD')};
    // The verdict's words in lines of the page's width.
    std::string zeile;
    for (size_t i = 0; i < urteil.zellen[kBezeichnung].text.size();) {
      const std::string& t = urteil.zellen[kBezeichnung].text;
      const size_t ende = std::min(t.find(' ', i), t.size());
      const std::string wort = t.substr(i, ende - i);
      i = ende + 1;
      if (!zeile.empty() && zeile.size() + 1 + wort.size() > static_cast<size_t>(kText))
        zeilen.push_back(zeile), zeile.clear();
      zeile += (zeile.empty() ? "" : " ") + wort;
    }
    zeilen.push_back(zeile);
    if (z_.RestZeilen < static_cast<int>(zeilen.size()) &&
        static_cast<int>(zeilen.size()) <= z_.ZeilenJeSeite)
      Kopf();
    for (const std::string& t : zeilen) {
      if (z_.Schreibfehler()) return;
      if (z_.RestZeilen <= 0) Kopf();
      z_.SchreibeZeile(t + "\r\n");
    }
  }

 private:
  bool Laeuft() const { return !z_.SeitengrenzeErreicht() && !z_.Schreibfehler(); }

  std::string Zeile(const Modellzeile& z) const {
    const std::vector<Zelle>& c = z.zellen;
    std::string t = Format("%-5s %-25.25s", c[kKonto].text.c_str(), c[kBezeichnung].text.c_str());
    for (int s = von_; s < bis_; ++s)
      t += c[s].leer ? std::string(kSpaltenbreite, ' ') : SchnellesBetragsfeld(c[s].zahl, kSpaltenbreite);
    return t;
  }

  void Kopf() {
    SchreibeSeitenkopf(z_, a_, k_, kTitel, Buchungsjahrzeile(k_, Jahreszeile::BreitMitWaehrung),
                       W112);
    const int daten = static_cast<int>(m_.spalten.size()) - kErsteDaten;
    const std::string auswahl =
        a_.Auswahlart == 1 ? Format("KONTENGRUPPE: %5s", a_.Kontengruppe.c_str())
                           : "KONTENBEREICH: " + BereichstextBreit(a_.VonKonto, a_.BisKonto);
    z_.SchreibeKopfzeile(Format("%s,  Salden vom Anfangsbestand bis zum Stichmonat,  Spalten %i-%i von %i\r\n",
                                auswahl.c_str(), von_ - kErsteDaten + 1, bis_ - kErsteDaten, daten));
    z_.SchreibeKopfzeile(Leerzeile(W112));
    z_.SchreibeKopfzeile(Trennlinie(W112));
    // Two caption lines: "BK 003" over the circle's name; the total and
    // the cumulated balance by their titles.
    std::string oben = Format("%-*s", kKontobreite, "Konto Bezeichnung");
    std::string unten(kKontobreite, ' ');
    for (int s = von_; s < bis_; ++s) {
      const std::string& titel = m_.spalten[static_cast<size_t>(s)].titel;
      const bool kreis = m_.spalten[static_cast<size_t>(s)].schluessel.starts_with("bk_");
      const std::string erst = kreis ? titel.substr(0, 6) : titel;
      const std::string zweit = kreis && titel.size() > 7 ? titel.substr(7, kSpaltenbreite - 1) : "";
      oben += Format("%*s", kSpaltenbreite, erst.substr(0, kSpaltenbreite - 1).c_str());
      unten += Format("%*s", kSpaltenbreite, zweit.c_str());
    }
    z_.SchreibeKopfzeile(oben + "\r\n");
    z_.SchreibeKopfzeile(unten + "\r\n");
    z_.SchreibeKopfzeile(Trennlinie(W112));
  }

  const Berichtsmodell& m_;
  const Berichtskontext& k_;
  Druckauswahl& a_;
  Druckzustand& z_;
  int von_ = kErsteDaten, bis_ = kErsteDaten;
};

}  // namespace

void SeitenKreisspiegel(const Berichtsmodell& modell, const Berichtskontext& kontext,
                        Druckauswahl& auswahl, Druckzustand& zustand) {
  Spiegelseiten(modell, kontext, auswahl, zustand).Schreibe();
}

Status DruckeKreisspiegel(const Berichtskontext& kontext, const Kumulationsergebnis& ergebnis,
                          Druckauswahl& auswahl, Druckzustand& zustand) {
  return SchreibeBericht(kontext, auswahl, zustand, kAusgabeKreisspiegel, [&] {
    Berichtsmodell modell;
    BaueKreisspiegelModell(kontext, ergebnis, auswahl, modell);
    SeitenKreisspiegel(modell, kontext, auswahl, zustand);
  });
}

}  // namespace kv
