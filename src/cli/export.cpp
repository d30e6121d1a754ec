#include "cli/export.h"

#include <cstdio>
#include <cstdlib>

#include "basis/text1252.h"
#include "reports/export.h"
#include "storage/konfiguration.h"

#ifdef KV_MIT_PDF
#include <QGuiApplication>
#include <memory>

#include "seiten/druckseiten.h"
#endif

namespace kv {
namespace {

void Melde(const std::string& utf8) { ZeigeMeldung(W(utf8), W("FEHLER"), 16); }

void Schreibe(const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

// CSV or JSON to its file or stdout.
bool Gib(const std::string& ziel, const std::string& inhalt) {
  if (ziel == "-") {
    Schreibe(inhalt);
    return true;
  }
  const Status s = SchreibeExport(W(ziel), inhalt);
  Zeige(s);
  return s.Ok();
}

#ifdef KV_MIT_PDF
// The PDF is painted with Qt's fonts, which need a QGuiApplication; the
// command line has no display, so it takes the offscreen platform unless
// the caller chose one.
bool SchreibePdfDatei(const std::string& ziel, const Druckzustand& zustand, int ausgabeart,
                      int randOben, const CIniSB& konfiguration) {
  // Qt's own remarks about the headless session (no runtime directory, no
  // fonts configured) are not the user's business; real failures are.
  const QtMessageHandler vorher = qInstallMessageHandler(
      [](QtMsgType art, const QMessageLogContext&, const QString& text) {
        if (art == QtCriticalMsg || art == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
      });
  struct Zurueck {
    QtMessageHandler h;
    ~Zurueck() { qInstallMessageHandler(h); }
  } zurueck{vorher};
  std::unique_ptr<QGuiApplication> app;
  if (!QGuiApplication::instance()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kvkum-cli";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  const auto& k = konfiguration.konfiguration;
  const kvui::Druckerschriften schriften =
      kvui::PruefeDruckerschriften(k.fontPrnNormal, k.fontPrnSchmal, nullptr);
  const Status s = kvui::SchreibePdf(W(ziel), zustand, ausgabeart, randOben, schriften);
  Zeige(s);
  return s.Ok();
}
#endif

}  // namespace

std::vector<Befehlsoption> Exportoptionen() {
  return {
      {"csv", true, "DATEI", "Bericht als CSV für Tabellenkalkulationen (; und Dezimalkomma, UTF-8); - für stdout / report as CSV for spreadsheets"},
      {"csv-1252", false, "", "die CSV in Windows-1252 statt UTF-8 / the CSV in Windows-1252 instead of UTF-8"},
      {"json", true, "DATEI", "Bericht als JSON (docs/bericht.schema.json); - für stdout / report as JSON"},
      {"pdf", true, "DATEI", "Bericht als PDF-Datei, Seiten wie gedruckt / report as a PDF file, pages as printed"},
  };
}

bool MitExport(const Argumente& a) { return a.Hat("csv") || a.Hat("json") || a.Hat("pdf"); }

bool ExportAufStdout(const Argumente& a) {
  return (a.Hat("csv") && a.Wert("csv") == "-") || (a.Hat("json") && a.Wert("json") == "-");
}

int PruefeExportoptionen(const Argumente& a) {
  if (a.Hat("csv-1252") && !a.Hat("csv")) {
    Melde("--csv-1252 gehört zu --csv / --csv-1252 goes with --csv");
    return 2;
  }
  if (a.Hat("csv") && a.Hat("json") && a.Wert("csv") == "-" && a.Wert("json") == "-") {
    Melde("Nur eine Ausgabe kann auf stdout gehen / only one export can go to stdout");
    return 2;
  }
  if (ExportAufStdout(a) && a.Hat("roh")) {
    Melde("--roh und eine Ausgabe auf stdout schließen sich aus / --roh and an export to stdout exclude each other");
    return 2;
  }
  for (const char* o : {"csv", "json", "pdf"}) {
    if (a.Hat(o) && a.Wert(o).empty()) {
      Melde(std::string("--") + o + " erwartet einen Dateinamen / expects a file name");
      return 2;
    }
  }
  if (a.Hat("pdf") && a.Wert("pdf") == "-") {
    Melde("--pdf braucht einen Dateinamen, nicht stdout / --pdf needs a file name, not stdout");
    return 2;
  }
#ifndef KV_MIT_PDF
  if (a.Hat("pdf")) {
    Melde("PDF-Ausgabe ist in diesem Programm nicht enthalten (ohne Qt gebaut) / PDF output is not built in (no Qt)");
    return 2;
  }
#endif
  return 0;
}

int Exportiere(const Argumente& a, const Berichtsbefehl& befehl, const Berichtskontext& kontext,
               const Berichtsangaben& angaben, const Druckzustand& zustand, int ausgabeart,
               int randOben, const CIniSB& konfiguration) {
  const bool nennen = !ExportAufStdout(a) && !a.Hat("roh");
  if (a.Hat("csv") || a.Hat("json")) {
    Berichtsmodell modell;
    Status s = ErstelleBerichtsmodell(befehl, kontext, angaben, modell);
    if (s) s.Uebernimm(Exportierbar(modell));
    Zeige(s);
    if (!s) return 1;
    if (a.Hat("csv")) {
      const Zeichensatz z = a.Hat("csv-1252") ? Zeichensatz::Windows1252 : Zeichensatz::Utf8;
      if (!Gib(a.Wert("csv"), CsvText(modell, z))) return 1;
      if (nennen) Schreibe(a.Wert("csv") + "\n");
    }
    if (a.Hat("json")) {
      if (!Gib(a.Wert("json"), JsonText(modell))) return 1;
      if (nennen) Schreibe(a.Wert("json") + "\n");
    }
  }
#ifdef KV_MIT_PDF
  if (a.Hat("pdf")) {
    if (!SchreibePdfDatei(a.Wert("pdf"), zustand, ausgabeart, randOben, konfiguration)) return 1;
    if (nennen) Schreibe(a.Wert("pdf") + "\n");
  }
#endif
  return 0;
}

}  // namespace kv
