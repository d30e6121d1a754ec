#include "ui/infodlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "basis/version.h"
#include "ui/programmsymbol.h"

namespace kvui {

CAboutDlg::CAboutDlg(QWidget* parent) : KvDialog(parent) {
  setWindowTitle(QStringLiteral("Info über KALVENTO Kummulierung"));
  auto* lay = new QHBoxLayout(this);
  auto* symbol = new QLabel(this);
  symbol->setPixmap(ProgrammSymbol().pixmap(48, 48));
  lay->addWidget(symbol, 0, Qt::AlignTop);
  auto* texte = new QVBoxLayout;
  // The version is the one set in CMakeLists.txt (basis/version.h).
  for (const QString& zeile :
       {QStringLiteral("KALVENTO Kummulierung"), QStringLiteral("Linux-Version"),
        QStringLiteral("Version ") + QString::fromLatin1(kv::kVersion),
        QStringLiteral("vom 06.02.2010")}) {
    texte->addWidget(new QLabel(zeile, this));
  }
  lay->addLayout(texte, 1);
  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  lay->addWidget(ok, 0, Qt::AlignTop);
}

}  // namespace kvui
