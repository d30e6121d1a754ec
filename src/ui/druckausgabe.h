// Printing a finished report from the desktop program: the print dialog and
// the print job.  The pages themselves are painted by seiten/druckseiten.h,
// which kvkum-cli shares for its PDF files.
#pragma once
#include "seiten/druckseiten.h"

class QPrinter;
class QWidget;

namespace kvui {

// Prints pages 1..zustand.Seitenzahl() (or the printer's page range) on an
// already set-up printer.  false when the print job could not start.
bool DruckeBericht(QPrinter& drucker, const kv::Druckzustand& zustand, int ausgabeart,
                   int randOben, const Druckerschriften& schriften);

// The whole print command: the platform's print dialog (no page range,
// pages 1..n), then the job.  With KVKUM_DRUCK_PDF set in the environment
// the dialog is skipped and the report goes into that PDF file.
bool DruckeMitDialog(QWidget* besitzer, const kv::Druckzustand& zustand, int ausgabeart,
                     int randOben, const Druckerschriften& schriften);

}  // namespace kvui
