#include "ui/benutzereinstellungen.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QRadioButton>

#include "ui/qtext.h"

namespace kvui {

namespace {
const QString kAuswahl = QStringLiteral("Auswahl");
const QString kBerichte = QStringLiteral("Berichte/");

// Named widgets of a report dialog that carry an option.
bool Merkbar(const QWidget* w) {
  return !w->objectName().isEmpty() && !w->isHidden() &&
         w->objectName() != QLatin1String("druckdatum");
}
}  // namespace

Benutzereinstellungen::Benutzereinstellungen()
    : QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("kvkum"),
                QStringLiteral("kvkum")) {}

std::optional<kv::Kumulationsauswahl> LetzteAuswahl() {
  Benutzereinstellungen s;
  s.beginGroup(kAuswahl);
  if (!s.contains(QStringLiteral("bezug"))) return std::nullopt;
  kv::Kumulationsauswahl a;
  a.jahr = W1252(s.value(QStringLiteral("jahr")).toString());
  a.von = s.value(QStringLiteral("von")).toInt();
  a.bis = s.value(QStringLiteral("bis")).toInt();
  a.bezug = s.value(QStringLiteral("bezug")).toInt();
  return a;
}

void MerkeAuswahl(const kv::Kumulationsauswahl& auswahl) {
  Benutzereinstellungen s;
  s.beginGroup(kAuswahl);
  s.setValue(QStringLiteral("jahr"), Q(auswahl.jahr));
  s.setValue(QStringLiteral("von"), auswahl.von);
  s.setValue(QStringLiteral("bis"), auswahl.bis);
  s.setValue(QStringLiteral("bezug"), auswahl.bezug);
}

void SchlageBerichtsoptionenVor(QWidget* dialog, const QString& schluessel) {
  Benutzereinstellungen s;
  s.beginGroup(kBerichte + schluessel);
  if (s.childKeys().isEmpty()) return;
  for (QRadioButton* r : dialog->findChildren<QRadioButton*>()) {
    if (Merkbar(r) && s.value(r->objectName()).toBool() && !r->isChecked()) r->click();
  }
  for (QCheckBox* c : dialog->findChildren<QCheckBox*>()) {
    if (Merkbar(c) && s.contains(c->objectName()))
      c->setChecked(s.value(c->objectName()).toBool());
  }
  for (QLineEdit* e : dialog->findChildren<QLineEdit*>()) {
    if (Merkbar(e) && e->isEnabled() && s.contains(e->objectName()))
      e->setText(s.value(e->objectName()).toString());
  }
}

void MerkeBerichtsoptionen(const QWidget* dialog, const QString& schluessel) {
  Benutzereinstellungen s;
  s.beginGroup(kBerichte + schluessel);
  s.remove(QString());
  for (const QRadioButton* r : dialog->findChildren<QRadioButton*>())
    if (Merkbar(r)) s.setValue(r->objectName(), r->isChecked());
  for (const QCheckBox* c : dialog->findChildren<QCheckBox*>())
    if (Merkbar(c)) s.setValue(c->objectName(), c->isChecked());
  for (const QLineEdit* e : dialog->findChildren<QLineEdit*>())
    if (Merkbar(e) && e->isEnabled()) s.setValue(e->objectName(), e->text());
}

bool StelleFensterHer(QMainWindow* fenster) {
  Benutzereinstellungen s;
  const QByteArray geometrie = s.value(QStringLiteral("Fenster/geometrie")).toByteArray();
  return !geometrie.isEmpty() && fenster->restoreGeometry(geometrie);
}

void MerkeFenster(const QMainWindow* fenster) {
  Benutzereinstellungen s;
  s.setValue(QStringLiteral("Fenster/geometrie"), fenster->saveGeometry());
}

bool KindMaximiert() {
  return Benutzereinstellungen().value(QStringLiteral("Fenster/kindMaximiert")).toBool();
}

void MerkeKindMaximiert(bool maximiert) {
  Benutzereinstellungen().setValue(QStringLiteral("Fenster/kindMaximiert"), maximiert);
}

}  // namespace kvui
