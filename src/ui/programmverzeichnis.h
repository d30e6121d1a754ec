// The program directory of the desktop program when it is started from the
// desktop's menu.
//
// The program works in its working directory, like the companion program:
// kalvento.ini there, its key Daten naming the data directory.  Started
// from the menu, the working directory is the user's home, which is no
// program directory; the program would write a kalvento.ini of defaults
// into it and find no books.  The rule, applied once before the main
// window exists:
//
//   1. The working directory holds kalvento.ini (or the files of the old
//      layout that the program converts on its first start): it is the
//      program directory, as it always was.  Nothing else happens.
//   2. Otherwise the per-user program directory $XDG_DATA_HOME/kvkum
//      (~/.local/share/kvkum when XDG_DATA_HOME is unset, empty or not an
//      absolute path) becomes the working directory.  When it does not
//      exist yet, it is made as a copy of the installed sample program
//      directory (share/kvkum/beispiel beside the program's bin/, else in
//      $XDG_DATA_DIRS); an existing one is the user's and is never touched.
//   3. With no sample installed (a program run from its build directory)
//      and no per-user directory yet, nothing is created: the program stays
//      in the working directory as before.
//
// When the per-user directory cannot be made or entered, the program stays
// in the working directory too, and the returned status says why.
#pragma once
#include <string>

#include "basis/meldung.h"

namespace kvui {

// What the rule reads from the process's environment, so that a test can
// give its own.  Paths as the system has them (UTF-8).
struct Startumgebung {
  std::string xdgDataHome;  // $XDG_DATA_HOME (empty when unset)
  std::string home;         // $HOME
  std::string xdgDataDirs;  // $XDG_DATA_DIRS (empty: /usr/local/share:/usr/share)
  std::string programm;     // the running program's file (/proc/self/exe)
};

Startumgebung LeseStartumgebung();

// The per-user program directory by the XDG rule; empty when neither
// XDG_DATA_HOME nor HOME gives an absolute path.
std::string BenutzerProgrammverzeichnis(const Startumgebung& u);

// The installed sample program directory: share/kvkum/beispiel beside the
// program's bin/, else the first one in $XDG_DATA_DIRS; empty when none is
// there.
std::string FindeBeispiel(const Startumgebung& u);

// Creates `ziel` as a copy of `muster` (with its parents, the new ones
// readable by the user only, as XDG asks).  The copy is made beside it
// under a temporary name and renamed into place, so a copy cut short or a
// second program starting at the same moment never leaves a half-filled
// directory under the name; a `ziel` that exists already is left as it is.
// Fails with a message naming the directory.
kv::Status LegeProgrammverzeichnisAn(const std::string& ziel, const std::string& muster);

// Applies the rule above: changes the working directory when it has to.
// The status carries the messages to show once the main window is there.
kv::Status BetreteProgrammverzeichnis(const Startumgebung& u);
inline kv::Status BetreteProgrammverzeichnis() {
  return BetreteProgrammverzeichnis(LeseStartumgebung());
}

}  // namespace kvui
