// The main window's settings commands and the switch to the companion
// program: with a read-only working directory, with a stand-in program that
// starts, and with one that cannot be started.
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <sys/stat.h>

#include "guihilfe.h"
#include "ui/bkverwaltungsdlg.h"
#include "ui/einstellungsdialoge.h"
#include "ui/hauptfenster.h"
#include "ui/kumauswahldlg.h"

using namespace kvui;
using namespace kvui::befehl;

class TestWechsel : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void einstellungenOeffnenIhreDialoge();
  void schreibgeschuetztesArbeitsverzeichnis();
  void ersatzprogrammStartetUndProgrammEndet();
  void nichtStartbaresProgrammLaesstProgrammOffen();

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  QString alt_;
  std::unique_ptr<kvtest::GuiAufzeichnung> ui_;
  std::unique_ptr<CMainFrame> rahmen_;
};

void TestWechsel::initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

void TestWechsel::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  std::filesystem::copy(std::string(KV_QUELLE) + "/beispiel", dir_->path().toStdString(),
                        std::filesystem::copy_options::recursive);
  alt_ = QDir::currentPath();
  QDir::setCurrent(dir_->path());
  ui_ = std::make_unique<kvtest::GuiAufzeichnung>();
  rahmen_ = std::make_unique<CMainFrame>(ui_.get());
  rahmen_->show();
  kvtest::BeiDialog([](QWidget* w) {
    auto* d = qobject_cast<CKumAuswahlDlg*>(w);
    QVERIFY(d);
    d->JahrFeld()->setText("2010");
    d->VonFeld()->setText("1");
    d->BisFeld()->setText("3");
    d->BezugFeld()->setText("1");
    d->accept();
  });
  rahmen_->Befehl(kNeu);
  QVERIFY(rahmen_->Dokument());
  ui_->meldungen.clear();
}

void TestWechsel::cleanup() {
  ::chmod(dir_->path().toLocal8Bit().constData(), 0755);
  rahmen_.reset();
  ui_.reset();
  QDir::setCurrent(alt_);
  dir_.reset();
}

void TestWechsel::einstellungenOeffnenIhreDialoge() {
  QVERIFY(!rahmen_->Aktion(kStandardtexte)->isEnabled());
  const std::pair<int, const char*> befehle[] = {
      {kProgrammverwaltung, "kvui::CProgVerwDlg"}, {kBuchKonfig, "kvui::CBuchKonfigDlg"},
      {kMwst, "kvui::CMwstSaetzeDlg"},             {kSchriftBildschirm, "kvui::CFontSizeAppDlg"},
      {kBkVerwaltung, "kvui::CSelMandantDlg"}};
  for (const auto& [id, klasse] : befehle) {
    QVERIFY(rahmen_->Aktion(id)->isEnabled());
    QString gesehen;
    kvtest::BeiDialog([&gesehen](QWidget* w) {
      gesehen = QString::fromLatin1(w->metaObject()->className());
      static_cast<QDialog*>(w)->reject();
    });
    rahmen_->Aktion(id)->trigger();
    QCOMPARE(gesehen, QString::fromLatin1(klasse));
  }
  // The administration first makes sure the configuration exists, as
  // start-up does.
  QVERIFY(QFile::remove("kalvento.ini"));
  kvtest::BeiDialog([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  rahmen_->Befehl(kBkVerwaltung);
  QVERIFY(QFile::exists("kalvento.ini"));
  QVERIFY(ui_->meldungen.empty());
}

void TestWechsel::schreibgeschuetztesArbeitsverzeichnis() {
  QCOMPARE(::chmod(dir_->path().toLocal8Bit().constData(), 0555), 0);
  rahmen_->Befehl(kWechsel);
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  QCOMPARE(ui_->meldungen[0].text,
           std::string("Die Textdatei konnte nicht geöffnet \nbzw. angelegt werden !"));
  QCOMPARE(ui_->meldungen[0].titel, std::string("FEHLER"));
  QCOMPARE(ui_->meldungen[0].art, 16);
  QTest::qWait(50);
  QVERIFY(rahmen_->isVisible());
  QVERIFY(rahmen_->Dokument());
  QVERIFY(!QFile::exists("callkvo.bat"));
}

void TestWechsel::ersatzprogrammStartetUndProgrammEndet() {
  QFile programm("Kalvento.exe");
  QVERIFY(programm.open(QIODevice::WriteOnly));
  programm.write("#!/bin/sh\necho gestartet > gestartet.txt\n");
  programm.close();
  QVERIFY(programm.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  rahmen_->Befehl(kWechsel);
  QFile bat("callkvo.bat");
  QVERIFY(bat.open(QIODevice::ReadOnly));
  QCOMPARE(bat.readAll(), QByteArray("Kalvento.exe"));
  QTRY_VERIFY(!rahmen_->isVisible());
  QVERIFY(!rahmen_->Dokument());  // closed on the normal way out
  QTRY_VERIFY(QFile::exists("gestartet.txt"));
  QVERIFY(ui_->meldungen.empty());
}

void TestWechsel::nichtStartbaresProgrammLaesstProgrammOffen() {
  if (!QStandardPaths::findExecutable("wine").isEmpty())
    QSKIP("wine would start the program");
  QFile programm("Kalvento.exe");
  QVERIFY(programm.open(QIODevice::WriteOnly));
  programm.write("MZ");
  programm.close();
  rahmen_->Befehl(kWechsel);
  QTest::qWait(50);
  QVERIFY(rahmen_->isVisible());
  QVERIFY(rahmen_->Dokument());
  // One message says what is missing.
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  QVERIFY(ui_->meldungen[0].text.find("wine") != std::string::npos);
  QCOMPARE(ui_->meldungen[0].titel, std::string("Wechsel zu KALVENTO"));
  QVERIFY(QFile::exists("callkvo.bat"));
}

QTEST_MAIN(TestWechsel)
#include "test_wechsel.moc"
