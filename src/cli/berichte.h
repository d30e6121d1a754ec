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
struct Berichtskontext;

// The report commands and their own options (without the selection options).
const std::vector<Befehlsbeschreibung>& Berichtsbefehle();

// The options of a report command, checked by the rules of its options
// dialog and of the print date before anything runs: `kontext` needs only
// the configuration (the highest month).  Also refused here, naming the
// options, is what the dialog lets pass but can only give a report of
// zeros: "from" month after "to" month, an account range from above its
// end, a pattern of five places that no account of five places can meet.
// 0 when right, 2 after the messages.  FuehreBerichtAus checks the same
// again on the cumulation's context, which then cannot fail.
int PruefeBerichtsoptionen(const std::string& befehl, const Argumente& argumente,
                           const Berichtskontext& kontext);

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
