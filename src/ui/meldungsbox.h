// The program's own message box: caption from the kind of message, a title
// line, up to four lines of text and "&OK".  Texts may be given directly or
// as string-table numbers, which are loaded when the box opens.
#pragma once
#include <QLabel>
#include <string>

#include "ui/platzierung.h"

namespace kvui {

class CMyMessageBoxDlg : public KvDialog {
  Q_OBJECT
 public:
  // by numbers / by strings / text string + title number / text number + title string
  CMyMessageBoxDlg(int textNr, int titelNr, int art, QWidget* parent = nullptr);
  CMyMessageBoxDlg(const std::string& text, const std::string& titel, int art,
                   QWidget* parent = nullptr);
  CMyMessageBoxDlg(const std::string& text, int titelNr, int art, QWidget* parent = nullptr);
  CMyMessageBoxDlg(int textNr, const std::string& titel, int art, QWidget* parent = nullptr);

  // Shows the box modally and returns when "&OK" is pressed or it is closed.
  static void Zeige(const std::string& text, const std::string& titel, int art,
                    QWidget* parent = nullptr);

  QString Text() const { return textFeld_->text(); }
  QString Titel() const { return titelFeld_->text(); }

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void Aufbauen();
  void Einrichten();  // loads numbered texts and sets caption, title and text

  std::string text_;
  std::string titel_;
  bool titelAusTabelle_ = false;
  bool textAusTabelle_ = false;
  int textNr_ = 0;
  int titelNr_ = 0;
  int art_ = 64;
  QString fensterTitel_;
  QLabel* titelFeld_ = nullptr;
  QLabel* textFeld_ = nullptr;
  bool eingerichtet_ = false;
};

// Owner for a message box raised by the core: the active modal dialog, else
// the active window, else the main window.
QWidget* Meldungsbesitzer();

}  // namespace kvui
