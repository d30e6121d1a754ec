#include "ui/verlaufsdiagramm.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

#include "app/kreisspiegel.h"
#include "basis/format.h"
#include "basis/text1252.h"
#include "reports/kontenverlauf.h"
#include "ui/qtext.h"

namespace kvui {

kv::Status VerlaufAusModell(const kv::Berichtsmodell& m, Verlaufsdaten& d) {
  if (m.abbruch) {
    if (m.abbruch->meldung.empty()) return kv::Status::Fehlschlag();
    return kv::Status(kv::Meldung::Fehler(m.abbruch->meldung));
  }
  const int monat = m.SpalteNr("monat"), betrag = m.SpalteNr("betrag");
  if (monat < 0 || betrag < 0) return kv::Status::Fehlschlag();
  d.titel = Q(m.titel) + QStringLiteral("  ") + Q(m.auswahl);
  d.waehrung = Q(m.waehrung);
  d.monate.clear();
  d.werte.clear();
  for (const kv::Modellzeile& z : m.zeilen) {
    if (z.art != kv::Zeilenart::Monat) continue;
    const auto nr = static_cast<int>(z.zellen[static_cast<size_t>(monat)].zahl);
    d.monate << QString::asprintf("%02i", nr);
    d.werte.push_back(z.zellen[static_cast<size_t>(betrag)].zahl);
  }
  return {};
}

kv::Status VerlaufJeKreis(const kv::Berichtskontext& k, const kv::Kumulationsergebnis& lauf,
                          const kv::KontenverlaufDialog& angaben, Verlaufsdaten& d) {
  // The report adds the periods up to its cut-off month; later ones are 0.
  kv::Druckauswahl verlauf;
  const kv::Kontenauswahl& konten = angaben.auswahl;
  kv::FuelleKontenverlaufAuswahl(k, konten.auswahlart, konten.kontengruppe, konten.vonKonto,
                                 konten.bisKonto, angaben.monat, angaben.druck, verlauf);
  const int bisSlot = k.Slot(verlauf.BisMonat);
  d.kreise.clear();
  std::vector<int64_t> vorher;  // each circle's cents up to the period before
  for (size_t periode = 0; periode < d.werte.size(); ++periode) {
    std::vector<int64_t> bis;
    if (static_cast<int>(periode) <= bisSlot) {
      // The cut-off month whose last period this is.
      int stichmonat = -1;
      for (int m = 0; m <= 13 && stichmonat < 0; ++m)
        if (k.Slot(m) == static_cast<int>(periode)) stichmonat = m;
      if (stichmonat < 0) return kv::Status::Fehlschlag();
      kv::Druckauswahl a;
      kv::FuelleKreisspiegelAuswahl(k, konten, stichmonat, angaben.druck, a);
      kv::Berichtsmodell spiegel;
      kv::BaueKreisspiegelModell(k, lauf, a, spiegel);
      if (spiegel.abbruch) return kv::Status(kv::Meldung::Fehler(spiegel.abbruch->meldung));
      const kv::Modellzeile* summe = nullptr;
      for (const kv::Modellzeile& z : spiegel.zeilen)
        if (z.art == kv::Zeilenart::Summe) summe = &z;
      if (d.kreise.empty()) {
        for (const kv::Spalte& s : spiegel.spalten)
          if (s.schluessel.starts_with("bk_")) d.kreise.push_back({Q(s.titel).trimmed(), {}});
      }
      for (size_t c = 0; c < spiegel.spalten.size(); ++c) {
        if (!spiegel.spalten[c].schluessel.starts_with("bk_")) continue;
        bis.push_back(summe && !summe->zellen[c].leer ? kv::Cent(summe->zellen[c].zahl) : 0);
      }
    } else {
      bis = vorher;
    }
    if (vorher.empty()) vorher.assign(bis.size(), 0);
    if (bis.size() != d.kreise.size() || vorher.size() != bis.size())
      return kv::Status::Fehlschlag();
    for (size_t c = 0; c < bis.size(); ++c)
      d.kreise[c].werte.push_back(static_cast<double>(bis[c] - vorher[c]) / 100.0);
    vorher = std::move(bis);
  }
  return {};
}

// ---- the window ------------------------------------------------------------------

CVerlaufsdiagramm::CVerlaufsdiagramm(Verlaufsdaten daten,
                                     std::function<bool(Verlaufsdaten&)> jeKreis,
                                     QWidget* parent)
    : QDialog(parent), daten_(std::move(daten)), ladeJeKreis_(std::move(jeKreis)) {
  setObjectName("CVerlaufsdiagramm");
  setWindowTitle(QString::fromUtf8("Kontenverläufe - Diagramm"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* lay = new QVBoxLayout(this);
  auto* oben = new QHBoxLayout;
  oben->addWidget(new QLabel(QStringLiteral("&Darstellung:"), this));
  art_ = new QComboBox(this);
  art_->setObjectName("art");
  art_->addItems({QStringLiteral("Balken"), QStringLiteral("Linie")});
  static_cast<QLabel*>(oben->itemAt(0)->widget())->setBuddy(art_);
  oben->addWidget(art_);
  jeKreis_ = new QCheckBox(QStringLiteral("je &Buchungskreis"), this);
  jeKreis_->setObjectName("jeKreis");
  oben->addWidget(jeKreis_);
  oben->addStretch(1);
  lay->addLayout(oben);
  ansicht_ = new QChartView(this);
  ansicht_->setRenderHint(QPainter::Antialiasing);
  ansicht_->setMinimumSize(640, 400);
  lay->addWidget(ansicht_, 1);
  auto* unten = new QHBoxLayout;
  unten->addStretch(1);
  auto* png = new QPushButton(QStringLiteral("Als &PNG speichern..."), this);
  png->setObjectName("png");
  auto* drucken = new QPushButton(QStringLiteral("D&rucken..."), this);
  drucken->setObjectName("drucken");
  auto* schliessen = new QPushButton(QString::fromUtf8("&Schließen"), this);
  schliessen->setObjectName("schliessen");
  for (QPushButton* k : {png, drucken, schliessen}) {
    k->setAutoDefault(false);
    unten->addWidget(k);
  }
  lay->addLayout(unten);
  connect(art_, &QComboBox::currentIndexChanged, this, [this] { Zeichne(); });
  connect(jeKreis_, &QCheckBox::toggled, this, [this](bool an) { SetzeJeKreis(an); });
  connect(png, &QPushButton::clicked, this, &CVerlaufsdiagramm::FrageSpeichern);
  connect(drucken, &QPushButton::clicked, this, &CVerlaufsdiagramm::FrageDrucken);
  connect(schliessen, &QPushButton::clicked, this, &QDialog::close);
  Zeichne();
}

void CVerlaufsdiagramm::SetzeArt(Art art) { art_->setCurrentIndex(art == Linie ? 1 : 0); }

void CVerlaufsdiagramm::SetzeJeKreis(bool an) {
  if (an && !jeKreisGeladen_) {
    // Read once, when first asked for: every circle's books at each cut-off.
    jeKreisGeladen_ = ladeJeKreis_ && ladeJeKreis_(daten_);
    if (!jeKreisGeladen_) daten_.kreise.clear();
  }
  if (an && !jeKreisGeladen_) an = false;
  if (jeKreis_->isChecked() != an) {
    const QSignalBlocker still(jeKreis_);
    jeKreis_->setChecked(an);
  }
  Zeichne();
}

QChart* CVerlaufsdiagramm::Diagramm() const { return ansicht_->chart(); }

void CVerlaufsdiagramm::Zeichne() {
  const bool jeKreis = jeKreis_->isChecked() && jeKreisGeladen_;
  const bool balken = art_->currentIndex() == 0;
  std::vector<Verlaufsdaten::Reihe> reihen;
  if (jeKreis)
    reihen = daten_.kreise;
  else
    reihen.push_back({QStringLiteral("Betrag ") + daten_.waehrung, daten_.werte});

  auto* diagramm = new QChart;
  diagramm->setTitle(daten_.titel);
  // German numbers on the value axis: "1.234,50".
  diagramm->setLocalizeNumbers(true);
  diagramm->setLocale(QLocale(QLocale::German, QLocale::Germany));
  diagramm->legend()->setVisible(jeKreis);
  diagramm->legend()->setAlignment(Qt::AlignBottom);
  auto* x = new QBarCategoryAxis;
  x->append(daten_.monate);
  x->setTitleText(QStringLiteral("Monat"));
  auto* y = new QValueAxis;
  y->setLabelFormat(QStringLiteral("%.2f"));
  y->setTitleText(QStringLiteral("Betrag ") + daten_.waehrung);
  diagramm->addAxis(x, Qt::AlignBottom);
  diagramm->addAxis(y, Qt::AlignLeft);
  double tief = 0, hoch = 0;
  if (balken) {
    QAbstractBarSeries* reihe = jeKreis ? static_cast<QAbstractBarSeries*>(new QStackedBarSeries)
                                        : static_cast<QAbstractBarSeries*>(new QBarSeries);
    std::vector<double> plus(daten_.monate.size(), 0), minus(daten_.monate.size(), 0);
    for (const Verlaufsdaten::Reihe& r : reihen) {
      auto* satz = new QBarSet(r.name);
      for (size_t i = 0; i < r.werte.size(); ++i) {
        *satz << r.werte[i];
        if (i < plus.size()) (r.werte[i] < 0 ? minus[i] : plus[i]) += r.werte[i];
      }
      reihe->append(satz);
    }
    if (!jeKreis) {
      tief = *std::min_element(minus.begin(), minus.end());
      hoch = *std::max_element(plus.begin(), plus.end());
    } else {
      for (double v : minus) tief = std::min(tief, v);
      for (double v : plus) hoch = std::max(hoch, v);
    }
    diagramm->addSeries(reihe);
    reihe->attachAxis(x);
    reihe->attachAxis(y);
  } else {
    for (const Verlaufsdaten::Reihe& r : reihen) {
      auto* linie = new QLineSeries;
      linie->setName(r.name);
      for (size_t i = 0; i < r.werte.size(); ++i) {
        linie->append(static_cast<double>(i), r.werte[i]);
        tief = std::min(tief, r.werte[i]);
        hoch = std::max(hoch, r.werte[i]);
      }
      diagramm->addSeries(linie);
      linie->attachAxis(x);
      linie->attachAxis(y);
    }
  }
  if (tief == hoch) hoch = tief + 1;
  y->setRange(tief, hoch);
  y->applyNiceNumbers();
  QChart* alt = ansicht_->chart();
  ansicht_->setChart(diagramm);
  delete alt;
}

std::vector<std::vector<double>> CVerlaufsdiagramm::GezeichneteWerte() const {
  std::vector<std::vector<double>> werte;
  for (QAbstractSeries* s : Diagramm()->series()) {
    if (auto* balken = qobject_cast<QAbstractBarSeries*>(s)) {
      for (QBarSet* satz : balken->barSets()) {
        std::vector<double> w;
        for (int i = 0; i < satz->count(); ++i) w.push_back(satz->at(i));
        werte.push_back(std::move(w));
      }
    } else if (auto* linie = qobject_cast<QLineSeries*>(s)) {
      std::vector<double> w;
      for (const QPointF& p : linie->points()) w.push_back(p.y());
      werte.push_back(std::move(w));
    }
  }
  return werte;
}

bool CVerlaufsdiagramm::SpeicherePng(const QString& pfad) const {
  return ansicht_->grab().save(pfad, "PNG");
}

void CVerlaufsdiagramm::DruckeAuf(QPrinter& drucker) const {
  QPainter p(&drucker);
  const QRect seite = p.viewport();
  QSize groesse = ansicht_->size();
  groesse.scale(seite.size(), Qt::KeepAspectRatio);
  ansicht_->render(&p, QRectF(QPointF(seite.x(), seite.y()), groesse));
}

void CVerlaufsdiagramm::FrageSpeichern() {
  const QString pfad = QFileDialog::getSaveFileName(
      this, QStringLiteral("Diagramm als PNG speichern"), QStringLiteral("kontenverlauf.png"),
      QStringLiteral("PNG-Bilder (*.png)"));
  if (pfad.isEmpty()) return;
  if (!SpeicherePng(pfad))
    kv::Zeige(kv::Meldung::Text(kv::W("Das Diagramm konnte nicht in die Datei\n") +
                                    W1252(QDir::toNativeSeparators(pfad)) +
                                    kv::W("\ngeschrieben werden !"),
                                kv::W("Diagramm"), kv::Meldungsart::Fehler));
}

void CVerlaufsdiagramm::FrageDrucken() {
  QPrinter drucker(QPrinter::HighResolution);
  drucker.setPageOrientation(QPageLayout::Landscape);
  QPrintDialog dlg(&drucker, this);
  dlg.setWindowTitle(QStringLiteral("Diagramm drucken"));
  if (dlg.exec() == QDialog::Accepted) DruckeAuf(drucker);
}

}  // namespace kvui
