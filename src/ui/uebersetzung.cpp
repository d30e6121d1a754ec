#include "ui/uebersetzung.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kvui {

QString LadeQtUebersetzung(QCoreApplication& app, const QLocale& gebiet,
                           const QString& verzeichnis) {
  auto* uebersetzer = new QTranslator(&app);
  const QString name = QStringLiteral("qtbase");
  if (uebersetzer->load(gebiet, name, QStringLiteral("_"), verzeichnis) ||
      uebersetzer->load(QLocale(QLocale::German, QLocale::Germany), name, QStringLiteral("_"),
                        verzeichnis)) {
    QCoreApplication::installTranslator(uebersetzer);
    return uebersetzer->filePath();
  }
  delete uebersetzer;
  return QString();
}

QString LadeQtUebersetzung(QCoreApplication& app) {
  return LadeQtUebersetzung(app, QLocale::system(),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

}  // namespace kvui
