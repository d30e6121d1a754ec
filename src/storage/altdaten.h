// Conversion of the setup data of the older program generation.
//
// Old installations kept the program settings and the list of booking
// circles in "kvsetup.ini": 100-byte records in the DOS code page 850, no
// header.  The last record holds the settings, records 0 to 7 carry the
// function-key texts at offset 73, and record i names booking circle i + 1.
// When "kalvento.ini" is missing, this conversion builds it from the old
// file and creates the directory and master file of every booking circle
// listed there.  The old file is never changed.
#pragma once
#include <string>
#include <string_view>

#include "basis/meldung.h"

namespace kv {

inline constexpr std::string_view kAlteSetupdatei = "kvsetup.ini";
inline constexpr std::string_view kAlteInstallationsdatei = "install.buc";
inline constexpr std::size_t kAltsatzlaenge = 100;

// One byte of code page 850 as Windows-1252 (characters Windows-1252 lacks,
// like box drawings, become the nearest look-alike).
unsigned char Oem850Zu1252(unsigned char zeichen);
std::string Oem850Zu1252(std::string_view text);

// Runs the whole conversion with the files in `programmverzeichnis` (""
// = working directory); a relative data directory of the old file is taken
// relative to it as well.  Succeeds when it converted or there was nothing
// to convert ("install.buc" alone); fails with its message otherwise.  A
// failure before the configuration is written leaves no new files behind.
// A circle whose directory or master file could not be made does not make
// the conversion fail; its messages come along, in the order they arose.
Status KonvertiereAltdaten(std::string_view programmverzeichnis = "");

// Creates one directory.  Succeeds when it exists afterwards.  A bare drive
// ("C:", "C:\") counts as existing.  A file in the way is renamed to
// <path>.$$$ (with a message, also on success); a missing parent gives
// "Folgender Pfadname ist nicht korrekt: ...".
Status LegeVerzeichnisAn(const std::string& pfad);

}  // namespace kv
