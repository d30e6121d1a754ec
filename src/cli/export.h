// The exports of kvkum-cli's report commands: --csv, --json and --pdf, each
// with a file name ("-" for standard output, CSV and JSON only).  CSV and
// JSON come from the report's model, the PDF from the finished pages as the
// printer gets them.
#pragma once
#include <vector>

#include "app/berichtsbefehle.h"
#include "cli/argumente.h"

namespace kv {

class CIniSB;

// The export options every report command takes.
std::vector<Befehlsoption> Exportoptionen();
// Whether any export was asked for, and whether one goes to stdout.
bool MitExport(const Argumente& argumente);
bool ExportAufStdout(const Argumente& argumente);
// The options' own checks before anything runs ("-" for a PDF, a PDF
// without Qt); 0, or 2 after the message.
int PruefeExportoptionen(const Argumente& argumente);
// Writes the exports asked for, once the report's pages are written (the
// model is computed again from the same cumulated books and selection).
// Each file written is named on stdout unless an export goes there.  0 when
// all were written; 1 after the message of the first that failed.
int Exportiere(const Argumente& argumente, const Berichtsbefehl& befehl,
               const Berichtskontext& kontext, const Berichtsangaben& angaben,
               const Druckzustand& zustand, int ausgabeart, int randOben,
               const CIniSB& konfiguration);

}  // namespace kv
