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
  // The file that belongs to the page table: a report written meanwhile for
  // another booking circle lies in that circle's directory.
  pfad_ = zustand_.Druckdatei();
  Arbeitsdateimass m;
  if (!VermesseArbeitsdatei(pfad_, ende[seiten], m, melden)) return false;
  // The page-start rows are worked out again only for a new page table or
  // row length; comparing the table costs a fraction of that.
  const auto bis = ende.begin() + seiten + 1;
  if (m.laenge != mass_.laenge ||
      !std::equal(ende.begin(), bis, tabelle_.begin(), tabelle_.end())) {
    tabelle_.assign(ende.begin(), bis);
    anfaenge_ = Seitenanfaenge(ende, seiten, m.laenge);
  }
  mass_ = m;
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
  // Rows T .. T + V, the rows this repaint lays out, in one read: the cost
  // is the same on page 1 and on page 10000.
  const int64_t oben = lauf_.Oben();
  const int l = mass_.laenge;
  int64_t geholt = 0;
  if (ok && lesbar_) {
    if (LeseZeilenblock(pfad_, oben, lauf_.Zeilen(), lauf_.Sichtbar() + 1, l, block_)) {
      geholt = static_cast<int64_t>(block_.size()) / l;
    } else {
      // A message has been shown; do not repeat it on every repaint, only
      // once the file has changed.
      lesbar_ = false;
      fehlgroesse_ = mass_.zeilen * mass_.laenge;
    }
  }
  const int ascent = QFontMetrics(schrift_).ascent();
  const int unten = viewport()->height();
  int y = 0;
  for (const Bildzeile& b : Bildzeilen(oben, lauf_.Sichtbar(), anfaenge_)) {
    QString text;
    const int64_t k = b.zeile - oben;
    if (b.zeile >= 0 && k < geholt)
      text = Berichtstext(block_.substr(static_cast<size_t>(k * l), static_cast<size_t>(l - 2)));
    gezeichnet_.append(text);
    // Rows pushed below the window by the blank rows between pages are laid
    // out but not drawn.
    if (!text.isEmpty() && y < unten) p.drawText(QPoint(lauf_.X0(), y + ascent), text);
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
