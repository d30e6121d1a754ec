// The selection dialog and the report options dialogs: typing filters,
// corrections on leaving a field, OK checks with their messages and focus,
// and the two dialogs of the output choice.
#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include "guihilfe.h"
#include "ui/ausgabewahl.h"
#include "ui/berichtsdialoge.h"
#include "ui/einstellungsdlg.h"
#include "ui/kumauswahldlg.h"
#include <QFile>
#include <QTemporaryDir>

using namespace kvui;
using kv::Dialogfeld;

class TestDialoge : public QObject {
  Q_OBJECT
 private slots:
  void init() { ui_ = std::make_unique<kvtest::GuiAufzeichnung>(); }
  void cleanup() { ui_.reset(); }
  void auswahlFelderFilternBeimTippen();
  void auswahlZuGrosseZahlBehaeltAltenWert();
  void auswahlOkPrueftBezugZuerst();
  void auswahlNimmtVonGroesserBis();
  void stichmonatDialog();
  void stichmonatOkKorrigiertUndSetztFokus();
  void erfolgsrechnungTitelUndMonate();
  void auswertungUmsatzsteuerNurBeiEuer();
  void saldenlisteModusUndBeschriftung();
  void saldenlisteUngueltigesMuster();
  void kontenverlaufStichmonatBis12();
  void kontendialogeFokusAufErstemFeld();
  void unmoeglichesDruckdatum();
  void unmoeglicheBereiche();
  void textdateinameMeldetFalscheZeichen();
  void ausgabewahlOhneNamen();
  void seiteneinstellungen();
  void druckschriftgroessen();

 private:
  std::unique_ptr<kvtest::GuiAufzeichnung> ui_;
};

void TestDialoge::auswahlFelderFilternBeimTippen() {
  CKumAuswahlDlg d;
  QCOMPARE(d.windowTitle(), QString::fromUtf8("Kummulierungsdaten auswählen"));
  // Nothing of an earlier selection, and the fields stay empty until typed.
  for (QLineEdit* e : {d.JahrFeld(), d.VonFeld(), d.BisFeld(), d.BezugFeld()})
    QVERIFY(e->text().isEmpty());
  QVERIFY(ui_->meldungen.empty());
  d.show();
  d.VonFeld()->setFocus();
  QTest::keyClicks(d.VonFeld(), "1a");
  QCOMPARE(d.VonFeld()->text(), QStringLiteral("1"));
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  QCOMPARE(ui_->meldungen[0].text, std::string("Nur numerische Zeichen zulässig !"));
  QCOMPARE(ui_->meldungen[0].titel, std::string("FEHLER"));
  QCOMPARE(ui_->meldungen[0].art, 16);
  // A leading zero of a financial-year code disappears; the value stays.
  d.JahrFeld()->setText("0910");
  QCOMPARE(d.JahrFeld()->text(), QStringLiteral("910"));
  QCOMPARE(ui_->meldungen.size(), size_t(1));
}

void TestDialoge::auswahlZuGrosseZahlBehaeltAltenWert() {
  CKumAuswahlDlg d;
  d.BisFeld()->setText("12");
  d.BisFeld()->setText("1234567890");
  QCOMPARE(d.BisFeld()->text(), QStringLiteral("12"));  // the last valid entry, not 0
  QVERIFY(ui_->Hat("Maximaler Betrag: 999999999"));
  // A proposal (the last selection) fills the fields, the year selected.
  d.SchlageVor(kv::Kumulationsauswahl{3, 1, 7, "2010"});
  QCOMPARE(d.JahrFeld()->text(), QStringLiteral("2010"));
  QCOMPARE(d.BezugFeld()->text(), QStringLiteral("3"));
  QCOMPARE(d.JahrFeld()->selectedText(), QStringLiteral("2010"));
}

void TestDialoge::auswahlOkPrueftBezugZuerst() {
  CKumAuswahlDlg d;
  d.show();
  d.accept();
  QVERIFY(d.isVisible());
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  QCOMPARE(ui_->meldungen[0].art, 0);  // the platform's standard box
  QCOMPARE(ui_->meldungen[0].text, std::string("Keine gültige Nummer als Bezugsbuchungskreis!"));
  d.BezugFeld()->setText("1000");
  d.accept();
  QCOMPARE(ui_->meldungen.back().text, std::string("Keine gültige Nummer als Bezugsbuchungskreis!"));
  d.BezugFeld()->setText("3");
  d.accept();
  QCOMPARE(ui_->meldungen.back().text, std::string("Keine gültige Nummer bei 'Von Buchungskreis'!"));
  d.VonFeld()->setText("1");
  d.accept();
  QCOMPARE(ui_->meldungen.back().text, std::string("Keine gültige Nummer bei 'Bis Buchungskreis'!"));
  QVERIFY(d.isVisible());
  QCOMPARE(d.BezugFeld()->text(), QStringLiteral("3"));  // fields stay as they are
}

void TestDialoge::auswahlNimmtVonGroesserBis() {
  CKumAuswahlDlg d;
  d.show();
  d.JahrFeld()->setText("201012");
  d.VonFeld()->setText("5");
  d.BisFeld()->setText("3");
  d.BezugFeld()->setText("999");
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QVERIFY(ui_->meldungen.empty());
  QCOMPARE(d.Von(), 5);
  QCOMPARE(d.Bis(), 3);
  QCOMPARE(d.Bezug(), 999);
  QCOMPARE(d.Jahr(), std::string("20101"));  // five characters kept
}

void TestDialoge::stichmonatDialog() {
  CPrintSaldenBilanzDlg d(13);
  QCOMPARE(d.windowTitle(), QStringLiteral("Ausdruck / Vorschau Saldenbilanz"));
  QVERIFY(!d.findChildren<QLabel*>().isEmpty());
  bool label = false;
  for (QLabel* l : d.findChildren<QLabel*>()) label |= l->text() == "&Stichmonat (0-13):";
  QVERIFY(label);
  QLineEdit* monat = d.Feld(Dialogfeld::Stichmonat);
  QLineEdit* datum = d.Feld(Dialogfeld::Druckdatum);
  // Initial values from today (fixed to 15.03.2010 here).
  QCOMPARE(monat->text(), QStringLiteral("03"));
  QCOMPARE(datum->text(), QStringLiteral("15.03.10"));
  d.show();
  d.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&d));
  monat->setFocus();
  monat->selectAll();
  QTest::keyClicks(monat, "1x");
  QCOMPARE(monat->text(), QStringLiteral("1"));
  QVERIFY(ui_->meldungen.empty());  // month fields drop characters silently
  // Out of range: the whole text is selected while typing.
  monat->setText("14");
  QCOMPARE(monat->selectedText(), QStringLiteral("14"));
  // Leaving rewrites "%02i", clamped.
  monat->setText("7");
  datum->setFocus();
  QCOMPARE(monat->text(), QStringLiteral("07"));
  CPrintBilanzDlg b(12);
  QCOMPARE(b.windowTitle(), QStringLiteral("Ausdruck / Vorschau Bilanz"));
}

void TestDialoge::stichmonatOkKorrigiertUndSetztFokus() {
  CPrintSaldenBilanzDlg d(12);
  d.show();
  d.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&d));
  QLineEdit* monat = d.Feld(Dialogfeld::Stichmonat);
  monat->setText("13");
  d.accept();
  QVERIFY(d.isVisible());
  QCOMPARE(monat->text(), QStringLiteral("12"));
  QVERIFY(monat->hasFocus());
  QCOMPARE(monat->selectedText(), QStringLiteral("12"));
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QCOMPARE(d.Stichmonat(), 12);
  QCOMPARE(d.Druckdatum().tag, 15);
  QCOMPARE(d.Druckdatum().jahr, 2010);
}

void TestDialoge::erfolgsrechnungTitelUndMonate() {
  CPrintErfolgDlg e(1, 13);
  QCOMPARE(e.windowTitle(), QString::fromUtf8("Einnahme-Überschuss-Rechnung"));
  CPrintErfolgDlg g(0, 13);
  QCOMPARE(g.windowTitle(), QStringLiteral("Gewinn- und Verlust-Rechnung"));
  g.show();
  g.Feld(Dialogfeld::VonMonat)->setText("0");
  g.Feld(Dialogfeld::BisMonat)->setText("5");
  g.accept();
  QCOMPARE(g.result(), int(QDialog::Accepted));
  QCOMPARE(g.Werte().von, 0);
  QCOMPARE(g.Werte().bis, 5);
}

void TestDialoge::auswertungUmsatzsteuerNurBeiEuer() {
  CPrintAuswertungDlg mit(1, 12);
  QVERIFY(!mit.Umsatzsteuer()->isHidden());
  QVERIFY(mit.Umsatzsteuer()->isChecked());
  QCOMPARE(mit.Umsatzsteuer()->text(), QStringLiteral("&Umsatzsteuerkonten einbeziehen "));
  CPrintAuswertungDlg ohne(0, 12);
  QVERIFY(ohne.Umsatzsteuer()->isHidden());
  ohne.show();
  ohne.accept();
  QCOMPARE(ohne.result(), int(QDialog::Accepted));
  QVERIFY(!ohne.Werte().mitUmsatzsteuer);
  QCOMPARE(ohne.Werte().monat, 3);
}

void TestDialoge::saldenlisteModusUndBeschriftung() {
  CPrintSaldenlisteDlg d(13);
  QLineEdit* muster = d.Feld(Dialogfeld::Kontengruppe);
  QLineEdit* von = d.Feld(Dialogfeld::VonKonto);
  QLineEdit* bis = d.Feld(Dialogfeld::BisKonto);
  QVERIFY(d.Auswahl()->MusterKnopf()->isChecked());
  QVERIFY(muster->isEnabled());
  QVERIFY(!von->isEnabled() && !bis->isEnabled());
  QVERIFY(d.Breit()->isChecked());
  QVERIFY(!d.Alphabetisch()->isChecked());
  QVERIFY(d.Nullsalden()->isChecked());
  QCOMPARE(d.Nullsalden()->text(), QStringLiteral("Kon&ten ohne Anfangsbestand und"));
  QCOMPARE(d.NullsaldenZeile2()->text(), QStringLiteral("ohne Kontenbewegung auch ausgeben"));
  d.Breit()->setChecked(false);
  QCOMPARE(d.Nullsalden()->text(), QStringLiteral("Kon&ten mit Saldo Null auch "));
  QCOMPARE(d.NullsaldenZeile2()->text(), QStringLiteral("ausgeben"));
  // The pattern keeps digits, "!" and "?".
  muster->setText("1a!?");
  QCOMPARE(muster->text(), QStringLiteral("1!?"));
  // The range mode empties the pattern and enables only von / bis.
  d.Auswahl()->BereichKnopf()->click();
  QVERIFY(muster->text().isEmpty());
  QVERIFY(!muster->isEnabled() && von->isEnabled() && bis->isEnabled());
  von->setText("4x");
  QCOMPARE(von->text(), QStringLiteral("4"));
  bis->setText("4999");
  d.show();
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QCOMPARE(d.Werte().auswahl.vonKonto, 4000);
  QCOMPARE(d.Werte().auswahl.bisKonto, 4999);
  QVERIFY(d.Werte().auswahl.kontengruppe.empty());
  QVERIFY(!d.Werte().breit);
}

void TestDialoge::saldenlisteUngueltigesMuster() {
  CPrintSaldenlisteDlg d(12);
  d.show();
  d.Auswahl()->BereichKnopf()->click();
  d.Feld(Dialogfeld::VonKonto)->setText("30000");
  d.accept();
  QVERIFY(d.isVisible());
  QVERIFY(ui_->Hat("Ungültige Kontonummer bzw. Kontenauswahl !"));
  // Pattern "?4??" is accepted and becomes " ?4??".
  d.Auswahl()->MusterKnopf()->click();
  d.Feld(Dialogfeld::Kontengruppe)->setText("?4??");
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QCOMPARE(d.Werte().auswahl.kontengruppe, std::string(" ?4??"));
}

void TestDialoge::kontenverlaufStichmonatBis12() {
  CPrintKontenverlaufDlg d;
  QCOMPARE(d.windowTitle(), QString::fromUtf8("Kontenverläufe"));
  QCOMPARE(d.Auswahl()->MusterKnopf()->text(), QStringLiteral("Konten&gruppe (mit Joker)"));
  d.show();
  d.Feld(Dialogfeld::Stichmonat)->setText("13");
  d.accept();
  QVERIFY(d.isVisible());
  QCOMPARE(d.Feld(Dialogfeld::Stichmonat)->text(), QStringLiteral("12"));
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QCOMPARE(d.Werte().monat, 12);
  QCOMPARE(d.Werte().auswahl.kontengruppe, std::string("?????"));
}

void TestDialoge::kontendialogeFokusAufErstemFeld() {
  // The pattern field, not the radio button in front of it: what is typed
  // replaces the proposal.
  CPrintSaldenlisteDlg s(12);
  CPrintKontenverlaufDlg k;
  for (Berichtsdialog* d : {static_cast<Berichtsdialog*>(&s), static_cast<Berichtsdialog*>(&k)}) {
    QLineEdit* muster = d->Feld(Dialogfeld::Kontengruppe);
    muster->setText("4!");
    d->show();
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d));
    QVERIFY(muster->hasFocus());
    QCOMPARE(muster->selectedText(), QStringLiteral("4!"));
    QTest::keyClicks(muster, "84??");
    QCOMPARE(muster->text(), QStringLiteral("84??"));
    d->reject();
  }
  // In range mode the first of the two account fields.
  CPrintSaldenlisteDlg b(12);
  b.Auswahl()->BereichKnopf()->click();
  b.show();
  b.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&b));
  QVERIFY(b.Feld(Dialogfeld::VonKonto)->hasFocus());
}

void TestDialoge::unmoeglichesDruckdatum() {
  CPrintSaldenBilanzDlg d(12);
  d.show();
  d.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&d));
  QLineEdit* datum = d.Feld(Dialogfeld::Druckdatum);
  datum->setFocus();
  datum->setText("32.13.10");
  d.Feld(Dialogfeld::Stichmonat)->setFocus();  // leaving keeps the entry
  QCOMPARE(datum->text(), QStringLiteral("32.13.10"));
  d.accept();
  QVERIFY(d.isVisible());
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  QCOMPARE(ui_->meldungen[0].titel, std::string("Druckdatum"));
  QVERIFY(ui_->meldungen[0].text.find("32.13.10") != std::string::npos);
  QCOMPARE(datum->text(), QStringLiteral("32.13.10"));
  QVERIFY(datum->hasFocus());
  // Parts left out are completed as before; no message.
  datum->setText("1.2");
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  QCOMPARE(d.Druckdatum().tag, 1);
  QCOMPARE(d.Druckdatum().monat, 2);
}

void TestDialoge::unmoeglicheBereiche() {
  // Each field right on its own, together impossible: a message naming the
  // fields, the dialog open with the entry, the focus on the first field.
  {
    CPrintErfolgDlg g(0, 12);
    g.show();
    g.Feld(Dialogfeld::VonMonat)->setText("07");
    g.Feld(Dialogfeld::BisMonat)->setText("03");
    g.accept();
    QVERIFY(g.isVisible());
    QCOMPARE(ui_->meldungen.back().titel, std::string("Zeitraum"));
    QVERIFY(ui_->meldungen.back().text.find("\"von\" (07)") != std::string::npos);
    QCOMPARE(g.Feld(Dialogfeld::VonMonat)->text(), QStringLiteral("07"));
  }
  {
    CPrintSaldenlisteDlg d(12);
    d.show();
    d.Auswahl()->BereichKnopf()->click();
    d.Feld(Dialogfeld::VonKonto)->setText("4999");
    d.Feld(Dialogfeld::BisKonto)->setText("4000");
    d.accept();
    QVERIFY(d.isVisible());
    QCOMPARE(ui_->meldungen.back().titel, std::string("Kontenauswahl"));
    QVERIFY(ui_->meldungen.back().text.find("(4999)") != std::string::npos);
    QCOMPARE(d.Feld(Dialogfeld::BisKonto)->text().trimmed(), QStringLiteral("4000"));
  }
  {
    CPrintKontenverlaufDlg k;
    k.show();
    k.Feld(Dialogfeld::Kontengruppe)->setText("84000");
    k.accept();
    QVERIFY(k.isVisible());
    QCOMPARE(ui_->meldungen.back().titel, std::string("Kontenauswahl"));
    QVERIFY(ui_->meldungen.back().text.find("84000") != std::string::npos);
    // Five positions are right for the personal accounts.
    k.Feld(Dialogfeld::Kontengruppe)->setText("1????");
    k.accept();
    QCOMPARE(k.result(), int(QDialog::Accepted));
  }
}

void TestDialoge::textdateinameMeldetFalscheZeichen() {
  CTextDateiNameDlg d;
  QCOMPARE(d.windowTitle(), QStringLiteral("Eingabe Textdatei-Name"));
  QCOMPARE(d.NamensFeld()->text(), QStringLiteral("kv.txt"));
  d.show();
  d.NamensFeld()->setFocus();
  d.NamensFeld()->setCursorPosition(2);
  // A blank says nothing while typing; OK refuses it with one message.
  QTest::keyClick(d.NamensFeld(), Qt::Key_Space);
  QCOMPARE(d.NamensFeld()->text(), QStringLiteral("kv .txt"));  // stays as typed
  QVERIFY(ui_->meldungen.empty());
  d.accept();
  QVERIFY(d.isVisible());
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  QCOMPARE(ui_->meldungen[0].titel, std::string("Name der Textdatei"));
  QVERIFY(ui_->meldungen[0].text.find("Leerzeichen") != std::string::npos);
  ui_->meldungen.clear();
  // Another wrong character: the 8.3 message at once, the caret one place back.
  d.NamensFeld()->setText("kv.txt");
  d.NamensFeld()->setCursorPosition(2);
  QTest::keyClick(d.NamensFeld(), Qt::Key_Plus);
  QCOMPARE(d.NamensFeld()->text(), QStringLiteral("kv+.txt"));  // stays as typed
  QCOMPARE(d.NamensFeld()->cursorPosition(), 2);
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  QVERIFY(ui_->meldungen[0].text.find("Format 8.3") != std::string::npos);
  // The hint names a Linux directory, no drive letters.
  QVERIFY(!d.Hinweis()->text().contains("C:"));
  QVERIFY(d.Hinweis()->text().contains("/Daten/BK000001"));
  d.SetzeZiel("Daten", 3);
  QVERIFY(d.Hinweis()->text().contains(QDir::current().absoluteFilePath("Daten/BK000003")));
  QVERIFY(d.DurchsuchenKnopf());
  d.NamensFeld()->setText("A:KV.TXT");
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  d.NamensFeld()->setText("ab:x");
  QCOMPARE(ui_->meldungen.size(), size_t(2));
  d.accept();
  QCOMPARE(d.Name(), std::string("ab:x"));  // OK takes the text unchanged
}

void TestDialoge::ausgabewahlOhneNamen() {
  CPrintOrPreviewDlg d;
  QCOMPARE(d.windowTitle(), QStringLiteral("Ausgabe Drucker oder Bildschirm"));
  QCOMPARE(d.Knopf(CPrintOrPreviewDlg::Textdatei)->text(), QStringLiteral("Ausgabe  in &Textdatei"));
  QCOMPARE(d.Auswahl(), CPrintOrPreviewDlg::Bildschirm);
  d.Knopf(CPrintOrPreviewDlg::Textdatei)->setChecked(true);
  kvtest::BeiDialog([](QWidget* w) {
    QVERIFY(qobject_cast<CTextDateiNameDlg*>(w));
    qobject_cast<QDialog*>(w)->reject();
  });
  d.show();
  d.accept();
  QCOMPARE(d.result(), int(QDialog::Accepted));  // closes with OK in any case
  QVERIFY(!d.NameGegeben());
}

void TestDialoge::seiteneinstellungen() {
  QTemporaryDir dir;
  const QString alt = QDir::currentPath();
  QDir::setCurrent(dir.path());
  {
    kv::CKv02Doc dok;
    dok.Konfiguration.SetzeDateiname("kalvento.ini");
    dok.Konfiguration.konfiguration.zeilenProSeite = 68;
    CSeitenEinstellungDlg d(dok);
    QCOMPARE(d.Zeilenfeld()->text(), QStringLiteral("68"));
    QCOMPARE(d.Randfeld()->text(), QStringLiteral("0"));
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    d.Zeilenfeld()->selectAll();
    QTest::keyClicks(d.Zeilenfeld(), "9a");
    QCOMPARE(d.Zeilenfeld()->text(), QStringLiteral("9"));
    QVERIFY(ui_->Hat("Nur numerische Zeichen zulässig !"));
    QTest::keyClicks(d.Zeilenfeld(), "5");
    QCOMPARE(d.Zeilenfeld()->text(), QStringLiteral("9"));  // the last valid entry, not 0
    QVERIFY(ui_->Hat("Maximaler Betrag: 90"));
    // Fewer than 35 lines are refused on OK, and nothing is saved.
    ui_->meldungen.clear();
    d.accept();
    QVERIFY(d.isVisible());
    QCOMPARE(ui_->meldungen.size(), size_t(1));
    QCOMPARE(ui_->meldungen[0].titel, std::string("Seiteneinstellungen"));
    QVERIFY(ui_->meldungen[0].text.find("35 bis 90") != std::string::npos);
    QCOMPARE(d.Zeilenfeld()->text(), QStringLiteral("9"));
    QVERIFY(!QFile::exists("kalvento.ini"));
    d.Zeilenfeld()->setText("72");
    d.Randfeld()->setText("4");
    QCOMPARE(d.Randfeld()->text(), QStringLiteral("0"));
    QVERIFY(ui_->Hat("Maximaler Betrag: 3"));
    d.Randfeld()->setText("2");
    d.accept();
    QCOMPARE(dok.Konfiguration.konfiguration.zeilenProSeite, 72);
    QFile f("kalvento.ini");
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray ini = f.readAll();
    QVERIFY(ini.contains("Zeilen pro Seite=72\r\n"));
    QVERIFY(ini.contains("Rand oben=2\r\n"));
  }
  QDir::setCurrent(alt);
}

void TestDialoge::druckschriftgroessen() {
  QCOMPARE(PruefeDruckgroessen(99, 150), 1);
  QCOMPARE(PruefeDruckgroessen(99, 301), 2);
  QCOMPARE(PruefeDruckgroessen(100, 300), 0);
  QTemporaryDir dir;
  const QString alt = QDir::currentPath();
  QDir::setCurrent(dir.path());
  {
    kv::CKv02Doc dok;
    dok.Konfiguration.SetzeDateiname("kalvento.ini");
    std::snprintf(dok.Konfiguration.konfiguration.fontPrnNormal, 8, "240");
    std::snprintf(dok.Konfiguration.konfiguration.fontPrnSchmal, 8, "144");
    CFontSizeDlg d(dok, nullptr);
    QCOMPARE(d.Normalfeld()->text(), QStringLiteral("240"));
    QCOMPARE(d.Normalfeld()->maxLength(), 3);
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    d.Normalfeld()->setText("9x9");
    QCOMPARE(d.Normalfeld()->text(), QStringLiteral("99"));
    QVERIFY(ui_->meldungen.empty());  // dropped silently
    d.accept();
    QVERIFY(d.isVisible());
    QVERIFY(ui_->Hat("Nur Werte von 100 bis 300 zulässig !"));
    QVERIFY(d.Normalfeld()->hasFocus());
    QCOMPARE(d.Normalfeld()->selectedText(), QStringLiteral("99"));
    QVERIFY(!QFile::exists("kalvento.ini"));
    d.Normalfeld()->setText("200");
    d.accept();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(std::string(dok.Konfiguration.konfiguration.fontPrnNormal), std::string("200"));
    QFile f("kalvento.ini");
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("Font Prn normal=200\r\n"));
  }
  QDir::setCurrent(alt);
}

QTEST_MAIN(TestDialoge)
#include "test_dialoge.moc"
