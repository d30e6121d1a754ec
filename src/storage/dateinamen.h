// Every file name below the data directory.
//
// The names are shared with the companion bookkeeping program and must be
// built exactly as it builds them.  Each name function takes the data
// directory first: when it is empty the name is relative (resolved against
// the working directory), otherwise it is "<dir>/<name>".  A trailing "/" of
// the directory is not doubled.
//
// Existing files are found case-insensitively by the file class (the books
// come from a Windows program); these functions only build the names.
//
// Argument order everywhere: directory, booking circle n (1..999), chart of
// accounts (3 = KR03, 4 = KR04; decides the letter "A" for 4, "B" otherwise),
// booking year (four digits).
#pragma once
#include <string>
#include <string_view>

namespace kv {

class CIniSB;
class Status;

// The longest name the companion program can hold (260-byte fields).
inline constexpr std::size_t kMaxDateiname = 259;

// "A" for chart 4, "B" for every other value.
char Kontenrahmenbuchstabe(int kontenrahmen);

std::string NameBuchungskreisVerzeichnis(std::string_view dir, int n);   // BK000001
std::string NameStammdatei(std::string_view dir, int n);                 // BK000001/STAMM001.DAT
std::string NameSaldendatei(std::string_view dir, int n, int kontenrahmen, int jahr);   // .../A2010001.sal
std::string NameSaldenindex(std::string_view dir, int n, int kontenrahmen, int jahr);   // .sdx
std::string NameJournal(std::string_view dir, int n, int kontenrahmen, int jahr);       // .jou
std::string NameJournalindex(std::string_view dir, int n, int kontenrahmen, int jahr);  // .jdx
std::string NameStandardbuchungen(std::string_view dir, int n, int kontenrahmen);       // .../A001.stn
std::string NameDruckdatei(std::string_view dir, int n);                 // BK000001/~print~.tmp
std::string NameDatevdatei(std::string_view dir, int n);                 // BK000001/DATEV001.DAT
std::string NameKumSalden(std::string_view dir);                         // ~ksal~.tmp
std::string NameKumIndex(std::string_view dir);                          // ~ksdx~.tmp

// Old formats: every file directly in the data directory, two-digit number.
std::string NameAltSalden(std::string_view dir, int n, int kontenrahmen, int jahr);        // A201001s.buc
std::string NameAltSaldenindex(std::string_view dir, int n, int kontenrahmen, int jahr);   // s.ndx
std::string NameAltJournal(std::string_view dir, int n, int kontenrahmen, int jahr);       // j.buc
std::string NameAltJournalindex(std::string_view dir, int n, int kontenrahmen, int jahr);  // j.ndx
std::string NameAltJournalOhneJahr(std::string_view dir, int n, int kontenrahmen);         // A01j.buc

// The file names of one booking circle, held by the document.  After a
// cumulation `saldendatei` and `saldenindex` name the cumulated work files.
struct Dateisatz {
  std::string daten;       // data directory the names were built from
  int buchungskreis = 0;
  int jahr = 0;
  int kontenrahmen = 0;

  std::string stammdatei;
  std::string saldendatei;
  std::string saldenindex;
  std::string journal;
  std::string journalindex;
  std::string standardbuchungen;
  std::string druckdatei;
  std::string altSalden;
  std::string altSaldenindex;
  std::string altJournal;
  std::string altJournalindex;
  std::string altJournalOhneJahr;
  std::string datevdatei;

  // Builds every name from daten, buchungskreis, jahr and kontenrahmen.
  void Setze(std::string_view dir, int n, int jahr, int kontenrahmen);
  // Empties every name except the master file.
  void LeereDateinamen();
};

// Fills `satz` for booking circle n in data directory `daten`: probes the
// master file; when it is not usable every other name is emptied and the
// result is 0.  Otherwise reads "Jahr" and "Kontenrahmen" from it, builds
// all names and returns 1.  The messages of opening it go into `status`.
int BildeDateisatz(Dateisatz& satz, std::string_view daten, int n, Status& status);
// Same, with the data directory from the loaded configuration ("Daten").
int BildeDateisatz(Dateisatz& satz, const CIniSB& konfiguration, int n, Status& status);

// True for "/x", "\x" and "X:..." names.
bool IstAbsoluterName(std::string_view name);

}  // namespace kv
