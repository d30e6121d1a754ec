#include "ui/infodlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kvui {

CAboutDlg::CAboutDlg(QWidget* parent) : KvDialog(parent) {
  setWindowTitle(QStringLiteral("Info über KALVENTO Kummulierung"));
  auto* lay = new QHBoxLayout(this);
  auto* symbol = new QLabel(this);
  symbol->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  lay->addWidget(symbol, 0, Qt::AlignTop);
  auto* texte = new QVBoxLayout;
  for (const char* zeile : {"KALVENTO Kummulierung", "Windows-Version", "Version 3.38",
                            "vom 06.02.2010"}) {
    texte->addWidget(new QLabel(QString::fromUtf8(zeile), this));
  }
  lay->addLayout(texte, 1);
  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  lay->addWidget(ok, 0, Qt::AlignTop);
}

}  // namespace kvui
