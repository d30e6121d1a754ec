// The main window: menus (one set without and one with a document), the
// toolbar, the status bar with its indicators, the MDI area holding the one
// document window, and the commands that open, reselect and close the
// document.
#pragma once
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <map>
#include <memory>

#include "app/berichtsbefehle.h"
#include "app/dokument.h"
#include "ui/platzierung.h"
#include "ui/protokollfenster.h"
#include "ui/qtoberflaeche.h"

class QMdiSubWindow;
class QToolBar;

namespace kvui {

class CKv02View;

// Command numbers of the menus, the toolbar and the private commands.
namespace befehl {
constexpr int kNeu = 57600, kSchliessen = 57602, kBeenden = 57665, kInfo = 57664;
constexpr int kSymbolleiste = 59392, kStatuszeile = 59393;
constexpr int kHilfeIndex = 57666, kHilfeVerwenden = 57668, kHilfedatei = 57670;
constexpr int kOeffnen = 32817, kNeuauswahl = 32821, kUebersicht = 32849;
constexpr int kSaldenbilanz = 32813, kErfolgsrechnung = 32833, kBilanz = 32791;
constexpr int kSaldenliste = 32811, kAuswertung = 32804, kKontenverlauf = 32812;
constexpr int kWechsel = 32863;
// The reports over the run itself (app/berichtsbefehle.h).
constexpr int kProtokoll = kv::kBefehlProtokoll, kKreisspiegel = kv::kBefehlKreisspiegel;
constexpr int kProgrammverwaltung = 32790, kSeiten = 32789, kSchriftBildschirm = 32853;
constexpr int kSchriftAusdruck = 32836, kBkVerwaltung = 32825, kStandardtexte = 32785;
constexpr int kMwst = 32787, kBuchKonfig = 32788;
constexpr int kAusschneiden = 57635, kKopieren = 57634, kEinfuegen = 57637;
constexpr int kEinfuegemodus = 1724, kUeberschreiben = 32858;
// The two commands that switch the income-statement text are the document's.
using kv::kMenueEuer;
using kv::kMenueGuv;
}  // namespace befehl

class CMainFrame : public QMainWindow, public Rahmenfenster {
  Q_OBJECT
 public:
  explicit CMainFrame(QtOberflaeche* ui);
  ~CMainFrame() override;

  static CMainFrame* Instanz();

  // Rahmenfenster
  QWidget* AktiveAnsicht() const override;
  QWidget* RahmenWidget() override { return this; }

  // The MDI client area in screen coordinates.
  QRect Klientenflaeche() const;

  // Action of a command in the current menu / on the toolbar (nullptr if none).
  QAction* Aktion(int id) const;
  QAction* Werkzeug(int id) const;
  QMenuBar* Menue() const { return menuBar(); }
  QLabel* Anzeige(const QString& text) const;

  kv::CKv02Doc* Dokument() const { return dok_.get(); }
  CKv02View* Ansicht() const { return ansicht_; }
  // The protocol window of the last cumulation, while it is open.
  CProtokollFenster* Protokollfenster() const { return protokoll_; }
  int Ueberschreibmodus() const { return ueberschreibmodus_; }

  // Runs a command by its number, as menus, toolbar and keys do.
  void Befehl(int id);

 public slots:
  void NeuesDokument();      // 57600: the opening sequence
  void Neuauswahl();         // 32821
  void SchliesseDokument();  // 57602

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void BaueMenues();
  void BaueWerkzeugleiste();
  void BaueStatuszeile();
  QAction* Eintrag(QMenu* m, std::map<int, QAction*>& tabelle, int id, const char* text,
                   bool mitHandler);
  void ZeigeMenue(bool mitDokument);
  void AktualisiereTitel();
  void AktualisiereAnzeigen();
  // "Kummulierungsdaten auswählen" with the user's last selection proposed.
  bool FrageAuswahl(kv::Kumulationsauswahl& auswahl);
  void WechselZuKalvento();
  void Buchungskreisverwaltung();
  // A settings dialog on the document: constructed, run, nothing else.
  template <typename Dialog>
  void Einstellung() {
    if (!dok_) return;
    Dialog dlg(*dok_, this);
    dlg.exec();
  }
  void NachKumulation();
  // The protocol window of the document's last run (the one before closed).
  void ZeigeProtokoll();

  QtOberflaeche* ui_;
  QMdiArea* mdi_ = nullptr;
  QToolBar* werkzeug_ = nullptr;
  std::vector<QMenu*> menue2_, menue3_;
  std::map<int, QAction*> aktionen2_, aktionen3_, werkzeuge_;
  std::map<QString, QLabel*> anzeigen_;
  bool mitDokument_ = false;

  std::unique_ptr<kv::CKv02Doc> dok_;
  CKv02View* ansicht_ = nullptr;
  QPointer<CProtokollFenster> protokoll_;
  QMdiSubWindow* kind_ = nullptr;
  int ueberschreibmodus_ = 1;
};

}  // namespace kvui
