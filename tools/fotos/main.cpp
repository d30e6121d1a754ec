// kvkum-fotos: the desktop program kvkum with the screenshot driver built
// in, for docs/screenshots.sh.  Not shipped.
//
//   kvkum-fotos <directory> [Jahr,Von,Bis,Bezug]
//
// Runs in the current directory like kvkum (on a copy of the books), drives
// itself through the session of Fotoautomat with the given selection
// (default 2010,1,7,3), saves the PNG files into <directory> and ends.
#include <QString>
#include <QStringList>
#include <cstdio>

#include "fotoautomat.h"
#include "ui/anwendung.h"
#include "ui/hauptfenster.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3 || argv[1][0] == '\0' || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: kvkum-fotos <directory> [Jahr,Von,Bis,Bezug]\n");
    return 2;
  }
  const QString verzeichnis = QString::fromLocal8Bit(argv[1]);
  const QStringList auswahl =
      QString::fromLocal8Bit(argc > 2 ? argv[2] : "2010,1,7,3").split(QLatin1Char(','));
  // Qt gets the program name only: the arguments are ours.
  return kvui::StarteProgramm(1, argv, [&](kvui::CMainFrame& rahmen) {
    new kvui::Fotoautomat(&rahmen, verzeichnis, auswahl);
  });
}
