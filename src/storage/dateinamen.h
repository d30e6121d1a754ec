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
std::string NameKonfiguration(std::string_view dir);                     // kalvento.ini

// Old formats: every file directly in the data directory, two-digit number.
std::string NameAltSalden(std::string_view dir, int n, int kontenrahmen, int jahr);        // A201001s.buc
std::string NameAltSaldenindex(std::string_view dir, int n, int kontenrahmen, int jahr);   // s.ndx
std::string NameAltJournal(std::string_view dir, int n, int kontenrahmen, int jahr);       // j.buc
std::string NameAltJournalindex(std::string_view dir, int n, int kontenrahmen, int jahr);  // j.ndx
std::string NameAltJournalOhneJahr(std::string_view dir, int n, int kontenrahmen);         // A01j.buc

// Tax-audit export (GDPdU) below the booking-circle directory.
std::string NameGdpduVerzeichnis(std::string_view dir, int n);                 // BK000001/GDPdU
std::string NameGdpduJahrVerzeichnis(std::string_view dir, int n, int jahr);   // .../GDPdU/2010
std::string NameGdpduBeschreibung(std::string_view dir, int n, int jahr);      // .../2010/index.xml
std::string NameGdpduDtd(std::string_view dir, int n, int jahr);  // .../2010/gdpdu-01-08-2002.dtd
// Where the document type is copied from: "progdata/gdpdu-01-08-2002.dtd"
// below the program directory.
std::string NameGdpduDtdQuelle(std::string_view programmverzeichnis);
// Data files; suffix one of "-jou.txt", "-kas.txt", "-kto.txt", "-sal.txt".
std::string NameGdpduDatei(std::string_view dir, int n, int jahr, std::string_view suffix);
std::string GdpduDateiname(int jahr, std::string_view suffix);  // "2010-jou.txt"

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
// all names and returns 1.
int BildeDateisatz(Dateisatz& satz, std::string_view daten, int n);
// Same, with the data directory from the loaded configuration ("Daten").
int BildeDateisatz(Dateisatz& satz, const CIniSB& konfiguration, int n);

// Balances file, journal, balances index and journal index: 2 when the
// balances file or the journal is missing, else 1 all usable, 4 any in use or
// access denied, else 0.
int PruefeHauptdateien(const Dateisatz& satz);
// Old balances and old journal: 2 when both are missing, else 1 both usable,
// 4 either in use or access denied, else 0.
int PruefeAltdateien(const Dateisatz& satz);

// True for "/x", "\x" and "X:..." names.
bool IstAbsoluterName(std::string_view name);
// A user-given file name as a path: absolute names stay; "../NAME" or
// "..\NAME" is relative to the data directory; anything else goes into the
// directory of booking circle n.
std::string LoeseDateinamenAuf(std::string_view name, std::string_view daten, int n);

}  // namespace kv
