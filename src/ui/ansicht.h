// The main view: the reference booking circle and the list of cumulated
// booking circles, in the booking font, on a grey form.  It also hosts the
// report commands and owns the screen and printer fonts and the screen
// output window.
#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <optional>

#include "app/berichtsbefehle.h"
#include "app/dokument.h"
#include "ui/bildschirmausgabe.h"
#include "ui/druckausgabe.h"
#include "ui/qtoberflaeche.h"
#include "ui/verlaufsdiagramm.h"

class QMdiSubWindow;

namespace kvui {

class CMainFrame;

// Layout of the four controls from the booking font's character height h
// and average width w.
struct Ansichtslayout {
  QRect bezugLabel, bezugFeld, listeLabel, liste;
};
Ansichtslayout BerechneAnsichtslayout(int h, int w);
// Client size of the child window: 80 columns and 17 rows of the booking
// font (the frame's borders and caption come on top).
QSize AnsichtsInnengroesse(int h, int w);


class CKv02View : public QWidget, public Ansichtsziel {
  Q_OBJECT
 public:
  CKv02View(CMainFrame* rahmen, kv::CKv02Doc& dokument);
  ~CKv02View() override;

  // First showing: fonts, layout, child window decoration.
  void ErstAnzeige(QMdiSubWindow* kind);

  // Ansichtsziel
  void SetzeBezugszeile(const QString& text) override;
  void LeereListe() override;
  void FuegeListeHinzu(const QString& zeile) override;

  kv::CKv02Doc& Dokument() { return dok_; }
  int Ausgabeart() const { return ausgabeart_; }
  const kv::Druckauswahl& Auswahl() const { return auswahl_; }
  QLineEdit* Bezugsfeld() const { return bezugFeld_; }
  QListWidget* Liste() const { return liste_; }
  CBildschirmAusgabeDlg* Bildschirmausgabe() const { return ausgabe_; }
  const Druckerschriften& Druckschriften() const { return druckSchriften_; }
  // Re-reads "Font Prn normal" / "Font Prn schmal".
  void BaueDruckerschriften();

  // Output choice after a report was written.
  void Ausgabewahl();
  void OeffneBildschirmausgabe();
  void Drucke();
  // The model of the last report (for CSV and PDF), with its messages shown;
  // false when there is none.
  bool LetztesModell(kv::Berichtsmodell& modell);
  // The Kontenverläufe of these values as a chart window (the one before
  // closed); false after the message when the model could not be made.
  bool ZeigeDiagramm(const kv::KontenverlaufDialog& angaben);
  CVerlaufsdiagramm* Diagrammfenster() const { return diagramm_; }

 public slots:
  void Saldenbilanz();        // 32813
  void Erfolgsrechnung();     // 32833
  void Bilanz();              // 32791
  void Saldenliste();         // 32811
  void AuswertungMonat();     // 32804
  void Kontenverlaeufe();     // 32812
  void BkUebersicht();        // 32849
  // The report command `id` of the table (app/berichtsbefehle.h): the
  // options dialog, the report, then the choice of output.
  void Bericht(int id);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  bool Bereit();
  // The checked values of the command's options dialog; none when it was
  // cancelled.
  std::optional<kv::Berichtsangaben> FrageAngaben(const kv::Berichtsbefehl& b);
  int HoechsterMonat() const;
  bool diagrammGewaehlt_ = false;  // the Kontenverläufe dialog's "Diag&ramm"
  QPointer<CVerlaufsdiagramm> diagramm_;

  CMainFrame* rahmen_;
  kv::CKv02Doc& dok_;
  QMdiSubWindow* kind_ = nullptr;
  QLabel* bezugLabel_ = nullptr;
  QLineEdit* bezugFeld_ = nullptr;
  QLabel* listeLabel_ = nullptr;
  QListWidget* liste_ = nullptr;
  int h_ = 23, w_ = 8;  // booking font cell
  QFont bildschirmSchrift_;
  int dx_ = 8, dy_ = 23;
  Druckerschriften druckSchriften_;
  int ausgabeart_ = 1113;
  kv::Druckauswahl auswahl_;  // the last report's selection (page size for printing)
  // The last report's command and values: its model for the CSV and the
  // name proposed for a PDF are made from them.
  const kv::Berichtsbefehl* letzterBefehl_ = nullptr;
  std::optional<kv::Berichtsangaben> letzteAngaben_;
  QPointer<CBildschirmAusgabeDlg> ausgabe_;
  bool groesseSetzen_ = false;
};

}  // namespace kvui
