// Where a finished report goes: screen, printer or a text file.
#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>

#include "ui/platzierung.h"

namespace kvui {

// "Eingabe Textdatei-Name": the name of the text file, "kv.txt" to start
// with, or a path chosen with "&Durchsuchen...".  Every change is checked; a
// wrong character shows the 8.3 message and moves the caret one place back,
// the text stays as typed.  A blank says nothing while typing: OK refuses it
// with one message.  OK refuses a name that would replace a book, the
// configuration or a work file: the message names the file and the dialog
// stays open with the name selected.
class CTextDateiNameDlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CTextDateiNameDlg(QWidget* parent = nullptr);
  std::string Name() const;  // Windows-1252, at most 259 characters
  QLineEdit* NamensFeld() const { return feld_; }
  QLabel* Hinweis() const { return hinweis_; }
  QPushButton* DurchsuchenKnopf() const { return durchsuchen_; }
  // Where the name will be completed to; without it OK judges the name
  // as typed.
  void SetzeZiel(const std::string& datenverzeichnis, int buchungskreis);

 public slots:
  void accept() override;

 private:
  // The directory a plain name lands in ("" without a target).
  QString Zielverzeichnis() const;
  void BeschrifteHinweis();
  void Durchsuchen();

  QLineEdit* feld_ = nullptr;
  QLabel* hinweis_ = nullptr;
  QPushButton* durchsuchen_ = nullptr;
  bool mitZiel_ = false;
  std::string daten_;
  int buchungskreis_ = 0;
};

class CPrintOrPreviewDlg : public KvDialog {
  Q_OBJECT
 public:
  // Screen, printer and text file as the companion program has them; PDF,
  // CSV and the print preview beside them.
  enum Ziel { Bildschirm, Drucker, Textdatei, Pdf, Csv, Vorschau };
  static constexpr int kZiele = 6;
  explicit CPrintOrPreviewDlg(QWidget* parent = nullptr);

  Ziel Auswahl() const;
  bool NameGegeben() const { return nameGegeben_; }
  const std::string& Dateiname() const { return dateiname_; }
  QRadioButton* Knopf(Ziel z) const { return knoepfe_[z]; }

 public slots:
  void accept() override;

 private:
  QRadioButton* knoepfe_[kZiele] = {};
  bool nameGegeben_ = false;
  std::string dateiname_;
};

}  // namespace kvui
