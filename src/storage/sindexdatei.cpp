// The index file: reading it (trusting it only after the check against the
// records), writing it, building it anew from the balances file.
#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "basis/datei.h"
#include "basis/fortschritt.h"
#include "basis/text1252.h"
#include "storage/salden.h"
#include "storage/sindex.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr char kVersion[8] = {'W', '0', '0', '1', '0', '0', '1', '\0'};
constexpr int kVersionNummer = 1001;
constexpr int kHoechstKapazitaet = 1 << 29;
constexpr int kNummernSlot = 8;
constexpr int kNamensSlot = 16;

Meldung Lesefehler() { return Meldung::Fehler("Allgemeiner Fehler beim Lesen des Salden-Index !"); }
Meldung Speicherfehler() { return Meldung::Fehler("Speicherfehler vor Lesen des Indexes !"); }
Meldung Schreibfehler() {
  return Meldung::Fehler("In Salden-Indexdatei konnte nicht\nfehlerfrei geschrieben werden !");
}
Meldung Speichermangel() { return Meldung::Fehler(W("Nicht genügend Speicher um Index zu erstellen !")); }

int32_t LiesLE(const unsigned char* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void SchreibeLE(unsigned char* p, int32_t wert) {
  const auto u = static_cast<uint32_t>(wert);
  p[0] = static_cast<unsigned char>(u);
  p[1] = static_cast<unsigned char>(u >> 8);
  p[2] = static_cast<unsigned char>(u >> 16);
  p[3] = static_cast<unsigned char>(u >> 24);
}

bool IstGueltigeKapazitaet(int64_t kap) {
  if (kap < kIndexStartKapazitaet || kap > kHoechstKapazitaet || kap % kIndexStartKapazitaet != 0)
    return false;
  const int64_t faktor = kap / kIndexStartKapazitaet;
  return (faktor & (faktor - 1)) == 0;
}

// The layout version at the start of an open index file.
enum class Version { Passt, Fremd, Lesefehler };
Version LiesVersion(Datei& datei) {
  char kopf[7];
  const int64_t n = datei.Lies(kopf, sizeof kopf);
  if (n < 0) return Version::Lesefehler;
  if (n < 7 || KontoWert(std::string_view(kopf + 1, 6)) != kVersionNummer) return Version::Fremd;
  return Version::Passt;
}

}  // namespace

CSIndex::~CSIndex() = default;

void CSIndex::Verbinde(Datei* indexDatei, Datei* saldenDatei, const std::string& saldenName,
                       const std::string& indexName) {
  indexDatei_ = indexDatei;
  saldenDatei_ = saldenDatei;
  saldenName_ = saldenName;
  indexName_ = indexName;
  nummernPos_ = namensPos_ = 0;
}

void CSIndex::Schliesse() {
  Leere();
  if (indexDatei_) indexDatei_->Schliessen();
}

int64_t CSIndex::SaetzeDerSaldendatei() const {
  if (!saldenDatei_ || !saldenDatei_->IstOffen()) return -1;
  const int64_t laenge = saldenDatei_->Laenge();
  return laenge < 0 ? -1 : laenge / kSatzLaenge;
}

Status CSIndex::SchreibeIndex() {
  if (!indexDatei_ || !offen_) return Status::Fehlschlag();
  std::vector<unsigned char> bild;
  try {
    bild.assign(kIndexKopf + static_cast<size_t>(kapazitaet_) * (kNummernSlot + kNamensSlot), 0);
  } catch (const std::bad_alloc&) {
    return Schreibfehler();
  }
  std::memcpy(bild.data(), kVersion, sizeof kVersion);
  SchreibeLE(&bild[8], anzahl_);
  SchreibeLE(&bild[12], kapazitaet_);
  // bytes 16..23 stay zero
  unsigned char* p = bild.data() + kIndexKopf;
  for (const NummernSlot& s : nummern_) {
    SchreibeLE(p, s.konto);
    SchreibeLE(p + 4, s.satz);
    p += kNummernSlot;
  }
  for (const NamensSlot& s : namen_) {
    std::memcpy(p, s.schluessel, kNamensSchluessel);
    SchreibeLE(p + kNamensSchluessel, s.satz);
    p += kNamensSlot;
  }

  // The file is overwritten in place and cut to its new length rather than
  // truncated first: the bytes are the same, and a file system does not
  // have to flush a replaced file on every save.  A save torn by a crash
  // leaves a file that fails the checks on opening and is rebuilt.
  if (!indexDatei_->IstOffen() && !indexDatei_->Oeffnen(indexName_, Datei::LesenSchreiben) &&
      (indexDatei_->Fehler() != DateiFehler::NichtGefunden ||
       !indexDatei_->Oeffnen(indexName_, Datei::Anlegen)))
    return Meldung::Fehler("Salden-Indexdatei konnte nicht angelegt werden !");
  if (!indexDatei_->SchreibeBei(0, bild.data(), bild.size()) ||
      !indexDatei_->SetzeLaenge(static_cast<int64_t>(bild.size())))
    return Schreibfehler();
  return {};
}

Indexpruefung::Befund CSIndex::PruefeInhalt() {
  // Every record with an account must have exactly its entries: an index
  // left behind by an interrupted writer, or one that predates records added
  // since (the tax accounts of a new file), is not trusted.  Each entry has
  // to name a distinct record that carries its account and its name key, and
  // there have to be as many entries as records with an account: then the
  // entries are exactly those of the file.  It is the check a loader makes
  // while reading the records, here with the records read for it.
  Indexpruefung p;
  const int64_t saetze = SaetzeDerSaldendatei();
  const Indexpruefung::Befund vorab = p.Beginne(*this, saetze);
  if (vorab != Indexpruefung::Befund::Passt || !p.Offen()) return vorab;
  int mitKonto = 0;
  constexpr int kBlock = 324;  // records per read: 64 KiB
  std::vector<char> puffer(size_t{kBlock} * kSatzLaenge);
  int32_t konten[kBlock];
  bool passt = true;
  for (int64_t erster = 0; erster < saetze && passt; erster += kBlock) {
    const int n = static_cast<int>(std::min<int64_t>(kBlock, saetze - erster));
    if (!saldenDatei_->LiesBei(erster * kSatzLaenge, puffer.data(), size_t(n) * kSatzLaenge))
      passt = false;
    for (int j = 0; j < n && passt; ++j) {
      konten[j] = KontoWert(std::string_view(puffer.data() + j * kSatzLaenge, 5));
      mitKonto += konten[j] > 0;
    }
    passt = passt && p.PasstSaetze(erster, puffer.data(), konten, n);
  }
  p.Verwirf();
  return passt && mitKonto == anzahl_ ? Indexpruefung::Befund::Passt
                                      : Indexpruefung::Befund::Passtnicht;
}

bool CSIndex::OeffneVorab(Indexpruefung& spaeter) {
  Leere();
  neuAufgebaut_ = false;  // a rebuild of the circle opened before is not this one's
  if (!indexDatei_ || !saldenDatei_) return false;
  indexDatei_->Schliessen();
  if (!indexDatei_->Oeffnen(indexName_, Datei::LesenSchreiben)) return false;
  // The header's version is checked by LeseIndex as well; any other case
  // than a usable index is Oeffnen's to handle, with its messages.
  Status verworfen;
  if (LeseIndex(verworfen, &spaeter) == Lesebefund::Gelesen) return true;
  spaeter.Verwirf();
  Schliesse();
  return false;
}

Status CSIndex::BeendePruefung(Indexpruefung& pruefung, bool vollstaendig) {
  if (!pruefung.Offen()) return offen_ ? Status{} : Status::Fehlschlag();
  Indexpruefung::Befund befund;
  if (vollstaendig) {
    befund = pruefung.Beende();
  } else {
    // The records did not all come: read them here.
    pruefung.Verwirf();
    try {
      befund = PruefeInhalt();
    } catch (const std::bad_alloc&) {
      Schliesse();
      return Speicherfehler();
    }
  }
  if (befund == Indexpruefung::Befund::Passt) return {};
  Schliesse();
  // A balances file that has grown beyond any valid length since the index
  // was read: nothing is checked or built against it (I6).
  if (befund == Indexpruefung::Befund::Uebergross) return Status::Fehlschlag();
  // Does not fit its balances file: rebuilt like an outdated one.
  LoescheDatei(indexName_);
  Status s = Aufbauen(-1);
  nummernPos_ = namensPos_ = 0;
  return s;
}

CSIndex::Lesebefund CSIndex::LeseKopf(Status& status, int32_t& anzahl, int32_t& kap) {
  const int64_t laenge = indexDatei_->Laenge();
  if (laenge < 0 || !indexDatei_->Positioniere(0)) {
    status.Uebernimm(Lesefehler());
    return Lesebefund::Fehlgeschlagen;
  }
  if (laenge < kIndexKopf) return Lesebefund::Unbrauchbar;
  unsigned char kopf[kIndexKopf];
  const int64_t n = indexDatei_->Lies(kopf, sizeof kopf);
  if (n < kIndexKopf) {
    status.Uebernimm(n < 0 ? Lesefehler() : Meldung::Fehler("Fehler beim Lesen des Index-Headers !"));
    return Lesebefund::Fehlgeschlagen;
  }
  if (KontoWert(std::string_view(reinterpret_cast<const char*>(kopf) + 1, 6)) != kVersionNummer)
    return Lesebefund::Unbrauchbar;
  anzahl = LiesLE(kopf + 8);
  kap = LiesLE(kopf + 12);
  // The capacity sizes the arrays: one beyond what a balances file can need
  // is damage (a sparse file can have any length), not a reason to take
  // gigabytes (I6).
  if (!IstGueltigeKapazitaet(kap) || kap > kMaxIndexKapazitaet || anzahl < 0 || anzahl > kap ||
      laenge != kIndexKopf + int64_t{kap} * (kNummernSlot + kNamensSlot))
    return Lesebefund::Unbrauchbar;
  return Lesebefund::Gelesen;
}

CSIndex::Lesebefund CSIndex::LeseSlots(Status& status, int32_t anzahl, int32_t kap) {
  const size_t groesse = static_cast<size_t>(kap) * (kNummernSlot + kNamensSlot);
  // The slots in memory have the file's layout: on a little-endian machine
  // the file is read straight into them.
  constexpr bool kDirekt = std::endian::native == std::endian::little &&
                           sizeof(NummernSlot) == kNummernSlot && sizeof(NamensSlot) == kNamensSlot;
  try {
    nummern_.resize(kap);
    namen_.resize(kap);
    if (!kDirekt && lesepuffer_.size() < groesse) lesepuffer_.resize(groesse);
  } catch (const std::bad_alloc&) {
    status.Uebernimm(Speicherfehler());
    return Lesebefund::Fehlgeschlagen;
  }
  bool lesefehler = false;
  const auto lies = [&](void* ziel, size_t n) {
    const int64_t gelesen = indexDatei_->Lies(ziel, n);
    lesefehler = lesefehler || gelesen < 0;
    return gelesen == static_cast<int64_t>(n);  // or the file shrank under us
  };
  bool ganz;
  if (kDirekt) {
    ganz = lies(nummern_.data(), size_t(kap) * kNummernSlot) &&
           lies(namen_.data(), size_t(kap) * kNamensSlot);
  } else {
    ganz = lies(lesepuffer_.data(), groesse);
    const unsigned char* p = lesepuffer_.data();
    for (int i = 0; ganz && i < anzahl; ++i, p += kNummernSlot) {
      nummern_[i].konto = LiesLE(p);
      nummern_[i].satz = LiesLE(p + 4);
    }
    p = lesepuffer_.data() + static_cast<size_t>(kap) * kNummernSlot;
    for (int i = 0; ganz && i < anzahl; ++i, p += kNamensSlot) {
      std::memcpy(namen_[i].schluessel, p, kNamensSchluessel);
      namen_[i].satz = LiesLE(p + kNamensSchluessel);
    }
  }
  if (lesefehler) status.Uebernimm(Lesefehler());
  if (!ganz) return Lesebefund::Fehlgeschlagen;
  // Only the used slots are taken: whatever another writer left in the
  // unused ones, they are empty here.
  std::fill(nummern_.begin() + anzahl, nummern_.end(), NummernSlot{});
  std::fill(namen_.begin() + anzahl, namen_.end(), NamensSlot{});
  anzahl_ = anzahl;
  kapazitaet_ = kap;
  return Lesebefund::Gelesen;
}

CSIndex::Lesebefund CSIndex::LeseIndex(Status& status, Indexpruefung* spaeter) {
  Leere();
  if (!indexDatei_ || !indexDatei_->IstOffen()) return Lesebefund::Fehlgeschlagen;
  int32_t anzahl = 0, kap = 0;
  Lesebefund befund = LeseKopf(status, anzahl, kap);
  if (befund == Lesebefund::Gelesen) befund = LeseSlots(status, anzahl, kap);
  if (befund != Lesebefund::Gelesen) {
    Leere();
    return befund;
  }
  // With `spaeter` only what needs no record now; the records are checked
  // as the caller reads them.
  Indexpruefung::Befund passt;
  try {
    passt = spaeter ? spaeter->Beginne(*this, SaetzeDerSaldendatei()) : PruefeInhalt();
  } catch (const std::bad_alloc&) {
    Leere();
    status.Uebernimm(Speicherfehler());
    return Lesebefund::Fehlgeschlagen;
  }
  if (passt != Indexpruefung::Befund::Passt) {
    Leere();
    // An index is no use against a balances file beyond any valid length,
    // and rebuilding it would only be refused (I6): the file stays.
    return passt == Indexpruefung::Befund::Uebergross ? Lesebefund::Fehlgeschlagen
                                                      : Lesebefund::Unbrauchbar;
  }
  offen_ = true;
  PruefeInvarianten();
  return Lesebefund::Gelesen;
}

Status CSIndex::Aufbauen(int ohneSatz) {
  if (!indexDatei_ || !saldenDatei_) return Status::Fehlschlag();
  const int64_t laenge = saldenDatei_->Laenge();
  if (laenge < 0) return Status::Fehlschlag();
  const int64_t saetze = laenge / kSatzLaenge;
  // Neither a file is created nor billions of records read for a balances
  // file beyond any valid length (I6).
  if (saetze > kMaxSaetze) return Status::Fehlschlag();
  indexDatei_->Schliessen();
  if (!indexDatei_->Oeffnen(indexName_, Datei::Anlegen)) return Status::Fehlschlag();
  try {
    BeginneLeer();
  } catch (const std::bad_alloc&) {
    Leere();
    return Speichermangel();
  }

  Fortschrittsanzeige fortschritt;
  fortschritt.Einrichten("Index zu den Konten", W("Der Index für die Konten wird aktualisiert."), "",
                         "Konten...", static_cast<long>(laenge / 2020 + 1), kBalkenText,
                         kAbbruchGesperrt);
  fortschritt.Verarbeite();

  // Ten records per read, one progress step each.
  constexpr int kBlock = 10;
  char puffer[kBlock * kSatzLaenge];
  Status status;
  for (int64_t erster = 0; erster < saetze && status; erster += kBlock) {
    const int n = static_cast<int>(std::min<int64_t>(kBlock, saetze - erster));
    const bool ganz = saldenDatei_->LiesBei(erster * kSatzLaenge, puffer, size_t(n) * kSatzLaenge);
    for (int j = 0; j < n && status; ++j) {
      const int64_t satz = erster + j;
      char* s = puffer + j * kSatzLaenge;
      // A block that could not be read whole is read record by record; a
      // record that still fails would be missing from the index, so the
      // build fails instead.
      if (!ganz && !saldenDatei_->LiesBei(satz * kSatzLaenge, s, kSatzLaenge)) {
        status.SetzeFehlschlag();
        break;
      }
      if (satz == ohneSatz) continue;
      const int konto = KontoWert(std::string_view(s, 5));
      if (konto <= 0) continue;
      const int nummer = static_cast<int>(ohneSatz >= 0 && satz > ohneSatz ? satz - 1 : satz);
      status.Uebernimm(FuegeEin(nummer, konto, std::string(s + 5, kNamensSchluessel)));
    }
    fortschritt.Schritt(1);
    fortschritt.Verarbeite();
  }

  if (!status) {
    // An incomplete index must not be taken for a good one next time.
    indexDatei_->Schliessen();
    LoescheDatei(indexName_);
    Leere();
  } else {
    PruefeInvarianten();
    status.Uebernimm(SchreibeIndex());
    neuAufgebaut_ = status.Ok();
  }
  fortschritt.Schliessen();
  return status;
}

Status CSIndex::NeuaufbauOhne(int ohneSatz) {
  Leere();
  if (!indexDatei_) return Status::Fehlschlag();
  indexDatei_->Schliessen();
  LoescheDatei(indexName_);  // errors ignored: creating it anew truncates it anyway
  Status s = Aufbauen(ohneSatz);
  nummernPos_ = namensPos_ = 0;
  return s;
}

Status CSIndex::Neuaufbau() { return NeuaufbauOhne(-1); }

Status CSIndex::Oeffnen(Indexpruefung* spaeter) {
  Leere();
  neuAufgebaut_ = false;
  if (!indexDatei_ || !saldenDatei_) return Status::Fehlschlag();
  Datei& datei = *indexDatei_;
  datei.Schliessen();

  // An index of another layout version is thrown away and built anew.  The
  // version is read from the file opened for reading and writing; only when
  // that open fails for another reason than a missing file is it read from
  // a file opened for reading alone, as the file may still be deleted.
  bool offen = datei.Oeffnen(indexName_, Datei::LesenSchreiben);
  if (!offen && datei.Fehler() != DateiFehler::NichtGefunden) {
    if (datei.Oeffnen(indexName_, Datei::Lesen)) {
      const Version v = LiesVersion(datei);
      datei.Schliessen();
      if (v == Version::Lesefehler) return Lesefehler();
      if (v == Version::Fremd) LoescheDatei(indexName_);
    }
    offen = datei.Oeffnen(indexName_, Datei::LesenSchreiben);
  } else if (offen) {
    const Version v = LiesVersion(datei);
    if (v == Version::Lesefehler) {
      datei.Schliessen();
      return Lesefehler();
    }
    if (v == Version::Fremd) {
      datei.Schliessen();
      LoescheDatei(indexName_);
      offen = datei.Oeffnen(indexName_, Datei::LesenSchreiben);
    }
  }

  Status status;
  if (offen) {
    switch (LeseIndex(status, spaeter)) {
      case Lesebefund::Gelesen: break;
      case Lesebefund::Fehlgeschlagen: status.SetzeFehlschlag(); break;
      case Lesebefund::Unbrauchbar:
        // Does not fit its own header: rebuilt like an outdated one.
        datei.Schliessen();
        LoescheDatei(indexName_);
        status.Uebernimm(Aufbauen(-1));
        break;
    }
  } else if (datei.Fehler() == DateiFehler::NichtGefunden) {
    status.Uebernimm(Aufbauen(-1));
  } else {
    status.SetzeFehlschlag();
  }
  nummernPos_ = namensPos_ = 0;
  return status;
}

Status CSIndex::Entferne(const std::string& kontoText, const std::string& name) {
  if (!offen_) return Status::Fehlschlag();
  int satz = -1;
  if (SucheNummer(kontoText, satz) != kGleich) return Status::Fehlschlag();
  const int nummernPos = nummernPos_;

  std::string t = name;
  int gefundenerSatz = -1;
  bool gefunden = false;
  if (SucheName(t, gefundenerSatz) == kGleich) {
    std::string such(t.c_str(), ::strnlen(t.c_str(), t.size()));
    int pos = namensPos_;
    while (namen_[pos].satz != satz && pos + 1 < anzahl_ && VergleicheName(such, pos + 1) == kGleich)
      ++pos;
    if (namen_[pos].satz == satz) {
      gefunden = true;
      EntferneSlots(nummernPos, pos, satz);
    }
  }
  nummernPos_ = namensPos_ = 0;
  // The index is rebuilt as it must look once the caller has removed record
  // `satz` from the balances file: rebuilding from the file as it is now
  // would keep the record and leave every later entry one off after Loesche.
  if (!gefunden || anzahl_ < kapazitaet_ / 2 - 32) return NeuaufbauOhne(satz);
  return SchreibeIndex();
}

}  // namespace kv
