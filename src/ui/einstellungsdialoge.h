// The settings dialogs of the menu "&Einstellungen" that edit the program
// configuration: data directory and the online companion's paths, booking
// technique with the program password, the two VAT presets and the screen
// font sizes.  Each reads the configuration record of the document when it
// opens and, on "&OK", writes its values into the record and the whole
// configuration file; cancelling writes nothing.
//
// The input rules live in app/einstellungsregeln.h; these classes only wire
// them to the widgets.
#pragma once
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSize>

#include "app/dokument.h"
#include "ui/platzierung.h"

namespace kvui {

// "Programmverwaltung": data directory ("Daten") and the online companion's
// program call and transfer path.  "Daten&verzeichnis..." opens the
// platform's directory chooser; the path may as well be typed.
class CProgVerwDlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CProgVerwDlg(kv::CKv02Doc& dokument, QWidget* parent = nullptr);

  QRadioButton* GemeinsamKnopf() const { return gemeinsam_; }
  QRadioButton* GesondertKnopf() const { return gesondert_; }
  QLineEdit* DatenpfadFeld() const { return datenpfad_; }
  QPushButton* VerzeichnisKnopf() const { return verzeichnis_; }
  QLineEdit* ProgrammFeld() const { return programm_; }
  QLineEdit* ImportFeld() const { return import_; }
 public slots:
  void accept() override;

 private:
  void Schalte();
  void WaehleVerzeichnis();

  kv::CKv02Doc& dok_;
  QRadioButton* gemeinsam_ = nullptr;
  QRadioButton* gesondert_ = nullptr;
  QLabel* datenpfadLabel_ = nullptr;
  QLineEdit* datenpfad_ = nullptr;
  QPushButton* verzeichnis_ = nullptr;
  QLineEdit* programm_ = nullptr;
  QLineEdit* import_ = nullptr;
};

// "Nachträgliche Buchungsänderungen": the flag "Änderung".  Its "&OK" sets
// the flag in the record only; the file gets it with the next write of the
// configuration.
class CBuchungsAenderungenDlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CBuchungsAenderungenDlg(kv::CKv02Doc& dokument, QWidget* parent = nullptr);
  QCheckBox* AenderungenKnopf() const { return aenderungen_; }
 public slots:
  void accept() override;

 private:
  kv::CKv02Doc& dok_;
  QCheckBox* aenderungen_ = nullptr;
};

// "Konfiguration für Buchungstechnik": 12 or 13 booking months and the
// program password.  No cancel button: the close box and Esc cancel.
class CBuchKonfigDlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CBuchKonfigDlg(kv::CKv02Doc& dokument, QWidget* parent = nullptr);

  QRadioButton* ZwoelfMonateKnopf() const { return zwoelf_; }
  QRadioButton* DreizehnMonateKnopf() const { return dreizehn_; }
  QCheckBox* PasswortKnopf() const { return passwortAn_; }
  QLabel* PasswortLabel() const { return passwortLabel_; }
  QLineEdit* PasswortFeld() const { return passwort_; }
  QPushButton* ErweitertKnopf() const { return erweitert_; }
 public slots:
  void accept() override;

 private:
  void Schalte();

  kv::CKv02Doc& dok_;
  QRadioButton* zwoelf_ = nullptr;
  QRadioButton* dreizehn_ = nullptr;
  QCheckBox* passwortAn_ = nullptr;
  QLabel* passwortLabel_ = nullptr;
  QLineEdit* passwort_ = nullptr;
  QPushButton* erweitert_ = nullptr;
};

// "Vorbelegung der Mehrwertsteuersätze": "MwSt F7" and "MwSt F8".
class CMwstSaetzeDlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CMwstSaetzeDlg(kv::CKv02Doc& dokument, QWidget* parent = nullptr);
  QLineEdit* F7Feld() const { return f7_; }
  QLineEdit* F8Feld() const { return f8_; }
 public slots:
  void accept() override;

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  kv::CKv02Doc& dok_;
  QLineEdit* f7_ = nullptr;
  QLineEdit* f8_ = nullptr;
};

// "Schriftgrößen für Bildschirmanzeige": the booking mask's and the screen
// output's character cell.  The new fonts are used from the next start.
class CFontSizeAppDlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CFontSizeAppDlg(kv::CKv02Doc& dokument, QWidget* parent = nullptr);

  QListWidget* BuchungsListe() const { return buchung_; }
  QCheckBox* BuchungFett() const { return buchungFett_; }
  QListWidget* BildschirmListe() const { return bildschirm_; }
  QCheckBox* BildschirmFett() const { return bildschirmFett_; }
  QPushButton* StandardKnopf() const { return standard_; }
  // The desktop size "&Standard" decides by; by default that of the screen
  // the dialog is on.
  void SetzeBildschirmgroesse(QSize groesse) { bildschirmgroesse_ = groesse; }
 public slots:
  void accept() override;

 private:
  void Standard();

  kv::CKv02Doc& dok_;
  QListWidget* buchung_ = nullptr;
  QCheckBox* buchungFett_ = nullptr;
  QListWidget* bildschirm_ = nullptr;
  QCheckBox* bildschirmFett_ = nullptr;
  QPushButton* standard_ = nullptr;
  QSize bildschirmgroesse_;
};

}  // namespace kvui
