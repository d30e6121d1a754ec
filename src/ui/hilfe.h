// The user manual (docs/handbuch/ in the source tree, installed as
// share/doc/kvkum/handbuch) in the program's help window.  The window is a
// QTextBrowser of the program itself, so a user without a browser still
// gets the manual; its "Im &Browser öffnen" hands the page to the desktop's
// browser for whoever prefers that.  The companion program's help file
// kalvento.chm needs a viewer that Linux does not have; it is not offered.
#pragma once
#include <QStringList>
#include <QWidget>

class QTextBrowser;

namespace kvui {

// Where the manual is looked for, in this order: $KVKUM_HANDBUCH (a
// directory, or its index.html), <directory of the program>/../share/doc/
// kvkum/handbuch (where the package installs it), the source tree's
// docs/handbuch (a program run from its build directory).  Empty entries
// are left out.
QStringList Handbuchorte(const QString& umgebung, const QString& programmverzeichnis,
                         const QString& quelle);
// The same for this process.
QStringList Handbuchorte();
// The index.html of the first place that has one, or "".
QString FindeHandbuch(const QStringList& orte);

class CHilfeFenster : public QWidget {
  Q_OBJECT
 public:
  CHilfeFenster(const QString& index, QWidget* besitzer);
  QTextBrowser* Browser() const { return browser_; }
  // Shows `seite` of the manual ("" for the contents; "seite.html#anker").
  void ZeigeSeite(const QString& seite);

 private:
  QString index_;
  QTextBrowser* browser_ = nullptr;
};

// Opens the manual at `seite` in the help window (one per main window,
// raised when it is open already).  When no manual is found the user gets a
// message naming the places searched; never silence.
void OeffneHandbuch(QWidget* besitzer, const QString& seite = QString(),
                    const QStringList& orte = Handbuchorte());

}  // namespace kvui
