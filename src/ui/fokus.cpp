#include "ui/fokus.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

namespace kvui {

Fokuswaechter::Fokuswaechter(QWidget* hauptfenster)
    : QObject(hauptfenster), hauptfenster_(hauptfenster) {
  qApp->installEventFilter(this);
}

Fokuswaechter::~Fokuswaechter() { qApp->removeEventFilter(this); }

bool Fokuswaechter::eventFilter(QObject* objekt, QEvent* ereignis) {
  const QEvent::Type typ = ereignis->type();
  if ((typ == QEvent::Hide || typ == QEvent::Show) && objekt->isWidgetType()) {
    auto* w = static_cast<QWidget*>(objekt);
    const Qt::WindowType art = w->windowType();
    const bool fenster = w->isWindow() && art != Qt::Popup && art != Qt::ToolTip &&
                         art != Qt::SplashScreen && art != Qt::Desktop;
    if (fenster && typ == QEvent::Show) ++gezeigt_;
    // Dialogs, message boxes and the program's other windows; the main
    // window itself closing is the end.
    if (fenster && typ == QEvent::Hide && w != hauptfenster_ &&
        (qobject_cast<QDialog*>(w) || w->parentWidget())) {
      QPointer<QWidget> besitzer = w->parentWidget() ? w->parentWidget()->window() : nullptr;
      // Once the closing has run its course (a dialog's exec() returns
      // after the hide).
      const unsigned stand = gezeigt_;
      QTimer::singleShot(0, this, [this, besitzer, stand] {
        // A window shown since (the next dialog, a message box, the screen
        // output) has the focus; it is not taken from it.
        if (stand == gezeigt_) GibFokusZurueck(besitzer);
      });
    }
  }
  return QObject::eventFilter(objekt, ereignis);
}

void Fokuswaechter::GibFokusZurueck(const QPointer<QWidget>& besitzer) {
  QWidget* ziel = QApplication::activeModalWidget();
  if (!ziel && besitzer && besitzer->isVisible()) ziel = besitzer;
  if (!ziel) ziel = hauptfenster_;
  if (!ziel->isVisible() || QApplication::activePopupWidget()) return;
  // A window the user has activated meanwhile keeps the focus.
  QWidget* aktiv = QApplication::activeWindow();
  if (aktiv && aktiv != ziel && aktiv->isVisible() && !QApplication::activeModalWidget()) return;
  ziel->activateWindow();
}

}  // namespace kvui
