#include "ui/einstellungsdialoge.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "app/einstellungsregeln.h"
#include "basis/oberflaeche.h"
#include "ui/eingabehilfe.h"
#include "ui/qtext.h"

namespace kvui {
namespace {

// "&OK" (the default button) and, when given, the cancel button, right-aligned.
QHBoxLayout* Knopfzeile(QDialog* dlg, const char* abbruchText) {
  auto* lay = new QHBoxLayout;
  lay->addStretch();
  auto* ok = Knopf("&OK", "ok", dlg);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, dlg, &QDialog::accept);
  lay->addWidget(ok);
  if (abbruchText) {
    auto* abbruch = Knopf(abbruchText, "abbruch", dlg);
    QObject::connect(abbruch, &QPushButton::clicked, dlg, &QDialog::reject);
    lay->addWidget(abbruch);
  }
  return lay;
}

QLineEdit* Feld(const char* name, const QString& text, int laenge, QWidget* eltern) {
  auto* e = new QLineEdit(eltern);
  e->setObjectName(QString::fromLatin1(name));
  e->setMaxLength(laenge);
  e->setText(text);
  return e;
}

// Puts a text into a field without running its typing filter again.
void SetzeStill(QLineEdit* e, const QString& text, int cursor) {
  const QSignalBlocker sperre(e);
  e->setText(text);
  e->setCursorPosition(std::clamp<int>(cursor, 0, text.size()));
}

// The selected entry of a size list, or -1.  (A list can have a current
// entry without a selection, e.g. after it got the focus.)
int Gewaehlt(const QListWidget* liste) {
  const auto auswahl = liste->selectedItems();
  return auswahl.isEmpty() ? -1 : liste->row(auswahl.first());
}

void Waehle(QListWidget* liste, int zeile) {
  liste->clearSelection();
  if (zeile >= 0) liste->setCurrentRow(zeile, QItemSelectionModel::ClearAndSelect);
}

// "&OK" writes the configuration and shows at once what that had to say.
// The result of SchreibeKonfiguration.
int Speichere(kv::CIniSB& konfiguration) {
  kv::Status gespeichert;
  const int ergebnis = konfiguration.SchreibeKonfiguration(gespeichert);
  kv::Zeige(gespeichert);
  return ergebnis;
}

}  // namespace

// ---- "Programmverwaltung" ---------------------------------------------------

CProgVerwDlg::CProgVerwDlg(kv::CKv02Doc& dokument, QWidget* parent)
    : KvDialog(parent), dok_(dokument) {
  setWindowTitle(QStringLiteral("Programmverwaltung"));
  const auto& k = dok_.Konfiguration.konfiguration;
  const int pfadlaenge = static_cast<int>(kv::kMaxPfadlaenge);

  auto* kalvento = new QGroupBox(QStringLiteral("Kalvento"), this);
  gemeinsam_ = new QRadioButton(
      QU(" &Programm und Daten in gemeinsamen Verzeichis ( Empfehlung ! )"), kalvento);
  gemeinsam_->setObjectName("gemeinsam");
  gesondert_ =
      new QRadioButton(QU(" Daten in gesondertem Verzeichnis ( siehe Handbuch ! )"), kalvento);
  gesondert_->setObjectName("gesondert");
  datenpfadLabel_ = new QLabel(QU("&Datenpfad:"), kalvento);
  datenpfad_ = Feld("datenpfad", Q(k.daten), pfadlaenge, kalvento);
  datenpfadLabel_->setBuddy(datenpfad_);
  verzeichnis_ = Knopf("Daten&verzeichnis...", "verzeichnis", kalvento);
  auto* kl = new QGridLayout(kalvento);
  kl->addWidget(gemeinsam_, 0, 0, 1, 3);
  kl->addWidget(gesondert_, 1, 0, 1, 3);
  kl->addWidget(datenpfadLabel_, 2, 0);
  kl->addWidget(datenpfad_, 2, 1);
  kl->addWidget(verzeichnis_, 2, 2);

  auto* online = new QGroupBox(QStringLiteral("Kalvento Online"), this);
  programm_ = Feld("programm", Q(k.kvonlineProgramm), pfadlaenge, online);
  import_ = Feld("import", Q(k.kvonlineImport), pfadlaenge, online);
  auto* ol = new QVBoxLayout(online);
  auto* l1 = new QLabel(QU("Programmaufruf von Kalvento Online:"), online);
  l1->setBuddy(programm_);
  auto* l2 = new QLabel(QU("Pfad zur Übergabe der Daten an Kalvento Online:"), online);
  l2->setBuddy(import_);
  ol->addWidget(l1);
  ol->addWidget(programm_);
  ol->addWidget(l2);
  ol->addWidget(import_);

  auto* lay = new QVBoxLayout(this);
  lay->addWidget(kalvento);
  lay->addWidget(online);
  lay->addLayout(Knopfzeile(this, "&Abbruch"));
  setMinimumWidth(520);

  (kv::DatenGesondert(k) ? gesondert_ : gemeinsam_)->setChecked(true);
  Schalte();
  connect(gemeinsam_, &QRadioButton::toggled, this, [this] { Schalte(); });
  connect(verzeichnis_, &QPushButton::clicked, this, &CProgVerwDlg::WaehleVerzeichnis);
}

void CProgVerwDlg::WaehleVerzeichnis() {
  // Starts where the field points; the field stays editable, so a typed
  // path works as before.
  const QDir programm = QDir::current();
  const QString bisher = datenpfad_->text().trimmed();
  const QString start = programm.absoluteFilePath(bisher.isEmpty() ? QStringLiteral(".") : bisher);
  const QString gewaehlt = QFileDialog::getExistingDirectory(
      this, QStringLiteral("Datenverzeichnis wählen"),
      QFileInfo(start).isDir() ? start : programm.absolutePath());
  if (gewaehlt.isEmpty()) return;
  // Inside the program directory the path stays relative, as "Daten" is:
  // the program directory can then move as a whole.
  const QString relativ = programm.relativeFilePath(gewaehlt);
  const bool innen = !relativ.startsWith(QStringLiteral("..")) && !QDir::isAbsolutePath(relativ);
  datenpfad_->setText(QDir::toNativeSeparators(innen ? relativ : gewaehlt));
  datenpfad_->setFocus();
}

void CProgVerwDlg::Schalte() {
  const bool an = gesondert_->isChecked();
  datenpfadLabel_->setEnabled(an);
  datenpfad_->setEnabled(an);
  verzeichnis_->setEnabled(an);
}

void CProgVerwDlg::accept() {
  kv::UebernehmeProgrammverwaltung(dok_.Konfiguration.konfiguration, gesondert_->isChecked(),
                                   W1252(datenpfad_->text()), W1252(programm_->text()),
                                   W1252(import_->text()));
  Speichere(dok_.Konfiguration);
  QDialog::accept();
}

// ---- "Nachträgliche Buchungsänderungen" -------------------------------------

CBuchungsAenderungenDlg::CBuchungsAenderungenDlg(kv::CKv02Doc& dokument, QWidget* parent)
    : KvDialog(parent), dok_(dokument) {
  setWindowTitle(QU("Nachträgliche Buchungsänderungen"));
  aenderungen_ = new QCheckBox(QU("  &Nachträgliche Buchungsänderungen zulassen"), this);
  aenderungen_->setObjectName("aenderungen");
  aenderungen_->setChecked(dok_.Konfiguration.konfiguration.aenderung != 0);
  auto* lay = new QVBoxLayout(this);
  lay->addWidget(aenderungen_);
  lay->addWidget(new QLabel(QU("(Stapelverbuchung vewenden)"), this));
  lay->addLayout(Knopfzeile(this, nullptr));
}

void CBuchungsAenderungenDlg::accept() {
  // Reaches the file with the next write of the configuration.
  dok_.Konfiguration.konfiguration.aenderung = aenderungen_->isChecked() ? 1 : 0;
  QDialog::accept();
}

// ---- "Konfiguration für Buchungstechnik" ------------------------------------

CBuchKonfigDlg::CBuchKonfigDlg(kv::CKv02Doc& dokument, QWidget* parent)
    : KvDialog(parent), dok_(dokument) {
  setWindowTitle(QU("Konfiguration für Buchungstechnik"));
  const auto& k = dok_.Konfiguration.konfiguration;

  auto* monate = new QGroupBox(QU("Anzahl der Buchungsmonate"), this);
  zwoelf_ = new QRadioButton(QU("12 &Buchungsmonate pro Buchungsjahr"), monate);
  zwoelf_->setObjectName("zwoelf");
  dreizehn_ = new QRadioButton(QU("13. Buchungsmonat für &Abschlußbuchungen zulassen"), monate);
  dreizehn_->setObjectName("dreizehn");
  auto* ml = new QVBoxLayout(monate);
  ml->addWidget(zwoelf_);
  ml->addWidget(dreizehn_);

  auto* pw = new QGroupBox(QU("Passwort"), this);
  passwortAn_ = new QCheckBox(QU("&Passwort verwenden"), pw);
  passwortAn_->setObjectName("passwortAn");
  passwortLabel_ = new QLabel(QU("Pass&wort:"), pw);
  // Shown in plain text, as stored.
  passwort_ = Feld("passwort", Q(k.passwort), static_cast<int>(kv::kPasswortFeldlaenge), pw);
  passwortLabel_->setBuddy(passwort_);
  auto* pl = new QGridLayout(pw);
  pl->addWidget(passwortAn_, 0, 0, 1, 2);
  pl->addWidget(passwortLabel_, 1, 0);
  pl->addWidget(passwort_, 1, 1);

  auto* erweitert = new QGroupBox(QU("Erweiterte  Einstellungen"), this);
  erweitert_ = Knopf("&Erweitert", "erweitert", erweitert);
  auto* el = new QHBoxLayout(erweitert);
  el->addWidget(new QLabel(QU("Zusätzliche Einstellungen"), erweitert));
  el->addStretch();
  el->addWidget(erweitert_);

  auto* lay = new QVBoxLayout(this);
  lay->addWidget(monate);
  lay->addWidget(pw);
  lay->addWidget(erweitert);
  lay->addLayout(Knopfzeile(this, nullptr));

  (k.dreizehnterMonat ? dreizehn_ : zwoelf_)->setChecked(true);
  passwortAn_->setChecked(k.passwort[0] != '\0');
  Schalte();
  connect(passwortAn_, &QCheckBox::toggled, this, [this] { Schalte(); });
  connect(passwort_, &QLineEdit::textChanged, this, [this](const QString& alt) {
    const QString neu = Q(kv::FiltrierePasswort(W1252(alt)));
    if (neu == alt) return;
    SetzeStill(passwort_, neu, passwort_->cursorPosition() - int(alt.size() - neu.size()));
  });
  connect(erweitert_, &QPushButton::clicked, this, [this] {
    CBuchungsAenderungenDlg d(dok_, this);
    d.exec();
  });
}

void CBuchKonfigDlg::Schalte() {
  const bool an = passwortAn_->isChecked();
  passwortLabel_->setEnabled(an);
  passwort_->setEnabled(an);
}

void CBuchKonfigDlg::accept() {
  kv::UebernehmeBuchungstechnik(dok_.Konfiguration.konfiguration, dreizehn_->isChecked(),
                                passwortAn_->isChecked(), W1252(passwort_->text()));
  Speichere(dok_.Konfiguration);
  QDialog::accept();
}

// ---- "Vorbelegung der Mehrwertsteuersätze" ----------------------------------

CMwstSaetzeDlg::CMwstSaetzeDlg(kv::CKv02Doc& dokument, QWidget* parent)
    : KvDialog(parent), dok_(dokument) {
  setWindowTitle(QU("Vorbelegung der Mehrwertsteuersätze"));
  const auto& k = dok_.Konfiguration.konfiguration;
  f7_ = Feld("f7", Q(kv::MwstAnzeige(k.mwstF7)), 32767, this);
  f8_ = Feld("f8", Q(kv::MwstAnzeige(k.mwstF8)), 32767, this);
  auto* l7 = new QLabel(QU("Mehrwertsteuersatz (in %) für Funktionstaste F&7"), this);
  l7->setBuddy(f7_);
  auto* l8 = new QLabel(QU("Mehrwertsteuersatz (in %) für Funktionstaste F&8"), this);
  l8->setBuddy(f8_);
  auto* gitter = new QGridLayout;
  gitter->addWidget(l7, 0, 0);
  gitter->addWidget(f7_, 0, 1);
  gitter->addWidget(l8, 1, 0);
  gitter->addWidget(f8_, 1, 1);
  auto* lay = new QVBoxLayout(this);
  lay->addLayout(gitter);
  lay->addLayout(Knopfzeile(this, "&Abbruch"));

  for (QLineEdit* e : {f7_, f8_}) {
    e->installEventFilter(this);
    // A rate beyond the limits gives the field back its last valid text.
    auto gueltig = std::make_shared<QString>(e->text());
    connect(e, &QLineEdit::textChanged, this, [e, gueltig](const QString& alt) {
      // The blank in front of a rate below 10 comes from leaving the field;
      // it is no typing error.
      std::string text = W1252(alt);
      const std::size_t blanks = text.find_first_not_of(' ');
      text.erase(0, blanks == std::string::npos ? text.size() : blanks);
      const kv::Status gefiltert = kv::FilterMwst(text);
      kv::Zeige(gefiltert);
      const bool sauber = gefiltert.Ok();
      const QString neu = AusserhalbDerGrenzen(gefiltert) ? *gueltig : Q(text);
      *gueltig = neu;
      if (neu == alt) return;
      const int weg = int(alt.size()) - int(neu.size());
      SetzeStill(e, neu, e->cursorPosition() - (sauber ? weg : std::max(weg, 1)));
    });
  }
}

bool CMwstSaetzeDlg::eventFilter(QObject* objekt, QEvent* ereignis) {
  // A context menu of the field is no leaving.
  if (ereignis->type() == QEvent::FocusOut && (objekt == f7_ || objekt == f8_) &&
      static_cast<QFocusEvent*>(ereignis)->reason() != Qt::PopupFocusReason) {
    auto* e = static_cast<QLineEdit*>(objekt);
    const QString neu = Q(kv::MwstText(W1252(e->text())));
    if (neu != e->text()) SetzeStill(e, neu, int(neu.size()));
  }
  return KvDialog::eventFilter(objekt, ereignis);
}

void CMwstSaetzeDlg::accept() {
  // A rate beyond the limits can only come from the file; it is refused
  // like a typed one.
  for (QLineEdit* e : {f7_, f8_}) {
    std::string text = W1252(e->text());
    text.erase(0, std::min(text.find_first_not_of(' '), text.size()));
    const kv::Status gefiltert = kv::FilterMwst(text);
    kv::Zeige(gefiltert);
    if (!gefiltert) {
      SetzeStill(e, Q(text), int(text.size()));
      e->setFocus();
      e->selectAll();
      return;
    }
  }
  kv::UebernehmeMwst(dok_.Konfiguration.konfiguration, W1252(f7_->text()), W1252(f8_->text()));
  for (QLineEdit* e : {f7_, f8_}) SetzeStill(e, Q(kv::MwstText(W1252(e->text()))), 5);
  Speichere(dok_.Konfiguration);
  QDialog::accept();
}

// ---- "Schriftgrößen für Bildschirmanzeige" ----------------------------------

CFontSizeAppDlg::CFontSizeAppDlg(kv::CKv02Doc& dokument, QWidget* parent)
    : KvDialog(parent), dok_(dokument) {
  setWindowTitle(QU("Schriftgrößen für Bildschirmanzeige"));
  const auto& k = dok_.Konfiguration.konfiguration;

  auto baueListe = [this](const char* name) {
    auto* l = new QListWidget(this);
    l->setObjectName(QString::fromLatin1(name));
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const auto& g : kv::kSchriftgroessen) l->addItem(QString::fromLatin1(g.text));
    return l;
  };
  buchung_ = baueListe("buchung");
  bildschirm_ = baueListe("bildschirm");
  buchungFett_ = new QCheckBox(QU("&Fett"), this);
  buchungFett_->setObjectName("buchungFett");
  bildschirmFett_ = new QCheckBox(QU("F&ett"), this);
  bildschirmFett_->setObjectName("bildschirmFett");
  auto* lb = new QLabel(QU("&Buchungsmaske"), this);
  lb->setBuddy(buchung_);
  auto* ls = new QLabel(QU("B&ildschrimausgabe"), this);
  ls->setBuddy(bildschirm_);

  auto* hinweis = new QLabel(
      QU("Auswählbare Schriftgrößen für die Buchungsmaske und die Bildschirmausgabe (von "
         "Ausdrucken).\nAb Größe '14' wird automatisch 'Fett' aktiviert."),
      this);
  auto* gitter = new QGridLayout;
  gitter->addWidget(lb, 0, 0);
  gitter->addWidget(ls, 0, 1);
  gitter->addWidget(buchung_, 1, 0);
  gitter->addWidget(bildschirm_, 1, 1);
  gitter->addWidget(buchungFett_, 2, 0);
  gitter->addWidget(bildschirmFett_, 2, 1);

  auto* knoepfe = new QHBoxLayout;
  knoepfe->addStretch();
  auto* ok = Knopf("&OK", "ok", this);
  ok->setDefault(true);
  standard_ = Knopf("&Standard", "standard", this);
  auto* abbruch = Knopf("&Abbrechen", "abbruch", this);
  knoepfe->addWidget(ok);
  knoepfe->addWidget(standard_);
  knoepfe->addWidget(abbruch);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(abbruch, &QPushButton::clicked, this, &QDialog::reject);
  connect(standard_, &QPushButton::clicked, this, [this] { Standard(); });

  auto* lay = new QVBoxLayout(this);
  lay->addWidget(hinweis);
  lay->addLayout(gitter);
  lay->addLayout(knoepfe);

  Waehle(buchung_, kv::FindeSchriftgroesse(k.fontBuchung));
  Waehle(bildschirm_, kv::FindeSchriftgroesse(k.fontBildschirm));
  buchungFett_->setChecked(kv::IstFett(k.fontBuchung));
  bildschirmFett_->setChecked(kv::IstFett(k.fontBildschirm));

  // From width 14 on the box is ticked whenever the size or the box changes.
  auto verbinde = [this](QListWidget* liste, QCheckBox* fett) {
    connect(liste, &QListWidget::itemSelectionChanged, this, [liste, fett] {
      fett->setChecked(kv::FettNachRegel(Gewaehlt(liste), fett->isChecked()));
    });
    connect(fett, &QCheckBox::clicked, this, [liste, fett](bool an) {
      fett->setChecked(kv::FettNachRegel(Gewaehlt(liste), an));
    });
  };
  verbinde(buchung_, buchungFett_);
  verbinde(bildschirm_, bildschirmFett_);
}

void CFontSizeAppDlg::Standard() {
  QSize bildschirm = bildschirmgroesse_;
  if (!bildschirm.isValid()) {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    bildschirm = s ? s->size() : QSize(800, 600);
  }
  const int groesse = kv::StandardSchriftgroesse(bildschirm.width(), bildschirm.height());
  Waehle(buchung_, groesse);
  Waehle(bildschirm_, groesse);
  buchungFett_->setChecked(false);
  bildschirmFett_->setChecked(false);
}

void CFontSizeAppDlg::accept() {
  kv::UebernehmeBildschirmschriften(dok_.Konfiguration, Gewaehlt(buchung_),
                                    buchungFett_->isChecked(), Gewaehlt(bildschirm_),
                                    bildschirmFett_->isChecked());
  // After a failed save the configuration has said so; the notice about the
  // next start would then be wrong.
  if (Speichere(dok_.Konfiguration) == 1)
    kv::Zeige(kv::Meldung::Nr(34429, 58003, kv::Meldungsart::Information));
  QDialog::accept();
}

}  // namespace kvui
