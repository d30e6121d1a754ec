#include "ui/druckausgabe.h"

#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

namespace kvui {

bool DruckeBericht(QPrinter& drucker, const kv::Druckzustand& zustand, int ausgabeart,
                   int randOben, const Druckerschriften& schriften) {
  const int seiten = std::min(zustand.Seitenzahl(), kv::kMaxSeiten);
  int von = 1, bis = seiten;
  if (drucker.fromPage() > 0) von = std::max(1, drucker.fromPage());
  if (drucker.toPage() > 0) bis = std::min(seiten, drucker.toPage());
  return MaleSeiten(drucker, drucker.resolution(), zustand, ausgabeart, randOben, schriften, von,
                    bis);
}

bool DruckeMitDialog(QWidget* besitzer, const kv::Druckzustand& zustand, int ausgabeart,
                     int randOben, const Druckerschriften& schriften) {
  const int seiten = std::max(1, std::min(zustand.Seitenzahl(), kv::kMaxSeiten));
  QPrinter drucker(QPrinter::HighResolution);
  drucker.setFullPage(false);
  const QByteArray pdf = qgetenv("KVKUM_DRUCK_PDF");
  if (!pdf.isEmpty()) {
    drucker.setOutputFormat(QPrinter::PdfFormat);
    drucker.setOutputFileName(QString::fromLocal8Bit(pdf));
    return DruckeBericht(drucker, zustand, ausgabeart, randOben, schriften);
  }
  drucker.setFromTo(1, seiten);
  QPrintDialog dlg(&drucker, besitzer);
  dlg.setMinMax(1, seiten);
  dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dlg.setOption(QAbstractPrintDialog::PrintToFile, true);
  if (dlg.exec() != QDialog::Accepted) return true;  // cancelled by the user: nothing to report
  drucker.setFromTo(1, seiten);
  return DruckeBericht(drucker, zustand, ausgabeart, randOben, schriften);
}

}  // namespace kvui
