// The program password prompt with its lock-out after wrong entries.  What
// is right and how long a lock-out lasts is decided by the core's
// kv::Passwortpruefung; this dialog asks and waits.
#pragma once
#include <QLineEdit>

#include "app/dokument.h"
#include "ui/platzierung.h"

namespace kvui {

class CPasswortEingabeDlg : public KvDialog {
  Q_OBJECT
 public:
  // pruefung lives as long as the prompt (one prompt, one count of tries).
  explicit CPasswortEingabeDlg(kv::Passwortpruefung& pruefung, QWidget* parent = nullptr);

  // Length of one waiting unit of the lock-out in microseconds (1000 in the
  // program; tests make it short).
  static void SetzeWarteeinheit(int mikrosekunden);
  static int Warteeinheit();

  QLineEdit* Eingabe() const { return eingabe_; }
  const kv::Passwortpruefung& Pruefung() const { return pruefung_; }

 public slots:
  void accept() override;

 private:
  kv::Passwortpruefung& pruefung_;
  QLineEdit* eingabe_ = nullptr;
};

}  // namespace kvui
