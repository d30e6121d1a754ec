#include "ui/platzierung.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

namespace kvui {

QRect Referenzrechteck(const QRect* ansicht, const QRect* rahmen, const QRect& bildschirm) {
  if (rahmen) {
    if (ansicht) return *ansicht;
    return rahmen->translated(-rahmen->width() / 7, -rahmen->height() / 7);
  }
  return bildschirm.translated(-bildschirm.width() / 10, -bildschirm.height() / 10);
}

QPoint Dialogposition(const QRect& referenz, const QSize& groesse) {
  return QPoint(referenz.left() + (referenz.width() - groesse.width()) / 2,
                referenz.top() + (referenz.height() - groesse.height()) / 2 - 10);
}

Rahmenfenster* FindeRahmen(const QWidget* w) {
  for (QWidget* p = w ? w->parentWidget() : nullptr; p; p = p->parentWidget()) {
    if (auto* r = dynamic_cast<Rahmenfenster*>(p)) return r;
  }
  return nullptr;
}

void PlatziereDialog(QWidget* dialog) {
  if (!dialog) return;
  QRect ansicht, rahmen;
  QRect* pAnsicht = nullptr;
  QRect* pRahmen = nullptr;
  if (Rahmenfenster* r = FindeRahmen(dialog)) {
    rahmen = r->RahmenWidget()->frameGeometry();
    pRahmen = &rahmen;
    if (QWidget* v = r->AktiveAnsicht(); v && v->isVisible()) {
      ansicht = QRect(v->mapToGlobal(QPoint(0, 0)), v->size());
      pAnsicht = &ansicht;
    }
  }
  QScreen* s = dialog->screen() ? dialog->screen() : QGuiApplication::primaryScreen();
  QRect bildschirm = s ? s->geometry() : QRect(0, 0, 1024, 768);
  QRect ref = Referenzrechteck(pAnsicht, pRahmen, bildschirm);
  QSize groesse = dialog->frameGeometry().size();
  if (groesse.isEmpty()) groesse = dialog->size();
  dialog->move(Dialogposition(ref, groesse));
}

KvDialog::KvDialog(QWidget* parent) : QDialog(parent) {
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void KvDialog::showEvent(QShowEvent* e) {
  if (!platziert_) {
    platziert_ = true;
    PlatziereDialog(this);
  }
  QDialog::showEvent(e);
}

}  // namespace kvui
