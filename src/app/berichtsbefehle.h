// The report commands, written once for the menu of the desktop program and
// for kvkum-cli.
//
// A command has its number in the menu, its name on the command line, the
// options dialog whose checked values it takes, and what it runs on them:
// the selection filled from the values, the generator, the report kind for
// the outputs.  Asking for the values stays with the caller: the desktop
// program opens the Qt dialog, kvkum-cli takes them from its options; both
// check them with the dialog rules (reports/dialogregeln.h).  Running a
// command is the boundary of the user's operation: it shows the messages of
// the report (Zeige), in the order they arose.
#pragma once
#include <string_view>
#include <variant>
#include <vector>

#include "reports/berichtskontext.h"
#include "reports/berichtsmodell.h"
#include "reports/dialogregeln.h"
#include "reports/druck.h"

namespace kv {

// Menu numbers of the reports over the cumulation run itself, for the
// desktop program's menu (app/protokoll.h, app/kreisspiegel.h).  The
// protocol takes the print date alone (Optionsdialog::Keiner); the
// breakdown the values of the Kontenverläufe dialog (account choice, month,
// print date), its month being a cut-off month 0 to 13 like the
// Saldenbilanz's.  Both find the run through the context (KumulationZu).
constexpr int kBefehlProtokoll = 32870;     // "Kummulierungsprotokoll", kvkum-cli protokoll
constexpr int kBefehlKreisspiegel = 32871;  // "Buchungskreisspiegel", kvkum-cli spiegel

// The options dialog a command takes its values from; Saldenbilanz and
// Bilanz share one.  The overview has none but the print date.
enum class Optionsdialog { Keiner, Stichmonat, Erfolg, Saldenliste, Auswertung, Kontenverlauf };

// The checked values of the options dialog, of the alternative its kind
// has: Keiner the print date, Stichmonat a StichmonatDialog and so on.
using Berichtsangaben = std::variant<Datum, StichmonatDialog, ErfolgsDialog, SaldenlisteDialog,
                                     AuswertungDialog, KontenverlaufDialog>;

struct Berichtsergebnis {
  bool erstellt = false;  // the whole report is in the work file
  int ausgabeart = 0;     // its kind, for the outputs
};

struct Berichtsbefehl {
  int id;                 // menu command (32813 "Ausgabe der Saldenbilanz" ...)
  std::string_view name;  // kvkum-cli command
  Optionsdialog dialog;
  // False only for the overview of the booking circles, which lists the
  // data directory: it runs without a cumulation, and an incomplete one
  // does not concern it.
  bool brauchtKumulation;
  // The desktop program offers the outputs after a failed report as well
  // (they show what was written); not after a failed overview.
  bool ausgabeNachFehler;
  // Fills `auswahl` from the values, writes the report into the work file
  // of `zustand` and shows its messages.
  Berichtsergebnis (*erstelle)(const Berichtskontext& kontext, const Berichtsangaben& angaben,
                               Druckauswahl& auswahl, Druckzustand& zustand);
};

// The model of the report a command makes, from the checked values of its
// dialog and the cumulated books (reports/berichtsmodell.h): what the
// exports are written from.  A failure (no cumulation) with its messages;
// a model whose data could not be read carries that in its `abbruch`.  Made
// after the report's pages: the overview's messages about single master
// files, shown then, are not repeated.
Status ErstelleBerichtsmodell(const Berichtsbefehl& befehl, const Berichtskontext& kontext,
                              const Berichtsangaben& angaben, Berichtsmodell& modell);

// Every report command, in the order of the menu.
const std::vector<Berichtsbefehl>& Berichtsbefehlstabelle();
// The command with this menu number or kvkum-cli name; nullptr for none.
const Berichtsbefehl* BerichtsbefehlNr(int id);
const Berichtsbefehl* BerichtsbefehlNamens(std::string_view name);

}  // namespace kv
