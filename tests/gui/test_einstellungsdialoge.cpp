// The dialogs that edit the program configuration: enabling rules, typing
// filters, what "&OK" writes into "kalvento.ini", that cancelling writes
// nothing, and that a failed save leaves the old file as it was.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <climits>

#include "basis/datei.h"
#include "gezeigt.h"
#include "guihilfe.h"
#include "ui/einstellungsdialoge.h"

using namespace kvui;

namespace {

QByteArray Datei(const char* name = "kalvento.ini") {
  QFile f(QString::fromLatin1(name));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The configuration as a later start reads it.
kv::Programmkonfiguration Gelesen() {
  kv::CIniSB ini;
  ini.SetzeDateiname("kalvento.ini");
  ini.Oeffnen(0, kvtest::Zeigend());
  ini.LeseKonfiguration(kvtest::Zeigend());
  ini.Schliessen();
  return ini.konfiguration;
}

void Aktiviere(QWidget& w) {
  w.show();
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
}

}  // namespace

class TestEinstellungsdialoge : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void programmverwaltung();
  void buchungstechnikPasswort();
  void mwstSaetze();
  void bildschirmschriften();
  void gescheitertesSpeichernBehaeltAlteDatei();

 private:
  // A document whose configuration was read from a default "kalvento.ini"
  // in a scratch working directory.
  void NeuesDokument();

  std::unique_ptr<kvtest::GuiAufzeichnung> ui_;
  std::unique_ptr<QTemporaryDir> dir_;
  QString alt_;
  std::unique_ptr<kv::CKv02Doc> dok_;
};

void TestEinstellungsdialoge::init() {
  ui_ = std::make_unique<kvtest::GuiAufzeichnung>();
  dir_ = std::make_unique<QTemporaryDir>();
  alt_ = QDir::currentPath();
  QDir::setCurrent(dir_->path());
  NeuesDokument();
}

void TestEinstellungsdialoge::cleanup() {
  dok_.reset();
  QDir::setCurrent(alt_);
  dir_.reset();
  ui_.reset();
}

void TestEinstellungsdialoge::NeuesDokument() {
  dok_.reset();
  if (!QFile::exists("kalvento.ini")) {
    kv::CIniSB ini;
    QCOMPARE(ini.SchreibeStandardKonfiguration(kvtest::Zeigend()), 1);
  }
  dok_ = std::make_unique<kv::CKv02Doc>();
  auto& ini = dok_->Konfiguration;
  ini.SetzeDateiname("kalvento.ini");
  QCOMPARE(ini.Oeffnen(0, kvtest::Zeigend()), 1);
  ini.LeseKonfiguration(kvtest::Zeigend());
  ini.Schliessen();
}

void TestEinstellungsdialoge::programmverwaltung() {
  const QByteArray vorher = Datei();
  {
    CProgVerwDlg d(*dok_);
    QCOMPARE(d.windowTitle(), QStringLiteral("Programmverwaltung"));
    QVERIFY(d.GemeinsamKnopf()->isChecked());
    QVERIFY(!d.DatenpfadFeld()->isEnabled() && !d.VerzeichnisKnopf()->isEnabled());
    Aktiviere(d);
    d.GesondertKnopf()->click();
    QVERIFY(d.DatenpfadFeld()->isEnabled() && d.VerzeichnisKnopf()->isEnabled());
    d.DatenpfadFeld()->setText("/daten/kv");
    // "Datenverzeichnis..." opens a directory chooser; cancelled, the typed
    // path stays.
    kvtest::BeiDialog([](QWidget* w) {
      QVERIFY(qobject_cast<QFileDialog*>(w));
      static_cast<QDialog*>(w)->reject();
    });
    d.VerzeichnisKnopf()->click();
    QCOMPARE(d.DatenpfadFeld()->text(), QStringLiteral("/daten/kv"));
    // A directory inside the program directory is kept relative, one
    // outside it with its full path.
    QVERIFY(QDir().mkdir("Buecher"));
    const QString aussen = QDir::cleanPath(QDir::current().absoluteFilePath(".."));
    const std::pair<QString, QString> faelle[] = {
        {QDir::current().absoluteFilePath("Buecher"), QStringLiteral("Buecher")}, {aussen, aussen}};
    for (const auto& [gewaehlt, feld] : faelle) {
      kvtest::BeiDialog([gewaehlt = gewaehlt](QWidget* w) {
        auto* f = qobject_cast<QFileDialog*>(w);
        QVERIFY(f);
        f->setDirectory(gewaehlt);
        static_cast<QDialog*>(f)->accept();
      });
      d.VerzeichnisKnopf()->click();
      QCOMPARE(d.DatenpfadFeld()->text(), feld);
    }
    QVERIFY(ui_->meldungen.empty());
    d.reject();
  }
  QCOMPARE(Datei(), vorher);  // cancelled: nothing written
  QCOMPARE(dok_->Konfiguration.konfiguration.daten[0], '\0');

  {
    // Back to the common directory: the typed path is not stored.
    CProgVerwDlg d(*dok_);
    Aktiviere(d);
    d.GesondertKnopf()->click();
    d.DatenpfadFeld()->setText("/daten/kv");
    d.GemeinsamKnopf()->click();
    QVERIFY(!d.DatenpfadFeld()->isEnabled());
    d.ProgrammFeld()->setText("kvo");
    d.ImportFeld()->setText("");
    d.accept();
    QCOMPARE(d.result(), int(QDialog::Accepted));
  }
  QVERIFY(Datei().contains("\r\nDaten=\r\n"));
  QCOMPARE(std::string(Gelesen().kvonlineProgramm), std::string("kvo"));
  // An empty transfer path is stored as it is, not replaced by the default.
  QVERIFY(Datei().contains("\r\nKvonlineImport=\r\n"));
}

void TestEinstellungsdialoge::buchungstechnikPasswort() {
  {
    CBuchKonfigDlg d(*dok_);
    QCOMPARE(d.windowTitle(), QString::fromUtf8("Konfiguration für Buchungstechnik"));
    QVERIFY(d.DreizehnMonateKnopf()->isChecked());  // default "J"
    QVERIFY(!d.PasswortKnopf()->isChecked());
    QVERIFY(!d.PasswortFeld()->isEnabled() && !d.PasswortLabel()->isEnabled());
    Aktiviere(d);
    d.PasswortKnopf()->click();
    QVERIFY(d.PasswortFeld()->isEnabled() && d.PasswortLabel()->isEnabled());
    d.PasswortFeld()->setFocus();
    QTest::keyClicks(d.PasswortFeld(), "ab c");
    QCOMPARE(d.PasswortFeld()->text(), QStringLiteral("abc"));
    QCOMPARE(d.PasswortFeld()->cursorPosition(), 3);
    d.PasswortFeld()->setText("abcdefghij0123456789");
    QCOMPARE(d.PasswortFeld()->text(), QStringLiteral("abcdefghij012345"));
    QVERIFY(ui_->meldungen.empty());  // all silently

    // "&Erweitert": the flag goes into the record only.
    bool gezeigt = false;
    kvtest::BeiDialog([&](QWidget* w) {
      auto* e = qobject_cast<CBuchungsAenderungenDlg*>(w);
      gezeigt = e != nullptr;
      if (!e) return;
      QVERIFY(e->AenderungenKnopf()->isChecked());
      e->AenderungenKnopf()->setChecked(false);
      e->accept();
    });
    d.ErweitertKnopf()->click();
    QVERIFY(gezeigt);
    QCOMPARE(dok_->Konfiguration.konfiguration.aenderung, 0);
    QCOMPARE(Gelesen().aenderung, 1);

    d.ZwoelfMonateKnopf()->click();
    d.accept();
  }
  QVERIFY(Datei().contains("13.Monat=N\r\n"));
  QVERIFY(Datei().contains(QByteArray::fromStdString(kv::W("\r\nÄnderung=N\r\n"))));
  QVERIFY(!Datei().contains("abcdefghij012345"));  // stored scrambled
  QCOMPARE(std::string(Gelesen().passwort), std::string("abcdefghij012345"));
  NeuesDokument();
  QVERIFY(dok_->PasswortGesetzt());

  {
    CBuchKonfigDlg d(*dok_);
    QVERIFY(d.PasswortKnopf()->isChecked());
    QCOMPARE(d.PasswortFeld()->text(), QStringLiteral("abcdefghij012345"));  // plain text
    QVERIFY(d.ZwoelfMonateKnopf()->isChecked());
    d.PasswortKnopf()->click();
    d.accept();
  }
  QCOMPARE(std::string(Gelesen().passwort), std::string());
  NeuesDokument();
  QVERIFY(!dok_->PasswortGesetzt());
}

void TestEinstellungsdialoge::mwstSaetze() {
  const QByteArray vorher = Datei();
  {
    CMwstSaetzeDlg d(*dok_);
    QCOMPARE(d.windowTitle(), QString::fromUtf8("Vorbelegung der Mehrwertsteuersätze"));
    QCOMPARE(d.F7Feld()->text(), QStringLiteral("7.00"));
    QCOMPARE(d.F8Feld()->text(), QStringLiteral("19.00"));
    Aktiviere(d);
    d.F7Feld()->setFocus();
    d.F7Feld()->selectAll();
    QTest::keyClicks(d.F7Feld(), "7,5");
    QCOMPARE(d.F7Feld()->text(), QStringLiteral("7.5"));
    QVERIFY(ui_->meldungen.empty());
    d.F8Feld()->setFocus();
    QCOMPARE(d.F7Feld()->text(), QStringLiteral(" 7.50"));
    // Typing on behind the blank that leaving put there is no error.
    d.F7Feld()->setFocus();
    d.F7Feld()->end(false);
    QTest::keyClicks(d.F7Feld(), "9");
    QCOMPARE(d.F7Feld()->text(), QStringLiteral("7.50"));
    QVERIFY(ui_->meldungen.empty());

    d.F8Feld()->selectAll();
    QTest::keyClicks(d.F8Feld(), "1x");
    QCOMPARE(d.F8Feld()->text(), QStringLiteral("1"));
    QCOMPARE(d.F8Feld()->cursorPosition(), 1);
    QCOMPARE(ui_->meldungen.size(), size_t(1));
    QCOMPARE(ui_->meldungen[0].text, std::string("Nur numerische Zeichen zulässig !"));
    QTest::keyClicks(d.F8Feld(), "23");
    QCOMPARE(d.F8Feld()->text(), QStringLiteral("12"));  // the last valid rate, not 0.00
    QCOMPARE(ui_->meldungen.size(), size_t(2));
    QCOMPARE(ui_->meldungen[1].text, std::string("Maximaler Betrag: 99.99"));
    QCOMPARE(ui_->meldungen[1].titel, std::string("FEHLER"));
    d.reject();
  }
  QCOMPARE(Datei(), vorher);

  CMwstSaetzeDlg d(*dok_);
  d.F7Feld()->setText("7,5");
  d.F8Feld()->setText("16");
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QVERIFY(Datei().contains("MwSt F7= 7.50\r\nMwSt F8=16.00\r\n"));
}

void TestEinstellungsdialoge::bildschirmschriften() {
  const QByteArray vorher = Datei();
  {
    CFontSizeAppDlg d(*dok_);
    QCOMPARE(d.windowTitle(), QString::fromUtf8("Schriftgrößen für Bildschirmanzeige"));
    QCOMPARE(d.BuchungsListe()->count(), 10);
    // Defaults 25,08,0400: "8 x 25", not bold.
    QCOMPARE(d.BuchungsListe()->selectedItems().value(0)->text(), QStringLiteral("8 x 25"));
    QCOMPARE(d.BildschirmListe()->selectedItems().value(0)->text(), QStringLiteral("8 x 25"));
    QVERIFY(!d.BuchungFett()->isChecked());
    Aktiviere(d);

    d.BuchungsListe()->setCurrentRow(7);  // "14 x 40"
    QVERIFY(d.BuchungFett()->isChecked());
    d.BuchungFett()->click();  // cannot be cleared for this size
    QVERIFY(d.BuchungFett()->isChecked());
    d.BildschirmListe()->setCurrentRow(6);  // "13 x 36" follows the user
    QVERIFY(!d.BildschirmFett()->isChecked());
    d.BildschirmFett()->click();
    QVERIFY(d.BildschirmFett()->isChecked());
    d.BildschirmFett()->click();
    QVERIFY(!d.BildschirmFett()->isChecked());

    d.SetzeBildschirmgroesse(QSize(1024, 768));
    d.StandardKnopf()->click();
    QCOMPARE(d.BuchungsListe()->selectedItems().value(0)->text(), QStringLiteral("8 x 25"));
    QCOMPARE(d.BildschirmListe()->selectedItems().value(0)->text(), QStringLiteral("8 x 25"));
    QVERIFY(!d.BuchungFett()->isChecked() && !d.BildschirmFett()->isChecked());
    d.reject();
  }
  QCOMPARE(Datei(), vorher);
  QVERIFY(ui_->meldungen.empty());

  CFontSizeAppDlg d(*dok_);
  d.BuchungsListe()->setCurrentRow(7);
  d.BildschirmListe()->setCurrentRow(2);
  d.BildschirmFett()->click();
  d.accept();
  const QByteArray ini = Datei();
  QVERIFY(ini.contains("Font Buchung=40,14,0700,Courier New\r\n"));
  QVERIFY(ini.contains("Font Bildschirm=28,09,0700,Courier New\r\n"));
  QVERIFY(ini.contains("Font Dialog=16,06,0700,Arial\r\n"));
  QVERIFY(ini.contains("Font Nutzung=16,06,0700,Arial\r\n"));
  // 14*80+56 >= 9*110+64: the booking font sizes the window.
  QVERIFY(ini.contains(QByteArray::fromStdString(kv::W("Auflösung=40,14\r\n"))));
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  QCOMPARE(ui_->meldungen[0].art, 64);
  QCOMPARE(ui_->meldungen[0].titel, std::string("ACHTUNG"));
  QCOMPARE(ui_->meldungen[0].text, std::string("Die geänderten Bildschirmeinstellungen werden erst "
                                               "beim nächsten Programmstart aktiviert !"));
}

void TestEinstellungsdialoge::gescheitertesSpeichernBehaeltAlteDatei() {
  // Each file operation of the save fails once in turn: the file is then
  // either the old one byte for byte, with an error shown and without the
  // notice about the next start, or the complete new one.
  const QByteArray alt = Datei();
  auto lauf = [&](long fehler) {
    ui_->meldungen.clear();
    CFontSizeAppDlg d(*dok_);
    d.BuchungsListe()->setCurrentRow(9);
    kv::Fehlerinjektion::Setze(fehler, kv::DateiFehler::Voll);
    d.accept();
    const long aufrufe = kv::Fehlerinjektion::Aufrufe();
    kv::Fehlerinjektion::Aus();
    return aufrufe;
  };
  const long operationen = lauf(LONG_MAX);
  const QByteArray neu = Datei();
  QVERIFY(neu != alt);
  QVERIFY(operationen > 0);
  int gescheitert = 0;
  for (long k = 1; k <= operationen; ++k) {
    QFile::remove("kalvento.ini");
    QFile f("kalvento.ini");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(alt);
    f.close();
    lauf(k);
    const QByteArray jetzt = Datei();
    if (jetzt == alt) {
      ++gescheitert;
      QVERIFY2(!ui_->meldungen.empty(), qPrintable(QString("operation %1").arg(k)));
      QCOMPARE(ui_->meldungen.back().art, 16);
      QVERIFY(!ui_->Hat("Die geänderten Bildschirmeinstellungen werden erst beim nächsten "
                        "Programmstart aktiviert !"));
    } else {
      QVERIFY2(jetzt == neu, qPrintable(QString("operation %1").arg(k)));
    }
  }
  QVERIFY(gescheitert > 0);
  QVERIFY(QDir(".").entryList(QDir::Files) == QStringList{"kalvento.ini"});  // no leftovers
}

QTEST_MAIN(TestEinstellungsdialoge)
#include "test_einstellungsdialoge.moc"
