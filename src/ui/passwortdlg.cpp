#include "ui/passwortdlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "basis/oberflaeche.h"
#include "ui/qtext.h"

namespace kvui {
namespace {
int g_warteeinheit = 1000;
}

void CPasswortEingabeDlg::SetzeWarteeinheit(int mikrosekunden) {
  g_warteeinheit = mikrosekunden < 0 ? 0 : mikrosekunden;
}
int CPasswortEingabeDlg::Warteeinheit() { return g_warteeinheit; }

CPasswortEingabeDlg::CPasswortEingabeDlg(kv::Passwortpruefung& pruefung, QWidget* parent)
    : KvDialog(parent), pruefung_(pruefung) {
  setWindowTitle(QStringLiteral("Passwort-Eingabe"));
  auto* lay = new QVBoxLayout(this);
  auto* hinweis = new QLabel(
      QU("Das Programm ist mit einem \nPasswort geschützt.\nBitte geben Sie das &Passwort ein."),
      this);
  eingabe_ = new QLineEdit(this);
  eingabe_->setObjectName("passwort");
  eingabe_->setMaxLength(16);
  eingabe_->setEchoMode(QLineEdit::Password);
  hinweis->setBuddy(eingabe_);
  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  ok->setObjectName("ok");
  ok->setDefault(true);
  auto* abbruch = new QPushButton(QStringLiteral("&Abbruch"), this);
  abbruch->setObjectName("abbruch");
  connect(ok, &QPushButton::clicked, this, &CPasswortEingabeDlg::accept);
  connect(abbruch, &QPushButton::clicked, this, &QDialog::reject);
  lay->addWidget(hinweis);
  lay->addWidget(eingabe_);
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addWidget(ok);
  knoepfe->addWidget(abbruch);
  lay->addLayout(knoepfe);
}

void CPasswortEingabeDlg::accept() {
  if (pruefung_.IstRichtig(W1252(eingabe_->text()))) {
    QDialog::accept();
    return;
  }
  pruefung_.ZaehleFehlversuch();
  kv::ZeigeMeldung(kv::PasswortFalschText(), 58002, 64);
  const unsigned long einheit = static_cast<unsigned long>(g_warteeinheit);
  pruefung_.Sperre([einheit] {
    if (einheit > 0) QThread::usleep(einheit);
  });
  eingabe_->selectAll();
  eingabe_->setFocus();
}

}  // namespace kvui
