#include "ui/protokollfenster.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include "basis/text1252.h"
#include "ui/qtext.h"

namespace kvui {

namespace {

bool Gleich(const kv::Meldung& a, const kv::Meldung& b) {
  // The seam carries no text number: kind, title and text are the message.
  return a.art == b.art && a.text == b.text &&
         (a.art == kv::Meldungsart::Standard || a.titel == b.titel);
}

bool NenntArbeitsdatei(const std::string& text) {
  return text.find("~ksal~") != std::string::npos || text.find("~ksdx~") != std::string::npos;
}

}  // namespace

std::vector<const kv::Kreisbericht*> MeldungenUeberKreise(const std::vector<kv::Meldung>& meldungen,
                                                          const kv::Kumulationsergebnis& e) {
  // Which of the run's messages a circle owns: each circle's messages are
  // the run's in the order they came, so each is found as the earliest
  // match not taken yet.
  std::vector<const kv::Kreisbericht*> eigen(e.meldungen.size(), nullptr);
  std::vector<const kv::Kreisbericht*> kreise{&e.bezug};
  for (const kv::Kreisbericht& k : e.kreise) kreise.push_back(&k);
  for (const kv::Kreisbericht* k : kreise) {
    size_t j = 0;
    for (const kv::Meldung& m : k->meldungen) {
      while (j < e.meldungen.size() && (eigen[j] || !Gleich(e.meldungen[j], m))) ++j;
      if (j == e.meldungen.size()) break;
      eigen[j++] = k;
    }
  }
  // The seam got the run's messages in the run's order, with others (the
  // master data read after it) in between.
  std::vector<const kv::Kreisbericht*> ueber(meldungen.size(), nullptr);
  size_t j = 0;
  for (size_t i = 0; i < meldungen.size() && j < e.meldungen.size(); ++i) {
    if (!Gleich(meldungen[i], e.meldungen[j])) continue;
    if (!NenntArbeitsdatei(meldungen[i].text)) ueber[i] = eigen[j];
    ++j;
  }
  return ueber;
}

kv::Meldung NichtsKummuliert(const kv::Kumulationsergebnis& e,
                             const std::vector<kv::Meldung>& ueberBezug) {
  std::string grund;
  for (const kv::Meldung& m : ueberBezug) grund += (grund.empty() ? "" : "\n\n") + m.text;
  if (grund.empty()) grund = e.bezug.grund;
  if (grund.empty()) grund = kv::Protokollzusammenfassung(e);
  return kv::Meldung::Text(kv::W("Die Kummulierung hat nichts ergeben.\n\n") + grund,
                           kv::W("Kummulierung"), kv::Meldungsart::Fehler);
}

// ---- holding the messages back ----------------------------------------------

Kumulationsmeldungen::Kumulationsmeldungen() : vorher_(&kv::Ui()) { kv::SetzeOberflaeche(this); }

Kumulationsmeldungen::~Kumulationsmeldungen() {
  // Nothing held back is lost, whatever ended the run.
  if (aktiv_) Beende(nullptr);
}

void Kumulationsmeldungen::Meldung(int art, const std::string& titel, const std::string& text) {
  gehalten_.push_back(kv::Meldung::Text(text, titel, static_cast<kv::Meldungsart>(art)));
}
void Kumulationsmeldungen::StandardMeldung(const std::string& text) {
  gehalten_.push_back(kv::Meldung::Standard(text));
}
std::unique_ptr<kv::FortschrittsFenster> Kumulationsmeldungen::ErzeugeFortschritt() {
  return vorher_->ErzeugeFortschritt();
}
void Kumulationsmeldungen::SetzeBezugszeile(const std::string& text) {
  vorher_->SetzeBezugszeile(text);
}
void Kumulationsmeldungen::LeereListe() { vorher_->LeereListe(); }
void Kumulationsmeldungen::FuegeListeHinzu(const std::string& zeile) {
  vorher_->FuegeListeHinzu(zeile);
}
void Kumulationsmeldungen::Aktualisiere() { vorher_->Aktualisiere(); }
kv::Datum Kumulationsmeldungen::Heute() const { return vorher_->Heute(); }

bool Kumulationsmeldungen::Beende(const kv::Kumulationsergebnis* e) {
  if (!aktiv_) return false;
  aktiv_ = false;
  kv::SetzeOberflaeche(vorher_);
  const std::vector<const kv::Kreisbericht*> ueber =
      e ? MeldungenUeberKreise(gehalten_, *e)
        : std::vector<const kv::Kreisbericht*>(gehalten_.size(), nullptr);
  std::vector<kv::Meldung> ueberKreise;
  for (size_t i = 0; i < gehalten_.size(); ++i) {
    if (!ueber[i])
      kv::Zeige(gehalten_[i]);
    else if (ueber[i] == &e->bezug || ueber[i]->verzeichnis)
      ueberKreise.push_back(gehalten_[i]);
  }
  gehalten_.clear();
  if (!e) return false;
  if (!e->gelaufen) {
    // Not a window with every circle "not tried": the one reason.
    kv::Zeige(NichtsKummuliert(*e, ueberKreise));
    return false;
  }
  return !ueberKreise.empty() || kv::ProtokollFuerFenster(*e).ausgelassen;
}

// ---- the window -----------------------------------------------------------------

CProtokollFenster::CProtokollFenster(const kv::Protokollanzeige& anzeige,
                                     std::function<void()> alsBericht, QWidget* parent)
    : QDialog(parent), alsBericht_(std::move(alsBericht)) {
  setObjectName("CProtokollFenster");
  setWindowTitle(QStringLiteral("Kummulierungsprotokoll"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* lay = new QVBoxLayout(this);
  zusammenfassung_ = new QLabel(Q(anzeige.zusammenfassung), this);
  zusammenfassung_->setObjectName("zusammenfassung");
  lay->addWidget(zusammenfassung_);
  liste_ = new QListWidget(this);
  liste_->setObjectName("protokoll");
  // One line per circle, however long: scrolled sideways, never wrapped.
  liste_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  liste_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  for (const kv::Protokollzeile& z : anzeige.zeilen) {
    auto* eintrag = new QListWidgetItem(Q(z.text), liste_);
    if (!z.kummuliert || z.ausgang == kv::Kreisausgang::Teilweise)
      eintrag->setForeground(QColor(160, 0, 0));
  }
  lay->addWidget(liste_, 1);
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addStretch(1);
  auto* schliessen = new QPushButton(QString::fromUtf8("Schließen"), this);
  schliessen->setObjectName("schliessen");
  drucken_ = new QPushButton(QStringLiteral("Drucken"), this);
  drucken_->setObjectName("drucken");
  bericht_ = new QPushButton(QStringLiteral("Als Bericht"), this);
  bericht_->setObjectName("bericht");
  for (QPushButton* k : {schliessen, drucken_, bericht_}) {
    k->setAutoDefault(false);
    knoepfe->addWidget(k);
  }
  schliessen->setDefault(true);
  lay->addLayout(knoepfe);
  connect(schliessen, &QPushButton::clicked, this, &QDialog::close);
  connect(drucken_, &QPushButton::clicked, this, &CProtokollFenster::Drucke);
  connect(bericht_, &QPushButton::clicked, this, [this] {
    // The report's own dialogs and output windows come after this one.
    std::function<void()> bericht = alsBericht_;
    close();
    if (bericht) bericht();
  });
  resize(900, 360);
}

QString CProtokollFenster::Text() const {
  QString t = zusammenfassung_->text() + QStringLiteral("\n\n");
  for (int i = 0; i < liste_->count(); ++i) t += liste_->item(i)->text() + QLatin1Char('\n');
  return t;
}

void CProtokollFenster::DruckeAuf(QPrinter& drucker) const {
  QTextDocument dok;
  dok.setDefaultFont(liste_->font());
  dok.setPlainText(Text());
  dok.print(&drucker);
}

void CProtokollFenster::Drucke() {
  QPrinter drucker;
  QPrintDialog dlg(&drucker, this);
  dlg.setWindowTitle(QStringLiteral("Kummulierungsprotokoll drucken"));
  if (dlg.exec() == QDialog::Accepted) DruckeAuf(drucker);
}

}  // namespace kvui
