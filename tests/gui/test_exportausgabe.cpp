// The desktop program's exports: where the file dialog starts, the choices
// of the output dialog, the PDF of a report's pages.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "guihilfe.h"
#include "reports/druck.h"
#include "ui/ausgabewahl.h"
#include "ui/exportausgabe.h"
#include "ui/qtext.h"

using namespace kvui;

class TestExportausgabe : public QObject {
  Q_OBJECT
 private slots:
  void ordnerErstDesBezugsDannDerLetzte();
  void ausgabewahlBietetPdfCsvUndVorschau();
  void pdfDerSeiten();
};

void TestExportausgabe::ordnerErstDesBezugsDannDerLetzte() {
  kvtest::EigeneEinstellungen::Leere();
  QTemporaryDir dir;
  QVERIFY(QDir(dir.path()).mkpath("Daten/BK000003"));
  kv::Berichtskontext k;
  k.datenverzeichnis = W1252(dir.path() + "/Daten");
  k.bezugsbuchungskreis = 3;
  QCOMPARE(Exportordner(k), QFileInfo(dir.path() + "/Daten/BK000003").absoluteFilePath());
  QVERIFY(QDir(dir.path()).mkpath("woanders"));
  MerkeExportordner(dir.path() + "/woanders/b.pdf");
  QCOMPARE(Exportordner(k), dir.path() + "/woanders");
  // A remembered folder that is gone: the reference's again.
  QVERIFY(QDir(dir.path() + "/woanders").removeRecursively());
  QCOMPARE(Exportordner(k), QFileInfo(dir.path() + "/Daten/BK000003").absoluteFilePath());
}

void TestExportausgabe::ausgabewahlBietetPdfCsvUndVorschau() {
  CPrintOrPreviewDlg dlg;
  QCOMPARE(dlg.Auswahl(), CPrintOrPreviewDlg::Bildschirm);
  for (auto [ziel, name] : {std::pair{CPrintOrPreviewDlg::Pdf, "pdf"}, {CPrintOrPreviewDlg::Csv, "csv"},
                            {CPrintOrPreviewDlg::Vorschau, "vorschau"}}) {
    QRadioButton* knopf = dlg.findChild<QRadioButton*>(name);
    QVERIFY(knopf);
    QCOMPARE(dlg.Knopf(ziel), knopf);
    knopf->setChecked(true);
    QCOMPARE(dlg.Auswahl(), ziel);
  }
}

void TestExportausgabe::pdfDerSeiten() {
  kvtest::GuiAufzeichnung ui;
  QTemporaryDir dir;
  kv::Druckzustand z;
  kv::Druckauswahl a;
  QVERIFY(z.OeffneDruckdatei(W1252(dir.path() + "/p.tmp"), 67).Ok());
  z.SetzeZeilenJeSeite(a, kv::kAusgabeSaldenbilanz);
  for (int seite = 1; seite <= 3; ++seite) {
    z.BeginneSeite(seite > 1);
    for (int k = 0; k < 10; ++k) z.SchreibeZeile("Zeile " + std::to_string(k));
  }
  QVERIFY(z.SchliesseDruckdatei(a).Ok());
  const QString pdf = dir.path() + "/b.pdf";
  QVERIFY(SchreibePdf(W1252(pdf), z, kv::kAusgabeSaldenbilanz, 0, Druckerschriften{}).Ok());
  QFile f(pdf);
  QVERIFY(f.open(QIODevice::ReadOnly));
  const QByteArray inhalt = f.readAll();
  QVERIFY(inhalt.startsWith("%PDF-"));
  QCOMPARE(inhalt.count("/Type /Page\n") + inhalt.count("/Type /Page\r") + inhalt.count("/Type /Page "), 3);
  // A folder that is not there: the message names the file, nothing is left.
  const kv::Status s = SchreibePdf(W1252(dir.path() + "/fehlt/b.pdf"), z, kv::kAusgabeSaldenbilanz, 0,
                                   Druckerschriften{});
  QVERIFY(!s.Ok());
  QVERIFY(!s.Meldungen().empty());
  QVERIFY(kv::Utf8(s.Meldungen()[0].text).find("fehlt/b.pdf") != std::string::npos);
}

QTEST_MAIN(TestExportausgabe)
#include "test_exportausgabe.moc"
