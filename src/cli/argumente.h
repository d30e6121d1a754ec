// Parsed command line of kvkum-cli.
//
// The selection texts are kept exactly as typed: they are checked later by
// the same rules as the selection dialog, so that the command line refuses
// what the dialog refuses, with the dialog's message.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/auswahl.h"
#include "basis/meldung.h"

namespace kv {

struct Argumente {
  std::string programmverzeichnis;  // -C DIR; empty: the working directory
  std::string befehl;               // "kumulieren" or a report command

  // Selection (UTF-8 as typed on the command line).
  std::string jahr;
  std::string von;
  std::string bis;
  std::string bezug;
  std::optional<std::string> passwort;

  // Further options of the command, without the leading "--".  An option
  // without a value maps to "".
  std::map<std::string, std::string> optionen;

  bool Hat(const std::string& name) const { return optionen.count(name) != 0; }
  std::string Wert(const std::string& name, const std::string& vorgabe = "") const {
    auto it = optionen.find(name);
    return it == optionen.end() ? vorgabe : it->second;
  }
};

// One option of a command, for the parser and for --help.
struct Befehlsoption {
  std::string name;     // without "--", e.g. "stichmonat"
  bool mitWert = false; // takes the next argument as its value
  std::string wertname; // shown in the help, e.g. "M"
  std::string hilfe;    // German / English, UTF-8
};

struct Befehlsbeschreibung {
  std::string name;
  std::string hilfe;    // German / English, UTF-8
  std::vector<Befehlsoption> optionen;
};

// Result of parsing: an exit code to end with at once (help, refused
// command line) or nothing (go on).
struct Parsergebnis {
  std::optional<int> ende;
  std::string meldung;  // UTF-8, printed on stderr (help goes to stdout)
  std::string hilfe;    // UTF-8, printed on stdout
};

Parsergebnis ParseArgumente(const std::vector<std::string>& argv, Argumente& argumente);
std::string Hilfetext();

// The selection of the command line, checked before anything runs.  The
// dialog's fields drop every character but digits while the user types, so
// they never hold "3abc"; a command line is not typed, and a number with
// anything else in it is refused rather than read as its leading digits:
// each field must be digits only.  A field that is not counts as empty, so
// the message is the dialog's for that field, in the dialog's order
// (reference, from, to).  Then the year, which the dialog does not check:
// digits only too (a year without books is told later, by the run).
// Succeeds with `auswahl` filled.
Status PruefeAuswahl(const Argumente& argumente, Kumulationsauswahl& auswahl);

}  // namespace kv
