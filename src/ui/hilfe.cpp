#include "ui/hilfe.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "basis/meldung.h"
#include "ui/programmsymbol.h"
#include "ui/qtext.h"

#ifndef KV_HANDBUCH_QUELLE
#define KV_HANDBUCH_QUELLE ""
#endif

namespace kvui {

QStringList Handbuchorte(const QString& umgebung, const QString& programmverzeichnis,
                         const QString& quelle) {
  QStringList orte;
  if (!umgebung.isEmpty()) orte << umgebung;
  if (!programmverzeichnis.isEmpty())
    orte << QDir::cleanPath(programmverzeichnis + QStringLiteral("/../share/doc/kvkum/handbuch"));
  if (!quelle.isEmpty()) orte << QDir::cleanPath(quelle);
  return orte;
}

QStringList Handbuchorte() {
  return Handbuchorte(qEnvironmentVariable("KVKUM_HANDBUCH"),
                      QCoreApplication::applicationDirPath(),
                      QString::fromUtf8(KV_HANDBUCH_QUELLE));
}

QString FindeHandbuch(const QStringList& orte) {
  for (const QString& ort : orte) {
    const QFileInfo info(ort);
    const QFileInfo index =
        info.isDir() ? QFileInfo(QDir(ort).filePath(QStringLiteral("index.html"))) : info;
    if (index.isFile() && index.isReadable()) return index.absoluteFilePath();
  }
  return QString();
}

CHilfeFenster::CHilfeFenster(const QString& index, QWidget* besitzer)
    : QWidget(besitzer, Qt::Window), index_(index) {
  setObjectName("CHilfeFenster");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Handbuch - KALVENTO Kummulierung"));
  setWindowIcon(ProgrammSymbol());
  browser_ = new QTextBrowser(this);
  browser_->setObjectName("browser");
  browser_->setOpenExternalLinks(true);
  auto* zurueck = new QPushButton(QStringLiteral("&Zurück"), this);
  auto* vor = new QPushButton(QStringLiteral("&Vorwärts"), this);
  auto* inhalt = new QPushButton(QStringLiteral("&Inhalt"), this);
  auto* extern_ = new QPushButton(QString::fromUtf8("Im &Browser öffnen"), this);
  auto* schliessen = new QPushButton(QString::fromUtf8("&Schließen"), this);
  zurueck->setEnabled(false);
  vor->setEnabled(false);
  connect(browser_, &QTextBrowser::backwardAvailable, zurueck, &QWidget::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, vor, &QWidget::setEnabled);
  connect(zurueck, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(vor, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(inhalt, &QPushButton::clicked, this, [this] { ZeigeSeite(QString()); });
  connect(extern_, &QPushButton::clicked, this, [this] {
    if (!QDesktopServices::openUrl(browser_->source()))
      kv::Zeige(kv::Meldung::Text(
          kv::W("Es ist kein Browser eingerichtet, der das Handbuch öffnen kann.\nBitte lesen "
                "Sie es in diesem Fenster."),
          kv::W("Handbuch"), kv::Meldungsart::Information));
  });
  connect(schliessen, &QPushButton::clicked, this, &QWidget::close);
  auto* leiste = new QHBoxLayout;
  for (QPushButton* k : {zurueck, vor, inhalt, extern_}) leiste->addWidget(k);
  leiste->addStretch();
  leiste->addWidget(schliessen);
  auto* lay = new QVBoxLayout(this);
  lay->addLayout(leiste);
  lay->addWidget(browser_, 1);
  resize(900, 720);
}

void CHilfeFenster::ZeigeSeite(const QString& seite) {
  QUrl url = QUrl::fromLocalFile(index_);
  if (!seite.isEmpty()) {
    const QString datei = seite.section(QLatin1Char('#'), 0, 0);
    const QString anker = seite.section(QLatin1Char('#'), 1);
    if (!datei.isEmpty()) url = QUrl::fromLocalFile(QFileInfo(index_).dir().filePath(datei));
    if (!anker.isEmpty()) url.setFragment(anker);
  }
  browser_->setSource(url);
}

void OeffneHandbuch(QWidget* besitzer, const QString& seite, const QStringList& orte) {
  const QString index = FindeHandbuch(orte);
  if (index.isEmpty()) {
    QString liste;
    for (const QString& ort : orte) liste += QStringLiteral("\n   ") + QDir::toNativeSeparators(ort);
    kv::Zeige(kv::Meldung::Text(
        kv::W("Das Handbuch wurde nicht gefunden. Gesucht in:") + W1252(liste) +
            kv::W("\nBitte installieren Sie das Programm vollständig (Paket kvkum) oder nennen "
                  "Sie den Ordner des Handbuchs in der Umgebungsvariablen KVKUM_HANDBUCH."),
        kv::W("Handbuch"), kv::Meldungsart::Information));
    return;
  }
  // One help window per main window; it stays open beside the program.
  CHilfeFenster* fenster = besitzer ? besitzer->findChild<CHilfeFenster*>() : nullptr;
  if (!fenster) fenster = new CHilfeFenster(index, besitzer);
  fenster->ZeigeSeite(seite);
  fenster->show();
  fenster->raise();
  fenster->activateWindow();
}

}  // namespace kvui
