#include "ui/einstellungsdlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "basis/oberflaeche.h"
#include "storage/texte.h"
#include "ui/ansicht.h"
#include "ui/eingabehilfe.h"
#include "ui/qtext.h"

namespace kvui {
namespace {

QWidget* Knoepfe(QDialog* dlg, const char* abbruchText) {
  auto* w = new QWidget(dlg);
  auto* lay = new QHBoxLayout(w);
  lay->setContentsMargins(0, 0, 0, 0);
  auto* ok = new QPushButton(QStringLiteral("&OK"), w);
  ok->setObjectName("ok");
  ok->setDefault(true);
  auto* abbruch = new QPushButton(QString::fromUtf8(abbruchText), w);
  abbruch->setObjectName("abbruch");
  QObject::connect(ok, &QPushButton::clicked, dlg, &QDialog::accept);
  QObject::connect(abbruch, &QPushButton::clicked, dlg, &QDialog::reject);
  lay->addStretch();
  lay->addWidget(ok);
  lay->addWidget(abbruch);
  return w;
}

// Runs a filter on every change; a dropped character puts the caret one
// place back.
template <class Filter>
void Filtere(QLineEdit* e, Filter filter) {
  QObject::connect(e, &QLineEdit::textChanged, e, [e, filter] {
    const QString alt = e->text();
    std::string text = W1252(alt);
    const bool sauber = filter(text);
    const QString neu = Q(text);
    if (neu == alt) return;
    const int cursor = e->cursorPosition() - (sauber ? 0 : 1);
    e->setText(neu);
    e->setCursorPosition(std::clamp<int>(cursor, 0, neu.size()));
  });
}

// A whole-number field up to `maximum` (FilterGanzzahl).  A number beyond
// it gives the field back its last valid text, not the filter's "0".
void Ganzzahlfeld(QLineEdit* e, double maximum) {
  auto gueltig = std::make_shared<QString>(e->text());
  QObject::connect(e, &QLineEdit::textChanged, e, [e, maximum, gueltig] {
    const QString alt = e->text();
    std::string text = W1252(alt);
    const kv::Status gefiltert = kv::FilterGanzzahl(text, maximum);
    kv::Zeige(gefiltert);
    const QString neu = AusserhalbDerGrenzen(gefiltert) ? *gueltig : Q(text);
    *gueltig = neu;
    if (neu == alt) return;
    const int cursor = e->cursorPosition() - (gefiltert.Ok() ? 0 : 1);
    e->setText(neu);
    e->setCursorPosition(std::clamp<int>(cursor, 0, neu.size()));
  });
}

}  // namespace

CSeitenEinstellungDlg::CSeitenEinstellungDlg(kv::CKv02Doc& dokument, QWidget* parent)
    : KvDialog(parent), dok_(dokument) {
  setWindowTitle(QStringLiteral("Seiteneinstellungen"));
  const auto& k = dok_.Konfiguration.konfiguration;
  auto* lay = new QVBoxLayout(this);
  auto* l1 = new QLabel(QStringLiteral("&Zeilenzahl pro Seite"), this);
  zeilen_ = new QLineEdit(QString::number(k.zeilenProSeite), this);
  zeilen_->setObjectName("zeilen");
  l1->setBuddy(zeilen_);
  auto* l2 = new QLabel(
      QStringLiteral("Anzahl &Leerzeilen bis 1. Druckzeile (0-3 zulässig; Standard = 0)"), this);
  rand_ = new QLineEdit(QString::number(k.randOben), this);
  rand_->setObjectName("rand");
  l2->setBuddy(rand_);
  lay->addWidget(l1);
  lay->addWidget(zeilen_);
  lay->addWidget(
      new QLabel(QStringLiteral("(35-90 zulässig, 64-70 bei DIN A4-Papier, 72 bei Endlospapier)"), this));
  lay->addWidget(l2);
  lay->addWidget(rand_);
  lay->addWidget(Knoepfe(this, "&Abbruch"));
  Ganzzahlfeld(zeilen_, 90);
  Ganzzahlfeld(rand_, 3);
}

void CSeitenEinstellungDlg::accept() {
  // Fewer than 35 lines leave no room for a report's page head and rows;
  // the value is not saved, the field keeps it for correcting.
  const int zeilen = zeilen_->text().toInt();
  if (zeilen < 35 || zeilen > 90) {
    kv::Zeige(kv::Meldung::Text(
        kv::W("Die Zeilenzahl pro Seite " + W1252(zeilen_->text()).substr(0, 8) +
              " ist nicht zulässig.\nBitte geben Sie einen Wert von 35 bis 90 ein."),
        kv::W("Seiteneinstellungen"), kv::Meldungsart::Fehler));
    zeilen_->setFocus();
    zeilen_->selectAll();
    return;
  }
  auto& k = dok_.Konfiguration.konfiguration;
  k.zeilenProSeite = zeilen;
  k.randOben = rand_->text().toInt();
  kv::Status gespeichert;
  dok_.Konfiguration.SchreibeKonfiguration(gespeichert);
  kv::Zeige(gespeichert);
  QDialog::accept();
}

int PruefeDruckgroessen(int normal, int schmal) {
  if (schmal < 100 || schmal > 300) return 2;
  if (normal < 100 || normal > 300) return 1;
  return 0;
}

CFontSizeDlg::CFontSizeDlg(kv::CKv02Doc& dokument, CKv02View* ansicht, QWidget* parent)
    : KvDialog(parent), dok_(dokument), ansicht_(ansicht) {
  setWindowTitle(QString::fromUtf8("Schriftgrößen für Ausdruck"));
  const auto& k = dok_.Konfiguration.konfiguration;
  auto* lay = new QVBoxLayout(this);
  auto* l1 = new QLabel(QString::fromUtf8("&Normaldruck-Grösse für z.B.USt-VA, Überschriften "
                                          "usw.\n(Standardwert: 240 )"),
                        this);
  normal_ = new QLineEdit(Q(k.fontPrnNormal), this);
  normal_->setObjectName("normal");
  normal_->setMaxLength(3);
  l1->setBuddy(normal_);
  auto* l2 = new QLabel(QString::fromUtf8("&Schmaldruck-Grösse für zB. Kontoblatt, Journal "
                                          "usw.\n(Standardwert: 144 )"),
                        this);
  schmal_ = new QLineEdit(Q(k.fontPrnSchmal), this);
  schmal_->setObjectName("schmal");
  schmal_->setMaxLength(3);
  l2->setBuddy(schmal_);
  lay->addWidget(l1);
  lay->addWidget(normal_);
  lay->addWidget(l2);
  lay->addWidget(schmal_);
  lay->addWidget(new QLabel(
      QString::fromUtf8("Die Grösse gilt sowohl für die Höhe als auch die Breite der Zeichen. "
                        "\nBei zu grossen Werten kann die Darstellung der Zeichen somit über den "
                        "rechten Blattrand hinaus gehen und nicht gedruckt werden."),
      this));
  lay->addWidget(Knoepfe(this, "&Abbrechen"));
  for (QLineEdit* e : {normal_, schmal_})
    Filtere(e, [](std::string& t) { return kv::FilterZiffern(t) != 0; });
}

void CFontSizeDlg::accept() {
  const int normal = std::atoi(W1252(normal_->text()).c_str());
  const int schmal = std::atoi(W1252(schmal_->text()).c_str());
  if (const int falsch = PruefeDruckgroessen(normal, schmal)) {
    kv::Zeige(kv::Meldung::Text(kv::W("Nur Werte von 100 bis 300 zulässig !"), 58002,
                                kv::Meldungsart::Information));
    QLineEdit* e = falsch == 2 ? schmal_ : normal_;
    e->setFocus();
    e->selectAll();
    return;
  }
  auto& k = dok_.Konfiguration.konfiguration;
  std::snprintf(k.fontPrnNormal, sizeof k.fontPrnNormal, "%i", normal);
  std::snprintf(k.fontPrnSchmal, sizeof k.fontPrnSchmal, "%i", schmal);
  kv::Status gespeichert;
  dok_.Konfiguration.SchreibeKonfiguration(gespeichert);
  kv::Zeige(gespeichert);
  if (ansicht_) ansicht_->BaueDruckerschriften();
  QDialog::accept();
}

}  // namespace kvui
