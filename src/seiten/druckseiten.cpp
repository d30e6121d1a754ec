#include "seiten/druckseiten.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cstdlib>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "seiten/qtext.h"
#include "seiten/schriften.h"

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

Druckerschriften PruefeDruckerschriften(const std::string& normal, const std::string& schmal,
                                        bool* zurueckgesetzt) {
  Druckerschriften s{std::atoi(normal.c_str()), std::atoi(schmal.c_str())};
  const bool falsch = s.normal < 50 || s.normal > 400 || s.schmal < 50 || s.schmal > 400;
  if (falsch) s = Druckerschriften{240, 144};
  if (zurueckgesetzt) *zurueckgesetzt = falsch;
  return s;
}

bool MaleSeiten(QPagedPaintDevice& geraet, int aufloesung, const kv::Druckzustand& zustand,
                int ausgabeart, int randOben, const Druckerschriften& schriften, int von, int bis) {
  QPainter p;
  if (!p.begin(&geraet)) return false;
  // Twips: 1440 per inch, measured from the top left of the printable area.
  const double faktor = aufloesung / 1440.0;
  for (int s = von; s <= bis; ++s) {
    if (s > von) geraet.newPage();
    p.save();
    p.scale(faktor, faktor);
    Druckerzeichner z(p, schriften);
    DruckeSeite(zustand, s, ausgabeart, randOben, z);
    p.restore();
  }
  return p.end();
}

kv::Status SchreibePdf(const std::string& pfad, const kv::Druckzustand& zustand, int ausgabeart,
                       int randOben, const Druckerschriften& schriften) {
  const int seiten = std::min(zustand.Seitenzahl(), kv::kMaxSeiten);
  // Painted into memory, then saved as any file of the program: beside its
  // name and renamed over it, so that a failure (a full disk) never leaves
  // half a PDF under the name the user gave.
  QByteArray bytes;
  bool gemalt;
  {
    QBuffer puffer(&bytes);
    puffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&puffer);
    pdf.setResolution(1200);
    pdf.setCreator(QStringLiteral("KALVENTO Kummulierung"));
    // The printer's defaults: A4 portrait with the margins of a printable
    // area, so that the rows sit where they sit on paper.
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter));
    gemalt = MaleSeiten(pdf, pdf.resolution(), zustand, ausgabeart, randOben, schriften, 1,
                        std::max(seiten, 1));
  }
  if (!gemalt || bytes.isEmpty())
    return kv::Status(kv::Meldung::Fehler(kv::W("Die PDF-Datei konnte nicht erzeugt werden: ") + pfad));
  const kv::DateiFehler fehler =
      kv::SpeichereSicher(pfad, std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
  if (fehler == kv::DateiFehler::Keiner) return kv::Status::Erfolg();
  return kv::Status(kv::Meldung::Fehler(kv::DateiFehlerText(fehler, pfad)));
}

}  // namespace kvui
