// A report of 10,000 full pages in the screen window.  The window reads only
// the rows it shows, so a repaint at the end of the report costs what one at
// its first page costs, and what it draws is exactly the work file's rows.
// Prints the measured times; asserts only generous bounds.
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <vector>

#include "guihilfe.h"
#include "reports/druck.h"
#include "ui/bildschirmausgabe.h"
#include "ui/qtext.h"
#include "ui/schriften.h"

using namespace kvui;

namespace {

// A full Saldenbilanz page at 68 lines per page: ten head lines, 48 body lines.
constexpr int kKopfzeilen = 10;
constexpr int kRumpfzeilen = 48;

// Median of `n` runs of `f`, each returning the milliseconds it measured.
template <class F>
double Median(int n, F f) {
  std::vector<double> t;
  for (int i = 0; i < n; ++i) t.push_back(f());
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

template <class F>
double Stoppe(F f) {
  QElapsedTimer uhr;
  uhr.start();
  f();
  return uhr.nsecsElapsed() / 1e6;
}

}  // namespace

class TestGrosserBericht : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void endeSoSchnellWieAnfang();
  void seitengrenzenWieZeileFuerZeile();
  void lesefehlerEinmalGemeldet();

 private:
  // What the window must draw from top row `oben`: the rows read straight
  // from the work file, a blank row before each page boundary.
  QStringList Erwartet(int64_t oben, int64_t sichtbar);
  void PruefeAnzeige(const CBildschirmAusgabeDlg& w);

  QTemporaryDir dir_;
  std::unique_ptr<kvtest::GuiAufzeichnung> ui_;
  kv::Druckzustand z_;
  std::string pfad_;
};

void TestGrosserBericht::initTestCase() {
  QVERIFY(dir_.isValid());
  ui_ = std::make_unique<kvtest::GuiAufzeichnung>();
  pfad_ = (dir_.path() + "/~print~.tmp").toStdString();
  QElapsedTimer uhr;
  uhr.start();
  QVERIFY(z_.OeffneDruckdatei(pfad_, 67));
  kv::Druckauswahl a;
  a.ZeilenProSeite = 68;
  z_.SetzeZeilenJeSeite(a, kv::kAusgabeSaldenbilanz);
  QCOMPARE(z_.ZeilenJeSeite, kRumpfzeilen);
  for (int p = 1; p <= kv::kMaxSeiten; ++p) {
    z_.BeginneSeite(p > 1);
    for (int k = 0; k < kKopfzeilen; ++k)
      z_.SchreibeKopfzeile("KOPF " + std::to_string(p) + "." + std::to_string(k) + " \xAD\xE4");
    for (int k = 0; k < kRumpfzeilen; ++k)
      z_.SchreibeZeile("S" + std::to_string(p) + " Z" + std::to_string(k));
  }
  QVERIFY(z_.SchliesseDruckdatei(a));
  QCOMPARE(z_.Seitenzahl(), kv::kMaxSeiten);
  qInfo("work file of %d pages, %lld bytes, written in %lld ms", z_.Seitenzahl(),
        static_cast<long long>(z_.Seitenende[z_.Seitenzahl()]),
        static_cast<long long>(uhr.elapsed()));
}

QStringList TestGrosserBericht::Erwartet(int64_t oben, int64_t sichtbar) {
  QFile f(QString::fromStdString(pfad_));
  if (!f.open(QIODevice::ReadOnly)) return {QStringLiteral("unlesbar")};
  const int l = 67;
  const int64_t n = f.size() / l;
  QStringList r;
  for (int64_t i = oben; i <= oben + sichtbar; ++i) {
    for (int p = 1; p <= z_.Seitenzahl(); ++p)
      if (z_.Seitenende[p] / l == i) r << QString();
    if (i < n && f.seek(i * l))
      r << Berichtstext(f.read(l - 2).toStdString());
    else
      r << QString();
  }
  return r;
}

void TestGrosserBericht::PruefeAnzeige(const CBildschirmAusgabeDlg& w) {
  QCOMPARE(w.GezeichneteZeilen(), Erwartet(w.Lauf().Oben(), w.Lauf().Sichtbar()));
}

void TestGrosserBericht::endeSoSchnellWieAnfang() {
  const QFont schrift = Zellenschrift("Courier New", 20, 8, 400);
  QElapsedTimer uhr;
  uhr.start();
  CBildschirmAusgabeDlg w(z_, schrift, 8, 18, QRect(0, 0, 800, 600), nullptr);
  w.show();
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  const double oeffnen = uhr.nsecsElapsed() / 1e6;
  const int64_t n = w.Lauf().Zeilen();
  QCOMPARE(n, z_.Seitenende[kv::kMaxSeiten] / 67);

  auto neuZeichnen = [&] { return Stoppe([&] { w.viewport()->repaint(); }); };
  QTest::keyClick(&w, Qt::Key_Home, Qt::ControlModifier);
  const double erste = Median(15, neuZeichnen);
  PruefeAnzeige(w);

  const double strgEnde = Median(9, [&] {
    // From the top each time, so every Ctrl+End moves and repaints.
    QTest::keyClick(&w, Qt::Key_Home, Qt::ControlModifier);
    return Stoppe([&] { QTest::keyClick(&w, Qt::Key_End, Qt::ControlModifier); });
  });
  QCOMPARE(w.Lauf().Oben(), n - w.Lauf().Sichtbar() + 3);
  const double letzte = Median(15, neuZeichnen);
  PruefeAnzeige(w);
  QVERIFY(w.GezeichneteZeilen().contains(QStringLiteral("S10000 Z47").leftJustified(65)));

  // A page boundary on the screen, far into the report.
  for (int i = 0; i < 5 && !w.GezeichneteZeilen().mid(1).contains(QString()); ++i)
    QTest::keyClick(&w, Qt::Key_PageUp);
  QVERIFY(w.GezeichneteZeilen().mid(1).contains(QString()));
  PruefeAnzeige(w);
  QVERIFY(ui_->meldungen.empty());

  // The floor: the same window over a report of one page.  Work that grows
  // with the number of pages shows here, not in the ratio to page 1.
  kv::Druckzustand klein;
  QVERIFY(klein.OeffneDruckdatei((dir_.path() + "/klein.tmp").toStdString(), 67));
  kv::Druckauswahl a;
  for (int k = 0; k < 58; ++k) klein.SchreibeZeile("S1 Z" + std::to_string(k));
  QVERIFY(klein.SchliesseDruckdatei(a));
  CBildschirmAusgabeDlg e(klein, schrift, 8, 18, QRect(0, 0, 800, 600), nullptr);
  e.show();
  QVERIFY(QTest::qWaitForWindowExposed(&e));
  const double eineSeite = Median(15, [&] { return Stoppe([&] { e.viewport()->repaint(); }); });

  const double zuErster = letzte / std::max(erste, 0.05);
  const double zuEinerSeite = letzte / std::max(eineSeite, 0.05);
  qInfo("opening %.2f ms; repaint at page 1 %.3f ms, at page %d %.3f ms (ratio %.2f); "
        "Ctrl+End with its repaint %.3f ms; repaint of a one-page report %.3f ms (ratio %.2f)",
        oeffnen, erste, kv::kMaxSeiten, letzte, zuErster, strgEnde, eineSeite, zuEinerSeite);
  QVERIFY2(letzte < 50, "repaint at the last page takes 50 ms or more");
  QVERIFY2(strgEnde < 50, "Ctrl+End takes 50 ms or more");
  QVERIFY2(zuErster < 20, "the last page repaints far slower than the first");
  QVERIFY2(zuEinerSeite < 20, "repainting grows with the number of pages");
}

void TestGrosserBericht::seitengrenzenWieZeileFuerZeile() {
  // The boundaries are looked up by binary search; the result must be what
  // checking every boundary on every row gives, also with empty pages
  // (several boundaries on one row) and a table out of order.
  auto zeileFuerZeile = [](int64_t oben, int64_t sichtbar, const std::vector<int64_t>& zeilen) {
    std::vector<int64_t> r;
    for (int64_t i = oben; i <= oben + sichtbar; ++i) {
      for (size_t p = 1; p < zeilen.size(); ++p)
        if (zeilen[p] == i) r.push_back(-1);
      r.push_back(i);
    }
    return r;
  };
  auto gezeichnet = [](const std::vector<Bildzeile>& b) {
    std::vector<int64_t> r;
    for (const Bildzeile& z : b) r.push_back(z.zeile);
    return r;
  };
  const std::vector<int64_t> ende{0, 201, 201, 469, 469, 469, 804, 670, -1};
  const auto anfaenge = Seitenanfaenge(ende, 7, 67);
  QCOMPARE(anfaenge, (std::vector<int64_t>{0, 3, 3, 7, 7, 7, 10, 12}));
  const std::vector<int64_t> roh{0, 3, 3, 7, 7, 7, 12, 10};
  for (int64_t oben = 0; oben <= 14; ++oben)
    for (int64_t sichtbar = 0; sichtbar <= 5; ++sichtbar)
      QCOMPARE(gezeichnet(Bildzeilen(oben, sichtbar, anfaenge)),
               zeileFuerZeile(oben, sichtbar, roh));
}

void TestGrosserBericht::lesefehlerEinmalGemeldet() {
  kv::Druckzustand z;
  QVERIFY(z.OeffneDruckdatei((dir_.path() + "/fehler.tmp").toStdString(), 67));
  kv::Druckauswahl a;
  for (int k = 0; k < 10; ++k) z.SchreibeZeile("Z" + std::to_string(k));
  QVERIFY(z.SchliesseDruckdatei(a));
  CBildschirmAusgabeDlg w(z, Zellenschrift("Courier New", 20, 8, 400), 8, 18,
                          QRect(0, 0, 800, 600), nullptr);
  w.show();
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  ui_->meldungen.clear();
  // The rows are the last file operation of a repaint: make exactly that fail.
  kv::Fehlerinjektion::Setze(1000000);  // armed far ahead: only counts
  w.viewport()->repaint();
  const long ops = kv::Fehlerinjektion::Aufrufe();
  kv::Fehlerinjektion::Setze(ops);
  w.viewport()->repaint();
  QVERIFY(kv::Fehlerinjektion::Ausgeloest());
  kv::Fehlerinjektion::Aus();
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  QCOMPARE(ui_->meldungen[0].text, std::string("Fehler beim Lesen aus der temporären Datei !"));
  QVERIFY(w.GezeichneteZeilen().value(0).isEmpty());
  // Not repeated on every repaint while the file stays as it is ...
  w.viewport()->repaint();
  QCOMPARE(ui_->meldungen.size(), size_t(1));
  // ... and shown again once a new report has been written.
  QVERIFY(z.OeffneDruckdatei(z.Druckdatei(), 67));
  for (int k = 0; k < 12; ++k) z.SchreibeZeile("N" + std::to_string(k));
  QVERIFY(z.SchliesseDruckdatei(a));
  w.viewport()->repaint();
  QVERIFY(w.GezeichneteZeilen().value(0).startsWith("N0 "));
  QCOMPARE(ui_->meldungen.size(), size_t(1));
}

QTEST_MAIN(TestGrosserBericht)
#include "test_grosser_bericht.moc"
