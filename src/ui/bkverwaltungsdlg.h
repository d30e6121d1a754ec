// The booking-circle administration of the menu "&Einstellungen": choosing
// a number ("Buchungskreis wählen"), the master data of that circle
// ("Buchungskreisverwaltung"), its data for electronic tax returns, and the
// list of all circles of the data directory.
//
// The rules and the file work live in app/bkverwaltung.h; these classes
// only wire them to their widgets.
#pragma once
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <array>
#include <optional>
#include <string>

#include "app/bkverwaltung.h"
#include "ui/platzierung.h"

namespace kvui {

// "Buchungskreis wählen": the number, then the master-data dialog for it.
class CSelMandantDlg : public KvDialog {
  Q_OBJECT
 public:
  // `daten`: the data directory in use.
  explicit CSelMandantDlg(std::string daten, QWidget* parent = nullptr);

  QLineEdit* NummerFeld() const { return nummer_; }
  QPushButton* UebersichtKnopf() const { return uebersicht_; }
  QPushButton* OkKnopf() const { return ok_; }
  QPushButton* BeendenKnopf() const { return beenden_; }

 public slots:
  void accept() override;

 private:
  std::string daten_;
  QLineEdit* nummer_ = nullptr;
  QPushButton* uebersicht_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* beenden_ = nullptr;
};

// "Buchungskreisverwaltung": creates circle n or changes its master data.
class CMandantEinrichtDlg : public KvDialog {
  Q_OBJECT
 public:
  CMandantEinrichtDlg(std::string daten, int n, QWidget* parent = nullptr);

  QLineEdit* NummerFeld() const { return nummer_; }
  QLineEdit* JahrFeld() const { return jahr_; }
  QLineEdit* MonatFeld() const { return monat_; }
  QLabel* MonatLabel() const { return monatLabel_; }
  QLabel* MonatHinweis() const { return monatHinweis_; }
  QLineEdit* NameFeld() const { return name_; }
  QLineEdit* KontenrahmenFeld() const { return kontenrahmen_; }
  QLineEdit* WaehrungFeld() const { return waehrung_; }
  QCheckBox* MwstKnopf() const { return mwst_; }
  QCheckBox* EuRechnungKnopf() const { return euRechnung_; }
  QCheckBox* AutoBelegKnopf() const { return autoBeleg_; }
  QLabel* BelegLabel() const { return belegLabel_; }
  QLineEdit* BelegFeld() const { return beleg_; }
  QLabel* PasswortHinweis() const { return passwortHinweis_; }
  QPushButton* ElsterKnopf() const { return elster_; }

 public slots:
  void accept() override;

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  void Zeige(const kv::Stammeingaben& e);
  void SchalteMonat();
  void SchalteBeleg();
  void Elster();

  std::string daten_;
  int n_;
  // Elster data entered before the circle's master file existed; written
  // together with the master data.
  std::optional<kv::Elsterdaten> elsterVorgemerkt_;

  QLineEdit* nummer_ = nullptr;
  QLineEdit* jahr_ = nullptr;
  QLabel* monatLabel_ = nullptr;
  QLabel* monatHinweis_ = nullptr;
  QLineEdit* monat_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* kontenrahmen_ = nullptr;
  QLineEdit* waehrung_ = nullptr;
  QCheckBox* mwst_ = nullptr;
  QCheckBox* euRechnung_ = nullptr;
  QCheckBox* autoBeleg_ = nullptr;
  QLabel* belegLabel_ = nullptr;
  QLineEdit* beleg_ = nullptr;
  QLabel* passwortHinweis_ = nullptr;
  QPushButton* elster_ = nullptr;
};

// "Stammdaten für Elster-Verfahren" of circle n.
class CElsterDatenDlg : public KvDialog {
  Q_OBJECT
 public:
  // `vorgemerkt` (may be null): where the values go while the circle has no
  // master file yet, and what the dialog then shows.
  CElsterDatenDlg(std::string daten, int n, std::optional<kv::Elsterdaten>* vorgemerkt,
                  QWidget* parent = nullptr);

  QLineEdit* Feld(std::size_t i) const { return felder_.at(i); }

 public slots:
  void accept() override;

 private:
  std::string daten_;
  int n_;
  std::optional<kv::Elsterdaten>* vorgemerkt_;
  std::array<QLineEdit*, 8> felder_{};
};

// "Übersicht über alle angelegten Buchungskreise": one line per circle of
// the data directory, collected while the dialog opens.
class CBkUebersichtDlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CBkUebersichtDlg(const std::string& daten, QWidget* parent = nullptr);
  QListWidget* Liste() const { return liste_; }

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  QListWidget* liste_ = nullptr;
};

}  // namespace kvui
