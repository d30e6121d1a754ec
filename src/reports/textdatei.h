// Text-file output of a finished report: the name the user types, its
// completion into a path, and the byte-for-byte copy of the print work
// file.  The name dialog itself is a window of the desktop program.
//
// The names follow the Windows program: "\" separates directories; on
// Linux "/" is accepted as well and every "\" becomes "/" in the path.
#pragma once
#include <string>
#include <string_view>

#include "basis/meldung.h"

namespace kv {

// The name field starts with this text.
inline constexpr const char* kTextdateiVorgabe = "kv.txt";

// Check on every change of the name field.  Allowed: letters a-z and A-Z,
// digits, "-", "_", "~", "\", "/", "." and ":" as the second character after
// a drive letter.  On a wrong character the 8.3 message is added to `status`
// and the position of the first wrong character is returned; -1 when the
// text is clean.  The text itself stays as typed.
int PruefeTextdateiname(const std::string& name, Status& status);

// Completes a typed name (D = data directory, n = open booking circle):
// a drive name ("A:...") or a name starting with "\" or "/" stays as it is;
// "..\NAME" goes next to the data directory (D/../NAME, or NAME when D is
// empty); any other name into the booking circle's directory.
std::string VervollstaendigeTextdateiname(const std::string& datenverzeichnis, int buchungskreis,
                                          const std::string& name);

// Files a text file must never replace.  A typed name lands in the booking
// circle's directory beside the books, next to the data directory beside
// kalvento.ini, or anywhere at all, and copying a report over a balances
// file or the configuration destroys it without a word.  So the final name
// of the completed path is judged, whatever its case (the books come from
// Windows, and the file class opens an existing file whatever the case of
// its name):
//   Buchhaltungsdaten  *.sal *.sdx (balances, index), *.jou *.jdx (journal,
//                      index), *.stn (standard bookings), STAMMnnn.DAT,
//                      DATEVnnn.DAT, the old formats *.buc *.ndx (with
//                      install.buc) and the old setup list kvsetup.ini
//   Programmdatei      kalvento.ini, callkvo.bat, kalvento.exe, kalvento.chm
//   Arbeitsdatei       ~ksal~.tmp, ~ksdx~.tmp, ~print~.tmp (the last one is
//                      the very report being copied)
// Whole extensions are refused, not only the names the programs build for
// the open circle: a report is never called "x.sal", and a book of another
// year or circle is worth as much.  The GDPdU exports are not among them;
// the companion program writes them anew on every export.
enum class Dateischutz { Frei, Buchhaltungsdaten, Programmdatei, Arbeitsdatei };
Dateischutz SchutzDerDatei(std::string_view pfad);

// On OK of the name dialog and before every copy: a failure with the
// message that names the file and the reason when the completed path is one
// of the files above.
Status PruefeTextdateiziel(const std::string& pfad);

// Copies the work file into the text file (an existing one is emptied) in
// blocks of 32768 bytes.  A failure with its message when not done, also
// for a target refused by PruefeTextdateiziel.  A read or write error in
// the middle removes the partly written text file.
Status KopiereTextdatei(const std::string& druckdatei, const std::string& ziel);

}  // namespace kv
