// The outputs of a finished report: the scroll arithmetic and the screen
// window over a real work file, and the page layout of printing.
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "guihilfe.h"
#include "reports/druck.h"
#include "ui/ansicht.h"
#include "ui/ausgabewahl.h"
#include "ui/bildlauf.h"
#include "ui/bildschirmausgabe.h"
#include "ui/druckausgabe.h"
#include "ui/schriften.h"

using namespace kvui;

namespace {

// Writes a report of `seiten` pages of `zeilen` body rows each, rows
// "S<p> Z<k>", with the engine the reports use.
void SchreibeBericht(kv::Druckzustand& z, const std::string& pfad, int satzbreite, int seiten,
                     int zeilen) {
  QVERIFY(z.OeffneDruckdatei(pfad, satzbreite));
  kv::Druckauswahl a;
  a.ZeilenProSeite = zeilen + 20;
  a.RandOben = 0;
  z.SetzeZeilenJeSeite(a, kv::kAusgabeSaldenbilanz);
  for (int p = 1; p <= seiten; ++p) {
    z.BeginneSeite(p > 1);
    z.SchreibeKopfzeile("KOPF " + std::to_string(p));
    for (int k = 0; k < zeilen; ++k)
      z.SchreibeZeile("S" + std::to_string(p) + " Z" + std::to_string(k));
  }
  QVERIFY(z.SchliesseDruckdatei(a));
  QCOMPARE(z.Seitenzahl(), seiten);
}

class Aufzeichner : public Zeilenzeichner {
 public:
  struct Zeile {
    int x, y;
    std::string text;
    bool schmal;
  };
  std::vector<Zeile> zeilen;
  bool Zeichne(int x, int y, const std::string& text, bool schmal) override {
    zeilen.push_back({x, y, text, schmal});
    return true;
  }
};

}  // namespace

class TestAusgabe : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void skalaDerLaufleiste();
  void tastenUndGrenzen();
  void seitlichesBlaettern();
  void leerzeilenZwischenSeiten();
  void vermessungDerArbeitsdatei();
  void fensterZeigtSichtbareZeilen();
  void fensterZeigtNeuenBericht();
  void druckseiteLageUndSchrift();
  void druckInPdf();
  void textdateinameKeinBuch();

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<kvtest::GuiAufzeichnung> ui_;
  std::string Pfad(const char* name) const { return (dir_->path() + "/" + name).toStdString(); }
};

void TestAusgabe::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  ui_ = std::make_unique<kvtest::GuiAufzeichnung>();
}
void TestAusgabe::cleanup() {
  ui_.reset();
  dir_.reset();
}

void TestAusgabe::skalaDerLaufleiste() {
  Bildlauf l;
  l.Einrichten(9999, 8, 23, 600);
  l.SetzeSichtbar(30);
  QCOMPARE(l.Skala(), 1);
  QCOMPARE(l.VMax(), 9999 - 30 + 3);
  l.SetzeZeilen(10000);
  QCOMPARE(l.Skala(), 10);
  l.SetzeZeilen(10001);
  QCOMPARE(l.Skala(), 10);
  QCOMPARE(l.VMax(), (10001 - 30 + 3) / 10);
  l.SetzeZeilen(100001);
  QCOMPARE(l.Skala(), 100);
  l.SetzeZeilen(1000001);
  QCOMPARE(l.Skala(), 1000);
  // Dragging the thumb moves by whole scale steps.
  l.SetzeZeilen(50000);
  QVERIFY(l.Vertikal(Laufaktion::Ziehen, 7));
  QCOMPARE(l.Oben(), 70);
  QCOMPARE(l.VPos(), 7);
  // Top and bottom of the bar leave the top row where it is.
  QVERIFY(!l.Vertikal(Laufaktion::Schluss));
  QCOMPARE(l.Oben(), 70);
  // A short report: range never negative.
  l.SetzeZeilen(5);
  QCOMPARE(l.VMax(), 0);
}

void TestAusgabe::tastenUndGrenzen() {
  Bildlauf l;
  l.Einrichten(100, 8, 20, 600);
  l.Groesse(800, 390);  // V = 390 / 20 + 1 = 20
  QCOMPARE(l.Sichtbar(), 20);
  QVERIFY(!l.Druecke(Taste::Hoch));  // Up at the top changes nothing
  QVERIFY(l.Druecke(Taste::BildRunter));
  QCOMPARE(l.Oben(), 19);
  for (int i = 0; i < 10; ++i) l.Druecke(Taste::BildRunter);
  QCOMPARE(l.Oben(), 100 - 20 + 3);  // stops three rows past the last full screen
  QVERIFY(!l.Druecke(Taste::Runter));
  QVERIFY(l.Druecke(Taste::BildHoch));
  QCOMPARE(l.Oben(), 83 - 19);
  QVERIFY(l.Druecke(Taste::StrgPos1));
  QCOMPARE(l.Oben(), 0);
  QVERIFY(l.Druecke(Taste::StrgEnde));
  QCOMPARE(l.Oben(), 83);
  QVERIFY(l.Druecke(Taste::Hoch));
  QCOMPARE(l.Oben(), 82);
  // A report shorter than the window: Ctrl+End stays at the top.
  Bildlauf k;
  k.Einrichten(5, 8, 20, 600);
  k.Groesse(800, 390);
  QVERIFY(!k.Druecke(Taste::StrgEnde));
  QCOMPARE(k.Oben(), 0);
  QVERIFY(!k.Druecke(Taste::BildRunter));
}

void TestAusgabe::seitlichesBlaettern() {
  // 110 columns at 8 pixels: W = 110 * 8 + 44 = 924.
  Bildlauf l;
  l.Einrichten(50, 8, 20, 924);
  l.Groesse(500, 300);
  QCOMPARE(l.HMax(), (924 - 500) / 8);
  QCOMPARE(l.HSeite(), 500 / 8);
  QVERIFY(l.Druecke(Taste::Rechts));
  QCOMPARE(l.X0(), 20 - 8);
  QVERIFY(l.Druecke(Taste::Ende));
  QCOMPARE(l.H(), l.HMax());
  QVERIFY(!l.Druecke(Taste::Rechts));
  QVERIFY(l.Horizontal(Laufaktion::SeiteZurueck));
  QCOMPARE(l.H(), std::max(0, l.HMax() - l.HSeite()));  // kept within 0 .. Hmax
  l.Druecke(Taste::Rechts);
  QVERIFY(l.Druecke(Taste::Pos1));
  QCOMPARE(l.X0(), 20);
  // Wider than the text: nothing to scroll.
  l.Groesse(1000, 300);
  QCOMPARE(l.HMax(), 0);
  QCOMPARE(l.HSeite(), 0);
  QVERIFY(!l.Druecke(Taste::Ende));
  QVERIFY(!l.Druecke(Taste::Rechts));
  QVERIFY(!l.Horizontal(Laufaktion::SeiteVor));
}

void TestAusgabe::leerzeilenZwischenSeiten() {
  // Three pages of 10 rows: blank rows before rows 10 and 20 only (and
  // below the end, where everything is blank anyway).
  const std::vector<int64_t> ende{0, 670, 1340, 2010, -1};
  const auto anf = Seitenanfaenge(ende, 3, 67);
  QCOMPARE(anf, (std::vector<int64_t>{0, 10, 20, 30}));
  const auto z = Bildzeilen(0, 28, anf);
  std::vector<int64_t> leer;
  for (size_t i = 0; i < z.size(); ++i)
    if (z[i].zeile < 0) leer.push_back(z[i + 1].zeile);
  QCOMPARE(leer, (std::vector<int64_t>{10, 20}));
  QCOMPARE(z.size(), size_t(29 + 2));
  // One page: no separator inside the report.
  const auto eine = Bildzeilen(0, 9, Seitenanfaenge({0, 670, -1}, 1, 67));
  for (const auto& b : eine) QVERIFY(b.zeile >= 0);
}

void TestAusgabe::vermessungDerArbeitsdatei() {
  kv::Druckzustand z;
  const std::string pfad = Pfad("~print~.tmp");
  SchreibeBericht(z, pfad, 112, 2, 5);
  Arbeitsdateimass m;
  QVERIFY(VermesseArbeitsdatei(pfad, z.Seitenende[2], m, true));
  QCOMPARE(m.laenge, 112);
  QCOMPARE(m.zeilen, z.Seitenende[2] / 112);
  // A size the page table does not expect: silently refused.
  QVERIFY(!VermesseArbeitsdatei(pfad, z.Seitenende[2] + 112, m, true));
  QVERIFY(ui_->meldungen.empty());
  // Missing, and without a consistent row length.
  QVERIFY(!VermesseArbeitsdatei(Pfad("fehlt.tmp"), 200, m, true));
  QVERIFY(ui_->Hat("Temporäre Datei konnte nicht geöffnet werden !"));
  QFile f(QString::fromStdString(Pfad("krumm.tmp")));
  QVERIFY(f.open(QIODevice::WriteOnly));
  QByteArray krumm;
  for (int i = 0; i < 20; ++i) krumm += QByteArray(60 + (i % 3), 'x') + "\r\n";
  f.write(krumm);
  f.close();
  QVERIFY(!VermesseArbeitsdatei(Pfad("krumm.tmp"), krumm.size(), m, true));
  QVERIFY(ui_->Hat("Fehler beim Lesen aus der temporären Datei !"));
  QCOMPARE(m.laenge, 0);
}

void TestAusgabe::fensterZeigtSichtbareZeilen() {
  kv::Druckzustand z;
  SchreibeBericht(z, Pfad("~print~.tmp"), 67, 3, 10);
  const QFont schrift = Zellenschrift("Courier New", 20, 8, 400);
  CBildschirmAusgabeDlg w(z, schrift, 8, 18, QRect(0, 0, 800, 600), nullptr);
  QCOMPARE(w.windowTitle(), QStringLiteral("Bildschirmausgabe"));
  // Width W + 20 = 65 * 8 + 44 + 20, height 600 - 68, 49 pixels below the top.
  QCOMPARE(w.geometry(), QRect(0, 49, 584, 532));
  w.show();
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  w.viewport()->grab();
  const QStringList& zeilen = w.GezeichneteZeilen();
  QVERIFY(zeilen.value(0).startsWith("KOPF 1"));
  QVERIFY(zeilen.value(1).startsWith("S1 Z0"));
  QCOMPARE(zeilen.value(0).size(), 65);
  const int64_t n = w.Lauf().Zeilen();
  QVERIFY(n > 30);
  // Ctrl+End and a vertical bar step back.
  QTest::keyClick(&w, Qt::Key_End, Qt::ControlModifier);
  QCOMPARE(w.Lauf().Oben(), std::max<int64_t>(0, n - w.Lauf().Sichtbar() + 3));
  QCOMPARE(w.verticalScrollBar()->value(), int(w.Lauf().VPos()));
  w.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
  QCOMPARE(w.Lauf().Oben(), std::max<int64_t>(0, n - w.Lauf().Sichtbar() + 2));
  w.viewport()->grab();
  // Below the last row only blank rows are drawn.
  QVERIFY(w.GezeichneteZeilen().last().trimmed().isEmpty());
  QTest::keyClick(&w, Qt::Key_Home, Qt::ControlModifier);
  QCOMPARE(w.Lauf().Oben(), 0);
  QVERIFY(ui_->meldungen.empty());
}

void TestAusgabe::fensterZeigtNeuenBericht() {
  kv::Druckzustand z;
  SchreibeBericht(z, Pfad("~print~.tmp"), 67, 1, 5);
  CBildschirmAusgabeDlg w(z, Zellenschrift("Courier New", 20, 8, 400), 8, 18,
                          QRect(0, 0, 800, 600), nullptr);
  w.show();
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  // The work file is overwritten by the next report; the open window shows
  // it on its next repaint.
  SchreibeBericht(z, Pfad("~print~.tmp"), 67, 2, 8);
  w.viewport()->grab();
  QVERIFY(w.GezeichneteZeilen().value(1).startsWith("S1 Z0"));
  QCOMPARE(w.Lauf().Zeilen(), z.Seitenende[2] / 67);
  // A file that no longer fits its page table is drawn blank, without a message.
  QFile::resize(QString::fromStdString(Pfad("~print~.tmp")), 67 * 3);
  w.viewport()->grab();
  QVERIFY(w.GezeichneteZeilen().value(1).isEmpty());
  QVERIFY(ui_->meldungen.empty());
}

void TestAusgabe::druckseiteLageUndSchrift() {
  kv::Druckzustand z;
  SchreibeBericht(z, Pfad("~print~.tmp"), 67, 2, 4);
  Aufzeichner a;
  const int n = DruckeSeite(z, 1, kv::kAusgabeSaldenbilanz, 3, a);
  QCOMPARE(n, int(a.zeilen.size()));
  QCOMPARE(int64_t(n), z.Seitenende[1] / 67);
  QCOMPARE(a.zeilen[0].x, 1200);
  QCOMPARE(a.zeilen[0].y, 6 * 240);  // "Rand oben" 3
  QCOMPARE(a.zeilen[1].y, 7 * 240);
  QCOMPARE(a.zeilen[0].text.substr(0, 6), std::string("KOPF 1"));
  QCOMPARE(a.zeilen[0].text.size(), size_t(65));
  for (const auto& z0 : a.zeilen) QVERIFY(!z0.schmal);
  // Page 2 starts with its own head at the top row again.
  Aufzeichner b;
  DruckeSeite(z, 2, kv::kAusgabeSaldenbilanz, 0, b);
  QCOMPARE(b.zeilen[0].y, 3 * 240);
  QCOMPARE(b.zeilen[0].text.substr(0, 6), std::string("KOPF 2"));

  // A wide report: the head in the normal font, condensed; the body narrow.
  kv::Druckzustand w;
  SchreibeBericht(w, Pfad("breit.tmp"), 112, 1, 10);
  Aufzeichner c;
  DruckeSeite(w, 1, kv::kAusgabeAuswertungMonat, 0, c);
  QVERIFY(c.zeilen.size() > 8);
  QCOMPARE(c.zeilen[0].text.size(), size_t(66));
  QVERIFY(!c.zeilen[6].schmal);
  QVERIFY(c.zeilen[7].schmal);
  QCOMPARE(c.zeilen[7].text.size(), size_t(110));
}

void TestAusgabe::druckInPdf() {
  kv::Druckzustand z;
  SchreibeBericht(z, Pfad("~print~.tmp"), 67, 3, 6);
  QPrinter drucker(QPrinter::HighResolution);
  drucker.setOutputFormat(QPrinter::PdfFormat);
  const QString pdf = dir_->path() + "/bericht.pdf";
  drucker.setOutputFileName(pdf);
  QVERIFY(DruckeBericht(drucker, z, kv::kAusgabeSaldenbilanz, 0, Druckerschriften{}));
  QFile f(pdf);
  QVERIFY(f.open(QIODevice::ReadOnly));
  const QByteArray inhalt = f.readAll();
  QVERIFY(inhalt.startsWith("%PDF"));
  QCOMPARE(inhalt.count("/Type /Page\n"), 3);
}

// OK of the name dialog opened from the report view refuses a book of the
// reference's directory and stays open; the user's own name then passes.
void TestAusgabe::textdateinameKeinBuch() {
  // A document whose configuration names /daten and whose selection names
  // reference 3 (which has no books there: nothing is cumulated).
  const QString alt = QDir::currentPath();
  QDir::setCurrent(dir_->path());
  QFile ini(dir_->path() + "/kalvento.ini");
  QVERIFY(ini.open(QIODevice::WriteOnly));
  ini.write("[KALVENTO]\r\nVersion=W001002\r\nDaten=/daten\r\nZeilen pro Seite=68\r\n");
  ini.close();
  kv::CKv02Doc dok;
  dok.LeseKonfiguration();
  dok.UebernehmeAuswahl({3, 1, 1, "2010"});
  QDir::setCurrent(alt);
  QCOMPARE(QString::fromStdString(dok.Datenverzeichnis()), QString("/daten"));
  QCOMPARE(dok.Bezugsbuchungskreis(), 3);
  CKv02View ansicht(nullptr, dok);
  CPrintOrPreviewDlg wahl(&ansicht);
  wahl.Knopf(CPrintOrPreviewDlg::Textdatei)->setChecked(true);
  bool offenGeblieben = false;
  kvtest::BeiDialog([&](QWidget* w) {
    auto* name = qobject_cast<CTextDateiNameDlg*>(w);
    QVERIFY(name);
    name->NamensFeld()->setText("b2010003.SAL");
    name->accept();
    offenGeblieben = name->isVisible() && name->NamensFeld()->selectedText() == "b2010003.SAL";
    name->NamensFeld()->setText("bericht.txt");
    name->accept();
  });
  wahl.show();
  wahl.accept();
  QVERIFY(offenGeblieben);
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  QCOMPARE(ui_->meldungen[0].titel, std::string("FEHLER"));
  QCOMPARE(ui_->meldungen[0].text,
           std::string("Die Datei '/daten/BK000003/b2010003.SAL' gehört zu den Buchhaltungsdaten "
                       "und darf nicht als Textdatei überschrieben werden !"));
  QVERIFY(wahl.NameGegeben());
  QCOMPARE(wahl.Dateiname(), std::string("bericht.txt"));
}

QTEST_MAIN(TestAusgabe)
#include "test_ausgabe.moc"
