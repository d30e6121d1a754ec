#include "ui/hauptfenster.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "app/bkverwaltung.h"
#include "basis/datei.h"
#include "basis/stringtabelle.h"
#include "ui/ansicht.h"
#include "ui/benutzereinstellungen.h"
#include "ui/bkverwaltungsdlg.h"
#include "ui/einstellungsdialoge.h"
#include "ui/einstellungsdlg.h"
#include "ui/fokus.h"
#include "ui/hilfe.h"
#include "ui/infodlg.h"
#include "ui/kumauswahldlg.h"
#include "ui/passwortdlg.h"
#include "ui/programmsymbol.h"
#include "ui/protokollfenster.h"
#include "ui/qtext.h"

namespace kvui {

using namespace befehl;

namespace {
CMainFrame* g_rahmen = nullptr;
const char* kProgrammtitel = "KALVENTO Kummulierung";
}  // namespace

CMainFrame* CMainFrame::Instanz() { return g_rahmen; }

CMainFrame::CMainFrame(QtOberflaeche* ui) : ui_(ui) {
  g_rahmen = this;
  setObjectName("CMainFrame");
  setWindowIcon(ProgrammSymbol());
  new Fokuswaechter(this);
  mdi_ = new QMdiArea(this);
  mdi_->setObjectName("mdi");
  setCentralWidget(mdi_);
  BaueMenues();
  BaueWerkzeugleiste();
  BaueStatuszeile();
  ZeigeMenue(false);
  AktualisiereTitel();

  // Accelerators of the main window.
  auto* einfg = new QShortcut(QKeySequence(Qt::Key_Insert), this);
  connect(einfg, &QShortcut::activated, this, [this] { Befehl(kUeberschreiben); });
  auto* hilfe = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1), this);
  connect(hilfe, &QShortcut::activated, this, [this] { Befehl(kHilfedatei); });
}

CMainFrame::~CMainFrame() {
  if (ui_) ui_->SetzeAnsicht(nullptr);
  if (g_rahmen == this) g_rahmen = nullptr;
}

QWidget* CMainFrame::AktiveAnsicht() const {
  if (ansicht_ && ansicht_->isVisible()) return ansicht_;
  return nullptr;
}

QRect CMainFrame::Klientenflaeche() const {
  return QRect(mdi_->mapToGlobal(QPoint(0, 0)), mdi_->size());
}

QAction* CMainFrame::Aktion(int id) const {
  const auto& t = mitDokument_ ? aktionen3_ : aktionen2_;
  auto it = t.find(id);
  return it == t.end() ? nullptr : it->second;
}

QAction* CMainFrame::Werkzeug(int id) const {
  auto it = werkzeuge_.find(id);
  return it == werkzeuge_.end() ? nullptr : it->second;
}

QLabel* CMainFrame::Anzeige(const QString& text) const {
  auto it = anzeigen_.find(text);
  return it == anzeigen_.end() ? nullptr : it->second;
}

QAction* CMainFrame::Eintrag(QMenu* m, std::map<int, QAction*>& tabelle, int id,
                             const char* text, bool mitHandler) {
  QAction* a = m->addAction(QString::fromUtf8(text));
  a->setData(id);
  a->setEnabled(mitHandler);
  const std::string hinweis = kv::Ressource(id);
  if (!hinweis.empty()) a->setStatusTip(Q(hinweis));
  if (mitHandler) connect(a, &QAction::triggered, this, [this, id] { Befehl(id); });
  tabelle[id] = a;
  return a;
}

void CMainFrame::BaueMenues() {
  // Without a document.
  auto& t2 = aktionen2_;
  QMenu* datei2 = new QMenu(QStringLiteral("&Datei"), this);
  Eintrag(datei2, t2, kNeu, "Kummulierungsaten auswählen", true);
  datei2->addSeparator();
  Eintrag(datei2, t2, kBeenden, "&Beenden", true);
  QMenu* ansicht2 = new QMenu(QStringLiteral("&Ansicht"), this);
  Eintrag(ansicht2, t2, kSymbolleiste, "&Symbolleiste", true)->setCheckable(true);
  Eintrag(ansicht2, t2, kStatuszeile, "S&tatuszeile", true)->setCheckable(true);
  QMenu* hilfe2 = new QMenu(QStringLiteral("&?"), this);
  Eintrag(hilfe2, t2, kHilfeIndex, "&Index", true);
  Eintrag(hilfe2, t2, kHilfeVerwenden, "Hilfe &verwenden", true);
  hilfe2->addSeparator();
  Eintrag(hilfe2, t2, kInfo, "Inf&o...", true);
  menue2_ = {datei2, ansicht2, hilfe2};

  // With a document.
  auto& t3 = aktionen3_;
  QMenu* datei = new QMenu(QStringLiteral("&Datei"), this);
  Eintrag(datei, t3, kOeffnen, "Buchungskreis ö&ffnen", false);
  Eintrag(datei, t3, kNeuauswahl, "Kummulierungsdaten auswählen \tF9", true)
      ->setShortcut(QKeySequence(Qt::Key_F9));
  Eintrag(datei, t3, kUebersicht, "B&uchungskreis-Übersicht ", true);
  Eintrag(datei, t3, kSchliessen, "Buchungskreis s&chließen", true);
  datei->addSeparator();
  Eintrag(datei, t3, kBeenden, "&Beenden", true);
  QMenu* salden = new QMenu(QStringLiteral("&Salden"), this);
  Eintrag(salden, t3, kSaldenbilanz, "Sal&denbilanz\tF3", true)->setShortcut(Qt::Key_F3);
  Eintrag(salden, t3, kErfolgsrechnung, "&Einnahme-Überschuss-Rechnung\tF4", true)
      ->setShortcut(Qt::Key_F4);
  Eintrag(salden, t3, kBilanz, "&Bilanz\tF5", true)->setShortcut(Qt::Key_F5);
  Eintrag(salden, t3, kSaldenliste, "Salden&liste\tF6", true)->setShortcut(Qt::Key_F6);
  Eintrag(salden, t3, kAuswertung, "&Auswertung Monat\tF7", true)->setShortcut(Qt::Key_F7);
  Eintrag(salden, t3, kKontenverlauf, "&Kontenverläufe", true);
  salden->addSeparator();
  Eintrag(salden, t3, kProtokoll, "Kummulierungs&protokoll", true);
  Eintrag(salden, t3, kKreisspiegel, "Buchungskreiss&piegel", true);
  QMenu* sonstiges = new QMenu(QStringLiteral("S&onstiges"), this);
  Eintrag(sonstiges, t3, kWechsel, "Wechsel zu KALVENTO", true);
  QMenu* einst = new QMenu(QStringLiteral("&Einstellungen"), this);
  Eintrag(einst, t3, kProgrammverwaltung, "&Programmverwaltung", true);
  Eintrag(einst, t3, kSeiten, "S&eiteneinstellungen", true);
  Eintrag(einst, t3, kSchriftBildschirm, "S&chriftgrößen Bildschirm", true);
  Eintrag(einst, t3, kSchriftAusdruck, "Schrift&größen Ausdruck", true);
  Eintrag(einst, t3, kBkVerwaltung, "&Buchungskreisverwaltung", true);
  // No dialog of this program edits the standard texts.
  Eintrag(einst, t3, kStandardtexte, "&Standardtexte", false);
  Eintrag(einst, t3, kMwst, "&Vorbelegung Mehrwertsteuersätze", true);
  Eintrag(einst, t3, kBuchKonfig, "&Konfiguration Buchungstechnik", true);
  QMenu* anzeige = new QMenu(QStringLiteral("&Anzeige"), this);
  Eintrag(anzeige, t3, kSymbolleiste, "&Symbolleiste", true)->setCheckable(true);
  Eintrag(anzeige, t3, kStatuszeile, "Status&zeile", true)->setCheckable(true);
  QMenu* hilfe = new QMenu(QStringLiteral("&?"), this);
  Eintrag(hilfe, t3, kHilfeIndex, "In&dex zur Hilfe", true);
  Eintrag(hilfe, t3, kHilfeVerwenden, "&Hilfe verwenden", true);
  QMenu* bearbeiten = new QMenu(QString(), this);
  bearbeiten->addSeparator();
  Eintrag(bearbeiten, t3, kAusschneiden, "Cu&t\tCtrl+X", false);
  Eintrag(bearbeiten, t3, kKopieren, "&Copy\tCtrl+C", false);
  Eintrag(bearbeiten, t3, kEinfuegen, "&Paste\tCtrl+V", false);
  menue3_ = {datei, salden, sonstiges, einst, anzeige, hilfe, bearbeiten};
}

void CMainFrame::BaueWerkzeugleiste() {
  werkzeug_ = addToolBar(QStringLiteral("Symbolleiste"));
  werkzeug_->setObjectName("symbolleiste");
  werkzeug_->setMovable(false);
  QStyle* s = style();
  auto knopf = [&](int id, QStyle::StandardPixmap bild, const char* text) {
    QAction* a = werkzeug_->addAction(s->standardIcon(bild), QString::fromUtf8(text));
    a->setData(id);
    const std::string hinweis = kv::Ressource(id);
    if (!hinweis.empty()) a->setStatusTip(Q(hinweis));
    connect(a, &QAction::triggered, this, [this, id] { Befehl(id); });
    werkzeuge_[id] = a;
    return a;
  };
  knopf(kNeuauswahl, QStyle::SP_FileDialogDetailedView, "Kummulierungsdaten auswählen");
  knopf(kUebersicht, QStyle::SP_FileDialogListView, "Buchungskreis-Übersicht");
  werkzeug_->addSeparator();
  knopf(32809, QStyle::SP_FileIcon, "")->setEnabled(false);
  werkzeug_->addSeparator();
  knopf(1148, QStyle::SP_ArrowBack, "")->setEnabled(false);
  knopf(1149, QStyle::SP_ArrowForward, "")->setEnabled(false);
  werkzeug_->addSeparator();
  knopf(kInfo, QStyle::SP_MessageBoxInformation, "Info");
  knopf(kHilfedatei, QStyle::SP_DialogHelpButton, "Hilfe");
}

void CMainFrame::BaueStatuszeile() {
  QStatusBar* sb = statusBar();
  sb->setObjectName("statuszeile");
  for (const char* text : {"ÜB", "CAP", "NUM", "SCRL"}) {
    auto* l = new QLabel(QString::fromUtf8(text), sb);
    l->setObjectName(QString::fromUtf8(text));
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(40);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // The lock keys' states are not available to the program on every
    // platform; their indicators stay grey.
    l->setEnabled(false);
    sb->addPermanentWidget(l);
    anzeigen_[l->text()] = l;
  }
  AktualisiereAnzeigen();
}

void CMainFrame::AktualisiereAnzeigen() {
  if (QLabel* ueb = Anzeige(QU("ÜB"))) ueb->setEnabled(ueberschreibmodus_ == 0);
  for (auto* t : {&aktionen2_, &aktionen3_}) {
    if (auto it = t->find(kSymbolleiste); it != t->end())
      it->second->setChecked(werkzeug_ && !werkzeug_->isHidden());
    if (auto it = t->find(kStatuszeile); it != t->end())
      it->second->setChecked(!statusBar()->isHidden());
  }
}

void CMainFrame::ZeigeMenue(bool mitDokument) {
  mitDokument_ = mitDokument;
  menuBar()->clear();
  for (QMenu* m : mitDokument ? menue3_ : menue2_) menuBar()->addMenu(m);
  // Toolbar buttons handled by the document or the view need one.
  if (QAction* a = Werkzeug(kNeuauswahl)) a->setEnabled(mitDokument);
  if (QAction* a = Werkzeug(kUebersicht)) a->setEnabled(mitDokument);
  AktualisiereAnzeigen();
}

void CMainFrame::AktualisiereTitel() {
  QString t = QString::fromUtf8(kProgrammtitel);
  if (dok_) t += QStringLiteral(" - ") + Q(dok_->Dokumenttitel());
  setWindowTitle(t);
  if (kind_) kind_->setWindowTitle(Q(dok_->Dokumenttitel()));
}

void CMainFrame::Befehl(int id) {
  switch (id) {
    case kNeu: if (!dok_) NeuesDokument(); return;
    case kNeuauswahl: if (dok_) Neuauswahl(); return;
    case kSchliessen: SchliesseDokument(); return;
    case kBeenden: close(); return;
    case kInfo: {
      CAboutDlg dlg(this);
      dlg.exec();
      return;
    }
    case kSymbolleiste: werkzeug_->setVisible(werkzeug_->isHidden()); AktualisiereAnzeigen(); return;
    case kStatuszeile: statusBar()->setVisible(statusBar()->isHidden()); AktualisiereAnzeigen(); return;
    case kHilfeIndex:
    case kHilfedatei: OeffneHandbuch(this); return;
    case kHilfeVerwenden: OeffneHandbuch(this, QStringLiteral("index.html#hilfe")); return;
    case kWechsel: if (dok_) WechselZuKalvento(); return;
    case kSeiten:
      if (dok_) {
        CSeitenEinstellungDlg dlg(*dok_, this);
        dlg.exec();
      }
      return;
    case kSchriftAusdruck:
      if (dok_) {
        CFontSizeDlg dlg(*dok_, ansicht_, this);
        dlg.exec();
      }
      return;
    case kProgrammverwaltung: Einstellung<CProgVerwDlg>(); return;
    case kBuchKonfig: Einstellung<CBuchKonfigDlg>(); return;
    case kMwst: Einstellung<CMwstSaetzeDlg>(); return;
    case kSchriftBildschirm: Einstellung<CFontSizeAppDlg>(); return;
    case kBkVerwaltung: if (dok_) Buchungskreisverwaltung(); return;
    case kMenueEuer:
    case kMenueGuv:
      if (QAction* a = aktionen3_[kErfolgsrechnung])
        a->setText(id == kMenueEuer ? QU("Einnahme-&Überschuss-Rechnung\tF4")
                                    : QU("Gewinn- und &Verlust-Rechnung\tF4"));
      menuBar()->update();
      return;
    case kEinfuegemodus:
    case kUeberschreiben:
      ueberschreibmodus_ = id == kEinfuegemodus ? 1 : !ueberschreibmodus_;
      if (dok_) dok_->Ueberschreibmodus = ueberschreibmodus_;
      AktualisiereAnzeigen();
      statusBar()->repaint();
      return;
    default: break;
  }
  if (!ansicht_) return;
  switch (id) {
    case kSaldenbilanz: ansicht_->Saldenbilanz(); break;
    case kErfolgsrechnung: ansicht_->Erfolgsrechnung(); break;
    case kBilanz: ansicht_->Bilanz(); break;
    case kSaldenliste: ansicht_->Saldenliste(); break;
    case kAuswertung: ansicht_->AuswertungMonat(); break;
    case kKontenverlauf: ansicht_->Kontenverlaeufe(); break;
    case kUebersicht: ansicht_->BkUebersicht(); break;
    case kProtokoll:
    case kKreisspiegel: ansicht_->Bericht(id); break;
    default: break;
  }
}

void CMainFrame::NeuesDokument() {
  if (dok_) return;  // one document at a time
  auto dok = std::make_unique<kv::CKv02Doc>();
  // The view exists (hidden) while the cumulation fills its list.
  auto* ansicht = new CKv02View(this, *dok);
  ui_->SetzeAnsicht(ansicht);
  // The run's messages are held back from the selection's OK on.
  std::unique_ptr<Kumulationsmeldungen> halter;
  const int ok = dok->OnNewDocument(
      [this](kv::Passwortpruefung& p) {
        CPasswortEingabeDlg dlg(p, this);
        return dlg.exec() == QDialog::Accepted;
      },
      [this, &halter](kv::Kumulationsauswahl& a) {
        if (!FrageAuswahl(a)) return false;
        halter = std::make_unique<Kumulationsmeldungen>();
        return true;
      });
  const bool protokoll = halter && halter->Beende(&dok->LetzteKumulation());
  halter.reset();
  if (!ok) {
    ui_->SetzeAnsicht(nullptr);
    delete ansicht;
    return;
  }
  dok_ = std::move(dok);
  ansicht_ = ansicht;
  kind_ = mdi_->addSubWindow(ansicht_);
  kind_->setObjectName("CChildFrame");
  kind_->setWindowIcon(ProgrammSymbol());
  kind_->installEventFilter(this);
  ansicht_->ErstAnzeige(kind_);
  if (KindMaximiert())
    kind_->showMaximized();
  else
    kind_->show();
  ZeigeMenue(true);
  NachKumulation();
  if (protokoll) ZeigeProtokoll();
  // Insert mode, as a posted command once the sequence has finished.
  QTimer::singleShot(0, this, [this] { Befehl(kEinfuegemodus); });
}

void CMainFrame::NachKumulation() {
  AktualisiereTitel();
  Befehl(dok_->Menuebefehl());
}

bool CMainFrame::FrageAuswahl(kv::Kumulationsauswahl& auswahl) {
  CKumAuswahlDlg dlg(this);
  // The user's last selection; on the first start the fields stay empty.
  if (const auto letzte = LetzteAuswahl()) dlg.SchlageVor(*letzte);
  if (dlg.exec() != QDialog::Accepted) return false;
  auswahl = dlg.Auswahl();
  MerkeAuswahl(auswahl);
  return true;
}

void CMainFrame::Neuauswahl() {
  if (!dok_) return;
  kv::Kumulationsauswahl auswahl;
  if (!FrageAuswahl(auswahl)) return;
  bool protokoll = false;
  {
    Kumulationsmeldungen halter;
    dok_->Neuauswahl(auswahl);
    protokoll = halter.Beende(&dok_->LetzteKumulation());
  }
  NachKumulation();
  if (protokoll) ZeigeProtokoll();
  if (ansicht_) ansicht_->update();
}

void CMainFrame::ZeigeProtokoll() {
  if (protokoll_) protokoll_->close();
  if (!dok_) return;
  protokoll_ = new CProtokollFenster(kv::ProtokollFuerFenster(dok_->LetzteKumulation()),
                                     [this] { Befehl(kProtokoll); }, this);
  protokoll_->show();
}

void CMainFrame::SchliesseDokument() {
  if (!dok_) return;
  // Its "Als Bericht" needs the document.
  if (protokoll_) protokoll_->close();
  ui_->SetzeAnsicht(nullptr);
  if (kind_) {
    MerkeKindMaximiert(kind_->isMaximized());
    kind_->removeEventFilter(this);
    mdi_->removeSubWindow(kind_);
    delete kind_;  // deletes the view and its screen output window
  }
  kind_ = nullptr;
  ansicht_ = nullptr;
  dok_.reset();  // closes the cumulated files; they stay on disk
  ZeigeMenue(false);
  AktualisiereTitel();
}

bool CMainFrame::eventFilter(QObject* o, QEvent* e) {
  if (o == kind_ && e->type() == QEvent::Close) {
    // Closing the child window closes the document.
    e->ignore();
    QTimer::singleShot(0, this, &CMainFrame::SchliesseDokument);
    return true;
  }
  return QMainWindow::eventFilter(o, e);
}

void CMainFrame::closeEvent(QCloseEvent* e) {
  MerkeFenster(this);
  SchliesseDokument();
  e->accept();
}

void CMainFrame::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  const int klientHoehe = height() - (menuBar()->isVisible() ? menuBar()->height() : 0);
  if (width() < 632 || klientHoehe < 432) {
    QTimer::singleShot(0, this, [this] {
      const QSize rand = frameGeometry().size() - size();
      resize(QSize(640, 480) - rand);
    });
  }
}

void CMainFrame::Buchungskreisverwaltung() {
  const std::string daten = kv::LeseVerwaltungsverzeichnis();
  CSelMandantDlg dlg(daten, this);
  dlg.exec();
}

namespace {

// Starts the companion program "Kalvento.exe" of the working directory:
// directly when it is executable here, otherwise through wine when that is
// installed.  Ok when a process was started, otherwise the one message that
// says what is missing (the program, wine, or both) or that it would not
// start.
kv::Status StarteKalvento() {
  const QFileInfo programm(
      QDir::current().absoluteFilePath(Q(kv::LoesePfadAuf("Kalvento.exe"))));
  const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
  const std::string ort = W1252(QDir::toNativeSeparators(QDir::currentPath()));
  auto meldung = [](const std::string& text) {
    return kv::Status(kv::Meldung::Text(text, kv::W("Wechsel zu KALVENTO"),
                                        kv::Meldungsart::Achtung));
  };
  if (!programm.isFile()) {
    return meldung(
        kv::W("Das Programm KALVENTO (Kalvento.exe) wurde im Programmverzeichnis\n") + ort +
        kv::W(wine.isEmpty() ? "\nnicht gefunden, und wine, mit dem es unter Linux läuft, ist "
                               "nicht installiert.\nBitte installieren Sie KALVENTO in dieses "
                               "Verzeichnis und wine, oder starten Sie KALVENTO selbst."
                             : "\nnicht gefunden.\nBitte installieren Sie KALVENTO in dieses "
                               "Verzeichnis, oder starten Sie es selbst."));
  }
  bool gestartet = false;
  if (programm.isExecutable()) {
    gestartet = QProcess::startDetached(programm.absoluteFilePath(), {}, QDir::currentPath());
  } else if (wine.isEmpty()) {
    return meldung(kv::W("Kalvento.exe ist vorhanden, aber wine, mit dem es unter Linux läuft, "
                         "wurde nicht gefunden.\nBitte installieren Sie wine (Paket \"wine\"), "
                         "oder starten Sie KALVENTO selbst."));
  } else {
    gestartet = QProcess::startDetached(wine, {programm.absoluteFilePath()}, QDir::currentPath());
  }
  if (gestartet) return {};
  return meldung(kv::W("Das Programm KALVENTO (Kalvento.exe) konnte nicht gestartet werden.\n"
                       "Bitte starten Sie es selbst."));
}

}  // namespace

void CMainFrame::WechselZuKalvento() {
  // The batch file is written for the companion program's own platform,
  // which starts it from there; here there is no batch interpreter.
  kv::Datei bat;
  const bool geschrieben =
      bat.Oeffnen("callkvo.bat", kv::Datei::Anlegen) && bat.Schreibe("Kalvento.exe", 12);
  bat.Schliessen();
  if (!geschrieben) {
    kv::ZeigeMeldung(34408, 58001, 16);
    return;
  }
  const kv::Status gestartet = StarteKalvento();
  kv::Zeige(gestartet);
  if (gestartet) QTimer::singleShot(0, this, [this] { Befehl(kBeenden); });
}

}  // namespace kvui
