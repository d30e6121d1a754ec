#include "ui/druckausgabe.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include "ui/qtext.h"
#include "ui/schriften.h"

namespace kvui {

bool IstSchmalesLayout(int ausgabeart) {
  return (ausgabeart >= kv::kAusgabeUebersicht && ausgabeart <= kv::kAusgabeBilanz) ||
         ausgabeart == kv::kAusgabeSaldenliste;
}

int ZeilenobenTwips(int randOben, int k) { return (randOben + 3 + k) * kZeilenabstandTwips; }

Druckzeile BereiteDruckzeileAuf(const std::string& zeile, int k, int ausgabeart) {
  Druckzeile d{zeile, false};
  if (IstSchmalesLayout(ausgabeart)) return d;
  auto ziehe = [&](size_t von, size_t nach) {
    if (zeile.size() <= von) return;
    d.text = zeile.substr(0, nach) + zeile.substr(von);
  };
  if (k == 0 || k == 1) {
    ziehe(100, 56);
  } else if (k == 3) {
    if (ausgabeart == kv::kAusgabeSaldenlisteVerkehr) {
      const size_t p = zeile.rfind("Zeitraum");
      if (p != std::string::npos) ziehe(p, p >= 44 ? p - 44 : 0);
    } else {
      ziehe(78, 34);
    }
  }
  d.schmaleSchrift = k >= 7;
  return d;
}

int DruckeSeite(const kv::Druckzustand& zustand, int seite, int ausgabeart, int randOben,
                Zeilenzeichner& zeichner) {
  int k = 0;
  std::string zeile;
  kv::Status lesefehler;
  for (; zustand.LeseZeile(seite, k, zeile, lesefehler); ++k) {
    const Druckzeile d = BereiteDruckzeileAuf(zeile, k, ausgabeart);
    if (!zeichner.Zeichne(kZeilenanfangTwips, ZeilenobenTwips(randOben, k), d.text,
                          d.schmaleSchrift))
      return k;
  }
  kv::Zeige(lesefehler);
  return k;
}

namespace {

class Druckerzeichner : public Zeilenzeichner {
 public:
  Druckerzeichner(QPainter& p, const Druckerschriften& s)
      : p_(p), normal_(Druckerschrift(s.normal, 400)), schmal_(Druckerschrift(s.schmal, 500)) {}
  bool Zeichne(int x, int y, const std::string& text, bool schmal) override {
    p_.setFont(schmal ? schmal_ : normal_);
    // Rows are placed by their top edge; the device clips what runs off the
    // paper.
    p_.drawText(QPointF(x, y + p_.fontMetrics().ascent()), Berichtstext(text));
    return p_.isActive();
  }

 private:
  QPainter& p_;
  QFont normal_, schmal_;
};

}  // namespace

bool DruckeBericht(QPrinter& drucker, const kv::Druckzustand& zustand, int ausgabeart,
                   int randOben, const Druckerschriften& schriften) {
  const int seiten = std::min(zustand.Seitenzahl(), kv::kMaxSeiten);
  QPainter p;
  if (!p.begin(&drucker)) return false;
  // Twips: 1440 per inch, measured from the top left of the printable area.
  const double faktor = drucker.resolution() / 1440.0;
  int von = 1, bis = seiten;
  if (drucker.fromPage() > 0) von = std::max(1, drucker.fromPage());
  if (drucker.toPage() > 0) bis = std::min(seiten, drucker.toPage());
  for (int s = von; s <= bis; ++s) {
    if (s > von) drucker.newPage();
    p.save();
    p.scale(faktor, faktor);
    Druckerzeichner z(p, schriften);
    DruckeSeite(zustand, s, ausgabeart, randOben, z);
    p.restore();
  }
  p.end();
  return true;
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
