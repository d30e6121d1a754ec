// The keyboard focus after nested dialogs and message boxes: once the last
// box is confirmed, the main window is the active window again, so F3 works
// without a click.  Runs offscreen under ctest and, in ./kv test, once more
// under Xvfb with a window manager (openbox), where the window manager
// decides where the focus goes when a window closes.  There the keys are
// pressed through the X server (xdotool), as a user presses them: the
// window manager treats a window closed by a real key press differently
// from one closed by a call.
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "guihilfe.h"
#include "ui/ansicht.h"
#include "ui/ausgabewahl.h"
#include "ui/berichtsdialoge.h"
#include "ui/bkverwaltungsdlg.h"
#include "ui/einstellungsdialoge.h"
#include "ui/hauptfenster.h"
#include "ui/kumauswahldlg.h"
#include "ui/meldungsbox.h"

using namespace kvui;
using namespace kvui::befehl;

namespace {

// The real seam (message boxes are shown) with a fixed today.
class EchteMeldungen : public QtOberflaeche {
 public:
  kv::Datum Heute() const override { return kv::Datum{15, 3, 2010}; }
};

bool IstMeldung(QWidget* w) {
  return qobject_cast<CMyMessageBoxDlg*>(w) || qobject_cast<QMessageBox*>(w);
}

// Keys through the X server: on xcb with xdotool installed.
bool EchteTasten() {
  static const bool ja = QGuiApplication::platformName() == QLatin1String("xcb") &&
                         !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
  return ja;
}

void XTaste(const char* taste) {
  QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QString::fromLatin1(taste)});
}

// Return in dialog `d`, as a user presses it once the dialog has come up;
// offscreen its OK.
void Druecke(QDialog* d) {
  if (!EchteTasten()) {
    d->accept();
    return;
  }
  // Pressed in any case: a key that goes elsewhere shows as a failure.
  if (!QTest::qWaitFor([d] { return QApplication::activeWindow() == d; }, 3000))
    qWarning("%s ist nicht das aktive Fenster", qPrintable(d->windowTitle()));
  XTaste("Return");
}

// Confirms the next message box like a user.  Polls, so it may be set up
// before the dialogs that lead to the box are open.
void BestaetigeMeldung(QStringList* gesehen, int versuche = 300) {
  QWidget* m = QApplication::activeModalWidget();
  if (m && m->isVisible() && IstMeldung(m)) {
    if (auto* box = qobject_cast<CMyMessageBoxDlg*>(m); box && gesehen)
      *gesehen << box->findChild<QLabel*>("text")->text();
    Druecke(static_cast<QDialog*>(m));
    return;
  }
  if (versuche > 0) QTimer::singleShot(10, [=] { BestaetigeMeldung(gesehen, versuche - 1); });
}

}  // namespace

class TestFokus : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void cleanupTestCase();
  void init();
  void schriftgroessenMitInformation();
  void buchungskreisverwaltungMitInformation();
  void textdateiausgabe();
  void bildschirmausgabeBehaeltFokus();

 private:
  // The main window is the active window and holds the focus; F3 then
  // opens the Saldenbilanz's options.
  void PruefeHauptfensterAktiv();

  std::unique_ptr<QTemporaryDir> dir_;
  QString alt_;
  std::unique_ptr<EchteMeldungen> ui_;
  std::unique_ptr<CMainFrame> rahmen_;
  QTimer quittierer_;
};

void TestFokus::initTestCase() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  std::filesystem::copy(std::string(KV_QUELLE) + "/beispiel", dir_->path().toStdString(),
                        std::filesystem::copy_options::recursive);
  alt_ = QDir::currentPath();
  QDir::setCurrent(dir_->path());
  ui_ = std::make_unique<EchteMeldungen>();
  rahmen_ = std::make_unique<CMainFrame>(ui_.get());
  rahmen_->resize(900, 700);
  rahmen_->show();
  rahmen_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(rahmen_.get()));
  // The cumulation's own messages (other chart, other first month: boxes
  // without an owner) are confirmed as they come, by key.  After them the
  // window manager lost the focus when the administration's nested dialogs
  // closed.
  connect(&quittierer_, &QTimer::timeout, this, [] {
    QWidget* m = QApplication::activeModalWidget();
    if (!m || !IstMeldung(m) || !m->isVisible()) return;
    if (!EchteTasten())
      static_cast<QDialog*>(m)->accept();
    else if (QApplication::activeWindow() == m)
      XTaste("Return");
  });
  quittierer_.start(200);
  kvtest::BeiDialog([](QWidget* w) {
    auto* d = qobject_cast<CKumAuswahlDlg*>(w);
    QVERIFY(d);
    d->JahrFeld()->setText("2010");
    d->VonFeld()->setText("1");
    d->BisFeld()->setText("7");
    d->BezugFeld()->setText("3");
    d->accept();
  });
  rahmen_->Befehl(kNeu);
  QVERIFY(rahmen_->Dokument());
  quittierer_.stop();
  // After the run one window lists the circles left out (2, 4, 5, 6): the
  // user closes it, and the focus is back in the main window.
  const auto protokoll = []() -> QWidget* {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "CProtokollFenster" && w->isVisible()) return w;
    return nullptr;
  };
  QTRY_VERIFY_WITH_TIMEOUT(protokoll() != nullptr, 3000);
  if (EchteTasten()) {
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), protokoll(), 3000);
    XTaste("Escape");
  } else {
    static_cast<QDialog*>(protokoll())->reject();
  }
  QTRY_VERIFY_WITH_TIMEOUT(protokoll() == nullptr, 3000);
  PruefeHauptfensterAktiv();
}

void TestFokus::cleanupTestCase() {
  rahmen_.reset();
  ui_.reset();
  QDir::setCurrent(alt_);
  dir_.reset();
}

void TestFokus::init() {
  QVERIFY(!QApplication::activeModalWidget());
}

void TestFokus::PruefeHauptfensterAktiv() {
  QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), static_cast<QWidget*>(rahmen_.get()),
                            3000);
  QWidget* fokus = QApplication::focusWidget();
  QVERIFY(fokus && fokus->window() == rahmen_.get());
  bool geoeffnet = false;
  kvtest::BeiDialog([&geoeffnet](QWidget* w) {
    geoeffnet = qobject_cast<CPrintSaldenBilanzDlg*>(w) != nullptr;
    static_cast<QDialog*>(w)->reject();
  });
  if (EchteTasten())
    XTaste("F3");
  else
    QTest::keyClick(fokus, Qt::Key_F3);
  QTRY_VERIFY_WITH_TIMEOUT(geoeffnet, 3000);
  QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), static_cast<QWidget*>(rahmen_.get()),
                            3000);
}

void TestFokus::schriftgroessenMitInformation() {
  const QByteArray ini = [] {
    QFile f("kalvento.ini");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  QStringList gesehen;
  kvtest::BeiDialog([&gesehen](QWidget* w) {
    auto* d = qobject_cast<CFontSizeAppDlg*>(w);
    QVERIFY(d);
    BestaetigeMeldung(&gesehen);
    Druecke(d);
  });
  rahmen_->Befehl(kSchriftBildschirm);
  QTRY_COMPARE(gesehen.size(), 1);
  PruefeHauptfensterAktiv();
  QFile f("kalvento.ini");
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(ini);
}

void TestFokus::buchungskreisverwaltungMitInformation() {
  QStringList gesehen;
  kvtest::BeiDialog([&gesehen](QWidget* w) {
    auto* d = qobject_cast<CSelMandantDlg*>(w);
    QVERIFY(d);
    d->NummerFeld()->setText("3");
    kvtest::BeiDialog([&gesehen](QWidget* w2) {
      auto* e = qobject_cast<CMandantEinrichtDlg*>(w2);
      QVERIFY(e);
      BestaetigeMeldung(&gesehen);
      Druecke(e);
    });
    Druecke(d);
  });
  rahmen_->Befehl(kBkVerwaltung);
  QVERIFY(gesehen.value(0).startsWith("Buchungskreis ist angelegt"));
  PruefeHauptfensterAktiv();
}

void TestFokus::textdateiausgabe() {
  kvtest::BeiDialog([](QWidget* w) {
    auto* d = qobject_cast<CPrintSaldenBilanzDlg*>(w);
    QVERIFY(d);
    kvtest::BeiDialog([](QWidget* w2) {
      auto* wahl = qobject_cast<CPrintOrPreviewDlg*>(w2);
      QVERIFY(wahl);
      wahl->Knopf(CPrintOrPreviewDlg::Textdatei)->setChecked(true);
      kvtest::BeiDialog([](QWidget* w3) {
        auto* name = qobject_cast<CTextDateiNameDlg*>(w3);
        QVERIFY(name);
        name->NamensFeld()->setText("fokus.txt");
        Druecke(name);
      });
      Druecke(wahl);
    });
    Druecke(d);
  });
  // The confirmation of where the file went, when there is one.
  BestaetigeMeldung(nullptr);
  rahmen_->Befehl(kSaldenbilanz);
  QVERIFY(QFile::exists("Daten/BK000003/fokus.txt"));
  PruefeHauptfensterAktiv();
}

void TestFokus::bildschirmausgabeBehaeltFokus() {
  // A window opened as a dialog closes keeps the focus: the screen output
  // takes the keys, and Esc closes it back to the main window.
  kvtest::BeiDialog([](QWidget* w) {
    auto* d = qobject_cast<CPrintSaldenBilanzDlg*>(w);
    QVERIFY(d);
    kvtest::BeiDialog([](QWidget* w2) { Druecke(static_cast<QDialog*>(w2)); });
    Druecke(d);
  });
  rahmen_->Befehl(kSaldenbilanz);
  QWidget* ausgabe = rahmen_->Ansicht()->Bildschirmausgabe();
  QVERIFY(ausgabe && ausgabe->isVisible());
  QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), ausgabe, 3000);
  QTest::qWait(200);
  QCOMPARE(QApplication::activeWindow(), ausgabe);
  if (EchteTasten())
    XTaste("Escape");
  else
    QTest::keyClick(ausgabe, Qt::Key_Escape);
  QTRY_VERIFY(!rahmen_->Ansicht()->Bildschirmausgabe());
  PruefeHauptfensterAktiv();
}

QTEST_MAIN(TestFokus)
#include "test_fokus.moc"
