#include "ui/ausgabewahl.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

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

// A blank is no character of an 8.3 name; it is refused once, on OK.
std::string OhneLeerzeichen(std::string name) {
  std::replace(name.begin(), name.end(), ' ', '_');
  return name;
}
}  // namespace

CTextDateiNameDlg::CTextDateiNameDlg(QWidget* parent) : KvDialog(parent) {
  setWindowTitle(QStringLiteral("Eingabe Textdatei-Name"));
  auto* lay = new QVBoxLayout(this);
  hinweis_ = new QLabel(this);
  hinweis_->setObjectName("hinweis");
  lay->addWidget(hinweis_);
  auto* label = new QLabel(QStringLiteral("&Name der Textdatei (Format 8.3):"), this);
  feld_ = new QLineEdit(Q(kv::kTextdateiVorgabe), this);
  feld_->setObjectName("name");
  feld_->setMaxLength(259);
  label->setBuddy(feld_);
  durchsuchen_ = new QPushButton(QStringLiteral("D&urchsuchen..."), this);
  durchsuchen_->setObjectName("durchsuchen");
  durchsuchen_->setAutoDefault(false);
  connect(durchsuchen_, &QPushButton::clicked, this, &CTextDateiNameDlg::Durchsuchen);
  auto* zeile = new QHBoxLayout;
  zeile->addWidget(feld_, 1);
  zeile->addWidget(durchsuchen_);
  lay->addWidget(label);
  lay->addLayout(zeile);
  lay->addWidget(OkAbbruch(this));
  BeschrifteHinweis();
  connect(feld_, &QLineEdit::textChanged, this, [this] {
    kv::Status meldung;
    const int falsch = kv::PruefeTextdateiname(OhneLeerzeichen(W1252(feld_->text())), meldung);
    kv::Zeige(meldung);
    if (falsch >= 0) feld_->setCursorPosition(std::max(0, feld_->cursorPosition() - 1));
  });
}

QString CTextDateiNameDlg::Zielverzeichnis() const {
  if (!mitZiel_) return QString();
  // Where VervollstaendigeTextdateiname puts a plain name.
  const std::string probe = kv::VervollstaendigeTextdateiname(daten_, buchungskreis_, "x");
  return QFileInfo(Q(probe)).absolutePath();
}

void CTextDateiNameDlg::Durchsuchen() {
  QString start = Zielverzeichnis();
  if (start.isEmpty()) start = QDir::currentPath();
  const QString gewaehlt = QFileDialog::getSaveFileName(
      this, QStringLiteral("Textdatei speichern unter"), QDir(start).filePath(feld_->text()),
      QStringLiteral("Textdateien (*.txt);;Alle Dateien (*)"));
  if (gewaehlt.isEmpty()) return;
  feld_->setText(QDir::toNativeSeparators(gewaehlt));
  feld_->setFocus();
}

std::string CTextDateiNameDlg::Name() const { return W1252(feld_->text()).substr(0, 259); }

void CTextDateiNameDlg::SetzeZiel(const std::string& datenverzeichnis, int buchungskreis) {
  mitZiel_ = true;
  daten_ = datenverzeichnis;
  buchungskreis_ = buchungskreis;
  BeschrifteHinweis();
}

void CTextDateiNameDlg::BeschrifteHinweis() {
  const QString ordner = Zielverzeichnis();
  hinweis_->setText(
      ordner.isEmpty()
          ? QStringLiteral("Die Textdatei wird im Ordner des jeweiligen Buchungskreises "
                           "gespeichert \n(z.B. im Ordner ~/.local/share/kvkum/Daten/BK000001)")
          : QStringLiteral("Die Textdatei wird im Ordner des Bezugs-Buchungskreises "
                           "gespeichert \n(%1)")
                .arg(ordner));
}

void CTextDateiNameDlg::accept() {
  if (feld_->text().contains(QLatin1Char(' '))) {
    kv::Zeige(kv::Meldung::Text(
        kv::W("Der Name \"") + Name() +
            kv::W("\" enthält ein Leerzeichen.\nBitte geben Sie den Namen der Textdatei ohne "
                  "Leerzeichen ein (z.B. \"kv_bericht.txt\")."),
        kv::W("Name der Textdatei"), kv::Meldungsart::Fehler));
    feld_->setFocus();
    feld_->selectAll();
    return;
  }
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
  const char* texte[kZiele] = {"Ausgabe auf &Bildschirm", "Ausgabe auf &Drucker",
                               "Ausgabe  in &Textdatei", "Ausgabe als &PDF-Datei",
                               "Ausgabe als &CSV-Datei (Tabellenkalkulation)", "Druck&vorschau"};
  const char* namen[kZiele] = {"bildschirm", "drucker", "textdatei", "pdf", "csv", "vorschau"};
  for (int i = 0; i < kZiele; ++i) {
    knoepfe_[i] = new QRadioButton(QString::fromUtf8(texte[i]), gruppe);
    knoepfe_[i]->setObjectName(namen[i]);
    glay->addWidget(knoepfe_[i]);
  }
  knoepfe_[Bildschirm]->setChecked(true);
  lay->addWidget(gruppe);
  lay->addWidget(OkAbbruch(this));
}

CPrintOrPreviewDlg::Ziel CPrintOrPreviewDlg::Auswahl() const {
  for (int i = 1; i < kZiele; ++i)
    if (knoepfe_[i]->isChecked()) return static_cast<Ziel>(i);
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
