#include "ui/bkverwaltungsdlg.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <memory>

#include "basis/oberflaeche.h"
#include "reports/bkuebersicht.h"
#include "ui/eingabehilfe.h"
#include "ui/qtext.h"

namespace kvui {
namespace {

QLineEdit* Feld(const char* name, std::size_t laenge, QWidget* eltern) {
  auto* e = new QLineEdit(eltern);
  e->setObjectName(QString::fromLatin1(name));
  e->setMaxLength(static_cast<int>(laenge));
  // Short fields as wide as their text, not as the dialog.
  if (laenge <= 8) e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QString(laenge + 3, '0')));
  return e;
}

QLabel* Beschriftung(const char* text, QWidget* buddy, QWidget* eltern) {
  auto* l = new QLabel(QU(text), eltern);
  if (buddy) l->setBuddy(buddy);
  return l;
}

// Runs `filter` on every change of the field.  A changed text is put back
// with the caret moved back by the number of characters removed, so a
// refused character leaves the caret where it was before typing.
void Filtere(QLineEdit* feld, std::function<std::string(std::string)> filter) {
  QObject::connect(feld, &QLineEdit::textChanged, feld, [feld, filter](const QString& vorher) {
    const QString neu = Q(filter(W1252(vorher)));
    if (neu == vorher) return;
    const int cursor = feld->cursorPosition() - static_cast<int>(vorher.size() - neu.size());
    const QSignalBlocker sperre(feld);
    feld->setText(neu);
    feld->setCursorPosition(std::clamp<int>(cursor, 0, static_cast<int>(neu.size())));
  });
}

void SetzeStill(QLineEdit* feld, const std::string& text) {
  const QSignalBlocker sperre(feld);
  feld->setText(Q(text));
}

}  // namespace

// ---- "Buchungskreis wählen" ------------------------------------------------

CSelMandantDlg::CSelMandantDlg(std::string daten, QWidget* parent)
    : KvDialog(parent), daten_(std::move(daten)) {
  setWindowTitle(QU("Buchungskreis wählen"));
  nummer_ = Feld("nummer", kv::kLaengeNummer, this);
  nummer_->setText(QStringLiteral("1"));
  Filtere(nummer_, [](std::string t) { return kv::NurZiffern(t, kv::kLaengeNummer); });
  uebersicht_ = Knopf("Über&sicht", "uebersicht", this);
  ok_ = Knopf("&OK", "ok", this);
  ok_->setDefault(true);
  beenden_ = Knopf("B&eenden", "beenden", this);

  auto* zeile = new QHBoxLayout;
  zeile->addWidget(Beschriftung("&Buchungskreisnummer\n(Mandantennummer):", nummer_, this));
  zeile->addWidget(nummer_);
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addWidget(uebersicht_);
  knoepfe->addStretch();
  knoepfe->addWidget(ok_);
  knoepfe->addWidget(beenden_);
  auto* lay = new QVBoxLayout(this);
  lay->addWidget(Beschriftung("Bitte geben Sie die Buchungskreisnnummer ein.", nullptr, this));
  lay->addLayout(zeile);
  lay->addLayout(knoepfe);

  connect(ok_, &QPushButton::clicked, this, &CSelMandantDlg::accept);
  connect(beenden_, &QPushButton::clicked, this, &QDialog::reject);
  connect(uebersicht_, &QPushButton::clicked, this, [this] {
    CBkUebersichtDlg dlg(daten_, this);
    dlg.exec();
  });
  nummer_->setFocus();
  nummer_->selectAll();
}

void CSelMandantDlg::accept() {
  kv::Status geprueft;
  const int n = kv::PruefeBuchungskreisnummer(W1252(nummer_->text()), geprueft);
  kv::Zeige(geprueft);
  if (n > 0) {
    CMandantEinrichtDlg dlg(daten_, n, this);
    if (dlg.exec() == QDialog::Accepted) {
      kv::Zeige(kv::Meldung::Text("Buchungskreis ist angelegt und wird neu eingelesen !", 58002,
                                  kv::Meldungsart::Information));
      QDialog::accept();
      return;
    }
  }
  nummer_->setFocus();
  nummer_->selectAll();
}

// ---- "Buchungskreisverwaltung" ---------------------------------------------

CMandantEinrichtDlg::CMandantEinrichtDlg(std::string daten, int n, QWidget* parent)
    : KvDialog(parent), daten_(std::move(daten)), n_(n) {
  setWindowTitle(QStringLiteral("Buchungskreisverwaltung"));
  nummer_ = Feld("nummer", kv::kLaengeNummer, this);
  nummer_->setReadOnly(true);
  nummer_->setText(QString::number(n));
  jahr_ = Feld("jahr", kv::kLaengeJahr, this);
  monat_ = Feld("monat", kv::kLaengeMonat, this);
  name_ = Feld("name", kv::kLaengeName, this);
  kontenrahmen_ = Feld("kontenrahmen", kv::kLaengeKontenrahmen, this);
  waehrung_ = Feld("waehrung", kv::kLaengeWaehrung, this);
  mwst_ = new QCheckBox(QU(" Mehrwert&steuerverarbeitung"), this);
  mwst_->setObjectName("mwst");
  euRechnung_ = new QCheckBox(QU(" &Einnahmen-Überschuß-Rechnung"), this);
  euRechnung_->setObjectName("eurechnung");
  autoBeleg_ = new QCheckBox(QU(" A&utomatische"), this);
  autoBeleg_->setObjectName("autobeleg");
  beleg_ = Feld("beleg", kv::kLaengeBeleg, this);

  monatLabel_ = Beschriftung("Anfangs&monat:", monat_, this);
  monatHinweis_ =
      Beschriftung("Mit welchem Monat beginnt das Wirtschaftsjahr (1-12)", nullptr, this);
  belegLabel_ = Beschriftung("Nächste &Belegnummer für autom. Belegnummervergabe (1-999999)",
                             beleg_, this);
  passwortHinweis_ = Beschriftung(
      "Hinweis: Mit \"OK\" wird ein Passwort dieses Buchungskreises gelöscht.", nullptr, this);
  passwortHinweis_->setObjectName("passworthinweis");
  elster_ = Knopf("Elster-&Daten", "elster", this);
  auto* ok = Knopf("&OK", "ok", this);
  ok->setDefault(true);
  auto* abbruch = Knopf("&Abbruch", "abbruch", this);

  auto* g = new QGridLayout;
  int z = 0;
  g->addWidget(Beschriftung("Buchungskreis&nummer:", nummer_, this), z, 0);
  g->addWidget(nummer_, z++, 1);
  g->addWidget(Beschriftung("Buchungs&jahr:", jahr_, this), z, 0);
  g->addWidget(jahr_, z, 1);
  g->addWidget(Beschriftung(
                   "Buchungsjahr 4-stellig; z.B. 2007 oder 0708 für Geschäftsjahr 2007/2008",
                   nullptr, this),
               z++, 2);
  g->addWidget(monatLabel_, z, 0);
  g->addWidget(monat_, z, 1);
  g->addWidget(monatHinweis_, z++, 2);
  g->addWidget(Beschriftung("&Name, Adresse etc. für Ausdrucke (maximal 60 Zeichen):", name_, this),
               z++, 0, 1, 3);
  g->addWidget(name_, z++, 0, 1, 3);
  g->addWidget(Beschriftung("&Kontenrahmen \"03\" oder \"04\"", kontenrahmen_, this), z, 0);
  g->addWidget(kontenrahmen_, z++, 1);
  g->addWidget(Beschriftung("&Währung,  3 Ziffern (z.B. 'EUR')", waehrung_, this), z, 0);
  g->addWidget(waehrung_, z++, 1);
  g->addWidget(mwst_, z++, 0, 1, 3);
  g->addWidget(euRechnung_, z++, 0, 1, 3);
  g->addWidget(
      Beschriftung("(nicht angekreuzt = Bilanzierung mit Gewinn- und Verlustrechnung)", nullptr,
                   this),
      z++, 0, 1, 3);
  auto* automatisch = new QHBoxLayout;
  automatisch->addWidget(autoBeleg_);
  automatisch->addWidget(Beschriftung("Belegnummer", nullptr, this));
  automatisch->addStretch();
  g->addLayout(automatisch, z++, 0, 1, 3);
  g->addWidget(belegLabel_, z, 0, 1, 2);
  g->addWidget(beleg_, z++, 2);

  auto* knoepfe = new QHBoxLayout;
  knoepfe->addWidget(elster_);
  knoepfe->addStretch();
  knoepfe->addWidget(ok);
  knoepfe->addWidget(abbruch);
  auto* lay = new QVBoxLayout(this);
  lay->addLayout(g);
  lay->addWidget(passwortHinweis_);
  lay->addLayout(knoepfe);

  kv::Status gelesen;
  const kv::Stammeingaben eingaben = kv::LeseStammeingaben(daten_, n_, gelesen);
  kv::Zeige(gelesen);
  Zeige(eingaben);

  Filtere(jahr_, [](std::string t) { return kv::NurZiffern(t, kv::kLaengeJahr); });
  connect(jahr_, &QLineEdit::textChanged, this, [this] { SchalteMonat(); });
  // A month beyond 12 gives the field back its last valid text, not "0".
  auto gueltigerMonat = std::make_shared<std::string>(W1252(monat_->text()));
  Filtere(monat_, [gueltigerMonat](std::string t) {
    const kv::Status gefiltert = kv::FilterErsterMonat(t);
    kv::Zeige(gefiltert);
    if (!AusserhalbDerGrenzen(gefiltert)) *gueltigerMonat = t;
    return *gueltigerMonat;
  });
  Filtere(kontenrahmen_, [](std::string t) { return kv::NurZiffern(t, kv::kLaengeKontenrahmen); });
  kontenrahmen_->installEventFilter(this);
  Filtere(waehrung_, [](std::string t) { return kv::FiltereWaehrung(t); });
  Filtere(beleg_, [](std::string t) { return kv::NurZiffern(t, kv::kLaengeBeleg); });
  connect(autoBeleg_, &QCheckBox::toggled, this, [this] { SchalteBeleg(); });
  connect(elster_, &QPushButton::clicked, this, [this] { Elster(); });
  connect(ok, &QPushButton::clicked, this, &CMandantEinrichtDlg::accept);
  connect(abbruch, &QPushButton::clicked, this, &QDialog::reject);
  jahr_->setFocus();
}

void CMandantEinrichtDlg::Zeige(const kv::Stammeingaben& e) {
  SetzeStill(jahr_, e.jahr);
  SetzeStill(monat_, e.ersterMonat);
  SetzeStill(name_, e.name);
  SetzeStill(kontenrahmen_, e.kontenrahmen);
  SetzeStill(waehrung_, e.waehrung);
  SetzeStill(beleg_, e.belegnummer);
  mwst_->setChecked(e.mwst);
  euRechnung_->setChecked(e.euRechnung);
  autoBeleg_->setChecked(e.autoBeleg);
  // Only an existing circle can have a password to lose.
  passwortHinweis_->setVisible(e.vorhanden);
  // Opening goes by the stored year as the rest of the program reads it;
  // typing then by the year typed.
  monatLabel_->setEnabled(e.monatFreigegeben);
  monatHinweis_->setEnabled(e.monatFreigegeben);
  monat_->setEnabled(e.monatFreigegeben);
  SchalteBeleg();
}

void CMandantEinrichtDlg::SchalteMonat() {
  const bool an = kv::ErsterMonatFreigegeben(W1252(jahr_->text()));
  monatLabel_->setEnabled(an);
  monatHinweis_->setEnabled(an);
  monat_->setEnabled(an);
}

void CMandantEinrichtDlg::SchalteBeleg() {
  const bool an = autoBeleg_->isChecked();
  belegLabel_->setEnabled(an);
  beleg_->setEnabled(an);
}

bool CMandantEinrichtDlg::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (objekt == kontenrahmen_ && ereignis->type() == QEvent::FocusOut) {
    const auto grund = static_cast<QFocusEvent*>(ereignis)->reason();
    // Switching to another window or opening a menu is no leaving the field.
    if (grund != Qt::ActiveWindowFocusReason && grund != Qt::PopupFocusReason) {
      std::string text = W1252(kontenrahmen_->text());
      kv::Zeige(kv::PruefeKontenrahmen(text));
      SetzeStill(kontenrahmen_, text);
    }
  }
  return KvDialog::eventFilter(objekt, ereignis);
}

void CMandantEinrichtDlg::Elster() {
  CElsterDatenDlg dlg(daten_, n_, &elsterVorgemerkt_, this);
  dlg.exec();
}

void CMandantEinrichtDlg::accept() {
  kv::Stammeingaben e;
  e.jahr = W1252(jahr_->text());
  e.ersterMonat = W1252(monat_->text());
  e.name = W1252(name_->text());
  e.kontenrahmen = W1252(kontenrahmen_->text());
  e.waehrung = W1252(waehrung_->text());
  e.mwst = mwst_->isChecked();
  e.euRechnung = euRechnung_->isChecked();
  e.autoBeleg = autoBeleg_->isChecked();
  e.belegnummer = W1252(beleg_->text());
  const kv::Status gespeichert =
      kv::SpeichereStammdaten(daten_, n_, e, elsterVorgemerkt_ ? &*elsterVorgemerkt_ : nullptr);
  kv::Zeige(gespeichert);
  if (!gespeichert) return;
  QDialog::accept();
}

// ---- "Stammdaten für Elster-Verfahren" ---------------------------------------

CElsterDatenDlg::CElsterDatenDlg(std::string daten, int n,
                                 std::optional<kv::Elsterdaten>* vorgemerkt, QWidget* parent)
    : KvDialog(parent), daten_(std::move(daten)), n_(n), vorgemerkt_(vorgemerkt) {
  setWindowTitle(QU("Stammdaten für Elster-Verfahren"));
  const char* labels[8] = {"&Steuernummer:", "&Finanzamtsnr.:", "&Name:",    "Str&asse, HsNr.:",
                           "&PLZ:",          "&Ort:",           "&Telefon:", "&Email:"};
  const char* namen[8] = {"stnr", "fanr", "name", "strasse", "plz", "ort", "telefon", "email"};
  auto* g = new QGridLayout;
  g->addWidget(Beschriftung("Die benötigte Finanzamtsnummer kann in Kalvento Online 2006 unter dem "
                            "Menüpunkt  \"Hilfsmittel\" ermittelt werden.",
                            nullptr, this),
               0, 0, 1, 3);
  for (int i = 0; i < 8; ++i) {
    felder_[i] = kvui::Feld(namen[i], kv::kElsterLaenge[i], this);
    g->addWidget(Beschriftung(labels[i], felder_[i], this), i + 1, 0);
    g->addWidget(felder_[i], i + 1, 1);
  }
  g->addWidget(Beschriftung("(z.B. 111/333/12345)", nullptr, this), 1, 2);
  g->addWidget(Beschriftung("(ermittelt mit Kalvento Online 2006)", nullptr, this), 2, 2);
  auto* ok = Knopf("&OK", "ok", this);
  ok->setDefault(true);
  auto* abbruch = Knopf("A&bbruch", "abbruch", this);
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addStretch();
  knoepfe->addWidget(ok);
  knoepfe->addWidget(abbruch);
  auto* lay = new QVBoxLayout(this);
  lay->addLayout(g);
  lay->addLayout(knoepfe);
  connect(ok, &QPushButton::clicked, this, &CElsterDatenDlg::accept);
  connect(abbruch, &QPushButton::clicked, this, &QDialog::reject);

  kv::Elsterdaten werte;
  kv::Status gelesen;
  const int gefunden = kv::LeseElsterdaten(daten_, n_, werte, gelesen);
  kv::Zeige(gelesen);
  if (gefunden != 1 && vorgemerkt_ && *vorgemerkt_) werte = **vorgemerkt_;
  for (std::size_t i = 0; i < werte.size(); ++i) felder_[i]->setText(Q(werte[i]));
}

void CElsterDatenDlg::accept() {
  kv::Elsterdaten werte;
  for (std::size_t i = 0; i < werte.size(); ++i) werte[i] = W1252(felder_[i]->text());
  kv::Status gespeichert;
  const int ergebnis = kv::SpeichereElsterdaten(daten_, n_, werte, gespeichert);
  kv::Zeige(gespeichert);
  if (ergebnis == 0) return;
  if (ergebnis == 2 && vorgemerkt_) *vorgemerkt_ = werte;
  QDialog::accept();
}

// ---- "Übersicht über alle angelegten Buchungskreise" ---------------------------

CBkUebersichtDlg::CBkUebersichtDlg(const std::string& daten, QWidget* parent)
    : KvDialog(parent) {
  setWindowTitle(QU("Übersicht über alle angelegten Buchungskreise"));
  liste_ = new QListWidget(this);
  liste_->setObjectName("liste");
  QFont schrift(QStringLiteral("Courier New"));
  schrift.setStyleHint(QFont::TypeWriter);
  liste_->setFont(schrift);
  liste_->setMinimumWidth(560);
  auto* hinweis = Beschriftung(
      "Die Liste mit weiteren Details kann nach Öffnen eines Buchungskreises unter "
      "\"Datei / BK-Übersicht\" auch gedruckt werden.",
      nullptr, this);
  hinweis->setWordWrap(true);
  auto* beenden = Knopf("&Beenden", "beenden", this);
  connect(beenden, &QPushButton::clicked, this, &QDialog::accept);
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addStretch();
  knoepfe->addWidget(beenden);
  auto* lay = new QVBoxLayout(this);
  lay->addWidget(liste_);
  lay->addWidget(hinweis);
  lay->addLayout(knoepfe);

  // The scan's messages are shown as they arise, between those of the
  // master files it reads.
  for (const std::string& zeile :
       kv::BuchungskreisListe(daten, [](const kv::Meldung& m) { kv::Zeige(m); }))
    liste_->addItem(Q(zeile));
}

void CBkUebersichtDlg::showEvent(QShowEvent* e) {
  KvDialog::showEvent(e);
  // Beside the program's window rather than over the dialog that opened it.
  if (Rahmenfenster* rahmen = FindeRahmen(this)) {
    const QRect r = rahmen->RahmenWidget()->frameGeometry();
    move(r.left() + 70, r.top());
  }
}

}  // namespace kvui
