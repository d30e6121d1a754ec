// The one file class.  Nothing else in the program calls the POSIX file API.
//
// Paths are Windows-1252 texts like every text of the core; they are turned
// into UTF-8 only for the system call.  An existing file is found whatever
// the case of its name (the books come from a Windows program), a new file
// is created under the name given.
//
// Sharing as the Windows program knows it ("other writers denied",
// "exclusive") is emulated with open-file-description locks on bytes far
// beyond any real file size, so two instances of this program (or a test
// holding a lock) see each other's files as in use.
//
// Every call counts towards the fault injector, so a test can make the n-th
// file operation fail and check that the caller copes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

enum class DateiFehler {
  Keiner,
  NichtGefunden,  // the file or a directory on its path does not exist
  Zugriff,        // access denied: read-only file, directory or file system
  Teilung,        // sharing violation: another holder has it open incompatibly
  Sperre,         // lock violation
  Voll,           // disk full (or the file-size limit reached)
  // Not a regular file (a directory, a pipe, a device), or, for a file
  // that would be written through its name, a symbolic link or one of
  // several names of the same file (see Datei::Oeffnen).
  KeineDatei,
  Sonstig,
};

// The user's message for a file that could not be opened or created:
// names the file and the cause.
std::string DateiFehlerText(DateiFehler fehler, const std::string& pfad);

class Datei {
 public:
  enum Modus {
    Lesen,           // existing file, read only
    LesenSchreiben,  // existing file, read and write
    Anlegen,         // create or truncate, read and write
  };
  enum Teilen {
    Geteilt,              // others may read and write
    SchreibenVerweigert,  // others may read, nobody else may write
    Exklusiv,             // nobody else may open it at all
  };

  Datei() = default;
  ~Datei();
  Datei(const Datei&) = delete;
  Datei& operator=(const Datei&) = delete;
  Datei(Datei&& andere) noexcept;
  Datei& operator=(Datei&& andere) noexcept;

  // Only regular files are opened; a pipe or a device behind a name never
  // blocks the program or feeds it endless bytes.  A file that is created
  // or truncated (Anlegen), and the program's own work files whenever they
  // are opened for writing, are never written through a symbolic link or
  // a second hard link: that would overwrite whatever file the link names
  // (a book, a master file).  Books may be read through links.
  bool Oeffnen(const std::string& pfad, Modus modus, Teilen teilen = Geteilt);
  bool IstOffen() const { return fd_ >= 0; }
  // Bytes read (0 at the end of the file), -1 on error.
  int64_t Lies(void* puffer, size_t anzahl);
  // Reads exactly `anzahl` bytes at `position`; false on error or short read.
  bool LiesBei(int64_t position, void* puffer, size_t anzahl);
  // As LiesBei, but safe to call on several threads at once for the same
  // file: changes nothing in this object.  0, or the errno of the failure.
  int LiesBeiGleichzeitig(int64_t position, void* puffer, size_t anzahl) const;
  // Writes all bytes or fails (a short write is a failure, cause Voll).
  bool Schreibe(const void* puffer, size_t anzahl);
  bool SchreibeBei(int64_t position, const void* puffer, size_t anzahl);
  bool Positioniere(int64_t position);
  int64_t Laenge();  // -1 on error
  bool SetzeLaenge(int64_t laenge);
  bool Synchronisiere();
  void Schliessen();

  DateiFehler Fehler() const { return fehler_; }
  const std::string& Pfad() const { return pfad_; }

 private:
  bool Scheitern(int err);
  int fd_ = -1;
  DateiFehler fehler_ = DateiFehler::Keiner;
  std::string pfad_;
};

// Path of an existing file or directory, found case-insensitively component
// by component.  A missing last component keeps its name in the directory
// found (a new file is created in the directory that is there); the path
// as given when a directory on the way does not match.
std::string LoesePfadAuf(const std::string& pfad);

bool DateiExistiert(const std::string& pfad);
// Names of the entries of a directory (without "." and ".."), found
// case-insensitively like a file.  False when it cannot be listed.
bool ListeVerzeichnis(const std::string& pfad, std::vector<std::string>& namen);
bool VerzeichnisExistiert(const std::string& pfad);
bool LoescheDatei(const std::string& pfad);
// Creates one directory; true when it exists afterwards.
bool ErzeugeVerzeichnis(const std::string& pfad);

// The work files of the program ("~ksal~.tmp", "~ksdx~.tmp", "~print~.tmp",
// whatever the case): never written through a link.
bool IstArbeitsdatei(const std::string& pfad);

// File probe: opens for reading and writing and closes again.
// 1 usable, 2 missing, 4 access denied / in use / locked / read-only
// (the file or its directory), 16 disk full, 0 anything else.
int PruefeDatei(const std::string& pfad);
// The same, with the cause of a failure in `ursache` (untouched on 1).
int PruefeDatei(const std::string& pfad, DateiFehler& ursache);
// The probe's value for the reason a file could not be opened.
int ProbeVon(DateiFehler fehler);

// Replaces the whole file safely: writes a temporary file beside it, syncs
// it, renames it over the target (keeping the target's permissions) and
// syncs the directory.  On failure the old file is unchanged.
DateiFehler SpeichereSicher(const std::string& pfad, const std::string& inhalt);

// Fault injection for tests: the n-th file operation from now on (counting
// from 1) fails with the given cause; 0 switches it off.  Counted are every
// open, read, write, seek, length query and change, sync, delete, directory
// creation and listing, and in SpeichereSicher the temporary file's
// creation, each of its writes, its sync and the rename.
struct Fehlerinjektion {
  static void Setze(long nachAufrufen, DateiFehler art = DateiFehler::Sonstig);
  static void Aus();
  static long Aufrufe();        // operations counted since the last Setze/Aus
  static bool Ausgeloest();     // the planned failure has happened
};

}  // namespace kv
