#include "ui/exportausgabe.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "basis/datei.h"
#include "reports/export.h"
#include "storage/dateinamen.h"
#include "ui/benutzereinstellungen.h"
#include "ui/druckausgabe.h"
#include "ui/qtext.h"

namespace kvui {
namespace {

const char* const kOrdnerSchluessel = "ausgabe/exportordner";

void MeldeZiel(const QString& datei, const char* art) {
  kv::Zeige(kv::Meldung::Text(
      kv::W("Der Bericht wurde als ") + kv::W(art) + kv::W(" in die Datei\n") +
          W1252(QDir::toNativeSeparators(QFileInfo(datei).absoluteFilePath())) + kv::W("\ngeschrieben."),
      kv::W("Ausgabe als ") + kv::W(art), kv::Meldungsart::Information));
}

}  // namespace

QString Exportordner(const kv::Berichtskontext& kontext) {
  const QString gemerkt = Benutzereinstellungen().value(kOrdnerSchluessel).toString();
  if (!gemerkt.isEmpty() && QFileInfo(gemerkt).isDir()) return gemerkt;
  if (kontext.bezugsbuchungskreis > 0) {
    const QString kreis =
        Q(kv::LoesePfadAuf(
            kv::NameBuchungskreisVerzeichnis(kontext.datenverzeichnis, kontext.bezugsbuchungskreis)));
    if (QFileInfo(kreis).isDir()) return QFileInfo(kreis).absoluteFilePath();
  }
  return QDir::currentPath();
}

void MerkeExportordner(const QString& datei) {
  Benutzereinstellungen().setValue(kOrdnerSchluessel, QFileInfo(datei).absolutePath());
}

QString FrageExportdatei(QWidget* besitzer, const kv::Berichtskontext& kontext, const QString& titel,
                         const std::string& vorschlag, const QString& filter) {
  const QString start = QDir(Exportordner(kontext)).filePath(QString::fromStdString(vorschlag));
  const QString datei = QFileDialog::getSaveFileName(besitzer, titel, start, filter);
  if (!datei.isEmpty()) MerkeExportordner(datei);
  return datei;
}

bool GibPdfAus(QWidget* besitzer, const kv::Berichtskontext& kontext, const kv::Berichtsmodell& kopf,
               const kv::Druckzustand& zustand, int ausgabeart, int randOben,
               const Druckerschriften& schriften) {
  const QString datei = FrageExportdatei(besitzer, kontext, QStringLiteral("Ausgabe als PDF-Datei"),
                                         kv::Exportname(kopf, "pdf"),
                                         QStringLiteral("PDF-Dateien (*.pdf)"));
  if (datei.isEmpty()) return true;
  const kv::Status s = SchreibePdf(W1252(datei), zustand, ausgabeart, randOben, schriften);
  kv::Zeige(s);
  if (s) MeldeZiel(datei, "PDF-Datei");
  return s.Ok();
}

bool GibCsvAus(QWidget* besitzer, const kv::Berichtskontext& kontext, const kv::Berichtsmodell& modell) {
  kv::Status s = kv::Exportierbar(modell);
  if (!s) {
    kv::Zeige(s);
    return false;
  }
  const QString datei = FrageExportdatei(besitzer, kontext, QStringLiteral("Ausgabe als CSV-Datei"),
                                         kv::Exportname(modell, "csv"),
                                         QStringLiteral("CSV-Dateien (*.csv)"));
  if (datei.isEmpty()) return true;
  s = kv::SchreibeExport(W1252(datei), kv::CsvText(modell));
  kv::Zeige(s);
  if (s) MeldeZiel(datei, "CSV-Datei");
  return s.Ok();
}

void ZeigeDruckvorschau(QWidget* besitzer, const kv::Druckzustand& zustand, int ausgabeart,
                        int randOben, const Druckerschriften& schriften) {
  QPrinter drucker(QPrinter::HighResolution);
  drucker.setFullPage(false);
  QPrintPreviewDialog vorschau(&drucker, besitzer);
  vorschau.setWindowTitle(QStringLiteral("Druckvorschau"));
  QObject::connect(&vorschau, &QPrintPreviewDialog::paintRequested, &vorschau,
                   [&](QPrinter* p) { DruckeBericht(*p, zustand, ausgabeart, randOben, schriften); });
  vorschau.exec();
}

}  // namespace kvui
