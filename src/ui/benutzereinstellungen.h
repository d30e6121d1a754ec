// What the desktop program remembers for its user: the last selection of
// the cumulation, the last options of every report dialog, and where the
// main window was.  Kept per user by QSettings in the user's configuration
// directory (~/.config/kvkum/kvkum.conf), never in kalvento.ini: that file
// belongs to both programs and to everyone who works in the program
// directory.  Nothing stored yet (the first start) means that every dialog
// proposes what it always proposed.
#pragma once
#include <QSettings>
#include <optional>

#include "app/auswahl.h"

class QMainWindow;
class QWidget;

namespace kvui {

class Benutzereinstellungen : public QSettings {
 public:
  Benutzereinstellungen();
};

// The last accepted selection of "Kummulierungsdaten auswählen".
std::optional<kv::Kumulationsauswahl> LetzteAuswahl();
void MerkeAuswahl(const kv::Kumulationsauswahl& auswahl);

// The options of a report dialog under `schluessel`: the texts of its named
// input fields (the print date excepted: it is always today's), the states
// of its named check boxes and radio buttons.  Proposing clicks a radio
// button that was chosen, so the dialog switches its fields as for a user,
// then fills the fields that are enabled.  Hidden widgets are left alone.
void SchlageBerichtsoptionenVor(QWidget* dialog, const QString& schluessel);
void MerkeBerichtsoptionen(const QWidget* dialog, const QString& schluessel);

// Position and size of the main window; false when none is stored yet.
bool StelleFensterHer(QMainWindow* fenster);
void MerkeFenster(const QMainWindow* fenster);
// Whether the document window was maximised when it was last closed (its
// normal size always fits 80 columns of the booking font).
bool KindMaximiert();
void MerkeKindMaximiert(bool maximiert);

}  // namespace kvui
