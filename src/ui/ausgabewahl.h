// Where a finished report goes: screen, printer or a text file.
#pragma once
#include <QLineEdit>
#include <QRadioButton>
#include <string>

#include "ui/platzierung.h"

namespace kvui {

// "Eingabe Textdatei-Name": the name of the text file, "kv.txt" to start
// with.  Every change is checked; a wrong character shows the 8.3 message
// and moves the caret one place back, the text stays as typed.
class CTextDateiNameDlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CTextDateiNameDlg(QWidget* parent = nullptr);
  std::string Name() const;  // Windows-1252, at most 259 characters
  QLineEdit* NamensFeld() const { return feld_; }

 private:
  QLineEdit* feld_ = nullptr;
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
