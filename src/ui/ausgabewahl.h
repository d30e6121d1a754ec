// Where a finished report goes: screen, printer or a text file.
#pragma once
#include <QLineEdit>
#include <QRadioButton>
#include <string>

#include "ui/platzierung.h"

namespace kvui {

// "Eingabe Textdatei-Name": the name of the text file, "kv.txt" to start
// with.  Every change is checked; a wrong character shows the 8.3 message
// and moves the caret one place back, the text stays as typed.  OK refuses
// a name that would replace a book, the configuration or a work file: the
// message names the file and the dialog stays open with the name selected.
class CTextDateiNameDlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CTextDateiNameDlg(QWidget* parent = nullptr);
  std::string Name() const;  // Windows-1252, at most 259 characters
  QLineEdit* NamensFeld() const { return feld_; }
  // Where the name will be completed to; without it OK judges the name
  // as typed.
  void SetzeZiel(const std::string& datenverzeichnis, int buchungskreis);

 public slots:
  void accept() override;

 private:
  QLineEdit* feld_ = nullptr;
  bool mitZiel_ = false;
  std::string daten_;
  int buchungskreis_ = 0;
};

class CPrintOrPreviewDlg : public KvDialog {
  Q_OBJECT
 public:
  enum Ziel { Bildschirm, Drucker, Textdatei };
  explicit CPrintOrPreviewDlg(QWidget* parent = nullptr);

  Ziel Auswahl() const;
  bool NameGegeben() const { return nameGegeben_; }
  const std::string& Dateiname() const { return dateiname_; }
  QRadioButton* Knopf(Ziel z) const { return knoepfe_[z]; }

 public slots:
  void accept() override;

 private:
  QRadioButton* knoepfe_[3] = {};
  bool nameGegeben_ = false;
  std::string dateiname_;
};

}  // namespace kvui
