// "Bildschirmausgabe": the report work file on screen, one screen row per
// report row, a blank row between pages, scrollable both ways.  The window
// never holds the report: every repaint reads only the visible rows.
#pragma once
#include <QAbstractScrollArea>
#include <QFont>

#include "reports/druck.h"
#include "ui/bildlauf.h"

namespace kvui {

class CBildschirmAusgabeDlg : public QAbstractScrollArea {
  Q_OBJECT
 public:
  // zustand: the document's print state (page table, work file); it must
  // outlive the window.  schrift/dx/dy: screen font and its pitches.
  // flaeche: the main window's client area in screen coordinates.
  CBildschirmAusgabeDlg(const kv::Druckzustand& zustand, const QFont& schrift, int dx, int dy,
                        const QRect& flaeche, QWidget* besitzer);

  const Bildlauf& Lauf() const { return lauf_; }
  int Zeilenlaenge() const { return mass_.laenge; }
  // Texts of the screen lines the last repaint drew (for tests).
  const QStringList& GezeichneteZeilen() const { return gezeichnet_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void scrollContentsBy(int, int) override {}

 private:
  void SetzeLaufleisten();
  void Vertikalaktion(int aktion);
  void Horizontalaktion(int aktion);
  bool Vermesse(bool melden);

  const kv::Druckzustand& zustand_;
  std::string pfad_;
  QFont schrift_;
  Arbeitsdateimass mass_;
  std::vector<int64_t> tabelle_;  // the page table anfaenge_ was made from
  std::vector<int64_t> anfaenge_;
  Bildlauf lauf_;
  QStringList gezeichnet_;
  std::string block_;  // the rows of the last repaint, as read from the file
  bool lesbar_ = false;
  int64_t fehlgroesse_ = -1;  // file size at the last failed read
};

}  // namespace kvui
