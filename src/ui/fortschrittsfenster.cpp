#include "ui/fortschrittsfenster.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

#include "ui/qtext.h"

namespace kvui {

CProgressEditLine::CProgressEditLine(QWidget* parent) : QWidget(parent) {
  setObjectName("balken");
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CProgressEditLine::Setze(int gefuellt, const QString& text, bool ganz) {
  gefuellt_ = gefuellt;
  text_ = text;
  // The loop that drives the bar does not return to the event loop between
  // steps, so paint at once.
  if (isVisible()) repaint();
  (void)ganz;  // every repaint here draws the whole bar
}

void CProgressEditLine::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  p.fillRect(r, Qt::white);
  p.setPen(Qt::black);
  p.drawText(r, Qt::AlignCenter, text_);
  const int rechts = std::min(gefuellt_, r.width());
  if (rechts > 0) {
    const QRect teil(0, 0, rechts, r.height());
    p.save();
    p.setClipRect(teil);
    p.fillRect(teil, QColor(64, 255, 255));
    p.drawText(r, Qt::AlignCenter, text_);
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    p.fillRect(teil, Qt::white);  // inverts the filled part
    p.restore();
  }
  p.setPen(Qt::black);
  p.drawRect(r.adjusted(0, 0, -1, -1));
}

CProgress1Dlg::CProgress1Dlg(QWidget* parent) : KvDialog(parent) {
  setWindowTitle(QStringLiteral("Progress 1"));
  setModal(false);
  setObjectName("CProgress1Dlg");
  zeile1_ = new QLabel(this);
  zeile1_->setObjectName("zeile1");
  zeile2_ = new QLabel(this);
  zeile2_->setObjectName("zeile2");
  zeile2_->setWordWrap(true);
  zeile2_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  abbruch_ = new QPushButton(QStringLiteral("&Abbruch"), this);
  abbruch_->setObjectName("abbruch");
  connect(abbruch_, &QPushButton::clicked, this, &CProgress1Dlg::reject);
  setFixedSize(420, 200);
  LegeBalkenAn();
}

void CProgress1Dlg::LegeBalkenAn() {
  const QSize s = size();
  zeile1_->setGeometry(20, 10, s.width() - 40, 20);
  zeile2_->setGeometry(20, 34, s.width() - 40, s.height() - 34 - 64);
  abbruch_->setGeometry((s.width() - 100) / 2, s.height() - 34, 100, 28);
  if (s.width() >= 70 && s.height() >= 70) {
    if (!balken_) balken_ = new CProgressEditLine(this);
    balken_->setGeometry(20, s.height() - 60, s.width() - 40, 20);
  }
}

void CProgress1Dlg::resizeEvent(QResizeEvent* e) {
  KvDialog::resizeEvent(e);
  LegeBalkenAn();
}

void CProgress1Dlg::SetzeAbbrechbar(bool ja) {
  abbrechbar_ = ja;
  abbruch_->setEnabled(ja);
}

bool CProgress1Dlg::NimmAbbruch() {
  bool a = abgebrochen_;
  abgebrochen_ = false;
  return a;
}

void CProgress1Dlg::reject() {
  // The window stays open; the loop that owns it decides what to do.
  if (abbrechbar_) abgebrochen_ = true;
}

QtFortschrittsFenster::QtFortschrittsFenster(QWidget* parent) : dlg_(new CProgress1Dlg(parent)) {
  dlg_->setAttribute(Qt::WA_DeleteOnClose);
  dlg_->show();
  dlg_->repaint();
}

QtFortschrittsFenster::~QtFortschrittsFenster() {
  if (dlg_) delete dlg_.data();
}

int QtFortschrittsFenster::BalkenBreite() const {
  return dlg_ && dlg_->Balken() ? dlg_->Balken()->width() : 0;
}
void QtFortschrittsFenster::SetzeTitel(const std::string& titel) {
  if (dlg_) dlg_->setWindowTitle(Q(titel));
}
void QtFortschrittsFenster::SetzeZeile1(const std::string& text) {
  if (!dlg_) return;
  dlg_->Zeile1()->setText(Q(text));
  dlg_->Zeile1()->repaint();
}
void QtFortschrittsFenster::SetzeZeile2(const std::string& text) {
  if (!dlg_) return;
  dlg_->Zeile2()->setText(Q(text));
  dlg_->Zeile2()->repaint();
}
void QtFortschrittsFenster::SetzeAbbrechbar(bool abbrechbar) {
  if (dlg_) dlg_->SetzeAbbrechbar(abbrechbar);
}
void QtFortschrittsFenster::ZeichneBalken(int gefuellt, const std::string& text, bool ganz) {
  if (dlg_ && dlg_->Balken()) dlg_->Balken()->Setze(gefuellt, Q(text), ganz);
}
bool QtFortschrittsFenster::Verarbeite() {
  QApplication::processEvents(QEventLoop::AllEvents);
  return dlg_ && dlg_->NimmAbbruch();
}

}  // namespace kvui
