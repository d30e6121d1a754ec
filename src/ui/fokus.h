// Where the keyboard focus goes when a dialog, a message box or another
// window of the program closes.
//
// Qt leaves that to the window manager, and a window manager may give it
// to none of the program's windows (openbox, after the last of several
// nested dialogs has closed, keeps it on its own): F3 then did nothing
// until the user clicked the main window.  The watcher hands the activation
// back itself, to the dialog still open below the closed one (the active
// modal dialog), else to the window the closed one belonged to, else to the
// main window.
#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace kvui {

class Fokuswaechter : public QObject {
  Q_OBJECT
 public:
  // Watches every window of the application while `hauptfenster` lives.
  explicit Fokuswaechter(QWidget* hauptfenster);
  ~Fokuswaechter() override;

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  void GibFokusZurueck(const QPointer<QWidget>& besitzer);
  QWidget* hauptfenster_;
  unsigned gezeigt_ = 0;  // windows shown so far
};

}  // namespace kvui
