#include "fotoautomat.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>

#include "ui/ansicht.h"
#include "ui/ausgabewahl.h"
#include "ui/berichtsdialoge.h"
#include "ui/hauptfenster.h"
#include "ui/kumauswahldlg.h"
#include "ui/meldungsbox.h"
#include "ui/protokollfenster.h"
#include "ui/verlaufsdiagramm.h"

namespace kvui {

template <class T>
T* Fotoautomat::Dialog() const {
  auto* d = qobject_cast<T*>(QApplication::activeModalWidget());
  return d && d->isVisible() ? d : nullptr;
}

Fotoautomat::Fotoautomat(CMainFrame* rahmen, const QString& verzeichnis,
                         const QStringList& auswahl)
    : QObject(rahmen), rahmen_(rahmen), verzeichnis_(verzeichnis) {
  QDir().mkpath(verzeichnis_);
  auto ohneDialog = [] { return QApplication::activeModalWidget() == nullptr; };
  auto ausgabeOffen = [this, ohneDialog] {
    CKv02View* v = rahmen_->Ansicht();
    return ohneDialog() && v && v->Bildschirmausgabe() && v->Bildschirmausgabe()->isVisible();
  };
  auto posten = [this](int befehl) {
    QTimer::singleShot(0, rahmen_, [this, befehl] { rahmen_->Befehl(befehl); });
  };
  schritte_ = {
      {[this] { return Dialog<CKumAuswahlDlg>() != nullptr; },
       [this, auswahl] {
         auto* d = Dialog<CKumAuswahlDlg>();
         QLineEdit* felder[4] = {d->JahrFeld(), d->VonFeld(), d->BisFeld(), d->BezugFeld()};
         for (int i = 0; i < 4; ++i) felder[i]->setText(auswahl.value(i));
         Foto(d, "01_auswahl");
         d->accept();
       }},
      // The protocol window of a run that left circles out, photographed
      // and closed before the main window's picture.
      {[this, ohneDialog] { return ohneDialog() && rahmen_->Ansicht(); },
       [this] {
         if (CProtokollFenster* p = rahmen_->Protokollfenster()) {
           Foto(p, "08_protokoll");
           p->close();
         }
       }},
      {[this, ohneDialog] { return ohneDialog() && rahmen_->Ansicht() && !rahmen_->Protokollfenster(); },
       [this, posten] {
         Bildschirm("02_hauptfenster");
         posten(befehl::kSaldenbilanz);
       }},
      {[this] { return Dialog<CPrintSaldenBilanzDlg>() != nullptr; },
       [this] {
         auto* d = Dialog<CPrintSaldenBilanzDlg>();
         d->Feld(kv::Dialogfeld::Stichmonat)->setText("12");
         Foto(d, "03_saldenbilanz_optionen");
         d->accept();
       }},
      {[this] { return Dialog<CPrintOrPreviewDlg>() != nullptr; },
       [this] {
         auto* d = Dialog<CPrintOrPreviewDlg>();
         Foto(d, "04_ausgabewahl");
         // The text file's name dialog, for the manual, without running it.
         CTextDateiNameDlg name(d);
         const kv::Berichtskontext k = rahmen_->Ansicht()->Dokument().Kontext();
         name.SetzeZiel(k.datenverzeichnis, k.bezugsbuchungskreis);
         name.show();
         Foto(&name, "h_textdatei");
         name.hide();
         d->accept();
       }},
      {ausgabeOffen,
       [this, posten] {
         Bildschirm("05_saldenbilanz_bildschirm");
         posten(befehl::kAuswertung);
       }},
      {[this] { return Dialog<CPrintAuswertungDlg>() != nullptr; },
       [this] {
         auto* d = Dialog<CPrintAuswertungDlg>();
         d->Feld(kv::Dialogfeld::Stichmonat)->setText("12");
         Foto(d, "06_auswertung_optionen");
         d->accept();
       }},
      {[this] { return Dialog<CPrintOrPreviewDlg>() != nullptr; },
       [this] { Dialog<CPrintOrPreviewDlg>()->accept(); }},
      {ausgabeOffen, [this, posten] {
         Bildschirm("07_auswertung_bildschirm");
         Foto(rahmen_->Ansicht()->Bildschirmausgabe(), "h_auswertung");
         posten(befehl::kSaldenbilanz);
       }}};
  // The user manual (docs/handbuch/) has the screen output of every report:
  // each one run with the options below, its output window photographed
  // (pictures "h_*", moved into docs/handbuch/bilder/ by screenshots.sh).
  const std::pair<int, std::vector<std::pair<kv::Dialogfeld, QString>>> berichte[] = {
      {befehl::kSaldenbilanz, {{kv::Dialogfeld::Stichmonat, "12"}}},
      {befehl::kErfolgsrechnung, {{kv::Dialogfeld::VonMonat, "01"}, {kv::Dialogfeld::BisMonat, "12"}}},
      {befehl::kBilanz, {{kv::Dialogfeld::Stichmonat, "12"}}},
      {befehl::kSaldenliste, {{kv::Dialogfeld::VonMonat, "01"}, {kv::Dialogfeld::BisMonat, "12"}}},
      {befehl::kKontenverlauf, {{kv::Dialogfeld::Kontengruppe, "84??"}, {kv::Dialogfeld::Stichmonat, "12"}}},
      {befehl::kUebersicht, {}}};
  const char* namen[] = {"h_saldenbilanz", "h_erfolgsrechnung", "h_bilanz",
                         "h_saldenliste",  "h_kontenverlaeufe", "h_uebersicht"};
  for (size_t i = 0; i < std::size(berichte); ++i) {
    const auto felder = berichte[i].second;
    if (!felder.empty())
      schritte_.push_back({[this] { return Dialog<Berichtsdialog>() != nullptr; },
                           [this, felder] {
                             auto* d = Dialog<Berichtsdialog>();
                             for (const auto& [feld, text] : felder) d->Feld(feld)->setText(text);
                             if (felder.front().first == kv::Dialogfeld::Kontengruppe)
                               Foto(d, "h_kontenverlaeufe_optionen");
                             d->accept();
                           }});
    schritte_.push_back({[this] { return Dialog<CPrintOrPreviewDlg>() != nullptr; },
                         [this] { Dialog<CPrintOrPreviewDlg>()->accept(); }});
    const QString name = QString::fromLatin1(namen[i]);
    const int naechster = i + 1 < std::size(berichte) ? berichte[i + 1].first : 0;
    schritte_.push_back({ausgabeOffen, [this, posten, name, naechster] {
                           Foto(rahmen_->Ansicht()->Bildschirmausgabe(), name);
                           posten(naechster ? naechster : befehl::kKreisspiegel);
                         }});
  }
  // The per-circle breakdown on the screen, then the Kontenverläufe as a
  // chart split by circle.
  schritte_.push_back({[this] { return Dialog<CPrintKreisspiegelDlg>() != nullptr; },
                       [this] {
                         auto* d = Dialog<CPrintKreisspiegelDlg>();
                         d->Auswahl()->BereichKnopf()->click();
                         d->Feld(kv::Dialogfeld::VonKonto)->setText("8000");
                         d->Feld(kv::Dialogfeld::BisKonto)->setText("8999");
                         d->Feld(kv::Dialogfeld::Stichmonat)->setText("12");
                         d->accept();
                       }});
  schritte_.push_back({[this] { return Dialog<CPrintOrPreviewDlg>() != nullptr; },
                       [this] { Dialog<CPrintOrPreviewDlg>()->accept(); }});
  schritte_.push_back({ausgabeOffen, [this, posten] {
                         Bildschirm("09_kreisspiegel_bildschirm");
                         posten(befehl::kKontenverlauf);
                       }});
  schritte_.push_back({[this] { return Dialog<CPrintKontenverlaufDlg>() != nullptr; },
                       [this] {
                         auto* d = Dialog<CPrintKontenverlaufDlg>();
                         d->Auswahl()->MusterKnopf()->click();
                         d->Feld(kv::Dialogfeld::Kontengruppe)->setText("84??");
                         d->Feld(kv::Dialogfeld::Stichmonat)->setText("12");
                         d->DiagrammKnopf()->click();
                       }});
  auto diagramm = [this, ohneDialog] {
    CKv02View* v = rahmen_->Ansicht();
    return ohneDialog() && v && v->Diagrammfenster() && v->Diagrammfenster()->isVisible();
  };
  schritte_.push_back({diagramm, [this] { rahmen_->Ansicht()->Diagrammfenster()->SetzeJeKreis(true); }});
  schritte_.push_back({diagramm, [this] {
                         Foto(rahmen_->Ansicht()->Diagrammfenster(), "10_diagramm");
                         rahmen_->close();
                         QApplication::quit();
                       }});
  auto* takt = new QTimer(this);
  connect(takt, &QTimer::timeout, this, &Fotoautomat::Takt);
  takt->start(250);
}

void Fotoautomat::Takt() {
  if (++takte_ > 400) {  // 100 seconds without getting through: give up
    qWarning("Fotoautomat: Schritt %zu nicht erreicht", schritt_);
    QApplication::exit(1);
    return;
  }
  // Messages of the cumulation are photographed once and confirmed.
  QWidget* m = QApplication::activeModalWidget();
  if (m && (qobject_cast<QMessageBox*>(m) || qobject_cast<CMyMessageBoxDlg*>(m))) {
    if (meldungen_++ == 0) Foto(m, "00_meldung");
    qobject_cast<QDialog*>(m)->accept();
    return;
  }
  if (schritt_ >= schritte_.size() || !schritte_[schritt_].bereit()) return;
  // One step per tick, so every window has been painted before its picture.
  schritte_[schritt_++].tun();
}

void Fotoautomat::Foto(QWidget* w, const QString& name) {
  w->grab().save(verzeichnis_ + "/" + name + ".png");
}

void Fotoautomat::Bildschirm(const QString& name) {
  // The whole screen, so that modeless windows over the main window show too.
  QScreen* s = QGuiApplication::primaryScreen();
  QPixmap bild = s ? s->grabWindow(0) : QPixmap();
  if (bild.isNull() || bild.toImage().allGray()) bild = rahmen_->grab();
  bild.save(verzeichnis_ + "/" + name + ".png");
}

}  // namespace kvui
