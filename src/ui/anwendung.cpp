#include "ui/anwendung.h"

#include <clocale>
#include <QApplication>
#include <QScreen>
#include <QTimer>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "storage/konfiguration.h"
#include "ui/benutzereinstellungen.h"
#include "ui/fenstergroesse.h"
#include "ui/hauptfenster.h"
#include "ui/programmsymbol.h"
#include "ui/qtoberflaeche.h"
#include "ui/uebersetzung.h"

namespace kvui {

std::string LeseAufloesung() {
  const std::string datei(kv::kKonfigurationsdatei);
  if (kv::PruefeDatei(datei) == 2) return "25,08";
  kv::CIniSB ini;
  // Shown once the size is known, in the order they arose.
  kv::Status meldungen;
  ini.AktualisiereKonfiguration(meldungen, datei);
  ini.SetzeDateiname(datei);
  std::string wert;
  if (ini.Oeffnen(0, meldungen) == 1) {
    ini.Einlesen(meldungen);
    ini.LeseKonfiguration(meldungen);
    ini.LeseWert(kv::kKonfigurationssektion, kv::W("Auflösung"), wert);
    ini.Schliessen();
  }
  kv::Zeige(meldungen);
  return wert;
}

int StarteProgramm(int argc, char** argv, const std::function<void(CMainFrame&)>& beiStart) {
  QApplication app(argc, argv);
  // Qt adopts the user's locale for the C library; the books' numbers are
  // always written and read with a decimal point, whatever the desktop says.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QStringLiteral("KALVENTO Kummulierung"));
  QApplication::setWindowIcon(ProgrammSymbol());
  LadeQtUebersetzung(app);
  QtOberflaeche ui;
  CMainFrame rahmen(&ui);
  // Where the user left the window; on the first start the size that the
  // configuration's screen font asks for.
  const std::string aufloesung = LeseAufloesung();
  if (!StelleFensterHer(&rahmen)) {
    QScreen* s = QGuiApplication::primaryScreen();
    const QRect desktop = s ? s->geometry() : QRect(0, 0, 1024, 768);
    const Fenstergeometrie g =
        BerechneFenstergeometrie(aufloesung, desktop.width(), desktop.height());
    rahmen.resize(g.breite, g.hoehe);
    rahmen.move(desktop.left() + g.links, desktop.top() + g.oben);
  }
  rahmen.show();
  if (beiStart) beiStart(rahmen);
  QTimer::singleShot(0, &rahmen, [&rahmen] { rahmen.Befehl(befehl::kNeu); });
  return app.exec();
}

}  // namespace kvui
