// The outputs of a finished report beside screen, printer and text file: a
// PDF file (the pages as printed), a CSV file (the report's model, for
// spreadsheets) and the print preview.
#pragma once
#include <QString>
#include <string>

#include "app/berichtsbefehle.h"
#include "seiten/druckseiten.h"

class QWidget;

namespace kvui {

// The folder an export dialog starts in: the one used last (remembered per
// user, not in kalvento.ini), else the reference circle's directory, else
// the working directory.
QString Exportordner(const kv::Berichtskontext& kontext);
void MerkeExportordner(const QString& datei);

// The file dialog of an export: `vorschlag` (a file name) in Exportordner.
// Empty when the user cancelled.
QString FrageExportdatei(QWidget* besitzer, const kv::Berichtskontext& kontext,
                         const QString& titel, const std::string& vorschlag,
                         const QString& filter);

// "PDF-Datei": asks for the file, writes the pages there and says where.
// False after the message of a failure; true also when cancelled.
bool GibPdfAus(QWidget* besitzer, const kv::Berichtskontext& kontext,
               const kv::Berichtsmodell& kopf, const kv::Druckzustand& zustand, int ausgabeart,
               int randOben, const Druckerschriften& schriften);
// "CSV-Datei": asks for the file, writes the model there and says where.
bool GibCsvAus(QWidget* besitzer, const kv::Berichtskontext& kontext,
               const kv::Berichtsmodell& modell);
// "Druckvorschau": Qt's print preview of the pages; printing from it prints.
void ZeigeDruckvorschau(QWidget* besitzer, const kv::Druckzustand& zustand, int ausgabeart,
                        int randOben, const Druckerschriften& schriften);

}  // namespace kvui
