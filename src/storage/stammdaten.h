// The master file STAMMnnn.DAT of a booking circle, section
// "[BUCHUNGSKREIS]", shared with the companion bookkeeping program.
//
// Stammdaten mirrors the keys and adds fields derived from the booking year
// on every read.  Reading completes a file: a missing key is added with the
// value a new file gets, and the file is saved only when something was added.
//
// Only a master file is completed (IstStammdateitext).  A file that merely
// lacks some keys is one; an empty file, a binary one or one with LF or CR
// line ends only is not: defaults written into it would make it pass for a
// circle with chart 03, first month 01 and the name "Name".  Such a file is
// no usable circle for any reader, and nothing is ever written into it
// except by the user's own save in the booking-circle administration.
//
// The booking year is not read from the file here: the owner copies it from
// "Jahr" (as the file set read it) into `jahr` before LeseStamm.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "storage/inidatei.h"

namespace kv {

inline constexpr std::string_view kStammsektion = "[BUCHUNGSKREIS]";
// Layout version of master files: "W" and six digits.
inline constexpr std::string_view kStammversion = "W001001";

// True for the text of a master file: lines as IstZeilentext describes them
// (CR LF, no binary bytes), in which at least one of "Name", "Jahr" and
// "Kontenrahmen" is found in "[BUCHUNGSKREIS]" the way LeseWert finds it.
// Every master file the companion program, the booking-circle
// administration or the conversion of old setup data writes is one.
bool IstStammdateitext(std::string_view text);

// All texts are NUL-terminated Windows-1252, cut to their field; flags 0/1.
struct Stammdaten {
  char name[57] = {};          // "Name"
  std::string nameText;        // the same name as a string
  char passwort[35] = {};      // "BK-Passwort" (plain text here)
  int32_t kontenrahmen = 0;    // "Kontenrahmen": 3 = KR03, 4 = KR04
  int32_t jahr = 0;            // booking year code, set by the owner
  int32_t ersterMonat = 0;     // "1.Monat": first month of the financial year
  int32_t mwst = 0;            // "MwSt"
  int32_t euRechnung = 0;      // "EÜ-Rechnung": profit by cash accounting
  char waehrung1[4] = {};      // "Währung1"
  char waehrung2[4] = {};      // "Währung2"
  char waehrungsfaktor[8] = {};  // "Währungsfaktor"
  char autoBeleg[8] = {};      // "Auto-Beleg": next voucher number, "%06.f"
  std::string autoBelegText;   // the same counter as a string

  // Derived on every read.
  int32_t geteiltesJahr = 0;          // booking year spans two calendar years
  int32_t autoNummerierung = 0;       // voucher counter at least 1
  int32_t ersterPeriodenmonat = 0;    // calendar month of period 1
  int32_t letzterPeriodenmonat = 0;   // calendar month of period 12
  int32_t startjahr = 0;              // two digits
  int32_t endjahr = 0;                // two digits
  int32_t startjahrVoll = 0;          // four digits
  int32_t endjahrVoll = 0;            // four digits
  char startjahrText[5] = {};         // "%02i"
  char endjahrText[5] = {};

  char elsterStNr[14] = {};      // "ElsterStNr"
  char elsterFaNr[9] = {};       // "ElsterFaNr"
  char elsterName[46] = {};      // "ElsterName"
  char elsterStrasse[31] = {};   // "ElsterStrasse"
  char elsterPlz[6] = {};        // "ElsterPlz"
  char elsterOrt[30] = {};       // "ElsterOrt"
  char elsterTelefon[21] = {};   // "ElsterTelefon"
  char elsterEmail[71] = {};     // "ElsterEmail"
  char datevStbNr[8] = {};       // "DatevStbNr"
  char datevMandantNr[6] = {};   // "DatevMandantNr"
  char datevDFV[3] = {};         // "DatevDFV"
  char datevPasswort[5] = {};    // "DatevPasswort" (stored in plain text)
  char datevDatenTrNr[4] = {};   // "DatevDatenTrNr"
  char datevAbrechNr[7] = {};    // "DatevAbrechNr"
  char datevVon[6] = {};         // "DatevVon"
  char datevBis[6] = {};         // "DatevBis"
  char datevWaehrung[4] = {};    // "DatevWaehrung"
  char datevExpPfad[260] = {};   // "DatevExpPfad"
};

class CIniBK : public CIniDatei {
 public:
  Stammdaten stamm;

  // Sets "Version" to "Auto-Beleg" to the values of a new file and adds the
  // Elster and DATEV keys that are missing (keeping existing ones), in the
  // loaded text only: the caller writes its own values over them and saves
  // everything at once.
  void SetzeStandardwerte();
  // Fills `stamm` from the file, adding missing keys (saved only then).
  // When the file cannot be opened, or only in part, the text loaded before
  // is used.  1, the failed save's result, or the result of Oeffnen when
  // that failed; 0 when the text is no master file: then `stamm` is left as
  // it was and nothing is written.  The messages of opening and saving go
  // into `status`.
  int LeseStamm(Status& status);
  // Fills `stamm` from the text loaded before, a missing key with the value
  // of a new file, in the record only; the file is neither opened nor
  // written.  1, or 0 when the text is no master file (`stamm` unchanged).
  int LeseStammOhneErgaenzung();

 private:
  // Fills `stamm` from the loaded text; a missing key gets the value of a
  // new file, written into the text as well when `ergaenzen`.  True when
  // something was written.
  bool FuelleStamm(bool ergaenzen);
};

// Holds no data; exists beside CIniBK for the companion program's layout.
class CStammIni {};

}  // namespace kv
