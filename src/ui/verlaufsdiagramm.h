// The Kontenverläufe as a chart: the monthly amounts of the chosen accounts
// over the booking year, as bars or a line, and on request split by booking
// circle (stacked bars, or a line per circle).
//
// The values are the report's: the month rows of the Kontenverläufe model
// (reports/kontenverlauf.h), never its pages.  Split by circle, each
// circle's month is what the per-circle breakdown (app/kreisspiegel.h) adds
// from that month's cut-off to the one before, read from the circles' own
// balances files.  The months are named as the report's lines name them
// ("00" the opening, then the calendar months of the periods).
#pragma once
#include <QDialog>
#include <QStringList>
#include <functional>
#include <vector>

#include "app/kumulation/ergebnis.h"
#include "basis/meldung.h"
#include "reports/berichtskontext.h"
#include "reports/berichtsmodell.h"
#include "reports/dialogregeln.h"

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QPrinter;
class QPushButton;

namespace kvui {

struct Verlaufsdaten {
  QString titel;     // "Kontenverläufe  Kontengruppe: 84??"
  QString waehrung;  // "EUR"
  QStringList monate;
  std::vector<double> werte;  // one per month, the model's
  struct Reihe {
    QString name;  // "BK 003 Muster GmbH"
    std::vector<double> werte;
  };
  std::vector<Reihe> kreise;  // split by circle, when it was asked for
};

// The months and their amounts from the Kontenverläufe model; a failure
// with the model's message when its data could not be read.
kv::Status VerlaufAusModell(const kv::Berichtsmodell& modell, Verlaufsdaten& daten);
// The same months split by the circles of the last run (`daten.monate` and
// `werte` filled already).
kv::Status VerlaufJeKreis(const kv::Berichtskontext& kontext, const kv::Kumulationsergebnis& lauf,
                          const kv::KontenverlaufDialog& angaben, Verlaufsdaten& daten);

class CVerlaufsdiagramm : public QDialog {
  Q_OBJECT
 public:
  // `jeKreis` fills the split by circle when the check box asks for it the
  // first time (false after its message: the box goes off again).
  CVerlaufsdiagramm(Verlaufsdaten daten, std::function<bool(Verlaufsdaten&)> jeKreis,
                    QWidget* parent);

  enum Art { Balken, Linie };
  void SetzeArt(Art art);
  void SetzeJeKreis(bool jeKreis);
  QChart* Diagramm() const;
  QComboBox* ArtFeld() const { return art_; }
  QCheckBox* JeKreisFeld() const { return jeKreis_; }
  const Verlaufsdaten& Daten() const { return daten_; }
  // The values drawn, per series (each a circle, or the one of the
  // accounts), read back from the chart.
  std::vector<std::vector<double>> GezeichneteWerte() const;

  bool SpeicherePng(const QString& pfad) const;
  void DruckeAuf(QPrinter& drucker) const;

 private:
  void Zeichne();
  void FrageSpeichern();
  void FrageDrucken();

  Verlaufsdaten daten_;
  std::function<bool(Verlaufsdaten&)> ladeJeKreis_;
  bool jeKreisGeladen_ = false;
  QChartView* ansicht_ = nullptr;
  QComboBox* art_ = nullptr;
  QCheckBox* jeKreis_ = nullptr;
};

}  // namespace kvui
