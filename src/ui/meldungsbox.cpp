#include "ui/meldungsbox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "basis/oberflaeche.h"
#include "basis/stringtabelle.h"
#include "ui/qtext.h"

namespace kvui {

CMyMessageBoxDlg::CMyMessageBoxDlg(int textNr, int titelNr, int art, QWidget* parent)
    : KvDialog(parent), titelAusTabelle_(true), textAusTabelle_(true), textNr_(textNr),
      titelNr_(titelNr), art_(art) {
  Aufbauen();
}
CMyMessageBoxDlg::CMyMessageBoxDlg(const std::string& text, const std::string& titel, int art,
                                   QWidget* parent)
    : KvDialog(parent), text_(text), titel_(titel), art_(art) {
  Aufbauen();
}
CMyMessageBoxDlg::CMyMessageBoxDlg(const std::string& text, int titelNr, int art,
                                   QWidget* parent)
    : KvDialog(parent), text_(text), titelAusTabelle_(true), titelNr_(titelNr), art_(art) {
  Aufbauen();
}
CMyMessageBoxDlg::CMyMessageBoxDlg(int textNr, const std::string& titel, int art,
                                   QWidget* parent)
    : KvDialog(parent), titel_(titel), textAusTabelle_(true), textNr_(textNr), art_(art) {
  Aufbauen();
}

void CMyMessageBoxDlg::Aufbauen() {
  setModal(true);
  setWindowTitle(QStringLiteral("INFORMATION"));
  auto* lay = new QVBoxLayout(this);
  titelFeld_ = new QLabel(QStringLiteral("Titel"), this);
  QFont f = titelFeld_->font();
  f.setBold(true);
  titelFeld_->setFont(f);
  titelFeld_->setObjectName("titel");
  textFeld_ = new QLabel(QStringLiteral("Text\nText\nText\nText"), this);
  textFeld_->setObjectName("text");
  textFeld_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  textFeld_->setMinimumHeight(QFontMetrics(textFeld_->font()).lineSpacing() * 4);
  textFeld_->setMinimumWidth(320);
  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  lay->addWidget(titelFeld_);
  lay->addWidget(textFeld_, 1);
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addStretch();
  knoepfe->addWidget(ok);
  knoepfe->addStretch();
  lay->addLayout(knoepfe);
  Einrichten();  // so the box reads right before it is shown as well
}

void CMyMessageBoxDlg::Einrichten() {
  if (titelAusTabelle_) titel_ = kv::Ressource(titelNr_);
  if (textAusTabelle_) text_ = kv::Ressource(textNr_);
  fensterTitel_ = Q(kv::MeldungsUeberschrift(art_));
  setWindowTitle(fensterTitel_);
  titelFeld_->setText(Q(titel_));
  textFeld_->setText(Q(text_));
  eingerichtet_ = true;
}

void CMyMessageBoxDlg::showEvent(QShowEvent* e) {
  if (!eingerichtet_) Einrichten();
  KvDialog::showEvent(e);
}

void CMyMessageBoxDlg::Zeige(const std::string& text, const std::string& titel, int art,
                             QWidget* parent) {
  CMyMessageBoxDlg dlg(text, titel, art, parent ? parent : Meldungsbesitzer());
  dlg.exec();
}

QWidget* Meldungsbesitzer() {
  if (QWidget* m = QApplication::activeModalWidget()) return m;
  if (QWidget* a = QApplication::activeWindow()) return a;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (dynamic_cast<Rahmenfenster*>(w)) return w;
  }
  return nullptr;
}

}  // namespace kvui
