// The booking-circle administration's dialogs: the number dialog with its
// range check and the master-data dialog it opens, the master-data dialog's
// start values, typing filters and enabling rules and what its "&OK"
// writes, the Elster data, and the overview list.
#include <QFocusEvent>
#include <QTemporaryDir>
#include <QTest>

#include "basis/format.h"
#include "gezeigt.h"
#include "guihilfe.h"
#include "storage/inidatei.h"
#include "ui/bkverwaltungsdlg.h"

using namespace kvui;

namespace {

std::string Lies(const std::string& pfad) {
  QFile f(QString::fromStdString(pfad));
  return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

bool Enthaelt(const std::string& text, const char* utf8) {
  return text.find(kv::W(utf8)) != std::string::npos;
}

void Verlasse(QLineEdit* feld) {
  QFocusEvent e(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(feld, &e);
}

}  // namespace

class TestBkverwaltungsdlg : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void nummerWaehlen();
  void neuerBuchungskreis();
  void bestehenderBuchungskreis();
  void uebersicht();

 private:
  std::string Stamm(int n) const {
    return daten_ + kv::Format("/BK%06i/stamm%03i.dat", n, n);
  }
  std::unique_ptr<kvtest::GuiAufzeichnung> ui_;
  std::unique_ptr<QTemporaryDir> dir_;
  std::string daten_;
};

void TestBkverwaltungsdlg::init() {
  ui_ = std::make_unique<kvtest::GuiAufzeichnung>();
  dir_ = std::make_unique<QTemporaryDir>();
  daten_ = dir_->path().toStdString();
}

void TestBkverwaltungsdlg::cleanup() {
  dir_.reset();
  ui_.reset();
}

void TestBkverwaltungsdlg::nummerWaehlen() {
  CSelMandantDlg d(daten_);
  d.show();
  QCOMPARE(d.NummerFeld()->text(), QStringLiteral("1"));
  QCOMPARE(d.NummerFeld()->selectedText(), QStringLiteral("1"));
  QCOMPARE(d.NummerFeld()->maxLength(), 3);
  QTest::keyClicks(d.NummerFeld(), "1a2");
  QCOMPARE(d.NummerFeld()->text(), QStringLiteral("12"));
  QCOMPARE(d.NummerFeld()->cursorPosition(), 2);
  QVERIFY(ui_->meldungen.empty());

  for (const char* falsch : {"0", "", "000"}) {
    d.NummerFeld()->setText(QString::fromLatin1(falsch));
    d.OkKnopf()->click();
    QVERIFY(d.isVisible());
    QCOMPARE(ui_->meldungen.size(), size_t(1));
    QCOMPARE(ui_->meldungen.back().text, std::string("Nur Buchungskreisnummern von 1-999 zulässig !"));
    QCOMPARE(ui_->meldungen.back().art, 48);
    ui_->meldungen.clear();
  }

  // The master-data dialog opens for the number; cancelling it keeps the
  // number dialog open with the number selected.
  d.NummerFeld()->setText("12");
  int gesehen = 0;
  kvtest::BeiDialog([&](QWidget* w) {
    auto* m = qobject_cast<CMandantEinrichtDlg*>(w);
    QVERIFY(m);
    QCOMPARE(m->NummerFeld()->text(), QStringLiteral("12"));
    QVERIFY(m->NummerFeld()->isReadOnly());
    ++gesehen;
    m->reject();
  });
  d.OkKnopf()->click();
  QCOMPARE(gesehen, 1);
  QVERIFY(d.isVisible());
  QCOMPARE(d.NummerFeld()->selectedText(), QStringLiteral("12"));
  QVERIFY(!QFile::exists(QString::fromStdString(Stamm(12))));

  // Its "&OK" creates the circle and closes the number dialog.
  kvtest::BeiDialog([](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
  d.OkKnopf()->click();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QVERIFY(!d.isVisible());
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  QCOMPARE(ui_->meldungen.back().text,
           std::string("Buchungskreis ist angelegt und wird neu eingelesen !"));
  QCOMPARE(ui_->meldungen.back().titel, std::string("INFORMATION"));
  QVERIFY(QFile::exists(QString::fromStdString(Stamm(12))));
}

void TestBkverwaltungsdlg::neuerBuchungskreis() {
  CMandantEinrichtDlg d(daten_, 12);
  d.show();
  // Start values of a new circle (today is 15.03.2010 in these tests).
  QCOMPARE(d.JahrFeld()->text(), QStringLiteral("2010"));
  QCOMPARE(d.MonatFeld()->text(), QStringLiteral("1"));
  QVERIFY(!d.MonatFeld()->isEnabled() && !d.MonatLabel()->isEnabled() &&
          !d.MonatHinweis()->isEnabled());
  QCOMPARE(d.NameFeld()->text(), QString());
  QCOMPARE(d.NameFeld()->maxLength(), 56);
  QCOMPARE(d.KontenrahmenFeld()->text(), QStringLiteral("03"));
  QCOMPARE(d.WaehrungFeld()->text(), QStringLiteral("EUR"));
  QVERIFY(d.MwstKnopf()->isChecked() && d.EuRechnungKnopf()->isChecked());
  QVERIFY(!d.AutoBelegKnopf()->isChecked());
  QVERIFY(!d.BelegFeld()->isEnabled() && !d.BelegLabel()->isEnabled());
  QVERIFY(d.PasswortHinweis()->isHidden());

  // The year decides about the first month while typing.
  d.JahrFeld()->setText("0708");
  QVERIFY(d.MonatFeld()->isEnabled() && d.MonatLabel()->isEnabled());
  d.JahrFeld()->setText("2007");
  QVERIFY(!d.MonatFeld()->isEnabled());
  d.JahrFeld()->clear();
  QTest::keyClicks(d.JahrFeld(), "07x08");
  QCOMPARE(d.JahrFeld()->text(), QStringLiteral("0708"));
  QVERIFY(d.MonatFeld()->isEnabled());
  QVERIFY(ui_->meldungen.empty());

  d.MonatFeld()->setText("9");
  d.MonatFeld()->setText("13");
  QCOMPARE(d.MonatFeld()->text(), QStringLiteral("9"));  // the last valid month, not 0
  QVERIFY(ui_->Hat("Maximaler Betrag: 12"));
  d.MonatFeld()->setText("7");

  // The chart of accounts is completed or refused on leaving the field.
  d.KontenrahmenFeld()->setText("05");
  Verlasse(d.KontenrahmenFeld());
  QCOMPARE(d.KontenrahmenFeld()->text(), QStringLiteral("03"));
  QVERIFY(ui_->Hat("Nur Kontenrahmen '03' oder '04' zulässig !"));
  d.KontenrahmenFeld()->setText("4");
  Verlasse(d.KontenrahmenFeld());
  QCOMPARE(d.KontenrahmenFeld()->text(), QStringLiteral("04"));

  d.WaehrungFeld()->setText("chf");
  QCOMPARE(d.WaehrungFeld()->text(), QStringLiteral("CHF"));
  d.AutoBelegKnopf()->click();
  QVERIFY(d.BelegFeld()->isEnabled() && d.BelegLabel()->isEnabled());
  d.BelegFeld()->setText("4-2");
  QCOMPARE(d.BelegFeld()->text(), QStringLiteral("42"));
  d.NameFeld()->setText(QString::fromUtf8("Bäckerei Süß"));

  // Elster data of a circle that does not exist yet go with the master data.
  kvtest::BeiDialog([](QWidget* w) {
    auto* e = qobject_cast<CElsterDatenDlg*>(w);
    QVERIFY(e);
    QCOMPARE(e->Feld(0)->text(), QString());
    QCOMPARE(e->Feld(0)->maxLength(), 13);
    e->Feld(0)->setText("111/333/12345");
    e->accept();
  });
  d.ElsterKnopf()->click();
  QVERIFY(!QFile::exists(QString::fromStdString(Stamm(12))));

  // 0709 is no financial-year code and, as a number, below 1950.
  ui_->meldungen.clear();
  d.JahrFeld()->setText("0709");
  QVERIFY(!d.MonatFeld()->isEnabled());
  d.accept();
  QVERIFY(d.isVisible());
  QVERIFY(ui_->Hat("Ungültiges Buchungsjahr !"));
  QVERIFY(!QFile::exists(QString::fromStdString(Stamm(12))));

  d.JahrFeld()->setText("0708");
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  const std::string text = Lies(Stamm(12));
  for (const char* zeile :
       {"\r\nName=Bäckerei Süß\r\nBK-Passwort=\r\nKontenrahmen=04\r\nJahr= 708\r\n1.Monat=07\r\n"
        "MwSt=J\r\nEÜ-Rechnung=J\r\nWährung1=CHF\r\n",
        "\r\nAuto-Beleg=000042\r\n", "\r\nElsterStNr=111/333/12345\r\n"})
    QVERIFY2(Enthaelt(text, zeile), zeile);
}

void TestBkverwaltungsdlg::bestehenderBuchungskreis() {
  kv::Stammeingaben e = kv::NeueStammeingaben();
  e.jahr = "1011";
  e.ersterMonat = "7";
  e.name = "Muster GmbH";
  kv::Elsterdaten elster = {"1", "2", "3", "4", "5", "Hamburg", "7", "8"};
  QCOMPARE(kvtest::Gezeigt(kv::SpeichereStammdaten(daten_, 5, e, &elster)), 1);
  {
    kv::CIniDatei ini;
    ini.SetzeDateiname(Stamm(5));
    QCOMPARE(ini.Oeffnen(0, kvtest::Zeigend()), 1);
    ini.SchreibeWert("[BUCHUNGSKREIS]", "BK-Passwort", "geheim");
    QCOMPARE(ini.Speichern(kvtest::Zeigend()), 1);
  }

  CMandantEinrichtDlg d(daten_, 5);
  d.show();
  QVERIFY(!d.PasswortHinweis()->isHidden());
  QCOMPARE(d.JahrFeld()->text(), QStringLiteral("1011"));
  QCOMPARE(d.MonatFeld()->text(), QStringLiteral("07"));
  QVERIFY(d.MonatFeld()->isEnabled());
  QCOMPARE(d.NameFeld()->text(), QStringLiteral("Muster GmbH"));
  QCOMPARE(d.BelegFeld()->text(), QStringLiteral("0"));

  kvtest::BeiDialog([](QWidget* w) {
    auto* dlg = qobject_cast<CElsterDatenDlg*>(w);
    QVERIFY(dlg);
    QCOMPARE(dlg->Feld(5)->text(), QStringLiteral("Hamburg"));
    dlg->Feld(4)->setText("20095");
    dlg->accept();
  });
  d.ElsterKnopf()->click();
  QVERIFY(Enthaelt(Lies(Stamm(5)), "\r\nElsterPlz=20095\r\n"));

  d.NameFeld()->setText("Muster AG");
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  const std::string text = Lies(Stamm(5));
  QVERIFY(Enthaelt(text, "\r\nName=Muster AG\r\nBK-Passwort=\r\n"));
  QVERIFY(Enthaelt(text, "\r\nElsterPlz=20095\r\nElsterOrt=Hamburg\r\n"));
  QVERIFY(ui_->meldungen.empty());
}

void TestBkverwaltungsdlg::uebersicht() {
  {
    CBkUebersichtDlg leer(daten_);
    QCOMPARE(leer.Liste()->count(), 0);
    QVERIFY(ui_->Hat("Es konnten keine bislang angelegten Buchungskreise\ngefunden werden!"));
    QCOMPARE(ui_->meldungen.back().art, 64);
  }
  ui_->meldungen.clear();
  kv::Stammeingaben e = kv::NeueStammeingaben();
  for (int n : {17, 2, 1}) {
    e.name = "Kreis " + std::to_string(n);
    QCOMPARE(kvtest::Gezeigt(kv::SpeichereStammdaten(daten_, n, e)), 1);
  }
  CBkUebersichtDlg d(daten_);
  QCOMPARE(d.Liste()->count(), 3);
  QCOMPARE(d.Liste()->item(0)->text(), QStringLiteral("  001   Kreis 1").leftJustified(68));
  QVERIFY(d.Liste()->item(1)->text().startsWith("  002   Kreis 2"));
  QVERIFY(d.Liste()->item(2)->text().startsWith("  017   Kreis 17"));
  QVERIFY(ui_->meldungen.empty());
}

QTEST_MAIN(TestBkverwaltungsdlg)
#include "test_bkverwaltungsdlg.moc"
