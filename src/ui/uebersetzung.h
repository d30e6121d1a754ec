// Qt's own texts (the print dialog, the file dialogs, the standard buttons
// and their messages) in the user's language, as far as Qt has them, and in
// German otherwise: the program's own texts are German, and a print dialog
// in English beside them leaves a first-time user guessing.  The
// translations are Debian's qt6-translations-l10n (qtbase_*.qm in Qt's
// TranslationsPath).
#pragma once
#include <QLocale>
#include <QString>

class QCoreApplication;

namespace kvui {

// Installs the translation of qtbase for `gebiet` from `verzeichnis`, or the
// German one when Qt has none for it.  Returns the file loaded, "" when
// none could be (the translations are not installed: Qt stays English).
QString LadeQtUebersetzung(QCoreApplication& app, const QLocale& gebiet,
                           const QString& verzeichnis);
// The same for the system's locale and Qt's TranslationsPath.
QString LadeQtUebersetzung(QCoreApplication& app);

}  // namespace kvui
