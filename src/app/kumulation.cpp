// The cumulation: the reference's balances file and index are copied into
// the work files "~ksal~.tmp" / "~ksdx~.tmp" in the data directory, and every
// matching booking circle of the range is added into that copy, account by
// account and slot by slot.
//
// Invariants:
//   K1  Only the work files are written, apart from the file layer's repairs
//       of a circle being added (tax accounts in a file of fewer than two
//       records, a rebuilt index).
//   K2  The cumulated index lives in memory during the run and is written
//       once when the run ends (and on close when that did not happen); its
//       bytes equal those of writing it after every insertion.
//   K3  Every record of the cumulated file with an account above 0 has one
//       entry in the cumulated index: a record is only indexed after it was
//       appended, and an index whose insertion failed is rebuilt.
//   K4  No amount beyond the 12-character field is ever written: a sum that
//       would not fit leaves the account as it was before that addition,
//       and a message names the booking circle and the account.
//   K5  The readers and the index are attached to the work files only while
//       KumulationBereit(); a cumulation that did not run leaves them closed.
//   K6  While the cumulated index is ordered with distinct account numbers
//       (IstGeordnet), an account's record comes from a table instead of a
//       search: the search would find that account's one entry, and an
//       appended account is new.  The appended accounts go into the index
//       when the run ends, in one merge, with the same bytes and the same
//       search position as inserting each at once would give.
//   K7  The work files belong to one document at a time: "~ksal~.tmp" is
//       held with other writers denied from before the reference is copied
//       into it until the document closes it, and whoever holds it owns
//       "~ksdx~.tmp" too.  Another instance is refused as in use; it never
//       copies its reference into a cumulation being read.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "app/dokument.h"
#include "app/saldenabbild.h"
#include "basis/oberflaeche.h"
#include "basis/stringtabelle.h"
#include "basis/text1252.h"

namespace kv {
namespace {

constexpr size_t kKopierblock = 32768;
constexpr size_t kKopierpuffer = 33000;

void Fehler(int textNr) { ZeigeMeldung(textNr, "FEHLER", 16); }

void UnerwarteterFehler(const std::string& pfad) {
  ZeigeStandardMeldung(W("Unerwarteter Fehler beim Öffnen der Datei:\n") + pfad);
}

std::string Format(const char* muster, int n) {
  char puffer[300];
  std::snprintf(puffer, sizeof puffer, muster, n);
  return puffer;
}

// A file of a book or a work file that cannot be used, with the cause.
void DateiNichtNutzbar(DateiFehler fehler, const std::string& pfad) {
  if (fehler == DateiFehler::Teilung || fehler == DateiFehler::Sperre)
    ZeigeMeldung(Ressource(58010), "FEHLER", 48);
  else
    ZeigeMeldung(DateiFehlerText(fehler, pfad), "FEHLER", 16);
}

// A book that is there but cannot be used for another reason than being
// in use: named as no regular file where that is the cause.
void NichtNutzbar(DateiFehler fehler, const std::string& pfad) {
  if (fehler == DateiFehler::KeineDatei)
    DateiNichtNutzbar(fehler, pfad);
  else
    UnerwarteterFehler(pfad);
}

// A balances file longer than any the companion program writes is refused
// before anything of it is read or copied.
bool LaengeErlaubt(Datei& sal) {
  const int64_t laenge = sal.Laenge();
  if (laenge < 0 || laenge / kSatzLaenge <= kMaxSaetze) return true;
  char text[120];
  std::snprintf(text, sizeof text, "\nhat %lld Datens\xE4tze, mehr als eine Saldendatei haben kann,\n",
                static_cast<long long>(laenge / kSatzLaenge));
  ZeigeMeldung("Die Saldendatei\n" + sal.Pfad() + text + "und wird nicht verwendet !", "FEHLER", 16);
  return false;
}

// An index longer than one of the most slots a balances file can need is
// no index worth copying: the work index is then built from the records.
constexpr int64_t kMaxIndexlaenge = kIndexKopf + 24 * int64_t(kMaxIndexKapazitaet);

// Copies the whole of `q` over `z` (from its start, cut to length).
bool KopiereInhalt(Datei& q, Datei& z) {
  std::vector<char> puffer;
  try {
    puffer.assign(kKopierpuffer, 0);
  } catch (const std::bad_alloc&) {
    ZeigeMeldung(58148, "INFORMATION", 64);
    return false;
  }
  bool ok = true;
  int64_t laenge = 0;
  for (;;) {
    int64_t n = q.Lies(puffer.data(), kKopierblock);
    if (n < 0 || (n > 0 && !z.SchreibeBei(laenge, puffer.data(), static_cast<size_t>(n)))) {
      ok = false;  // a partial copy is no copy
      break;
    }
    laenge += n;
    if (static_cast<size_t>(n) < kKopierblock) break;
  }
  if (ok && !z.SetzeLaenge(laenge)) ok = false;
  if (!ok) Fehler(58051);
  return ok;
}

std::string OhneRandblanks(std::string s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

}  // namespace

int KopiereDatei(const std::string& quelle, const std::string& ziel) {
  Datei q;
  if (!q.Oeffnen(quelle, Datei::Lesen)) {
    // Nothing to copy from: the destination keeps what it had instead of
    // being emptied, and the caller learns that the copy failed.
    Fehler(58049);
    return 0;
  }
  // An existing destination is written over in place and cut to length
  // afterwards: the same bytes, but the file system keeps its blocks
  // instead of freeing and allocating them again (several times faster
  // for the work files, which are there from the previous run).
  Datei z;
  if (!z.Oeffnen(ziel, Datei::LesenSchreiben) &&
      (z.Fehler() != DateiFehler::NichtGefunden || !z.Oeffnen(ziel, Datei::Anlegen))) {
    DateiNichtNutzbar(z.Fehler(), z.Pfad());  // as found on disk
    return 0;
  }
  return KopiereInhalt(q, z) ? 1 : 0;
}

// ---- main view feedback -----------------------------------------------------------

void CKv02Doc::ZeigeBezugsbuchungskreis(int n) {
  std::string zeile = Buchungskreiszeile(Datenverzeichnis, n);
  if (zeile.empty()) return;
  bezugszeile_ = zeile;
  Ui().SetzeBezugszeile(zeile);
}

void CKv02Doc::MeldeKumuliertenBuchungskreis(int n, const std::string* name) {
  // A circle being added had its master file read moments ago for the
  // checks: its name is taken from there instead of reading the file again.
  std::string zeile;
  if (name) {
    char text[200];
    std::snprintf(text, sizeof text, "BK-Nr.: %03i,  %s", n, name->c_str());
    zeile = text;
  } else {
    zeile = Buchungskreiszeile(Datenverzeichnis, n);
  }
  if (zeile.empty()) return;
  liste_.push_back(zeile);
  Ui().FuegeListeHinzu(zeile);
  Ui().Aktualisiere();
}

void CKv02Doc::LeereKumulationsanzeige() {
  liste_.clear();
  bezugszeile_.clear();
  Ui().LeereListe();
  Ui().SetzeBezugszeile("");
}

// ---- the run ------------------------------------------------------------------------

int CKv02Doc::Kumulieren(int von, int bis, int bezug, const std::string& jahrText) {
  // The work files are about to be overwritten: whatever was open on them
  // from an earlier run is closed first (K5).
  if (kumulationBereit_) SchliesseKumulationsdateien();
  unvollstaendig_ = false;
  try {
    return KumuliereBereiche(von, bis, bezug, jahrText);
  } catch (const std::bad_alloc&) {
    // Out of memory anywhere in the run: nothing half made is written or
    // reported on, the second thread is stopped and every file closed.
    teiler_.Beende();
    for (Quellbuchungskreis& q : quellen_) {
      SchliesseQuellbuchungskreis(q);
      q.index.reset();
      q.salden.reset();
    }
    quelle_.Leere();
    tabelle_ = false;
    kumulationBereit_ = false;
    indexUngeschrieben_ = false;
    kumSalden_.Schliessen();
    Kumulationsindex.Schliesse();
    kumIndexdatei_.Schliessen();
    ZeigeMeldung(58148, "INFORMATION", 64);
    return 0;
  }
}

int CKv02Doc::KumuliereBereiche(int von, int bis, int bezug, const std::string& jahrText) {

  Buchungsjahr = DezimalWert(jahrText);
  BkKennwerte werte;
  const int stammOk = LeseBkKennwerte(Datenverzeichnis, bezug, werte);
  if (stammOk) {
    Kontenrahmen = werte.kontenrahmen;
    ErsterMonat = werte.ersterMonat;
    AbweichendesWJ = werte.abweichendesWJ;
    ZeigeBezugsbuchungskreis(bezug);
  }
  // A reference that does not exist ends the run silently; one whose master
  // file is there but in use or read-only (a read-only data directory) is
  // said so, and so is any other reason it could not be read, or nothing
  // would tell the user why nothing happened.
  if (!stammOk) {
    const std::string stamm = NameStammdatei(Datenverzeichnis, bezug);
    const int probe = PruefeDatei(stamm);
    if (probe == 4)
      ZeigeMeldung(Ressource(58010), "FEHLER", 48);
    else if (probe != 2)
      UnerwarteterFehler(stamm);
  }
  if (!stammOk || (Kontenrahmen != 3 && Kontenrahmen != 4)) return 0;
  if (!LegeKumulationsdateienAn(Kontenrahmen, Buchungsjahr, bezug)) return 0;

  Dateien.Setze(Datenverzeichnis, bezug, Buchungsjahr, Kontenrahmen);
  Dateien.saldendatei = NameKumSalden(Datenverzeichnis);
  Dateien.saldenindex = NameKumIndex(Datenverzeichnis);
  Bezugsbuchungskreis = bezug;
  LeseStammdaten();

  for (Quellbuchungskreis& q : quellen_) {
    q.salden = std::make_unique<CSalden>();
    q.index = std::make_unique<CSIndex>();
    q.vorab = 0;
  }
  teiler_.Starte();
  const int offen = OeffneKumulationsdateien();
  if (offen) {
    const auto naechster = [bezug](int n) { return n == bezug ? n + 1 : n; };
    int aktiv = 0;
    for (int n = naechster(von); n <= bis; n = naechster(n + 1)) {
      Quellbuchungskreis& q = quellen_[aktiv];
      Quellbuchungskreis& andere = quellen_[1 - aktiv];
      const int folgender = naechster(n + 1);
      if (q.vorab != n) {
        SchliesseQuellbuchungskreis(q);
        if (!OeffneQuellbuchungskreis(Buchungsjahr, n, Kontenrahmen, ErsterMonat, q)) continue;
      }
      q.vorab = 0;
      // While both threads read this circle, this one closes the files of
      // the one before and opens the next one, as far as that goes without
      // a message or a change to a file; anything else is done in its turn.
      const auto voraus = [&] {
        SchliesseQuellbuchungskreis(andere);
        if (folgender <= bis) OeffneVorab(Buchungsjahr, folgender, Kontenrahmen, ErsterMonat, andere);
      };
      // The circle is read once, block by block; its index is checked
      // against the records as they pass instead of reading the file a
      // second time.
      quelleGeladen_ = LadeQuelle(q, q.index.get(), voraus);
      int indexOffen = q.indexOffen;
      if (indexOffen == 1) indexOffen = q.index->BeendePruefung(quelleGeladen_);
      if (indexOffen != 1) Fehler(58011);
      MeldeKumuliertenBuchungskreis(n, &q.werte.name);
      // A read that failed is tried once more.  Nothing of a circle that
      // cannot be read whole is added.  Records in file order.
      if (!quelleGeladen_) quelleGeladen_ = LadeQuelle(q, nullptr);
      if (quelleGeladen_) {
        AddiereKreis(n);
      } else {
        UnerwarteterFehler(q.saldendatei.Pfad());
      }
      quelle_.Leere();
      aktiv = 1 - aktiv;
    }
    for (Quellbuchungskreis& q : quellen_) SchliesseQuellbuchungskreis(q);
    BeendeLauf();
  }
  teiler_.Beende();
  for (Quellbuchungskreis& q : quellen_) {
    q.index.reset();
    q.salden.reset();
  }
  return offen && kumulationBereit_ ? 1 : 0;
}

int CKv02Doc::LegeKumulationsdateienAn(int kontenrahmen, int jahr, int bezug) {
  const std::string sal = NameSaldendatei(Datenverzeichnis, bezug, kontenrahmen, jahr);
  const std::string sdx = NameSaldenindex(Datenverzeichnis, bezug, kontenrahmen, jahr);
  const std::string kumSal = NameKumSalden(Datenverzeichnis);
  const std::string kumSdx = NameKumIndex(Datenverzeichnis);

  // The work files are taken before anything is written into them, and
  // held until the document closes them: another instance copying its own
  // reference in between would leave both reporting on a mix of books.
  // Whoever holds "~ksal~.tmp" owns "~ksdx~.tmp" as well.  Taken before
  // the reference is even probed: the probe opens the books for writing
  // and would keep the instance holding the work files from reading them.
  // Any other reason they cannot be taken is said in its old place, below.
  if (!kumSalden_.Oeffnen(kumSal, Datei::LesenSchreiben, Datei::SchreibenVerweigert) &&
      (kumSalden_.Fehler() == DateiFehler::Teilung || kumSalden_.Fehler() == DateiFehler::Sperre)) {
    ZeigeMeldung(Ressource(58010), "FEHLER", 48);
    return 0;
  }
  const auto aufgeben = [this] {
    kumSalden_.Schliessen();
    return 0;
  };

  // No books for the year is the one silent case; a file that is there but
  // cannot be used is said so, or a read-only data directory would look
  // like a wrong year.
  DateiFehler fehler = DateiFehler::Keiner;
  switch (PruefeDatei(sal, fehler)) {
    case 1: break;
    case 2: return aufgeben();
    case 4: ZeigeMeldung(Ressource(58010), "FEHLER", 48); return aufgeben();
    default: NichtNutzbar(fehler, sal); return aufgeben();
  }
  const int indexProbe = PruefeDatei(sdx, fehler);
  if (indexProbe != 1 && indexProbe != 2) {
    if (indexProbe == 4)
      ZeigeMeldung(Ressource(58010), "FEHLER", 48);
    else
      NichtNutzbar(fehler, sdx);
    return aufgeben();
  }
  Datei quelle;
  if (!quelle.Oeffnen(sal, Datei::Lesen)) {
    Fehler(58049);
    return aufgeben();
  }
  if (!LaengeErlaubt(quelle)) return aufgeben();
  if (!kumSalden_.IstOffen() &&
      !kumSalden_.Oeffnen(kumSal, Datei::LesenSchreiben, Datei::SchreibenVerweigert) &&
      (kumSalden_.Fehler() != DateiFehler::NichtGefunden ||
       !kumSalden_.Oeffnen(kumSal, Datei::Anlegen, Datei::SchreibenVerweigert))) {
    DateiNichtNutzbar(kumSalden_.Fehler(), kumSalden_.Pfad());  // as found on disk
    return 0;
  }
  if (!KopiereInhalt(quelle, kumSalden_)) return aufgeben();
  quelle.Schliessen();
  bool indexKopieren = indexProbe == 1;
  if (indexKopieren) {
    Datei index;
    indexKopieren = !index.Oeffnen(sdx, Datei::Lesen) || index.Laenge() <= kMaxIndexlaenge;
  }
  if (indexKopieren) {
    if (!KopiereDatei(sdx, kumSdx)) return aufgeben();
  } else if (DateiExistiert(kumSdx) && !LoescheDatei(kumSdx)) {
    // A missing index is rebuilt from the copy when the work files are
    // opened; an old work index must not stand in for it.
    UnerwarteterFehler(kumSdx);
    return aufgeben();
  }
  MeldeKumuliertenBuchungskreis(bezug);
  return 1;
}

int CKv02Doc::OeffneKumulationsdateien() {
  // The balances work file is open since the copy (LegeKumulationsdateienAn).
  const std::string& sal = Dateien.saldendatei;
  const Stammdaten& s = Stamm.stamm;
  for (CSalden& leser : Saldenleser)
    leser.Verbinde(&kumSalden_, &Kumulationsindex, s.geteiltesJahr, s.ersterPeriodenmonat,
                   s.kontenrahmen);
  Kumulationsindex.Verbinde(&kumIndexdatei_, &kumSalden_, Dateien.saldendatei,
                            Dateien.saldenindex);
  // The tax accounts only go into a file known to hold fewer than two
  // records: a length that cannot be read (-1) is no empty file.
  const int saetze = Saldenleser[4].Anzahl();
  if (saetze < 0) {
    UnerwarteterFehler(sal);
    kumSalden_.Schliessen();
    return 0;
  }
  if (saetze < 2) {
    for (CSalden& leser : Saldenleser)
      if (leser.LegeSteuerkontenAn() != 1) unvollstaendig_ = true;
    // Records appended for the tax accounts are in no index yet: build the
    // work index from the file instead of trusting the copy (K3).
    LoescheDatei(Dateien.saldenindex);
  }
  // The index is checked against the records as the image is read (the
  // file is read once); one that does not fit is rebuilt as on opening.
  if (Kumulationsindex.OeffneUndPruefeSpaeter() != 1) {
    Fehler(58011);
    kumSalden_.Schliessen();
    return 0;
  }
  const bool geladen = abbild_.Lade(kumSalden_, &teiler_, &Kumulationsindex);
  if (Kumulationsindex.BeendePruefung(geladen) != 1) {
    Fehler(58011);
    Kumulationsindex.Schliesse();
    kumSalden_.Schliessen();
    return 0;
  }
  if (!geladen) {
    Fehler(58051);
    Kumulationsindex.Schliesse();
    kumSalden_.Schliessen();
    return 0;
  }
  kumulationBereit_ = true;
  indexUngeschrieben_ = false;
  // K6: the table holds what the number search finds, for every account.
  tabelle_ = Kumulationsindex.IstGeordnet();
  neueKonten_.clear();
  letzteSuche_ = 0;
  neueVorSuche_ = 0;
  if (tabelle_) {
    kontoSatz_.assign(30000, -1);
    const auto& nummern = Kumulationsindex.Nummern();
    for (int i = 0; i < Kumulationsindex.Anzahl() && tabelle_; ++i) {
      if (nummern[i].satz >= abbild_.Anzahl()) tabelle_ = false;
      if (nummern[i].konto <= 29999) kontoSatz_[nummern[i].konto] = nummern[i].satz;
    }
  }
  // Records are summed into while loading, on both threads: their amounts
  // are read beforehand.
  if (tabelle_) abbild_.ZerlegeAlle(teiler_);
  return 1;
}

int CKv02Doc::OeffneQuellbuchungskreis(int jahr, int n, int kontenrahmen, int ersterMonat,
                                       Quellbuchungskreis& q) {
  // Equal first months imply equal flags for a shifted financial year.
  BkKennwerte werte;
  if (!LeseBkKennwerte(Datenverzeichnis, n, werte)) {
    ZeigeStandardMeldung(Format(
        "Stammdaten f\xFCr Buchungskreis Nummer %i \n nicht gefunden, in Verwendung oder gesperrt!",
        n));
    return 0;
  }
  if (werte.kontenrahmen != kontenrahmen) {
    ZeigeStandardMeldung(
        Format("Buchungskreis %i hat anderen Kontenrahmen \n als Bezugs-Buchungskreis!", n));
    return 0;
  }
  if (werte.ersterMonat != ersterMonat) {
    ZeigeStandardMeldung(
        Format("Buchungskreis %i hat anderen ersten Monat \n als Bezugs-Buchungskreis!", n));
    return 0;
  }
  const std::string sal = NameSaldendatei(Datenverzeichnis, n, kontenrahmen, jahr);
  const std::string sdx = NameSaldenindex(Datenverzeichnis, n, kontenrahmen, jahr);
  // Opened at once; the probe only tells why, when that fails.
  const bool offen = q.saldendatei.Oeffnen(sal, Datei::LesenSchreiben, Datei::SchreibenVerweigert);
  DateiFehler fehler = q.saldendatei.Fehler();
  switch (offen ? 1 : PruefeDatei(sal, fehler)) {
    case 2:
      return 0;  // no books for this year
    case 4:
      ZeigeMeldung(Ressource(58010), "FEHLER", 48);
      return 0;
    case 1:
      if (offen) break;
      [[fallthrough]];
    default:
      NichtNutzbar(fehler, sal);
      return 0;
  }
  if (!LaengeErlaubt(q.saldendatei)) {
    q.saldendatei.Schliessen();
    return 0;
  }
  VerbindeQuelle(q, werte, sal, sdx);
  // As for the work file: never append tax accounts to a file whose length
  // could not be read.
  const int saetze = q.salden->Anzahl();
  if (saetze < 0) {
    UnerwarteterFehler(sal);
    q.saldendatei.Schliessen();
    return 0;
  }
  if (saetze < 2) {
    q.salden->LegeSteuerkontenAn();
    // The circle's own index does not know the appended tax accounts: let
    // it be rebuilt, as the companion program would need it.
    LoescheDatei(sdx);
  }
  q.indexOffen = q.index->OeffneUndPruefeSpaeter();
  q.werte = std::move(werte);
  return 1;
}

void CKv02Doc::VerbindeQuelle(Quellbuchungskreis& q, const BkKennwerte& werte,
                              const std::string& sal, const std::string& sdx) {
  q.salden->Verbinde(&q.saldendatei, q.index.get(), werte.abweichendesWJ, werte.ersterMonat,
                     werte.kontenrahmen);
  q.index->Verbinde(&q.indexdatei, &q.saldendatei, sal, sdx);
}

bool CKv02Doc::OeffneVorab(int jahr, int n, int kontenrahmen, int ersterMonat,
                           Quellbuchungskreis& q) {
  // The plain case of OeffneQuellbuchungskreis only: whatever would show a
  // message or repair a file is left to the circle's turn, which starts
  // over.  Nothing shown here may come before the messages of the circle
  // being read.
  q.vorab = 0;
  BkKennwerte werte;
  if (!LeseBkKennwerte(Datenverzeichnis, n, werte, true) || werte.kontenrahmen != kontenrahmen ||
      werte.ersterMonat != ersterMonat)
    return false;
  const std::string sal = NameSaldendatei(Datenverzeichnis, n, kontenrahmen, jahr);
  const std::string sdx = NameSaldenindex(Datenverzeichnis, n, kontenrahmen, jahr);
  if (!q.saldendatei.Oeffnen(sal, Datei::LesenSchreiben, Datei::SchreibenVerweigert)) return false;
  VerbindeQuelle(q, werte, sal, sdx);
  const int saetze = q.salden->Anzahl();
  if (saetze < 2 || saetze > kMaxSaetze || q.index->OeffneVorab() != 1) {
    SchliesseQuellbuchungskreis(q);
    return false;
  }
  q.indexOffen = 1;
  q.werte = std::move(werte);
  q.vorab = n;
  return true;
}

bool CKv02Doc::UebernimmNeueKonten() {
  if (!tabelle_ || neueKonten_.empty()) {
    if (tabelle_ && letzteSuche_ > 0) {
      int satz = -1;
      Kumulationsindex.SucheNummerWert(letzteSuche_, satz);
    }
    letzteSuche_ = 0;
    return true;
  }
  // The accounts appended before the last lookup, the lookup itself (it
  // leaves the position the index walks start from), then the rest (K6).
  const size_t vorher = std::min(neueVorSuche_, neueKonten_.size());
  bool ok = Kumulationsindex.FuegeAngehaengteEin(neueKonten_.data(), vorher) == 1;
  if (ok && letzteSuche_ > 0) {
    int satz = -1;
    Kumulationsindex.SucheNummerWert(letzteSuche_, satz);
  }
  if (ok)
    ok = Kumulationsindex.FuegeAngehaengteEin(neueKonten_.data() + vorher,
                                              neueKonten_.size() - vorher) == 1;
  neueKonten_.clear();
  letzteSuche_ = 0;
  neueVorSuche_ = 0;
  if (ok) {
    indexUngeschrieben_ = true;
    return true;
  }
  // As when an insertion fails during the run: the index is built anew
  // from the file, which has to be up to date for it (K3).
  if (!abbild_.Schreibe(kumSalden_)) FehlerUnvollstaendig();
  if (Kumulationsindex.Neuaufbau() != 1) return false;
  indexUngeschrieben_ = false;
  return true;
}

int CKv02Doc::SatzFuer(const Quellsatz& quelle) {
  const int konto = quelle.konto;
  // The lookup the balances reader makes by account number: numbers outside
  // 1..29999 are never found.
  int satz = -1;
  bool gefunden = false;
  if (konto >= 1 && konto <= 29999) {
    if (tabelle_) {
      satz = kontoSatz_[konto];
      letzteSuche_ = konto;
      neueVorSuche_ = neueKonten_.size();
    } else if (Kumulationsindex.SucheNummerWert(konto, satz) != kGleich) {
      satz = -1;
    }
    gefunden = satz >= 0 && satz < abbild_.Anzahl();
  }
  if (gefunden) return satz;
  // The account field and the name were kept for every record that may
  // have to be appended.
  const char* text = quelle.text >= 0 ? quelle_.Text(quelle.text) : quelle.kontoText;
  const std::string kontoText(text, ::strnlen(text, 5));
  const std::string name = quelle.text >= 0 ? std::string(text + 5, ::strnlen(text + 5, 25)) : "";
  satz = abbild_.Haenge(kontoText, name);
  if (tabelle_) {
    neueKonten_.push_back({satz, konto, name});
    if (konto >= 1 && konto <= 29999) kontoSatz_[konto] = satz;
  } else if (Kumulationsindex.FuegeEin(satz, konto, name, 0) == 1) {
    indexUngeschrieben_ = true;
  } else {
    // The rebuild reads the file: bring it up to date first (K3).
    if (!abbild_.Schreibe(kumSalden_)) FehlerUnvollstaendig();
    if (Kumulationsindex.Neuaufbau() == 1) indexUngeschrieben_ = false;
  }
  return satz;
}

bool CKv02Doc::LadeQuelle(Quellbuchungskreis& q, CSIndex* pruefen,
                          const std::function<void()>& zwischendurch) {
  Zugleich zugleich{};
  if (tabelle_) {
    // A new mark for every load: a load that failed has taken back what it
    // added, but its claims are still there.
    if (++kreisLauf_ == 0) {
      besucht_.assign(besucht_.size(), 0);
      kreisLauf_ = 1;
    }
    if (besucht_.size() < static_cast<size_t>(abbild_.Anzahl()))
      besucht_.resize(abbild_.Anzahl() + 4096, 0);
    zugleich = {&abbild_, besucht_.data(), kreisLauf_};
  }
  return quelle_.Lade(q.saldendatei, pruefen, tabelle_ ? &kontoSatz_ : nullptr, teiler_,
                      tabelle_ ? &zugleich : nullptr, zwischendurch);
}

void CKv02Doc::AddiereKreis(int n) {
  const int anzahl = quelle_.Anzahl();
  verfehlt_.assign(anzahl, 0);
  const bool einzeln = !tabelle_ || quelle_.Doppelt();
  if (einzeln) {
    // Index insertions may rebuild the index (with its progress window),
    // and an image record hit twice must see its additions in file order:
    // record by record.
    if (tabelle_) quelle_.NimmZurueck(abbild_);
    for (int i = 0; i < anzahl; ++i) {
      const Quellsatz& q = quelle_.Satz(i);
      if (!abbild_.Addiere(SatzFuer(q), q.betraege)) verfehlt_[i] = 1;
    }
  } else {
    // K6: no image record was hit twice, so the order of the additions
    // does not matter; the records added while loading are marked, the
    // rest (new accounts, other forms than whole cents) added in file
    // order.  The lookups leave the state record-by-record adding leaves:
    // the last looked-up account, and how many accounts were appended
    // before that lookup.
    int letzte = -1;
    for (int i = anzahl - 1; i >= 0 && letzte < 0; --i)
      if (quelle_.Satz(i).konto >= 1 && quelle_.Satz(i).konto <= 29999) letzte = i;
    size_t vorLetzter = neueKonten_.size();
    for (int i = 0; i < anzahl && quelle_.Offen() > 0; ++i) {
      const Quellsatz& q = quelle_.Satz(i);
      if (i == letzte) vorLetzter = neueKonten_.size();
      switch (q.zustand) {
        case Quellsatz::Addiert: break;  // summed and marked while loading
        case Quellsatz::Verfehlt: verfehlt_[i] = 1; break;
        default:
          if (!abbild_.Addiere(SatzFuer(q), q.betraege)) verfehlt_[i] = 1;
      }
    }
    if (letzte >= 0) {
      letzteSuche_ = quelle_.Satz(letzte).konto;
      neueVorSuche_ = vorLetzter;
    }
  }
  for (int i = 0; i < anzahl && (quelle_.Offen() > 0 || einzeln); ++i) {
    if (!verfehlt_[i]) continue;
    unvollstaendig_ = true;
    const Quellsatz& q = quelle_.Satz(i);
    char text[300];
    std::snprintf(text, sizeof text,
                  "Die Summe passt nicht in das Betragsfeld:\n"
                  "Konto %s aus Buchungskreis %i wurde nicht addiert !",
                  OhneRandblanks(std::string(q.kontoText, ::strnlen(q.kontoText, 5))).c_str(), n);
    ZeigeMeldung(W(text), "FEHLER", 16);  // K4: the account stays as it was
  }
}

void CKv02Doc::FehlerUnvollstaendig() {
  Fehler(58100);
  unvollstaendig_ = true;
}

void CKv02Doc::BeendeLauf() {
  // The image and the index reach the disk once, at the end (K2).
  bool ok = UebernimmNeueKonten();
  if (!abbild_.Schreibe(kumSalden_, &teiler_)) {
    FehlerUnvollstaendig();
    ok = false;
  }
  if (indexUngeschrieben_) {
    if (Kumulationsindex.SchreibeIndex() == 1)
      indexUngeschrieben_ = false;
    else
      ok = false;
  }
  tabelle_ = false;
  // Half-written work files must not be reported on (K5).
  if (!ok) SchliesseKumulationsdateien();
}

void CKv02Doc::SchliesseQuellbuchungskreis(Quellbuchungskreis& q) {
  if (q.index) q.index->Schliesse();
  q.saldendatei.Schliessen();
  q.indexdatei.Schliessen();
  q.vorab = 0;
}

int CKv02Doc::SchliesseKumulationsdateien() {
  int ergebnis = 1;
  if (kumulationBereit_ && !UebernimmNeueKonten()) ergebnis = 0;
  tabelle_ = false;
  if (kumulationBereit_ && abbild_.Geaendert() && !abbild_.Schreibe(kumSalden_)) ergebnis = 0;
  if (kumulationBereit_ && indexUngeschrieben_) {
    if (Kumulationsindex.SchreibeIndex() != 1) ergebnis = 0;
    indexUngeschrieben_ = false;
  }
  kumSalden_.Schliessen();
  Kumulationsindex.Schliesse();
  kumIndexdatei_.Schliessen();
  kumulationBereit_ = false;
  return ergebnis;
}

}  // namespace kv
