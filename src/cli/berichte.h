// The report commands of kvkum-cli.
//
// kumulieren is handled by the program itself.  Every other command is looked
// up in Berichtsbefehle(): the parser accepts exactly the options listed
// there (and the selection options every command takes), and --help prints
// their descriptions.  After the opening sequence and the cumulation have run
// on the document, main() hands the command to FuehreBerichtAus, also when
// the cumulation did not run (the report then says so and refuses).
#pragma once
#include <string>
#include <vector>

#include "cli/argumente.h"

namespace kv {

class CKv02Doc;

// The report commands and their own options (without the selection options).
const std::vector<Befehlsbeschreibung>& Berichtsbefehle();

// Runs one report command.  Exit code: 0 done, 1 the cumulation did not run
// or the report failed (a text file refused or not written among them),
// 2 input refused by the options dialog's rules, 4 the report was put out
// but the cumulation under it is incomplete (an amount not added or an
// account not written; a line "ACHTUNG: ..." on stderr says so).  The
// overview of the booking circles does not depend on the cumulation and
// never ends with 4.  Messages go through the installed user interface
// (stderr); the report itself goes to stdout.
int FuehreBerichtAus(const std::string& befehl, Argumente& argumente, CKv02Doc& dokument);

}  // namespace kv
