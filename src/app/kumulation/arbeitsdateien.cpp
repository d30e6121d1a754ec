// The work files of a run: the reference copied in, then taken over by the
// strategy.  And the run as a whole.
#include <new>
#include <vector>

#include "app/kumulation/lauf.h"
#include "storage/dateinamen.h"

namespace kv {
namespace {

constexpr size_t kKopierblock = 32768;
constexpr size_t kKopierpuffer = 33000;

// An index longer than one of the most slots a balances file can need is
// no index worth copying: the work index is then built from the records.
constexpr int64_t kMaxIndexlaenge = kIndexKopf + 24 * int64_t(kMaxIndexKapazitaet);

// Copies the whole of `q` over `z` (from its start, cut to length).
Status KopiereInhalt(Datei& q, Datei& z) {
  std::vector<char> puffer;
  try {
    puffer.assign(kKopierpuffer, 0);
  } catch (const std::bad_alloc&) {
    return Meldung::Nr(58148, "INFORMATION", Meldungsart::Information);
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
  if (!ok) return FehlerMeldung(58051);
  return {};
}

bool InBenutzung(DateiFehler f) { return f == DateiFehler::Teilung || f == DateiFehler::Sperre; }

Meldung InVerwendung() { return Meldung::Nr(58010, "FEHLER", Meldungsart::Achtung); }

}  // namespace

Status KopiereDatei(const std::string& quelle, const std::string& ziel) {
  Datei q;
  // Nothing to copy from: the destination keeps what it had instead of
  // being emptied, and the caller learns that the copy failed.
  if (!q.Oeffnen(quelle, Datei::Lesen)) return FehlerMeldung(58049);
  // An existing destination is written over in place and cut to length
  // afterwards: the same bytes, but the file system keeps its blocks
  // instead of freeing and allocating them again (several times faster
  // for the work files, which are there from the previous run).
  Datei z;
  if (!z.Oeffnen(ziel, Datei::LesenSchreiben) &&
      (z.Fehler() != DateiFehler::NichtGefunden || !z.Oeffnen(ziel, Datei::Anlegen)))
    return DateiNichtNutzbar(z.Fehler(), z.Pfad());  // as found on disk
  return KopiereInhalt(q, z);
}

bool Lauf::LegeArbeitsdateienAn() {
  const std::string& daten = auftrag_.datenverzeichnis;
  const int bezug = auftrag_.bezug;
  const std::string sal = NameSaldendatei(daten, bezug, bezug_.kontenrahmen, auftrag_.jahr);
  const std::string sdx = NameSaldenindex(daten, bezug, bezug_.kontenrahmen, auftrag_.jahr);
  Datei& kumSalden = dateien_.salden;

  // The work files are taken before anything is written into them, and
  // held until the document closes them (K7).  Taken before the reference
  // is even probed: the probe opens the books for writing and would keep
  // the instance holding the work files from reading them.  Any other
  // reason they cannot be taken is said in its old place, below.
  if (!kumSalden.Oeffnen(dateien_.saldenName, Datei::LesenSchreiben, Datei::SchreibenVerweigert) &&
      InBenutzung(kumSalden.Fehler())) {
    Melde(InVerwendung());
    return false;
  }
  const auto aufgeben = [&](Status s) {
    Melde(s);
    kumSalden.Schliessen();
    return false;
  };
  bool indexDa = false;
  if (!PruefeBezugsdateien(sal, sdx, indexDa)) return aufgeben({});
  Datei quelle;
  if (!quelle.Oeffnen(sal, Datei::Lesen)) return aufgeben(FehlerMeldung(58049));
  if (!LaengeErlaubt(quelle)) return aufgeben({});
  if (!kumSalden.IstOffen() &&
      !kumSalden.Oeffnen(dateien_.saldenName, Datei::LesenSchreiben, Datei::SchreibenVerweigert) &&
      (kumSalden.Fehler() != DateiFehler::NichtGefunden ||
       !kumSalden.Oeffnen(dateien_.saldenName, Datei::Anlegen, Datei::SchreibenVerweigert))) {
    Melde(DateiNichtNutzbar(kumSalden.Fehler(), kumSalden.Pfad()));  // as found on disk
    return false;
  }
  if (Status s = KopiereInhalt(quelle, kumSalden); !s) return aufgeben(s);
  quelle.Schliessen();
  bool indexKopieren = indexDa;
  if (indexKopieren) {
    Datei index;
    indexKopieren = !index.Oeffnen(sdx, Datei::Lesen) || index.Laenge() <= kMaxIndexlaenge;
  }
  if (indexKopieren) {
    if (Status s = KopiereDatei(sdx, dateien_.indexName); !s) return aufgeben(s);
  } else if (DateiExistiert(dateien_.indexName) && !LoescheDatei(dateien_.indexName)) {
    // A missing index is rebuilt from the copy when the work files are
    // opened; an old work index must not stand in for it.
    return aufgeben(UnerwarteterFehler(dateien_.indexName));
  }
  Status zeilenstatus;
  const std::string zeile = Buchungskreiszeile(daten, bezug, zeilenstatus);
  Melde(zeilenstatus);
  if (!zeile.empty()) beobachter_.Kreiszeile(zeile);
  return true;
}

bool Lauf::PruefeBezugsdateien(const std::string& sal, const std::string& sdx, bool& indexDa) {
  // No books for the year is the one silent case; a file that is there but
  // cannot be used is said so, or a read-only data directory would look
  // like a wrong year.
  const auto unbrauchbar = [&](DateiFehler fehler, const std::string& pfad) {
    Melde(fehler == DateiFehler::KeineDatei ? DateiNichtNutzbar(fehler, pfad) : UnerwarteterFehler(pfad));
    return false;
  };
  DateiFehler fehler = DateiFehler::Keiner;
  switch (PruefeDatei(sal, fehler)) {
    case 1: break;
    case 2:
      bezugStill_ = OhneSalden("Bezugs-", auftrag_.bezug, sal);
      return false;
    case 4: Melde(InVerwendung()); return false;
    default: return unbrauchbar(fehler, sal);
  }
  const int indexProbe = PruefeDatei(sdx, fehler);
  if (indexProbe == 4) {
    Melde(InVerwendung());
    return false;
  }
  if (indexProbe != 1 && indexProbe != 2) return unbrauchbar(fehler, sdx);
  indexDa = indexProbe == 1;
  return true;
}

bool Lauf::ZieheArbeitsdateienAuf() {
  // The balances work file is open since the copy.
  CSalden leser;
  leser.Verbinde(&dateien_.salden, &dateien_.index, form_.geteiltesJahr, form_.ersterPeriodenmonat,
                 form_.kontenrahmen);
  dateien_.index.Verbinde(&dateien_.indexdatei, &dateien_.salden, dateien_.saldenName,
                          dateien_.indexName);
  // The tax accounts only go into a file known to hold fewer than two
  // records: a length that cannot be read (-1) is no empty file.
  const int saetze = leser.Anzahl();
  if (saetze < 0) {
    Melde(UnerwarteterFehler(dateien_.saldenName));
    dateien_.salden.Schliessen();
    return false;
  }
  if (saetze < 2) {
    // Each of the document's five readers of the work file used to try in
    // turn; a try after a failed one tries again (and says so again).
    for (int i = 0; i < 5; ++i) {
      const Status angelegt = leser.LegeSteuerkontenAn();
      Melde(angelegt);
      if (!angelegt) Unvollstaendig();
    }
    ergebnis_.bezug.steuerkonten = true;
    // Records appended for the tax accounts are in no index yet: build the
    // work index from the file instead of trusting the copy (K3).
    LoescheDatei(dateien_.indexName);
  }
  return strategie_->Beginne(ergebnis_.bezug);
}

Kumulationsergebnis Kumuliere(const Kumulationsauftrag& auftrag, Arbeitsdateien& dateien,
                              Kumulationsbeobachter& beobachter) {
  Kumulationsergebnis ergebnis;
  Lauf lauf(auftrag, dateien, beobachter, ergebnis);
  try {
    lauf.Fuehre();
  } catch (const std::bad_alloc&) {
    // Out of memory anywhere in the run: nothing half made is written or
    // reported on, the second thread is stopped and every file closed.
    lauf.Abbrechen();
    lauf.Melde(Meldung::Nr(58148, "INFORMATION", Meldungsart::Information));
  }
  return ergebnis;
}

}  // namespace kv
