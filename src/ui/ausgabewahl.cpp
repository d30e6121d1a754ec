#include "ui/ausgabewahl.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "reports/textdatei.h"
#include "ui/ansicht.h"
#include "ui/qtext.h"

namespace kvui {

namespace {
QWidget* OkAbbruch(QDialog* dlg) {
  auto* w = new QWidget(dlg);
  auto* lay = new QHBoxLayout(w);
  lay->setContentsMargins(0, 0, 0, 0);
  auto* ok = new QPushButton(QStringLiteral("&OK"), w);
  ok->setObjectName("ok");
  ok->setDefault(true);
  auto* abbruch = new QPushButton(QStringLiteral("&Abbruch"), w);
  abbruch->setObjectName("abbruch");
  QObject::connect(ok, &QPushButton::clicked, dlg, &QDialog::accept);
  QObject::connect(abbruch, &QPushButton::clicked, dlg, &QDialog::reject);
  lay->addStretch();
  lay->addWidget(ok);
  lay->addWidget(abbruch);
  return w;
}
}  // namespace

CTextDateiNameDlg::CTextDateiNameDlg(QWidget* parent) : KvDialog(parent) {
  setWindowTitle(QStringLiteral("Eingabe Textdatei-Name"));
  auto* lay = new QVBoxLayout(this);
  lay->addWidget(new QLabel(
      QStringLiteral("Die Textdatei wird im Ordner des jeweiligen Buchungskreises gespeichert "
                     "\n(z.B. im Ordner C:\\BUCH\\BK00001)"),
      this));
  auto* label = new QLabel(QStringLiteral("&Name der Textdatei (Format 8.3):"), this);
  feld_ = new QLineEdit(Q(kv::kTextdateiVorgabe), this);
  feld_->setObjectName("name");
  feld_->setMaxLength(259);
  label->setBuddy(feld_);
  lay->addWidget(label);
  lay->addWidget(feld_);
  lay->addWidget(OkAbbruch(this));
  connect(feld_, &QLineEdit::textChanged, this, [this] {
    kv::Status meldung;
    const int falsch = kv::PruefeTextdateiname(W1252(feld_->text()), meldung);
    kv::Zeige(meldung);
    if (falsch >= 0) feld_->setCursorPosition(std::max(0, feld_->cursorPosition() - 1));
  });
}

std::string CTextDateiNameDlg::Name() const { return W1252(feld_->text()).substr(0, 259); }

void CTextDateiNameDlg::SetzeZiel(const std::string& datenverzeichnis, int buchungskreis) {
  mitZiel_ = true;
  daten_ = datenverzeichnis;
  buchungskreis_ = buchungskreis;
}

void CTextDateiNameDlg::accept() {
  const std::string pfad =
      mitZiel_ ? kv::VervollstaendigeTextdateiname(daten_, buchungskreis_, Name()) : Name();
  const kv::Status frei = kv::PruefeTextdateiziel(pfad);
  kv::Zeige(frei);
  if (!frei) {
    feld_->setFocus();
    feld_->selectAll();
    return;
  }
  QDialog::accept();
}

CPrintOrPreviewDlg::CPrintOrPreviewDlg(QWidget* parent) : KvDialog(parent) {
  setWindowTitle(QStringLiteral("Ausgabe Drucker oder Bildschirm"));
  auto* lay = new QVBoxLayout(this);
  auto* gruppe = new QGroupBox(QStringLiteral("Ausgabe"), this);
  auto* glay = new QVBoxLayout(gruppe);
  const char* texte[3] = {"Ausgabe auf &Bildschirm", "Ausgabe auf &Drucker",
                          "Ausgabe  in &Textdatei"};
  const char* namen[3] = {"bildschirm", "drucker", "textdatei"};
  for (int i = 0; i < 3; ++i) {
    knoepfe_[i] = new QRadioButton(QString::fromUtf8(texte[i]), gruppe);
    knoepfe_[i]->setObjectName(namen[i]);
    glay->addWidget(knoepfe_[i]);
  }
  knoepfe_[Bildschirm]->setChecked(true);
  lay->addWidget(gruppe);
  lay->addWidget(OkAbbruch(this));
}

CPrintOrPreviewDlg::Ziel CPrintOrPreviewDlg::Auswahl() const {
  if (knoepfe_[Drucker]->isChecked()) return Drucker;
  if (knoepfe_[Textdatei]->isChecked()) return Textdatei;
  return Bildschirm;
}

void CPrintOrPreviewDlg::accept() {
  if (Auswahl() == Textdatei) {
    CTextDateiNameDlg name(this);
    // The report view completes the name into its reference's directory.
    if (auto* ansicht = qobject_cast<CKv02View*>(parentWidget())) {
      const kv::Berichtskontext k = ansicht->Dokument().Kontext();
      name.SetzeZiel(k.datenverzeichnis, k.bezugsbuchungskreis);
    }
    if (name.exec() == QDialog::Accepted) {
      dateiname_ = name.Name();
      nameGegeben_ = true;
    }
  }
  QDialog::accept();
}

}  // namespace kvui
