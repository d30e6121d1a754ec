// Window geometry, dialog placement, the message box, the progress window,
// the printed row layout and the main view's layout.
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>
#include <QTest>

#include "basis/fortschritt.h"
#include "basis/stringtabelle.h"
#include "guihilfe.h"
#include "ui/ansicht.h"
#include "ui/druckausgabe.h"
#include "ui/fenstergroesse.h"
#include "ui/fortschrittsfenster.h"
#include "ui/meldungsbox.h"
#include "ui/platzierung.h"
#include "ui/uebersetzung.h"

using namespace kvui;

class TestGrundlagen : public QObject {
  Q_OBJECT
 private slots:
  void fenstergroesseOhneKonfiguration();
  void fenstergroesseAufKleinemDesktop();
  void fenstergroesseNiedrigerDesktopOhneTaskleiste();
  void platzierungsregel();
  void dialogOhneRahmenAufDemBildschirm();
  void meldungsboxUeberschriftenUndTexte();
  void meldungUeberDieNahtIstModal();
  void standardmeldungHeisstFehler();
  void fortschrittsfensterZeichnetUndMeldetAbbruch();
  void fortschrittOhneAbbruchIgnoriertEscape();
  void druckzeilenSchmal();
  void druckzeilenBreit();
  void druckerschriftenWerdenZurueckgesetzt();
  void ansichtslayout();
  void qtTexteAufDeutsch();
};

void TestGrundlagen::fenstergroesseOhneKonfiguration() {
  // A missing configuration counts as "25,08": 8 * 112 + 64 by 25 * 30 + 48.
  Fenstergeometrie g = BerechneFenstergeometrie("", 1920, 1080);
  QCOMPARE(g.breite, 960);
  QCOMPARE(g.hoehe, 798);
  QCOMPARE(g.links, 480);
  QCOMPARE(g.oben, 141);
  // Too short a value is replaced as well; a real value is used as it stands.
  Fenstergeometrie k = BerechneFenstergeometrie("25", 1920, 1080);
  QCOMPARE(k.breite, 960);
  Fenstergeometrie w = BerechneFenstergeometrie("20,10", 1920, 1080);
  QCOMPARE(w.breite, 1184);
  QCOMPARE(w.hoehe, 648);
}

void TestGrundlagen::fenstergroesseAufKleinemDesktop() {
  // The height is limited to 768, centred at the top, then 24 lower.
  Fenstergeometrie g = BerechneFenstergeometrie("25,08", 1024, 768);
  QCOMPARE(g.breite, 960);
  QCOMPARE(g.links, 32);
  QCOMPARE(g.oben, 0);
  QCOMPARE(g.hoehe, 744);
  // Width limited too.
  Fenstergeometrie b = BerechneFenstergeometrie("25,10", 1024, 768);
  QCOMPARE(b.breite, 1024);
  QCOMPARE(b.links, 0);
}

void TestGrundlagen::fenstergroesseNiedrigerDesktopOhneTaskleiste() {
  // 510 pixels or less: no room is taken for a task bar.
  Fenstergeometrie g = BerechneFenstergeometrie("25,08", 800, 480);
  QCOMPARE(g.hoehe, 480);
  QCOMPARE(g.breite, 800);
  QCOMPARE(g.oben, 0);
  // Fits entirely: nothing is reduced.
  Fenstergeometrie h = BerechneFenstergeometrie("25,08", 1920, 800);
  QCOMPARE(h.hoehe, 798);
  QCOMPARE(h.oben, 1);
}

void TestGrundlagen::platzierungsregel() {
  const QRect bildschirm(0, 0, 1000, 800);
  const QRect rahmen(70, 140, 700, 490);
  const QRect ansicht(100, 200, 400, 300);
  QCOMPARE(Referenzrechteck(&ansicht, &rahmen, bildschirm), ansicht);
  QCOMPARE(Referenzrechteck(nullptr, &rahmen, bildschirm), QRect(-30, 70, 700, 490));
  QCOMPARE(Referenzrechteck(nullptr, nullptr, bildschirm), QRect(-100, -80, 1000, 800));
  // Centred horizontally, 10 pixels above the vertical centre.
  QCOMPARE(Dialogposition(ansicht, QSize(200, 100)), QPoint(200, 290));
  // A view does not count without a frame (a dialog without owner).
  QCOMPARE(Referenzrechteck(&ansicht, nullptr, bildschirm), QRect(-100, -80, 1000, 800));
}

void TestGrundlagen::dialogOhneRahmenAufDemBildschirm() {
  KvDialog d;
  d.setFixedSize(300, 200);
  d.show();
  QVERIFY(QTest::qWaitForWindowExposed(&d));
  const QRect s = d.screen()->geometry();
  const QRect ref = s.translated(-s.width() / 10, -s.height() / 10);
  const QSize g = d.frameGeometry().size();
  QCOMPARE(d.frameGeometry().topLeft(),
           QPoint(ref.left() + (ref.width() - g.width()) / 2,
                  ref.top() + (ref.height() - g.height()) / 2 - 10));
}

void TestGrundlagen::meldungsboxUeberschriftenUndTexte() {
  {
    CMyMessageBoxDlg d(34429, 58003, 64);
    QCOMPARE(d.windowTitle(), QStringLiteral("INFORMATION"));
    QCOMPARE(d.Titel(), QStringLiteral("ACHTUNG"));
    QCOMPARE(d.Text(), QString::fromUtf8("Die geänderten Bildschirmeinstellungen werden erst beim "
                                         "nächsten Programmstart aktiviert !"));
  }
  {
    CMyMessageBoxDlg d(58049, 58001, 16);
    QCOMPARE(d.windowTitle(), QStringLiteral("FEHLER"));
    QCOMPARE(d.Titel(), QStringLiteral("FEHLER"));
    QCOMPARE(d.Text(), QString::fromUtf8("Temporäre Datei konnte nicht geöffnet werden !"));
  }
  {
    // Any kind other than 16, 48 and 64 is an error box.
    CMyMessageBoxDlg d(kv::W("Text mit Ä"), std::string("Titel"), 0);
    QCOMPARE(d.windowTitle(), QStringLiteral("FEHLER"));
    QCOMPARE(d.Text(), QString::fromUtf8("Text mit Ä"));
  }
  {
    CMyMessageBoxDlg d(std::string("x"), 58002, 48);
    QCOMPARE(d.windowTitle(), QStringLiteral("ACHTUNG"));
    QCOMPARE(d.Titel(), QStringLiteral("INFORMATION"));
  }
  {
    CMyMessageBoxDlg d(58095, std::string("INFORMATION"), 64);
    QCOMPARE(d.Text(), QStringLiteral("Abbruch durch den Benutzer !"));
    auto knoepfe = d.findChildren<QPushButton*>();
    QCOMPARE(knoepfe.size(), 1);
    QCOMPARE(knoepfe[0]->text(), QStringLiteral("&OK"));
  }
}

void TestGrundlagen::meldungUeberDieNahtIstModal() {
  QtOberflaeche ui;
  QString titel, text, fenster;
  bool modal = false;
  kvtest::BeiDialog([&](QWidget* w) {
    auto* box = qobject_cast<CMyMessageBoxDlg*>(w);
    QVERIFY(box);
    fenster = box->windowTitle();
    titel = box->Titel();
    text = box->Text();
    modal = box->isModal();
    box->accept();
  });
  kv::ZeigeMeldung(kv::W("Zeile 1\nZeile 2"), 58001, 48);
  QCOMPARE(fenster, QStringLiteral("ACHTUNG"));
  QCOMPARE(titel, QStringLiteral("FEHLER"));
  QCOMPARE(text, QStringLiteral("Zeile 1\nZeile 2"));
  QVERIFY(modal);
}

void TestGrundlagen::standardmeldungHeisstFehler() {
  QtOberflaeche ui;
  QString titel, text;
  QMessageBox::Icon symbol = QMessageBox::NoIcon;
  kvtest::BeiDialog([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    QVERIFY(box);
    titel = box->windowTitle();
    text = box->text();
    symbol = box->icon();
    box->accept();
  });
  kv::ZeigeStandardMeldung(kv::W("Keine gültige Nummer als Bezugsbuchungskreis!"));
  QCOMPARE(titel, QStringLiteral("Fehler"));
  QCOMPARE(text, QString::fromUtf8("Keine gültige Nummer als Bezugsbuchungskreis!"));
  QCOMPARE(symbol, QMessageBox::Critical);
}

static CProgress1Dlg* OffenesFortschrittsfenster() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = qobject_cast<CProgress1Dlg*>(w); d && d->isVisible()) return d;
  return nullptr;
}

void TestGrundlagen::fortschrittsfensterZeichnetUndMeldetAbbruch() {
  kvtest::GuiAufzeichnung ui;
  {
    kv::Fortschrittsanzeige f;
    f.Einrichten("Titel", "Erste Zeile", "Zweite Zeile", "Balken", 4, kv::kBalkenProzent,
                 kv::kAbbruchErlaubt);
    CProgress1Dlg* d = OffenesFortschrittsfenster();
    QVERIFY(d);
    QCOMPARE(d->windowTitle(), QStringLiteral("Titel"));
    QCOMPARE(d->Zeile1()->text(), QStringLiteral("Erste Zeile"));
    QCOMPARE(d->Zeile2()->text(), QStringLiteral("Zweite Zeile"));
    QVERIFY(d->AbbruchKnopf()->isEnabled());
    // The bar: 20 pixels inside left and right, from 60 to 40 above the bottom.
    QCOMPARE(d->Balken()->geometry(), QRect(20, d->height() - 60, d->width() - 40, 20));
    f.Schritt(1);
    QCOMPARE(d->Balken()->Text(), QStringLiteral("25%"));
    f.Schritt(1);
    QCOMPARE(d->Balken()->Text(), QStringLiteral("50%"));
    const int halb = d->Balken()->Gefuellt();
    QVERIFY(halb > 0 && halb < d->Balken()->width());
    // Filled part inverted (the bar colour RGB(64,255,255) becomes
    // RGB(191,0,0)), the rest white.
    const QImage bild = d->Balken()->grab().toImage();
    QCOMPARE(QColor(bild.pixel(3, 3)), QColor(191, 0, 0));
    QCOMPARE(QColor(bild.pixel(d->Balken()->width() - 4, 3)), QColor(Qt::white));
    QCOMPARE(f.Verarbeite(), 0);
    QTest::mouseClick(d->AbbruchKnopf(), Qt::LeftButton);
    QCOMPARE(f.Verarbeite(), 1);
    QVERIFY(d->isVisible());  // cancelling does not close the window
    f.Schliessen();
  }
  QVERIFY(!OffenesFortschrittsfenster());
  QVERIFY(ui.Hat("Abbruch durch den Benutzer !"));
}

void TestGrundlagen::fortschrittOhneAbbruchIgnoriertEscape() {
  kvtest::GuiAufzeichnung ui;
  kv::Fortschrittsanzeige f;
  f.Einrichten("T", "", "", "Wartezeit", 1000, kv::kBalkenText, kv::kAbbruchGesperrt);
  CProgress1Dlg* d = OffenesFortschrittsfenster();
  QVERIFY(d);
  QVERIFY(!d->AbbruchKnopf()->isEnabled());
  QTest::keyClick(d, Qt::Key_Escape);
  d->reject();
  QCOMPARE(f.Verarbeite(), 0);
  QVERIFY(d->isVisible());
  QCOMPARE(d->Balken()->Text(), QStringLiteral("Wartezeit"));
  f.Schliessen();
  QVERIFY(ui.meldungen.empty());
}

void TestGrundlagen::druckzeilenSchmal() {
  const std::string zeile(65, 'x');
  for (int art : {1116, 1117, 1118, 1119, 1121}) {
    QVERIFY(IstSchmalesLayout(art));
    for (int k : {0, 1, 3, 7, 20}) {
      Druckzeile d = BereiteDruckzeileAuf(zeile, k, art);
      QCOMPARE(d.text, zeile);
      QVERIFY(!d.schmaleSchrift);
    }
  }
  QCOMPARE(ZeilenobenTwips(3, 0), 6 * 240);
  QCOMPARE(ZeilenobenTwips(0, 0), 3 * 240);
  QCOMPARE(ZeilenobenTwips(0, 5), 8 * 240);
}

void TestGrundlagen::druckzeilenBreit() {
  // 110 columns: the print date at 100..109.
  std::string kopf = "AUSWERTUNG/MONAT" + std::string(84, ' ') + "31.03.2010";
  QCOMPARE(kopf.size(), size_t(110));
  for (int art : {1122, 2100, 2101, 1113, 1190}) QVERIFY(!IstSchmalesLayout(art));
  Druckzeile z0 = BereiteDruckzeileAuf(kopf, 0, 2100);
  QCOMPARE(z0.text.size(), size_t(66));
  QCOMPARE(z0.text.substr(56), std::string("31.03.2010"));
  QVERIFY(!z0.schmaleSchrift);
  // Row 3: columns 78.. move to 34.
  std::string z3 = std::string(78, 'a') + std::string(32, 'b');
  Druckzeile d3 = BereiteDruckzeileAuf(z3, 3, 2101);
  QCOMPARE(d3.text, std::string(34, 'a') + std::string(32, 'b'));
  // The wide Saldenliste moves its last "Zeitraum" 44 columns left.
  std::string sl = std::string(70, ' ') + "Zeitraum: 01.01.2010-31.03.2010";
  Druckzeile s3 = BereiteDruckzeileAuf(sl, 3, 1122);
  QCOMPARE(s3.text, std::string(26, ' ') + "Zeitraum: 01.01.2010-31.03.2010");
  std::string ohne(110, 'q');
  QCOMPARE(BereiteDruckzeileAuf(ohne, 3, 1122).text, ohne);
  // Rows 2, 4..6 unchanged in the normal font; from 7 on the narrow font.
  for (int k : {2, 4, 5, 6}) {
    QCOMPARE(BereiteDruckzeileAuf(ohne, k, 2100).text, ohne);
    QVERIFY(!BereiteDruckzeileAuf(ohne, k, 2100).schmaleSchrift);
  }
  QVERIFY(BereiteDruckzeileAuf(ohne, 7, 2100).schmaleSchrift);
  QCOMPARE(BereiteDruckzeileAuf(ohne, 7, 2100).text, ohne);
}

void TestGrundlagen::druckerschriftenWerdenZurueckgesetzt() {
  bool z = true;
  Druckerschriften s = PruefeDruckerschriften("300", "100", &z);
  QVERIFY(!z);
  QCOMPARE(s.normal, 300);
  QCOMPARE(s.schmal, 100);
  s = PruefeDruckerschriften("50", "400", &z);
  QVERIFY(!z);
  for (auto [n, m] : {std::pair{"49", "144"}, {"240", "401"}, {"", "144"}}) {
    s = PruefeDruckerschriften(n, m, &z);
    QVERIFY(z);
    QCOMPARE(s.normal, 240);
    QCOMPARE(s.schmal, 144);
  }
}

void TestGrundlagen::ansichtslayout() {
  // h = 23, w = 8: Y = 2 * 27 + 16 = 70.
  Ansichtslayout l = BerechneAnsichtslayout(23, 8);
  QCOMPARE(l.bezugLabel, QRect(24, 24, 640, 23));
  QCOMPARE(l.bezugFeld, QRect(24, 58, 640, 27));
  QCOMPARE(l.listeLabel, QRect(24, 116, 640, 23));
  QCOMPARE(l.liste, QRect(24, 150, 640, 211));
  QCOMPARE(AnsichtsInnengroesse(23, 8), QSize(694, 391));
  QCOMPARE(AnsichtsInnengroesse(25, 9), QSize(774, 425));
}

void TestGrundlagen::qtTexteAufDeutsch() {
  // Qt's own dialogs speak the user's language where Qt has it, German
  // otherwise (the "C" locale of a bare system, for one).
  const QString pfad = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  QVERIFY2(LadeQtUebersetzung(*qApp, QLocale::c(), pfad).endsWith("qtbase_de.qm"),
           "qt6-translations-l10n fehlt (./kv deps)");
  QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("Drucken"));
  QVERIFY(QCoreApplication::translate("QPrintDialog", "Print to File (PDF)") !=
          QStringLiteral("Print to File (PDF)"));
  QVERIFY(LadeQtUebersetzung(*qApp, QLocale(QLocale::French, QLocale::France), pfad)
              .endsWith("qtbase_fr.qm"));
  // Without any translation installed Qt stays English, and says so.
  QVERIFY(LadeQtUebersetzung(*qApp, QLocale::c(), QStringLiteral("/nirgends")).isEmpty());
  for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(t);
    delete t;
  }
}

QTEST_MAIN(TestGrundlagen)
#include "test_grundlagen.moc"
