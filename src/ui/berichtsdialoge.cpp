#include "ui/berichtsdialoge.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/benutzereinstellungen.h"
#include "ui/bereichspruefung.h"
#include "ui/qtext.h"

namespace kvui {

using kv::Dialogfeld;

void Eingabefeld::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  emit verlassen();
}

namespace {

// Writes a filtered text back only when it differs, keeping the caret where
// the user was (one place back when a character was dropped).
void SchreibeZurueck(QLineEdit* feld, const QString& neu) {
  const QString alt = feld->text();
  if (neu == alt) return;
  int cursor = feld->cursorPosition();
  if (neu.size() < alt.size()) cursor -= alt.size() - neu.size();
  feld->setText(neu);
  feld->setCursorPosition(std::clamp<int>(cursor, 0, neu.size()));
}

}  // namespace

Berichtsdialog::Berichtsdialog(QWidget* parent) : KvDialog(parent) {
  heute_ = kv::Ui().Heute();
  vorherDatum_ = kv::AnfangsDatum(heute_);
}

QLineEdit* Berichtsdialog::Feld(Dialogfeld f) const {
  auto it = felder_.find(f);
  return it == felder_.end() ? nullptr : it->second;
}

void Berichtsdialog::Setze(Dialogfeld f, const std::string& text) {
  if (QLineEdit* e = Feld(f); e && e->text() != Q(text)) e->setText(Q(text));
}

std::string Berichtsdialog::Text(Dialogfeld f) const {
  QLineEdit* e = Feld(f);
  return e ? W1252(e->text()) : std::string();
}

Eingabefeld* Berichtsdialog::Monatsfeld(Dialogfeld art, int minimum, int maximum) {
  auto* e = new Eingabefeld(this);
  e->setMaxLength(2);
  e->setText(Q(kv::AnfangsMonat(heute_)));
  connect(e, &QLineEdit::textChanged, this, [e, minimum, maximum] {
    bool markieren = false;
    SchreibeZurueck(e, Q(kv::TippeMonat(W1252(e->text()), minimum, maximum, &markieren)));
    if (markieren) e->selectAll();
  });
  connect(e, &Eingabefeld::verlassen, this, [e, minimum, maximum] {
    SchreibeZurueck(e, Q(kv::VerlasseMonat(W1252(e->text()), minimum, maximum)));
  });
  felder_[art] = e;
  return e;
}

QGroupBox* Berichtsdialog::Druckdatumsgruppe() {
  auto* gruppe = new QGroupBox(QStringLiteral("Druckdatum"), this);
  auto* form = new QFormLayout(gruppe);
  form->addRow(QStringLiteral("&Datum:"), Datumsfeld());
  return gruppe;
}

Eingabefeld* Berichtsdialog::Datumsfeld() {
  auto* e = new Eingabefeld(this);
  e->setObjectName("druckdatum");
  e->setMaxLength(8);
  e->setText(Q(kv::AnfangsDatum(heute_)));
  connect(e, &QLineEdit::textChanged, this,
          [e] { SchreibeZurueck(e, Q(kv::TippeDatum(W1252(e->text())))); });
  connect(e, &Eingabefeld::verlassen, this, [this, e] {
    // A date that does not exist stays as typed: OK refuses it with a
    // message, and the user sees what was wrong.
    std::string text = W1252(e->text());
    kv::Status still;
    if (PruefeDruckdatum(text, vorherDatum_, still) != Dialogfeld::Keins) return;
    kv::PruefeDatumsfeld(text, vorherDatum_, nullptr);
    SchreibeZurueck(e, Q(text));
  });
  felder_[Dialogfeld::Druckdatum] = e;
  return e;
}

bool Berichtsdialog::Ergebnis(Dialogfeld f) {
  if (f == Dialogfeld::Keins) return true;
  if (QLineEdit* e = Feld(f)) {
    e->setFocus();
    e->selectAll();
  }
  return false;
}

bool Berichtsdialog::Weiter(Dialogfeld f, const kv::Status& meldungen) {
  kv::Zeige(meldungen);
  return Ergebnis(f);
}

bool Berichtsdialog::DruckdatumRichtig() {
  kv::Status meldungen;
  return Weiter(PruefeDruckdatum(Text(Dialogfeld::Druckdatum), vorherDatum_, meldungen),
                meldungen);
}

int Berichtsdialog::Frage() {
  const QString schluessel = QString::fromLatin1(metaObject()->className()).section("::", -1);
  SchlageBerichtsoptionenVor(this, schluessel);
  const int ergebnis = exec();
  if (ergebnis == QDialog::Accepted) MerkeBerichtsoptionen(this, schluessel);
  return ergebnis;
}

void Berichtsdialog::showEvent(QShowEvent* e) {
  KvDialog::showEvent(e);
  if (fokusGesetzt_) return;
  fokusGesetzt_ = true;
  // Without this the first widget of the tab chain would get the focus,
  // in the account dialogs a radio button: typing would go nowhere.
  for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
    auto* feld = qobject_cast<QLineEdit*>(w);
    if (feld && feld->isEnabled() && !feld->isHidden() && !feld->isReadOnly()) {
      feld->setFocus(Qt::TabFocusReason);
      feld->selectAll();
      return;
    }
  }
}

QWidget* Berichtsdialog::Knoepfe() {
  auto* w = new QWidget(this);
  auto* lay = new QHBoxLayout(w);
  lay->setContentsMargins(0, 0, 0, 0);
  auto* ok = new QPushButton(QStringLiteral("&OK"), w);
  ok->setObjectName("ok");
  ok->setDefault(true);
  ok->setAutoDefault(true);
  auto* abbruch = new QPushButton(QStringLiteral("&Abbruch"), w);
  abbruch->setObjectName("abbruch");
  abbruch->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(abbruch, &QPushButton::clicked, this, &QDialog::reject);
  lay->addStretch();
  lay->addWidget(ok);
  lay->addWidget(abbruch);
  return w;
}

// ---- Stichmonat dialogs ------------------------------------------------

CPrintStichmonatDlg::CPrintStichmonatDlg(const QString& titel, int maximum, QWidget* parent)
    : Berichtsdialog(parent) {
  setWindowTitle(titel);
  d_.maximum = maximum;
  auto* lay = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  Eingabefeld* monat = Monatsfeld(Dialogfeld::Stichmonat, 0, maximum);
  monat->setObjectName("stichmonat");
  form->addRow(Q(kv::StichmonatLabel(maximum)), monat);
  form->addRow(QStringLiteral("&Druckdatum:"), Datumsfeld());
  lay->addLayout(form);
  lay->addWidget(Knoepfe());
}

void CPrintStichmonatDlg::accept() {
  if (!DruckdatumRichtig()) return;
  d_.stichmonat = Text(Dialogfeld::Stichmonat);
  d_.druckdatum = Text(Dialogfeld::Druckdatum);
  d_.vorherDatum = vorherDatum_;
  kv::Status meldungen;
  const Dialogfeld f = kv::PruefeStichmonatDialog(d_, heute_, meldungen);
  kv::Zeige(meldungen);
  vorherDatum_ = d_.vorherDatum;
  Setze(Dialogfeld::Stichmonat, d_.stichmonat);
  Setze(Dialogfeld::Druckdatum, d_.druckdatum);
  if (Ergebnis(f)) QDialog::accept();
}

CPrintSaldenBilanzDlg::CPrintSaldenBilanzDlg(int maximum, QWidget* parent)
    : CPrintStichmonatDlg(QStringLiteral("Ausdruck / Vorschau Saldenbilanz"), maximum, parent) {}

CPrintBilanzDlg::CPrintBilanzDlg(int maximum, QWidget* parent)
    : CPrintStichmonatDlg(QStringLiteral("Ausdruck / Vorschau Bilanz"), maximum, parent) {}

// ---- Income statement --------------------------------------------------

CPrintErfolgDlg::CPrintErfolgDlg(int euRechnung, int maximum, QWidget* parent)
    : Berichtsdialog(parent) {
  setWindowTitle(Q(kv::ErfolgsDialogTitel(euRechnung)));
  d_.maximum = maximum;
  auto* lay = new QVBoxLayout(this);
  auto* monat = new QGroupBox(QStringLiteral("Monat"), this);
  auto* mform = new QFormLayout(monat);
  Eingabefeld* von = Monatsfeld(Dialogfeld::VonMonat, 0, maximum);
  von->setObjectName("von");
  Eingabefeld* bis = Monatsfeld(Dialogfeld::BisMonat, 0, maximum);
  bis->setObjectName("bis");
  mform->addRow(QStringLiteral("&von:"), von);
  mform->addRow(QStringLiteral("&bis:"), bis);
  mform->addRow(new QLabel(QStringLiteral("( 0 = Anfangsbest.)"), monat));
  auto* ausdruck = new QGroupBox(QStringLiteral("Ausdruck"), this);
  auto* aform = new QFormLayout(ausdruck);
  aform->addRow(QStringLiteral("&Druckdatum:"), Datumsfeld());
  lay->addWidget(monat);
  lay->addWidget(ausdruck);
  lay->addWidget(Knoepfe());
}

void CPrintErfolgDlg::accept() {
  if (!DruckdatumRichtig()) return;
  d_.vonMonat = Text(Dialogfeld::VonMonat);
  d_.bisMonat = Text(Dialogfeld::BisMonat);
  d_.druckdatum = Text(Dialogfeld::Druckdatum);
  d_.vorherDatum = vorherDatum_;
  kv::Status meldungen;
  const Dialogfeld f = kv::PruefeErfolgsDialog(d_, meldungen);
  kv::Zeige(meldungen);
  vorherDatum_ = d_.vorherDatum;
  Setze(Dialogfeld::VonMonat, d_.vonMonat);
  Setze(Dialogfeld::BisMonat, d_.bisMonat);
  Setze(Dialogfeld::Druckdatum, d_.druckdatum);
  if (!Ergebnis(f)) return;
  kv::Status bereich;
  if (Weiter(PruefeMonatsbereich(d_.von, d_.bis, bereich), bereich)) QDialog::accept();
}

// ---- Auswertung/Monat --------------------------------------------------

CPrintAuswertungDlg::CPrintAuswertungDlg(int euRechnung, int maximum, QWidget* parent)
    : Berichtsdialog(parent) {
  setWindowTitle(QStringLiteral("Auswertung/Monat"));
  d_.maximum = maximum;
  auto* lay = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  Eingabefeld* monat = Monatsfeld(Dialogfeld::Stichmonat, 1, maximum);
  monat->setObjectName("stichmonat");
  form->addRow(Q(kv::AuswertungLabel(maximum)), monat);
  form->addRow(QStringLiteral("&Druckdatum:"), Datumsfeld());
  lay->addLayout(form);
  ust_ = new QCheckBox(QStringLiteral("&Umsatzsteuerkonten einbeziehen "), this);
  ust_->setObjectName("umsatzsteuer");
  const bool sichtbar = kv::UmsatzsteuerOptionSichtbar(euRechnung);
  ust_->setChecked(sichtbar);
  ust_->setVisible(sichtbar);
  lay->addWidget(ust_);
  lay->addWidget(Knoepfe());
}

void CPrintAuswertungDlg::accept() {
  if (!DruckdatumRichtig()) return;
  d_.stichmonat = Text(Dialogfeld::Stichmonat);
  d_.druckdatum = Text(Dialogfeld::Druckdatum);
  d_.vorherDatum = vorherDatum_;
  d_.mitUmsatzsteuer = !ust_->isHidden() && ust_->isChecked();
  kv::Status meldungen;
  const Dialogfeld f = kv::PruefeAuswertungDialog(d_, heute_, meldungen);
  kv::Zeige(meldungen);
  vorherDatum_ = d_.vorherDatum;
  Setze(Dialogfeld::Stichmonat, d_.stichmonat);
  Setze(Dialogfeld::Druckdatum, d_.druckdatum);
  if (Ergebnis(f)) QDialog::accept();
}

// ---- Account selection -------------------------------------------------

Kontenauswahlgruppe::Kontenauswahlgruppe(Berichtsdialog* dlg, const QString& musterText,
                                         const QString& bereichText,
                                         std::map<Dialogfeld, Eingabefeld*>& felder)
    : QObject(dlg) {
  auto* box = new QGroupBox(QStringLiteral("Art der Kontenauswahl"), dlg);
  gruppe_ = box;
  auto* grid = new QGridLayout(box);
  muster_ = new QRadioButton(musterText, box);
  muster_->setObjectName("mitMuster");
  bereich_ = new QRadioButton(bereichText, box);
  bereich_->setObjectName("mitBereich");
  musterFeld_ = new Eingabefeld(box);
  musterFeld_->setObjectName("muster");
  musterFeld_->setMaxLength(5);
  vonFeld_ = new Eingabefeld(box);
  vonFeld_->setObjectName("vonKonto");
  vonFeld_->setMaxLength(5);
  bisFeld_ = new Eingabefeld(box);
  bisFeld_->setObjectName("bisKonto");
  bisFeld_->setMaxLength(5);
  grid->addWidget(muster_, 0, 0);
  grid->addWidget(musterFeld_, 0, 1);
  grid->addWidget(bereich_, 1, 0);
  grid->addWidget(vonFeld_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("-"), box), 1, 2);
  grid->addWidget(bisFeld_, 1, 3);
  felder[Dialogfeld::Kontengruppe] = musterFeld_;
  felder[Dialogfeld::VonKonto] = vonFeld_;
  felder[Dialogfeld::BisKonto] = bisFeld_;

  connect(musterFeld_, &QLineEdit::textChanged, this,
          [this] { SchreibeZurueck(musterFeld_, Q(kv::TippeMuster(W1252(musterFeld_->text())))); });
  for (Eingabefeld* e : {vonFeld_, bisFeld_}) {
    connect(e, &QLineEdit::textChanged, this,
            [e] { SchreibeZurueck(e, Q(kv::TippeKonto(W1252(e->text())))); });
    connect(e, &Eingabefeld::verlassen, this, [e] {
      if (e->isEnabled()) SchreibeZurueck(e, Q(kv::VerlasseKonto(W1252(e->text()))));
    });
  }
  connect(musterFeld_, &Eingabefeld::verlassen, this, [this] {
    if (musterFeld_->isEnabled())
      SchreibeZurueck(musterFeld_, Q(kv::VerlasseMuster(W1252(musterFeld_->text()))));
  });
  connect(muster_, &QRadioButton::clicked, this, [this] { Modus(true); });
  connect(bereich_, &QRadioButton::clicked, this, [this] { Modus(false); });
  muster_->setChecked(true);
  Modus(true);
}

void Kontenauswahlgruppe::Modus(bool mitMuster) {
  muster_->setChecked(mitMuster);
  bereich_->setChecked(!mitMuster);
  if (mitMuster) {
    vonFeld_->clear();
    bisFeld_->clear();
  } else {
    musterFeld_->clear();
  }
  musterFeld_->setEnabled(mitMuster);
  vonFeld_->setEnabled(!mitMuster);
  bisFeld_->setEnabled(!mitMuster);
}

void Kontenauswahlgruppe::Lies(kv::Kontenauswahl& k) const {
  k.mitMuster = muster_->isChecked();
  k.muster = W1252(musterFeld_->text());
  k.von = W1252(vonFeld_->text());
  k.bis = W1252(bisFeld_->text());
}

void Kontenauswahlgruppe::Schreibe(const kv::Kontenauswahl& k) {
  if (musterFeld_->text() != Q(k.muster)) musterFeld_->setText(Q(k.muster));
  if (vonFeld_->text() != Q(k.von)) vonFeld_->setText(Q(k.von));
  if (bisFeld_->text() != Q(k.bis)) bisFeld_->setText(Q(k.bis));
}

// ---- Saldenliste -------------------------------------------------------

CPrintSaldenlisteDlg::CPrintSaldenlisteDlg(int maximum, QWidget* parent) : Berichtsdialog(parent) {
  setWindowTitle(QStringLiteral("Saldenliste"));
  d_.maximum = maximum;
  auto* lay = new QVBoxLayout(this);
  auswahl_ = new Kontenauswahlgruppe(this, QStringLiteral("&Kontengruppe (mit Joker)"),
                                     QStringLiteral("Konten&nummern (von - bis)"), felder_);
  lay->addWidget(auswahl_->Gruppe());

  auto* zeitraum = new QGroupBox(QStringLiteral("Zeitraum"), this);
  auto* zform = new QFormLayout(zeitraum);
  Eingabefeld* von = Monatsfeld(Dialogfeld::VonMonat, 0, maximum);
  von->setObjectName("vonMonat");
  Eingabefeld* bis = Monatsfeld(Dialogfeld::BisMonat, 0, maximum);
  bis->setObjectName("bisMonat");
  zform->addRow(QStringLiteral("Ausdruck &von:"), von);
  zform->addRow(QStringLiteral("Ausdruck &bis:"), bis);
  zform->addRow(new QLabel(QStringLiteral("( 0 = Anfangsbestand )"), zeitraum));
  lay->addWidget(zeitraum);

  auto* art = new QGroupBox(QStringLiteral("Art des Ausdrucks"), this);
  auto* alay = new QVBoxLayout(art);
  breit_ = new QCheckBox(QStringLiteral("&Salden mit Zu- Abgang ausgeben"), art);
  breit_->setObjectName("breit");
  breit_->setChecked(true);
  alpha_ = new QCheckBox(QStringLiteral("Konten a&lphabetisch ausgeben"), art);
  alpha_->setObjectName("alphabetisch");
  null_ = new QCheckBox(art);
  null_->setObjectName("nullsalden");
  null_->setChecked(true);
  nullZeile2_ = new QLabel(art);
  nullZeile2_->setIndent(20);
  alay->addWidget(breit_);
  alay->addWidget(alpha_);
  alay->addWidget(null_);
  alay->addWidget(nullZeile2_);
  lay->addWidget(art);
  connect(breit_, &QCheckBox::toggled, this, &CPrintSaldenlisteDlg::Beschrifte);
  Beschrifte();

  lay->addWidget(Druckdatumsgruppe());
  lay->addWidget(Knoepfe());
}

void CPrintSaldenlisteDlg::Beschrifte() {
  std::string z1, z2;
  kv::NullsaldenLabel(breit_->isChecked(), &z1, &z2);
  null_->setText(Q(z1));
  nullZeile2_->setText(Q(z2));
}

void CPrintSaldenlisteDlg::accept() {
  if (!DruckdatumRichtig()) return;
  auswahl_->Lies(d_.auswahl);
  d_.vonMonat = Text(Dialogfeld::VonMonat);
  d_.bisMonat = Text(Dialogfeld::BisMonat);
  d_.druckdatum = Text(Dialogfeld::Druckdatum);
  d_.vorherDatum = vorherDatum_;
  d_.breit = breit_->isChecked();
  d_.alphabetisch = alpha_->isChecked();
  d_.mitNullsalden = null_->isChecked();
  kv::Status meldungen;
  const Dialogfeld f = kv::PruefeSaldenlisteDialog(d_, meldungen);
  kv::Zeige(meldungen);
  vorherDatum_ = d_.vorherDatum;
  auswahl_->Schreibe(d_.auswahl);
  Setze(Dialogfeld::VonMonat, d_.vonMonat);
  Setze(Dialogfeld::BisMonat, d_.bisMonat);
  Setze(Dialogfeld::Druckdatum, d_.druckdatum);
  if (!Ergebnis(f)) return;
  kv::Status bereich;
  if (!Weiter(PruefeKontenbereich(d_.auswahl, bereich), bereich)) return;
  if (Weiter(PruefeMonatsbereich(d_.von, d_.bis, bereich), bereich)) QDialog::accept();
}

// ---- Kontenverläufe ----------------------------------------------------

CPrintKontenverlaufDlg::CPrintKontenverlaufDlg(QWidget* parent) : Berichtsdialog(parent) {
  setWindowTitle(QU("Kontenverläufe"));
  auto* lay = new QVBoxLayout(this);
  auswahl_ = new Kontenauswahlgruppe(this, QStringLiteral("Konten&gruppe (mit Joker)"),
                                     QStringLiteral("Kon&tennummern (von - bis)"), felder_);
  lay->addWidget(auswahl_->Gruppe());
  auto* zeitraum = new QGroupBox(QStringLiteral("Zeitraum"), this);
  auto* zform = new QFormLayout(zeitraum);
  Eingabefeld* monat = Monatsfeld(Dialogfeld::Stichmonat, 1, 12);
  monat->setObjectName("stichmonat");
  zform->addRow(QStringLiteral("&Stichmonat: (1-12):"), monat);
  lay->addWidget(zeitraum);
  lay->addWidget(Druckdatumsgruppe());
  QWidget* knoepfe = Knoepfe();
  diagrammKnopf_ = new QPushButton(QStringLiteral("Diag&ramm"), knoepfe);
  diagrammKnopf_->setObjectName("diagramm");
  diagrammKnopf_->setAutoDefault(false);
  // Between "&OK" and "&Abbruch".
  if (auto* reihe = qobject_cast<QHBoxLayout*>(knoepfe->layout()))
    reihe->insertWidget(reihe->count() - 1, diagrammKnopf_);
  connect(diagrammKnopf_, &QPushButton::clicked, this, [this] {
    diagramm_ = true;
    accept();
    // Still open: a check refused the values.
    if (isVisible()) diagramm_ = false;
  });
  lay->addWidget(knoepfe);
}

void CPrintKontenverlaufDlg::accept() {
  if (!DruckdatumRichtig()) return;
  auswahl_->Lies(d_.auswahl);
  d_.stichmonat = Text(Dialogfeld::Stichmonat);
  d_.druckdatum = Text(Dialogfeld::Druckdatum);
  d_.vorherDatum = vorherDatum_;
  kv::Status meldungen;
  const Dialogfeld f = kv::PruefeKontenverlaufDialog(d_, meldungen);
  kv::Zeige(meldungen);
  vorherDatum_ = d_.vorherDatum;
  auswahl_->Schreibe(d_.auswahl);
  Setze(Dialogfeld::Stichmonat, d_.stichmonat);
  Setze(Dialogfeld::Druckdatum, d_.druckdatum);
  if (!Ergebnis(f)) return;
  kv::Status bereich;
  if (Weiter(PruefeKontenbereich(d_.auswahl, bereich), bereich)) QDialog::accept();
}

}  // namespace kvui

namespace kvui {

// ---- Buchungskreisspiegel ------------------------------------------------

CPrintKreisspiegelDlg::CPrintKreisspiegelDlg(int maximum, QWidget* parent)
    : Berichtsdialog(parent), maximum_(maximum) {
  setWindowTitle(QStringLiteral("Buchungskreisspiegel"));
  auto* lay = new QVBoxLayout(this);
  auswahl_ = new Kontenauswahlgruppe(this, QStringLiteral("Konten&gruppe (mit Joker)"),
                                     QStringLiteral("Kon&tennummern (von - bis)"), felder_);
  lay->addWidget(auswahl_->Gruppe());
  auto* zeitraum = new QGroupBox(QStringLiteral("Zeitraum"), this);
  auto* zform = new QFormLayout(zeitraum);
  Eingabefeld* monat = Monatsfeld(Dialogfeld::Stichmonat, 0, maximum);
  monat->setObjectName("stichmonat");
  zform->addRow(Q(kv::StichmonatLabel(maximum)), monat);
  lay->addWidget(zeitraum);
  lay->addWidget(Druckdatumsgruppe());
  lay->addWidget(Knoepfe());
}

void CPrintKreisspiegelDlg::accept() {
  if (!DruckdatumRichtig()) return;
  auswahl_->Lies(d_.auswahl);
  // The accounts as the Kontenverläufe check them, the month and the date
  // as the Saldenbilanz's dialog does (kvkum-cli spiegel alike).
  kv::StichmonatDialog s;
  s.maximum = maximum_;
  s.stichmonat = Text(Dialogfeld::Stichmonat);
  s.druckdatum = Text(Dialogfeld::Druckdatum);
  s.vorherDatum = vorherDatum_;
  kv::Status meldungen;
  Dialogfeld f = kv::PruefeKontenauswahl(d_.auswahl, meldungen);
  const Dialogfeld monat = kv::PruefeStichmonatDialog(s, heute_, meldungen);
  if (monat != Dialogfeld::Keins) f = monat;
  kv::Zeige(meldungen);
  vorherDatum_ = s.vorherDatum;
  auswahl_->Schreibe(d_.auswahl);
  Setze(Dialogfeld::Stichmonat, s.stichmonat);
  Setze(Dialogfeld::Druckdatum, s.druckdatum);
  if (!Ergebnis(f)) return;
  d_.stichmonat = s.stichmonat;
  d_.druckdatum = s.druckdatum;
  d_.vorherDatum = s.vorherDatum;
  d_.monat = s.monat;
  d_.druck = s.druck;
  kv::Status bereich;
  if (Weiter(PruefeKontenbereich(d_.auswahl, bereich), bereich)) QDialog::accept();
}

}  // namespace kvui
