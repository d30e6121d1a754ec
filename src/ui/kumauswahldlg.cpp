#include "ui/kumauswahldlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/eingabehilfe.h"
#include "ui/qtext.h"

namespace kvui {

CKumAuswahlDlg::CKumAuswahlDlg(QWidget* parent) : KvDialog(parent) {
  setWindowTitle(QU("Kummulierungsdaten auswählen"));
  auto* lay = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  const char* labels[4] = {"Buchungsjahr wählen:", "Von Buchungskreis (Nr.):",
                           "Bis Buchungskreis (Nr.):", "Bezugs-Buchungskreis (Nr.):"};
  const char* namen[4] = {"jahr", "von", "bis", "bezug"};
  for (int i = 0; i < 4; ++i) {
    felder_[i] = new QLineEdit(this);
    felder_[i]->setObjectName(namen[i]);
    QLineEdit* feld = felder_[i];
    connect(feld, &QLineEdit::textChanged, this, [this, feld] { Filtere(feld); });
    form->addRow(QU(labels[i]), feld);
  }
  lay->addLayout(form);
  auto* knoepfe = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName("ok");
  ok->setDefault(true);
  auto* abbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
  abbrechen->setObjectName("abbrechen");
  connect(ok, &QPushButton::clicked, this, &CKumAuswahlDlg::accept);
  connect(abbrechen, &QPushButton::clicked, this, &QDialog::reject);
  knoepfe->addStretch();
  knoepfe->addWidget(ok);
  knoepfe->addWidget(abbrechen);
  lay->addLayout(knoepfe);
  for (int i = 0; i < 3; ++i) setTabOrder(felder_[i], felder_[i + 1]);
  setTabOrder(felder_[3], ok);
  setTabOrder(ok, abbrechen);
}

void CKumAuswahlDlg::SchlageVor(const kv::Kumulationsauswahl& auswahl) {
  felder_[0]->setText(Q(auswahl.jahr));
  felder_[1]->setText(QString::number(auswahl.von));
  felder_[2]->setText(QString::number(auswahl.bis));
  felder_[3]->setText(QString::number(auswahl.bezug));
  felder_[0]->setFocus();
  felder_[0]->selectAll();
}

void CKumAuswahlDlg::Filtere(QLineEdit* feld) {
  const QString vorher = feld->text();
  const int cursor = feld->cursorPosition();
  const int selStart = feld->selectionStart();
  const int selLaenge = feld->selectedText().size();
  kv::Status gefiltert;
  QString neu = Q(kv::FiltereAuswahlfeld(W1252(vorher), gefiltert));
  kv::Zeige(gefiltert);
  QString& gueltig = gueltig_[std::find(felder_, felder_ + 4, feld) - felder_];
  // Too large a number: the user's last valid entry comes back, not "0".
  if (AusserhalbDerGrenzen(gefiltert)) neu = gueltig;
  gueltig = neu;
  if (neu == vorher) return;
  feld->setText(neu);  // runs the filter once more, which then settles
  if (selStart >= 0 && selLaenge > 0)
    feld->setSelection(std::min<int>(selStart, neu.size()), selLaenge);
  else
    feld->setCursorPosition(std::min<int>(cursor, neu.size()));
}

void CKumAuswahlDlg::accept() {
  const kv::Status geprueft =
      kv::PruefeKumAuswahl(W1252(felder_[0]->text()), W1252(felder_[1]->text()),
                           W1252(felder_[2]->text()), W1252(felder_[3]->text()), auswahl_);
  kv::Zeige(geprueft);
  if (!geprueft) return;
  QDialog::accept();
}

}  // namespace kvui
