// One placement rule for every dialog of the program: centred horizontally on
// the active view (or on the main window, or on the screen when the dialog
// has no main window above it) and 10 pixels above the vertical centre.
#pragma once
#include <QDialog>
#include <QPushButton>
#include <QRect>

namespace kvui {

// Implemented by the main window so a dialog can find the view it belongs to.
class Rahmenfenster {
 public:
  virtual ~Rahmenfenster() = default;
  // The active view, or nullptr while no document is open.
  virtual QWidget* AktiveAnsicht() const = 0;
  virtual QWidget* RahmenWidget() = 0;
};

// The rectangle a dialog is centred on.  ansicht: the active view's window
// rectangle (screen coordinates), rahmen: the main window's rectangle,
// either may be null.  Without a view the frame's rectangle is moved left
// and up by a seventh of its size; without a frame the screen's by a tenth.
QRect Referenzrechteck(const QRect* ansicht, const QRect* rahmen, const QRect& bildschirm);
// Top-left corner of a dialog of the given size on the reference.
QPoint Dialogposition(const QRect& referenz, const QSize& groesse);

// The main window above a widget (by its parent chain), or nullptr.
Rahmenfenster* FindeRahmen(const QWidget* w);
// Applies the rule to a top-level widget, keeping its size.
void PlatziereDialog(QWidget* dialog);

// Base of every dialog: runs the placement once, when it is first shown.
class KvDialog : public QDialog {
  Q_OBJECT
 public:
  explicit KvDialog(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  bool platziert_ = false;
};

// A dialog button with its UTF-8 text and an object name the tests find it by.
inline QPushButton* Knopf(const char* text, const char* name, QWidget* eltern) {
  auto* k = new QPushButton(QString::fromUtf8(text), eltern);
  k->setObjectName(QString::fromLatin1(name));
  return k;
}

}  // namespace kvui
