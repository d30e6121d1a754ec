// Balances file ("Saldendatei", ".sal" and the cumulated "~ksal~.tmp"):
// one 202-byte Windows-1252 text record per account for one booking year;
// the layout of a record and the reading and writing of its fields are in
// saldensatz.h.
//
// CSalden reads and writes single records at their record number with one
// positioned 202-byte transfer each; it keeps nothing but the current record.
// Finding the record of an account is the job of the balances index
// (sindex.h); the two lookups SucheKonto/KontoNummer live there.
//
// Invariants (the tests name them by number):
//   S1  Record n starts at byte n * 202; the record count is length / 202.  A
//       trailing partial record is ignored and never read as a record.
//   S2  Every record this class writes is exactly 202 bytes: fields
//       blank-filled to their width, '*' at 199, CR LF at 200.  An amount whose
//       "%12.2f" text does not fit 12 characters (or is not finite) is never
//       written; the write fails and is reported instead.
//   S3  The current record is either the record `Satznummer()` as last read or
//       written, or, after a read that failed (beyond the end, short read), the
//       empty record: account 0, blank texts, all amounts and the balance 0.
//       It never carries data of a previously read record.
//   S4  A file with fewer than two records gets the two tax accounts appended
//       by LegeSteuerkontenAn; a file with two or more is never touched by it.
//   S5  Loesche moves the records behind the current one down in ascending
//       order and shortens the file only when every move succeeded.
//   S6  Nothing here runs over, or appends beyond, kMaxSaetze records:
//       Anlegen fails on a file of kMaxSaetze records or more, Loesche on
//       one of more.  Anzahl still tells the length (saturated to int), so
//       that callers can refuse such a file by name.
#pragma once
#include <cstdint>
#include <string>

#include "basis/meldung.h"
#include "storage/saldensatz.h"

namespace kv {

class Datei;
class CSIndex;

// The most records a balances file may have.  Account numbers run from 1
// to 29999 and each has one record; more than three times that is no
// balances file the companion program writes (a sparse or endless file
// behind the name), and reading it would only exhaust memory and time.
inline constexpr int64_t kMaxSaetze = 100000;

class CSalden {
 public:
  CSalden();

  // Attaches the instance to a balances file its owner has opened (and will
  // close) and to the balances index (may be null).  No I/O.
  // abweichendesWJ: 1 when the financial year does not start in January.
  void Verbinde(Datei* datei, CSIndex* index, int abweichendesWJ, int ersterMonat,
                int kontenrahmen);

  // Number of whole records; 0 for an empty file, -1 when there is no file
  // or its length cannot be read (never to be taken for an empty file).
  int Anzahl();

  // Makes record `satz` current and returns its account number; amounts
  // within the zero tolerance read as exactly 0.  A record that cannot be
  // read gives the empty record (S3) and 0.
  int Lese(int satz);
  // The same for a record read beforehand: `roh` holds its 202 bytes.
  int LeseAus(int satz, const char* roh);
  // The raw bytes of records erster..erster+anzahl-1 into `ziel`; false when
  // they cannot all be read.
  bool LiesSaetze(int erster, int anzahl, char* ziel);

  // The writing operations below fail with "Konto konnte nicht in
  // Saldendatei gespeichert werden !" (FEHLER) when a write fails; where
  // they fail before writing anything they say nothing.

  // Writes the current record back at its record number (amounts formatted
  // from their values).
  Status Schreibe();

  // Appends a record (account text in "%5i" form, name cut to 25 characters,
  // opening balance, all other amounts 0, mark blank) and makes it current.
  // The index is not touched: the caller inserts the account there.
  Status Anlegen(const std::string& kontoText, const std::string& name, double anfangsbestand);

  // Removes the current record from the file; the records behind it move one
  // place down (S5).  The caller adjusts the index first (CSIndex::Entferne).
  Status Loesche();

  // Amount of a calendar month (mapped to its period when the financial year
  // is split) or of slot 0 / 13 of the current record; 0 outside 0..13.
  double Betrag(int monat) const;
  // Sum of the slots from `von` to `bis` (both mapped like Betrag),
  // inclusive; 0 when von > bis after mapping.
  double Summe(int von, int bis) const;

  // Appends "VORSTEUER" and "MEHRWERTSTEUER" (KR03 1570/1770, otherwise
  // 1400/3800) when the file holds fewer than two records.  Succeeds also
  // when nothing was to be done.
  Status LegeSteuerkontenAn();

  // Adds `betrag` to the slot of `monat` (or to slot 0 with `eroeffnung`),
  // sets the posting mark and writes the record.  Succeeds when written.
  Status Buche(int monat, double betrag, int eroeffnung);

  // Clears the movements (with mark '9' also the opening balance), blanks the
  // mark and writes the record.  Succeeds when written.
  Status LeereBewegungen();

  // As Lese without the zero tolerance, with a validity check: end mark,
  // CR LF, account and name not blank, account kind not 1.  Blank amount
  // fields read as 0; a valid record that had any is rewritten at once with
  // formatted amounts (a failed rewrite says so in `status`).  1 when valid.
  int LeseGeprueft(int satz, Status& status);

  // ---- account lookups through the balances index (sindex.cpp) ----------

  // Finds an account by number (text value > 0; texts shorter than five
  // characters are completed to " 0000" from the second character and
  // written back: "14" -> " 1400") or by name (value <= 0, name prefix).
  // Found: the record becomes current, kontoText = its Kontonummer,
  // saldoText = "%12.2f" of its balance, name = its Kontobezeichnung;
  // result 0.  Not found: saldoText and name empty; result 1.
  // nachNummer: 1 when searched by number, else 0.
  int SucheKonto(CSIndex& index, std::string& kontoText, std::string& saldoText,
                 std::string& name, int& nachNummer);
  // SucheKonto for an account number; 1 at once outside 1..29999.
  int KontoNummer(CSIndex& index, int nummer);
  // The same through the index given to Verbinde (1 when there is none).
  int KontoNummer(int nummer);

  // ---- the current record -------------------------------------------------

  int Satznummer() const { return satznummer_; }
  // false while the current record is the empty record of a failed read.
  bool HatSatz() const { return !leer_; }
  int Kontonummer() const { return kontonummer_; }  // decimal value of the text
  int Kontoart() const { return kontoart_; }
  double Saldo() const { return saldo_; }           // rounded sum of the 14 slots
  // Slot 0..13 without any month mapping; 0 outside.
  double BetragSlot(int slot) const;
  // Changes a slot in memory (the next Schreibe writes it); ignored outside.
  void SetzeBetragSlot(int slot, double betrag);
  void SetzeKennzeichen(char kennzeichen);

  const Saldensatz& Text() const { return text_; }
  std::string KontoText() const { return text_.Kontonummer; }        // 5 characters
  std::string Bezeichnung() const { return text_.Kontobezeichnung; } // 25 characters
  char Kennzeichen() const { return text_.Kennzeichen[0]; }
  std::string SaldoText() const { return text_.Saldo; }
  const char* Roh() const { return roh_; }  // the 202 bytes as read or written

  CSIndex* Index() const { return index_; }
  int Kontenrahmen() const { return kontenrahmen_; }

 private:
  int Slot(int monat) const;
  void LeererSatz();
  bool LiesRoh(int satz);
  void Zerlege(bool nullSetzen, bool* leereBetraege);
  void Berechne();

  Datei* datei_ = nullptr;
  CSIndex* index_ = nullptr;
  int abweichendesWJ_ = 0;
  int ersterMonat_ = 1;
  int kontenrahmen_ = 4;

  int satznummer_ = 0;
  bool leer_ = true;
  char roh_[kSatzLaenge];
  Saldensatz text_;
  double betrag_[kAnzahlBetraege];
  double saldo_ = 0.0;
  int kontonummer_ = 0;
  int kontoart_ = 1;
};

}  // namespace kv
