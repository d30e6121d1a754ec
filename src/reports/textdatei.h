// Text-file output of a finished report: the name the user types, its
// completion into a path, and the byte-for-byte copy of the print work
// file.  The name dialog itself is a window of the desktop program.
//
// The names follow the Windows program: "\" separates directories; on
// Linux "/" is accepted as well and every "\" becomes "/" in the path.
#pragma once
#include <string>

namespace kv {

// The name field starts with this text.
inline constexpr const char* kTextdateiVorgabe = "kv.txt";

// Check on every change of the name field.  Allowed: letters a-z and A-Z,
// digits, "-", "_", "~", "\", "/", "." and ":" as the second character after
// a drive letter.  On a wrong character the 8.3 message is shown and the
// position of the first wrong character is returned; -1 when the text is
// clean.  The text itself stays as typed.
int PruefeTextdateiname(const std::string& name);

// Completes a typed name (D = data directory, n = open booking circle):
// a drive name ("A:...") or a name starting with "\" or "/" stays as it is;
// "..\NAME" goes next to the data directory (D/../NAME, or NAME when D is
// empty); any other name into the booking circle's directory.
std::string VervollstaendigeTextdateiname(const std::string& datenverzeichnis, int buchungskreis,
                                          const std::string& name);

// Copies the work file into the text file (an existing one is emptied) in
// blocks of 32768 bytes.  1 done; 0 not done (message shown).  A read or
// write error in the middle removes the partly written text file.
int KopiereTextdatei(const std::string& druckdatei, const std::string& ziel);

}  // namespace kv
