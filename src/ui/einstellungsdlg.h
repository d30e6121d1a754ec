// The two settings dialogs of printed output: lines per page with the blank
// lines above the first printed line, and the two printer font sizes.
// Both write the whole configuration on "&OK".
#pragma once
#include <QLineEdit>

#include "app/dokument.h"
#include "ui/platzierung.h"

namespace kvui {

class CKv02View;

// "Seiteneinstellungen": "Zeilen pro Seite" (up to 90) and "Rand oben" (up to 3).
class CSeitenEinstellungDlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CSeitenEinstellungDlg(kv::CKv02Doc& dokument, QWidget* parent = nullptr);
  QLineEdit* Zeilenfeld() const { return zeilen_; }
  QLineEdit* Randfeld() const { return rand_; }
 public slots:
  void accept() override;

 private:
  kv::CKv02Doc& dok_;
  QLineEdit* zeilen_ = nullptr;
  QLineEdit* rand_ = nullptr;
};

// The field of "Schriftgrößen für Ausdruck" found wrong: 0 none, 1 normal, 2 narrow.
int PruefeDruckgroessen(int normal, int schmal);

// "Schriftgrößen für Ausdruck": "Font Prn normal" and "Font Prn schmal",
// each 100..300.  The view's printer fonts are rebuilt after saving.
class CFontSizeDlg : public KvDialog {
  Q_OBJECT
 public:
  CFontSizeDlg(kv::CKv02Doc& dokument, CKv02View* ansicht, QWidget* parent = nullptr);
  QLineEdit* Normalfeld() const { return normal_; }
  QLineEdit* Schmalfeld() const { return schmal_; }
 public slots:
  void accept() override;

 private:
  kv::CKv02Doc& dok_;
  CKv02View* ansicht_;
  QLineEdit* normal_ = nullptr;
  QLineEdit* schmal_ = nullptr;
};

}  // namespace kvui
