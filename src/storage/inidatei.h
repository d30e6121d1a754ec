// The INI-style text files shared with the companion program: "kalvento.ini"
// and the master files STAMMnnn.DAT.
//
// The whole file is held as one Windows-1252 text.  Sections and keys are
// found by plain, case-sensitive substring search, edits are made in place in
// the text, and the whole text is written back by Speichern.  The byte layout
// is the interchange format with the companion program:
//
//   ; Diese Datei darf in keinem Fall manuell bearbeitet werden!<CR LF>
//   <CR LF>
//   [SECTION]<CR LF>
//   key=value<CR LF>
//
// A key is searched as CR LF + key + "=", starting at the first occurrence of
// the bracketed section text and NOT bounded by the next section header, so
// "Rand" never matches the line of "Rand oben", and a key missing from its
// own section is found in a later one.  No blanks are trimmed anywhere.
//
// The text grows as needed: a file of any size survives reading and saving
// byte for byte, except for the lines that were changed.  Saving replaces the
// file atomically, so a failed save leaves the old file untouched.
//
// Calling order: SetzeDateiname, Oeffnen(0) (reads the text), LeseWert /
// SchreibeWert, Speichern when anything was written, Schliessen.  The text
// stays loaded after Schliessen, so values can still be read.
//
// Nothing here shows a message.  An operation that can fail adds its
// messages to the `status` it is given (each one an error, which marks the
// status as failed), in the order they arise; its result says what
// happened.  A caller that opens a file only to try (and tries again later)
// simply drops them.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "basis/datei.h"
#include "basis/meldung.h"

namespace kv {

// First line of every file this program creates.
inline constexpr std::string_view kIniKopfzeile =
    "; Diese Datei darf in keinem Fall manuell bearbeitet werden!";

// The longest value LeseWert hands out.
inline constexpr std::size_t kMaxWertlaenge = 128;
// The longest path the companion program can hold (260-byte field).
inline constexpr std::size_t kMaxPfadlaenge = 259;
// A stored password holds at most this many characters.
inline constexpr std::size_t kMaxPasswortlaenge = 32;

class CIniDatei {
 public:
  CIniDatei() = default;
  virtual ~CIniDatei() = default;
  CIniDatei(const CIniDatei&) = delete;
  CIniDatei& operator=(const CIniDatei&) = delete;

  // Takes at most 259 characters of the path.
  void SetzeDateiname(std::string_view pfad);
  const std::string& Dateiname() const { return pfad_; }

  // Opens the file and loads its text; a missing file is first created with
  // the header line.  exklusiv 1: read only, nobody else may open it;
  // 0: read and write, shared.  Result: 1 opened; 64 path empty or blank;
  // 4 access denied / in use / locked / read-only; 16 disk full; 0 other
  // failure (a message when creating or opening failed).  1 with a message
  // is a file opened but read only in part.  The probe's 4, 16 and 0 come
  // without a message: a caller that must not fail silently says so itself.
  int Oeffnen(int exklusiv, Status& status);
  // As Oeffnen(0) for a file that is there; a missing one is not created.
  // 1 opened; otherwise what the file probe gives (2 missing, 4 in use ...),
  // without a message.
  int OeffneVorhandene(Status& status);
  // Loads the text of a file that is there through a read-only open and
  // closes it again, for a file that may be read but not written (a
  // read-only file or directory): nothing can be saved into it afterwards.
  // 1 loaded; 0 read error (message); otherwise what the file probe gives
  // for the failed open (2 missing, 4 in use by an exclusive holder or not
  // readable ...), without a message.
  int LadeNurLesend(Status& status);
  // Reloads the whole text.  1 read; 0 read error (message); 32 not open
  // (message).
  int Einlesen(Status& status);
  // Value of `schluessel` after the section `sektion` (bracketed text).
  // 1 found; 0 not found (destination "") or section/key empty (destination
  // untouched).  Values are cut to 128 characters, and further to the
  // destination's size (capacity minus the terminating NUL).
  int LeseWert(std::string_view sektion, std::string_view schluessel, std::string& ziel) const;
  int LeseWert(std::string_view sektion, std::string_view schluessel, char* ziel,
               std::size_t groesse) const;
  template <std::size_t N>
  int LeseWert(std::string_view sektion, std::string_view schluessel, char (&ziel)[N]) const {
    return LeseWert(sektion, schluessel, ziel, N);
  }
  // Sets the value in the text (replacing the key's line in place, or
  // appending it at the end of the text).  3000 done; 0 when section or key
  // is empty.  Nothing reaches the disk before Speichern.
  int SchreibeWert(std::string_view sektion, std::string_view schluessel, std::string_view wert);
  // Writes the whole text.  1 written; 0 write error (message, old file
  // unchanged); 32 not open (message).
  int Speichern(Status& status);
  void Schliessen();

  bool IstOffen() const { return offen_; }
  // The loaded text, as it would be written.
  const std::string& Text() const { return text_; }

  // The scrambling of the "Passwort" and "BK-Passwort" values.
  static std::string Verschluessele(std::string_view klartext);
  static std::string Entschluessele(std::string_view gespeichert);
  static bool IstPasswortschluessel(std::string_view schluessel);

 protected:
  // Puts a text in place of the loaded one (for a reader that falls back on
  // a text loaded earlier); it is not saved unless the file is open.
  void SetzeText(std::string text) { text_ = std::move(text); }

 private:
  // Closes, forgets the text and checks the path: 1 to go on, otherwise
  // what Oeffnen returns (64 blank path, 0 cut path with its message).
  int Beginne(Status& status);
  // The error `muster` with "%s" as the path, added to `status`.
  void Fehlermeldung(std::string_view muster, Status& status) const;

  std::string pfad_;
  bool pfadGekuerzt_ = false;
  std::string text_;
  Datei datei_;
  bool offen_ = false;
  bool exklusiv_ = false;
  // False after a failed or partial read: saving such a text would replace
  // the file with a fragment of it.
  bool vollstaendig_ = true;
};

// Where the value of `schluessel` begins in `text`, found the way LeseWert
// finds it (CR LF + key + "=" after the first occurrence of the section);
// npos when it is not there.
std::size_t Wertanfang(std::string_view text, std::string_view sektion,
                       std::string_view schluessel);

// True for a text of lines as this engine and the companion program write
// them: at least one CR LF, and no binary bytes, that is no NUL and no
// control byte other than TAB, CR, LF and the end-of-file mark 0x1A.  The
// values of "Passwort" and "BK-Passwort" lines are exempt from the control
// byte rule: scrambling turns digits and punctuation into control bytes.
// An empty text, a text with LF or CR line ends only, and a binary file are
// no such text; completing one with keys and saving it would bury it under
// lines that make it pass for a valid file.
bool IstZeilentext(std::string_view text);

// The conversions of decimal text used for values of these files, the way C's
// atoi and atof read them but independent of the locale: leading white
// space, a sign and as many digits as follow; 0 when nothing is a number.
// Ganzzahl saturates at the int32 limits.
int Ganzzahl(std::string_view text);
double Dezimalzahl(std::string_view text);

}  // namespace kv
