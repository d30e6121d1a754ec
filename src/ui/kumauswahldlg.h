// "Kummulierungsdaten auswählen": booking year, range of booking circles and
// the reference booking circle.  Input rules are the core's; this dialog
// only wires them to the four fields.
#pragma once
#include <QLineEdit>

#include "app/auswahl.h"
#include "ui/platzierung.h"

namespace kvui {

class CKumAuswahlDlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CKumAuswahlDlg(QWidget* parent = nullptr);

  // Valid after OK.
  const kv::Kumulationsauswahl& Auswahl() const { return auswahl_; }
  int Bezug() const { return auswahl_.bezug; }
  int Von() const { return auswahl_.von; }
  int Bis() const { return auswahl_.bis; }
  const std::string& Jahr() const { return auswahl_.jahr; }

  QLineEdit* JahrFeld() const { return felder_[0]; }
  QLineEdit* VonFeld() const { return felder_[1]; }
  QLineEdit* BisFeld() const { return felder_[2]; }
  QLineEdit* BezugFeld() const { return felder_[3]; }

  // Fills the fields with an earlier selection (the user's last one), the
  // year's text selected, so that typing replaces it.
  void SchlageVor(const kv::Kumulationsauswahl& auswahl);

 public slots:
  void accept() override;

 private:
  void Filtere(QLineEdit* feld);

  QLineEdit* felder_[4] = {};
  // What each field showed before the last change: a number too large for
  // the field ("Maximaler Betrag") gives the field back this text.
  QString gueltig_[4];
  kv::Kumulationsauswahl auswahl_;
};

}  // namespace kvui
