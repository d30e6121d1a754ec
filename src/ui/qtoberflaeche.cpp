#include "ui/qtoberflaeche.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/fortschrittsfenster.h"
#include "ui/meldungsbox.h"
#include "ui/qtext.h"

namespace kvui {

QtOberflaeche::QtOberflaeche() { kv::SetzeOberflaeche(this); }
QtOberflaeche::~QtOberflaeche() { kv::SetzeOberflaeche(nullptr); }

void QtOberflaeche::Meldung(int art, const std::string& titel, const std::string& text) {
  CMyMessageBoxDlg::Zeige(text, titel, art);
}

void QtOberflaeche::StandardMeldung(const std::string& text) {
  // Owned by the dialog that raised it; the cumulation's checks have none.
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"), Q(text), QMessageBox::Ok,
                  QApplication::activeModalWidget());
  box.exec();
}

std::unique_ptr<kv::FortschrittsFenster> QtOberflaeche::ErzeugeFortschritt() {
  return std::make_unique<QtFortschrittsFenster>(Meldungsbesitzer());
}

void QtOberflaeche::SetzeBezugszeile(const std::string& text) {
  if (ansicht_) ansicht_->SetzeBezugszeile(Q(text));
}
void QtOberflaeche::LeereListe() {
  if (ansicht_) ansicht_->LeereListe();
}
void QtOberflaeche::FuegeListeHinzu(const std::string& zeile) {
  if (ansicht_) ansicht_->FuegeListeHinzu(Q(zeile));
}
void QtOberflaeche::Aktualisiere() {
  // Repaint only: the user must not start another command mid-cumulation.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace kvui
