#include "ui/bildschirmausgabe.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "ui/qtext.h"

namespace kvui {

CBildschirmAusgabeDlg::CBildschirmAusgabeDlg(const kv::Druckzustand& zustand, const QFont& schrift,
                                             int dx, int dy, const QRect& flaeche,
                                             QWidget* besitzer)
    : QAbstractScrollArea(besitzer), zustand_(zustand), pfad_(zustand.Druckdatei()),
      schrift_(schrift) {
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName("CBildschirmAusgabeDlg");
  setWindowTitle(QStringLiteral("Bildschirmausgabe"));
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAutoFillBackground(false);

  // When the first measurement fails the window opens empty (no rows) with
  // the narrow row length, and shows whatever a later repaint can measure.
  lesbar_ = Vermesse(true);
  if (mass_.laenge == 0) mass_.laenge = 67;
  const int textbreite = (mass_.laenge - 2) * dx + 20 + 24;
  lauf_.Einrichten(lesbar_ ? mass_.zeilen : 0, dx, dy, textbreite);

  int breite = textbreite + 20;
  if (flaeche.width() < breite) breite = flaeche.width();
  const int hoehe = std::max(40, flaeche.height() - 68);
  lauf_.SetzeSichtbar(hoehe / std::max(1, dy));
  setGeometry(flaeche.left(), flaeche.top() + 49, breite, hoehe);

  connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
          &CBildschirmAusgabeDlg::Vertikalaktion);
  connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
          &CBildschirmAusgabeDlg::Horizontalaktion);
  SetzeLaufleisten();
}

bool CBildschirmAusgabeDlg::Vermesse(bool melden) {
  const int seiten = zustand_.Seitenzahl();
  const auto& ende = zustand_.Seitenende;
  if (seiten < 0 || seiten >= static_cast<int>(ende.size())) return false;
  Arbeitsdateimass m;
  if (!VermesseArbeitsdatei(pfad_, ende[seiten], m, melden)) return false;
  mass_ = m;
  anfaenge_ = Seitenanfaenge(ende, seiten, mass_.laenge);
  lauf_.SetzeZeilen(mass_.zeilen);
  return true;
}

void CBildschirmAusgabeDlg::SetzeLaufleisten() {
  QScrollBar* v = verticalScrollBar();
  v->blockSignals(true);
  v->setRange(0, static_cast<int>(lauf_.VMax()));
  v->setPageStep(std::max<int>(1, static_cast<int>(lauf_.Sichtbar() / lauf_.Skala())));
  v->setValue(static_cast<int>(lauf_.VPos()));
  v->blockSignals(false);
  QScrollBar* h = horizontalScrollBar();
  h->blockSignals(true);
  h->setRange(0, lauf_.HMax());
  h->setPageStep(std::max(1, lauf_.HSeite()));
  h->setValue(lauf_.H());
  h->blockSignals(false);
}

void CBildschirmAusgabeDlg::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  lauf_.Groesse(viewport()->width(), viewport()->height());
  SetzeLaufleisten();
}

QString CBildschirmAusgabeDlg::LeseReihe(int64_t zeile) {
  // Page of the row: the last page whose first row is not after it.
  auto it = std::upper_bound(anfaenge_.begin(), anfaenge_.end(), zeile);
  const int seite = static_cast<int>(it - anfaenge_.begin());
  if (seite < 1 || seite >= static_cast<int>(anfaenge_.size())) return {};
  std::string text;
  if (!zustand_.LeseZeile(seite, static_cast<int>(zeile - anfaenge_[seite - 1]), text)) {
    // A message has been shown; do not repeat it on every repaint, only
    // once the file has changed.
    lesbar_ = false;
    fehlgroesse_ = mass_.zeilen * mass_.laenge;
    return {};
  }
  return Berichtstext(text);
}

void CBildschirmAusgabeDlg::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.fillRect(viewport()->rect(), Qt::white);
  p.setFont(schrift_);
  p.setPen(Qt::black);
  gezeichnet_.clear();
  // The file is measured again on every repaint: a report written meanwhile
  // is shown as it now stands.  A file that no longer fits its page table
  // is drawn blank, quietly.
  const bool ok = Vermesse(false);
  if (ok && mass_.zeilen * mass_.laenge != fehlgroesse_) lesbar_ = true;
  const int ascent = QFontMetrics(schrift_).ascent();
  int y = 0;
  for (const Bildzeile& b : Bildzeilen(lauf_.Oben(), lauf_.Sichtbar(), anfaenge_)) {
    QString text;
    if (b.zeile >= 0 && b.zeile < lauf_.Zeilen() && ok && lesbar_) text = LeseReihe(b.zeile);
    gezeichnet_.append(text);
    if (!text.isEmpty()) p.drawText(QPoint(lauf_.X0(), y + ascent), text);
    y += lauf_.Dy();
  }
  SetzeLaufleisten();
}

void CBildschirmAusgabeDlg::keyPressEvent(QKeyEvent* e) {
  const bool strg = e->modifiers() & Qt::ControlModifier;
  bool bewegt = false;
  switch (e->key()) {
    case Qt::Key_Down: bewegt = lauf_.Druecke(Taste::Runter); break;
    case Qt::Key_Up: bewegt = lauf_.Druecke(Taste::Hoch); break;
    case Qt::Key_PageDown: bewegt = lauf_.Druecke(Taste::BildRunter); break;
    case Qt::Key_PageUp: bewegt = lauf_.Druecke(Taste::BildHoch); break;
    case Qt::Key_Right: bewegt = lauf_.Druecke(Taste::Rechts); break;
    case Qt::Key_Left: bewegt = lauf_.Druecke(Taste::Links); break;
    case Qt::Key_Home: bewegt = lauf_.Druecke(strg ? Taste::StrgPos1 : Taste::Pos1); break;
    case Qt::Key_End: bewegt = lauf_.Druecke(strg ? Taste::StrgEnde : Taste::Ende); break;
    case Qt::Key_Escape: close(); return;
    default: QAbstractScrollArea::keyPressEvent(e); return;
  }
  SetzeLaufleisten();
  if (bewegt) viewport()->repaint();
  e->accept();
}

namespace {
bool Aktion(int aktion, Laufaktion& a) {
  switch (aktion) {
    case QAbstractSlider::SliderSingleStepSub: a = Laufaktion::ZeileZurueck; return true;
    case QAbstractSlider::SliderSingleStepAdd: a = Laufaktion::ZeileVor; return true;
    case QAbstractSlider::SliderPageStepSub: a = Laufaktion::SeiteZurueck; return true;
    case QAbstractSlider::SliderPageStepAdd: a = Laufaktion::SeiteVor; return true;
    case QAbstractSlider::SliderMove: a = Laufaktion::Ziehen; return true;
    case QAbstractSlider::SliderToMinimum: a = Laufaktion::Anfang; return true;
    case QAbstractSlider::SliderToMaximum: a = Laufaktion::Schluss; return true;
    default: return false;
  }
}
}  // namespace

void CBildschirmAusgabeDlg::Vertikalaktion(int aktion) {
  Laufaktion a;
  if (!Aktion(aktion, a)) return;
  lauf_.Vertikal(a, verticalScrollBar()->sliderPosition());
  verticalScrollBar()->setSliderPosition(static_cast<int>(lauf_.VPos()));
  SetzeLaufleisten();
  viewport()->repaint();
}

void CBildschirmAusgabeDlg::Horizontalaktion(int aktion) {
  Laufaktion a;
  if (!Aktion(aktion, a)) return;
  lauf_.Horizontal(a, horizontalScrollBar()->sliderPosition());
  horizontalScrollBar()->setSliderPosition(lauf_.H());
  SetzeLaufleisten();
  viewport()->repaint();
}

}  // namespace kvui
