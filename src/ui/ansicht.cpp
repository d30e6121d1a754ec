#include "ui/ansicht.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "reports/berichtshilfe.h"
#include "reports/textdatei.h"
#include "ui/ausgabewahl.h"
#include "ui/berichtsdialoge.h"
#include "ui/bildschirmausgabe.h"
#include "ui/exportausgabe.h"
#include "ui/hauptfenster.h"
#include "ui/qtext.h"
#include "ui/schriften.h"

namespace kvui {

Ansichtslayout BerechneAnsichtslayout(int h, int w) {
  const int y = 2 * static_cast<int>(1.2 * h) + 16;
  const int x = 24, breite = 80 * w;
  Ansichtslayout l;
  l.bezugLabel = QRect(x, y - 2 * h, breite, h);
  l.bezugFeld = QRect(x, static_cast<int>(y - 0.5 * h), breite, h + 4);
  l.listeLabel = QRect(x, y + 2 * h, breite, h);
  l.liste = QRect(x, static_cast<int>(y + 3.5 * h), breite, 9 * h + 4);
  return l;
}

QSize AnsichtsInnengroesse(int h, int w) {
  return QSize(static_cast<int>(80.5 * w) + 50, 17 * h);
}

CKv02View::CKv02View(CMainFrame* rahmen, kv::CKv02Doc& dokument)
    : rahmen_(rahmen), dok_(dokument) {
  setObjectName("CKv02View");
  setAttribute(Qt::WA_DeleteOnClose, false);
  bezugLabel_ = new QLabel(QStringLiteral("Bezugs-Buchungskreis (BK):"), this);
  bezugFeld_ = new QLineEdit(this);
  bezugFeld_->setObjectName("bezug");
  bezugFeld_->setReadOnly(true);
  listeLabel_ = new QLabel(QStringLiteral("Kummulierte Buchungskreise (BK):"), this);
  liste_ = new QListWidget(this);
  liste_->setObjectName("liste");
}

CKv02View::~CKv02View() {
  if (ausgabe_) delete ausgabe_.data();
}

int CKv02View::HoechsterMonat() const {
  return dok_.Konfiguration.konfiguration.dreizehnterMonat ? 13 : 12;
}

void CKv02View::BaueDruckerschriften() {
  auto& k = dok_.Konfiguration.konfiguration;
  bool zurueck = false;
  druckSchriften_ = PruefeDruckerschriften(k.fontPrnNormal, k.fontPrnSchmal, &zurueck);
  if (zurueck) {
    std::snprintf(k.fontPrnNormal, sizeof k.fontPrnNormal, "240");
    std::snprintf(k.fontPrnSchmal, sizeof k.fontPrnSchmal, "144");
    kv::Status gespeichert;
    dok_.Konfiguration.SchreibeKonfiguration(gespeichert);
    kv::Zeige(gespeichert);
  }
}

void CKv02View::ErstAnzeige(QMdiSubWindow* kind) {
  kind_ = kind;
  const auto& k = dok_.Konfiguration.konfiguration;
  // Fonts of the screen output window and of printing.
  BaueDruckerschriften();
  const kv::Schriftsatz& bs = k.fontBildschirm;
  dx_ = bs.breite > 0 ? bs.breite : 8;
  dy_ = std::max(1, bs.hoehe - 2);
  bildschirmSchrift_ = Zellenschrift(Q(bs.name), bs.hoehe, bs.breite, bs.gewicht);

  // The booking font lays out the four controls.
  const kv::Schriftsatz& bu = k.fontBuchung;
  h_ = bu.hoehe > 0 ? bu.hoehe : 23;
  w_ = bu.breite > 0 ? bu.breite : 8;
  const QFont buchung = Zellenschrift(QStringLiteral("Courier New"), h_, w_, bu.gewicht);
  for (QWidget* c : {static_cast<QWidget*>(bezugLabel_), static_cast<QWidget*>(bezugFeld_),
                     static_cast<QWidget*>(listeLabel_), static_cast<QWidget*>(liste_)})
    c->setFont(buchung);
  const Ansichtslayout l = BerechneAnsichtslayout(h_, w_);
  bezugLabel_->setGeometry(l.bezugLabel);
  bezugFeld_->setGeometry(l.bezugFeld);
  listeLabel_->setGeometry(l.listeLabel);
  liste_->setGeometry(l.liste);

  if (kind_) {
    // The child window cannot be minimised: no box, and a disabled
    // "Minimieren" in its system menu.
    kind_->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    if (QMenu* m = kind_->systemMenu()) {
      for (QAction* a : m->actions()) {
        if (a->text().contains(QStringLiteral("Min"), Qt::CaseInsensitive)) {
          a->setText(QStringLiteral("Minimieren"));
          a->setEnabled(false);
        }
      }
    }
    kind_->move(0, 0);
  }
  groesseSetzen_ = true;
  resize(AnsichtsInnengroesse(h_, w_));
  if (kind_) {
    const QSize rand = kind_->size() - kind_->widget()->size();
    kind_->resize(AnsichtsInnengroesse(h_, w_) + (rand.isValid() ? rand : QSize()));
  }
}

void CKv02View::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (!groesseSetzen_ || !kind_ || kind_->isMaximized()) return;
  // The child window always fits 80 columns and 17 rows of the booking font.
  const QSize innen = AnsichtsInnengroesse(h_, w_);
  if (size() == innen) return;
  const QSize rand = kind_->size() - size();
  QTimer::singleShot(0, this, [this, innen, rand] {
    if (kind_ && !kind_->isMaximized()) kind_->resize(innen + rand);
  });
}

void CKv02View::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(200, 200, 200));
  if (kind_) kind_->setWindowTitle(Q(dok_.Dokumenttitel()));
}

void CKv02View::SetzeBezugszeile(const QString& text) { bezugFeld_->setText(text); }
void CKv02View::LeereListe() {
  liste_->clear();
  bezugFeld_->clear();
}
void CKv02View::FuegeListeHinzu(const QString& zeile) {
  liste_->addItem(zeile);
  liste_->repaint();
}

// ---- Report commands ---------------------------------------------------

bool CKv02View::Bereit() { return dok_.PruefeKumulationBereit(); }

void CKv02View::Saldenbilanz() { Bericht(befehl::kSaldenbilanz); }
void CKv02View::Erfolgsrechnung() { Bericht(befehl::kErfolgsrechnung); }
void CKv02View::Bilanz() { Bericht(befehl::kBilanz); }
void CKv02View::Saldenliste() { Bericht(befehl::kSaldenliste); }
void CKv02View::AuswertungMonat() { Bericht(befehl::kAuswertung); }
void CKv02View::Kontenverlaeufe() { Bericht(befehl::kKontenverlauf); }
void CKv02View::BkUebersicht() { Bericht(befehl::kUebersicht); }

void CKv02View::Bericht(int id) {
  const kv::Berichtsbefehl* b = kv::BerichtsbefehlNr(id);
  if (!b || (b->brauchtKumulation && !Bereit())) return;
  diagrammGewaehlt_ = false;
  const std::optional<kv::Berichtsangaben> angaben = FrageAngaben(*b);
  if (!angaben) return;
  if (diagrammGewaehlt_) {
    ZeigeDiagramm(std::get<kv::KontenverlaufDialog>(*angaben));
    return;
  }
  const kv::Berichtskontext k = dok_.Kontext();
  auswahl_ = kv::Druckauswahl{};
  const kv::Berichtsergebnis ergebnis = b->erstelle(k, *angaben, auswahl_, dok_.Druck);
  letzterBefehl_ = b;
  letzteAngaben_ = angaben;
  if (!ergebnis.erstellt && !b->ausgabeNachFehler) return;
  ausgabeart_ = ergebnis.ausgabeart;
  Ausgabewahl();
}

std::optional<kv::Berichtsangaben> CKv02View::FrageAngaben(const kv::Berichtsbefehl& b) {
  const int euRechnung = dok_.Kontext().euRechnung;
  switch (b.dialog) {
    case kv::Optionsdialog::Keiner:
      return kv::Ui().Heute();
    case kv::Optionsdialog::Stichmonat: {
      std::unique_ptr<CPrintStichmonatDlg> dlg;
      if (b.id == befehl::kBilanz)
        dlg = std::make_unique<CPrintBilanzDlg>(HoechsterMonat(), this);
      else
        dlg = std::make_unique<CPrintSaldenBilanzDlg>(HoechsterMonat(), this);
      if (dlg->Frage() != QDialog::Accepted) return std::nullopt;
      kv::StichmonatDialog d;
      d.monat = dlg->Stichmonat();
      d.druck = dlg->Druckdatum();
      return d;
    }
    case kv::Optionsdialog::Erfolg: {
      CPrintErfolgDlg dlg(euRechnung, HoechsterMonat(), this);
      if (dlg.Frage() != QDialog::Accepted) return std::nullopt;
      return dlg.Werte();
    }
    case kv::Optionsdialog::Saldenliste: {
      CPrintSaldenlisteDlg dlg(HoechsterMonat(), this);
      if (dlg.Frage() != QDialog::Accepted) return std::nullopt;
      return dlg.Werte();
    }
    case kv::Optionsdialog::Auswertung: {
      CPrintAuswertungDlg dlg(euRechnung, HoechsterMonat(), this);
      if (dlg.Frage() != QDialog::Accepted) return std::nullopt;
      return dlg.Werte();
    }
    case kv::Optionsdialog::Kontenverlauf: {
      // The breakdown takes the account choice with a cut-off month.
      if (b.id == befehl::kKreisspiegel) {
        CPrintKreisspiegelDlg dlg(HoechsterMonat(), this);
        if (dlg.Frage() != QDialog::Accepted) return std::nullopt;
        return dlg.Werte();
      }
      CPrintKontenverlaufDlg dlg(this);
      if (dlg.Frage() != QDialog::Accepted) return std::nullopt;
      diagrammGewaehlt_ = dlg.Diagramm();
      return dlg.Werte();
    }
  }
  return std::nullopt;
}

// ---- Outputs -------------------------------------------------------------

void CKv02View::Ausgabewahl() {
  CPrintOrPreviewDlg dlg(this);
  if (dlg.exec() != QDialog::Accepted) return;
  bool ok = true;
  switch (dlg.Auswahl()) {
    case CPrintOrPreviewDlg::Bildschirm:
      OeffneBildschirmausgabe();
      break;
    case CPrintOrPreviewDlg::Drucker:
      // The print job runs once this command has returned, as a posted command.
      QTimer::singleShot(0, this, &CKv02View::Drucke);
      break;
    case CPrintOrPreviewDlg::Pdf: {
      kv::Berichtsmodell kopf;
      if (!LetztesModell(kopf)) break;
      ok = GibPdfAus(this, dok_.Kontext(), kopf, dok_.Druck, ausgabeart_, auswahl_.RandOben,
                     druckSchriften_);
      break;
    }
    case CPrintOrPreviewDlg::Csv: {
      kv::Berichtsmodell modell;
      if (LetztesModell(modell)) GibCsvAus(this, dok_.Kontext(), modell);
      break;
    }
    case CPrintOrPreviewDlg::Vorschau:
      ZeigeDruckvorschau(this, dok_.Druck, ausgabeart_, auswahl_.RandOben, druckSchriften_);
      break;
    case CPrintOrPreviewDlg::Textdatei:
      if (!dlg.NameGegeben()) {
        ok = false;
      } else {
        const kv::Berichtskontext k = dok_.Kontext();
        const std::string ziel = kv::VervollstaendigeTextdateiname(
            k.datenverzeichnis, k.bezugsbuchungskreis, dlg.Dateiname());
        const kv::Status kopie = kv::KopiereTextdatei(dok_.Druck.Druckdatei(), ziel);
        kv::Zeige(kopie);
        ok = kopie.Ok();
        // Where the file went, with its full path: the name alone may have
        // landed in a directory the user never looked at.
        if (ok)
          kv::Zeige(kv::Meldung::Text(
              kv::W("Der Bericht wurde in die Textdatei\n") +
                  W1252(QDir::toNativeSeparators(QFileInfo(Q(ziel)).absoluteFilePath())) +
                  kv::W("\ngeschrieben."),
              kv::W("Ausgabe in Textdatei"), kv::Meldungsart::Information));
      }
      break;
  }
  if (!ok)
    kv::Zeige(kv::Meldung::Text(kv::W("Druckanweisung konnte nicht versandt werden !"), 58001,
                                kv::Meldungsart::Fehler));
}

bool CKv02View::LetztesModell(kv::Berichtsmodell& modell) {
  if (!letzterBefehl_ || !letzteAngaben_) return false;
  const kv::Status s =
      kv::ErstelleBerichtsmodell(*letzterBefehl_, dok_.Kontext(), *letzteAngaben_, modell);
  kv::Zeige(s);
  return s.Ok();
}

bool CKv02View::ZeigeDiagramm(const kv::KontenverlaufDialog& angaben) {
  const kv::Berichtsbefehl* b = kv::BerichtsbefehlNr(befehl::kKontenverlauf);
  kv::Berichtsmodell modell;
  kv::Status s = kv::ErstelleBerichtsmodell(*b, dok_.Kontext(), angaben, modell);
  Verlaufsdaten daten;
  if (s) s.Uebernimm(VerlaufAusModell(modell, daten));
  kv::Zeige(s);
  if (!s) return false;
  if (diagramm_) diagramm_->close();
  // Split by circle only when asked for: it reads every circle's books.
  auto jeKreis = [this, angaben](Verlaufsdaten& d) {
    const kv::Berichtskontext k = dok_.Kontext();
    const kv::Kumulationsergebnis* lauf = kv::KumulationZu(k);
    kv::Status geteilt = lauf ? VerlaufJeKreis(k, *lauf, angaben, d)
                               : kv::KumulationBereit(kv::Berichtskontext{});
    kv::Zeige(geteilt);
    return lauf && geteilt.Ok();
  };
  diagramm_ = new CVerlaufsdiagramm(std::move(daten), jeKreis, this);
  diagramm_->setWindowFlag(Qt::Window);
  diagramm_->show();
  return true;
}

void CKv02View::OeffneBildschirmausgabe() {
  if (ausgabe_) delete ausgabe_.data();
  ausgabe_ = new CBildschirmAusgabeDlg(dok_.Druck, bildschirmSchrift_, dx_, dy_,
                                       rahmen_->Klientenflaeche(), this);
  ausgabe_->show();
  ausgabe_->activateWindow();
  ausgabe_->setFocus();
}

void CKv02View::Drucke() {
  if (!DruckeMitDialog(this, dok_.Druck, ausgabeart_, auswahl_.RandOben, druckSchriften_))
    kv::Zeige(kv::Meldung::Text(kv::W("Druckanweisung konnte nicht versandt werden !"), 58001,
                                kv::Meldungsart::Fehler));
}

}  // namespace kvui
