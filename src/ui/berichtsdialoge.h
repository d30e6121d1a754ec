// The options dialogs of the reports.  The input rules (typing filters,
// corrections when a field is left, the checks of "&OK") are the core's
// plain functions; these classes wire them to the fields and put the focus
// where the check says.
#pragma once
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <map>

#include "reports/dialogregeln.h"
#include "ui/platzierung.h"

class QGroupBox;

namespace kvui {

// An edit field that reports when the focus leaves it.
class Eingabefeld : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;
 signals:
  void verlassen();

 protected:
  void focusOutEvent(QFocusEvent* e) override;
};

class Berichtsdialog : public KvDialog {
  Q_OBJECT
 public:
  explicit Berichtsdialog(QWidget* parent);
  QLineEdit* Feld(kv::Dialogfeld f) const;
  // Runs the dialog with the options the user chose last time for this
  // report proposed (the per-user settings, benutzereinstellungen.h), and
  // keeps the accepted ones for the next time.  The print date is always
  // today's.
  int Frage();

 protected:
  // The first input field has the focus when the dialog opens, its text
  // selected, so that what the user types replaces the proposal.
  void showEvent(QShowEvent* e) override;
  // Shows `meldungen` and puts the focus on `f` (see Ergebnis); true when
  // `f` is Keins.
  bool Weiter(kv::Dialogfeld f, const kv::Status& meldungen);
  // An impossible print date (32.13.10) is refused with a message and stays
  // in the field as typed.  True when the date may go on to the field rules.
  bool DruckdatumRichtig();
  // A month field min..max: digits only while typing (the whole text is
  // selected when the value leaves the range), "%02i" clamped on leaving.
  Eingabefeld* Monatsfeld(kv::Dialogfeld art, int minimum, int maximum);
  // The print date: filtered while typing, corrected on leaving.
  Eingabefeld* Datumsfeld();
  // The group "Druckdatum" with that field, for the dialogs that show it alone.
  QGroupBox* Druckdatumsgruppe();
  // Puts the focus on the field the check found wrong, whole text selected;
  // true when there was none (the dialog may close).
  bool Ergebnis(kv::Dialogfeld f);
  void Setze(kv::Dialogfeld f, const std::string& text);
  std::string Text(kv::Dialogfeld f) const;
  QWidget* Knoepfe();  // "&OK" and "&Abbruch"

  kv::Datum heute_;
  std::string vorherDatum_;
  std::map<kv::Dialogfeld, Eingabefeld*> felder_;

 private:
  bool fokusGesetzt_ = false;
};

// "Ausdruck / Vorschau Saldenbilanz" and "Ausdruck / Vorschau Bilanz":
// Stichmonat 0..maximum and the print date.
class CPrintStichmonatDlg : public Berichtsdialog {
  Q_OBJECT
 public:
  CPrintStichmonatDlg(const QString& titel, int maximum, QWidget* parent);
  int Stichmonat() const { return d_.monat; }
  kv::Datum Druckdatum() const { return d_.druck; }
 public slots:
  void accept() override;

 private:
  kv::StichmonatDialog d_;
};

class CPrintSaldenBilanzDlg : public CPrintStichmonatDlg {
  Q_OBJECT
 public:
  CPrintSaldenBilanzDlg(int maximum, QWidget* parent = nullptr);
};

class CPrintBilanzDlg : public CPrintStichmonatDlg {
  Q_OBJECT
 public:
  CPrintBilanzDlg(int maximum, QWidget* parent = nullptr);
};

// Einnahme-Überschuss-Rechnung / Gewinn- und Verlust-Rechnung.
class CPrintErfolgDlg : public Berichtsdialog {
  Q_OBJECT
 public:
  CPrintErfolgDlg(int euRechnung, int maximum, QWidget* parent = nullptr);
  const kv::ErfolgsDialog& Werte() const { return d_; }
 public slots:
  void accept() override;

 private:
  kv::ErfolgsDialog d_;
};

// "Auswertung/Monat".
class CPrintAuswertungDlg : public Berichtsdialog {
  Q_OBJECT
 public:
  CPrintAuswertungDlg(int euRechnung, int maximum, QWidget* parent = nullptr);
  const kv::AuswertungDialog& Werte() const { return d_; }
  QCheckBox* Umsatzsteuer() const { return ust_; }
 public slots:
  void accept() override;

 private:
  kv::AuswertungDialog d_;
  QCheckBox* ust_ = nullptr;
};

// The account selection group of the Saldenliste and the Kontenverläufe.
class Kontenauswahlgruppe : public QObject {
  Q_OBJECT
 public:
  Kontenauswahlgruppe(Berichtsdialog* dlg, const QString& musterText, const QString& bereichText,
                      std::map<kv::Dialogfeld, Eingabefeld*>& felder);
  QWidget* Gruppe() const { return gruppe_; }
  QRadioButton* MusterKnopf() const { return muster_; }
  QRadioButton* BereichKnopf() const { return bereich_; }
  void Lies(kv::Kontenauswahl& k) const;
  void Schreibe(const kv::Kontenauswahl& k);

 private:
  void Modus(bool mitMuster);
  QWidget* gruppe_ = nullptr;
  QRadioButton* muster_ = nullptr;
  QRadioButton* bereich_ = nullptr;
  Eingabefeld* musterFeld_ = nullptr;
  Eingabefeld* vonFeld_ = nullptr;
  Eingabefeld* bisFeld_ = nullptr;
};

class CPrintSaldenlisteDlg : public Berichtsdialog {
  Q_OBJECT
 public:
  CPrintSaldenlisteDlg(int maximum, QWidget* parent = nullptr);
  const kv::SaldenlisteDialog& Werte() const { return d_; }
  Kontenauswahlgruppe* Auswahl() const { return auswahl_; }
  QCheckBox* Breit() const { return breit_; }
  QCheckBox* Alphabetisch() const { return alpha_; }
  QCheckBox* Nullsalden() const { return null_; }
  QLabel* NullsaldenZeile2() const { return nullZeile2_; }
 public slots:
  void accept() override;

 private:
  void Beschrifte();
  kv::SaldenlisteDialog d_;
  Kontenauswahlgruppe* auswahl_ = nullptr;
  QCheckBox* breit_ = nullptr;
  QCheckBox* alpha_ = nullptr;
  QCheckBox* null_ = nullptr;
  QLabel* nullZeile2_ = nullptr;
};

class CPrintKontenverlaufDlg : public Berichtsdialog {
  Q_OBJECT
 public:
  explicit CPrintKontenverlaufDlg(QWidget* parent = nullptr);
  const kv::KontenverlaufDialog& Werte() const { return d_; }
  Kontenauswahlgruppe* Auswahl() const { return auswahl_; }
  // "Diag&ramm": the same checks as "&OK", then the chart window instead
  // of the report (Diagramm() true after it closed the dialog).
  QPushButton* DiagrammKnopf() const { return diagrammKnopf_; }
  bool Diagramm() const { return diagramm_; }
 public slots:
  void accept() override;

 private:
  kv::KontenverlaufDialog d_;
  Kontenauswahlgruppe* auswahl_ = nullptr;
  QPushButton* diagrammKnopf_ = nullptr;
  bool diagramm_ = false;
};

// "Buchungskreisspiegel": the account choice of the Kontenverläufe and a
// cut-off month 0..maximum checked as the Saldenbilanz's, the print date.
class CPrintKreisspiegelDlg : public Berichtsdialog {
  Q_OBJECT
 public:
  CPrintKreisspiegelDlg(int maximum, QWidget* parent = nullptr);
  const kv::KontenverlaufDialog& Werte() const { return d_; }
  Kontenauswahlgruppe* Auswahl() const { return auswahl_; }
 public slots:
  void accept() override;

 private:
  kv::KontenverlaufDialog d_;
  int maximum_;
  Kontenauswahlgruppe* auswahl_ = nullptr;
};

}  // namespace kvui
