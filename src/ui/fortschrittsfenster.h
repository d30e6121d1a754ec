// The window of the progress display: a modeless dialog with a title, two
// text lines, the bar and "&Abbruch".  The bar arithmetic lives in the core
// (kv::Fortschrittsanzeige); these classes only draw what they are told and
// report a cancel request.
#pragma once
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "basis/oberflaeche.h"
#include "ui/platzierung.h"

namespace kvui {

// The bar: white background, text centred; the filled part drawn in
// RGB(64, 255, 255) with the text over it and then inverted, so the text
// reads in inverted colours where the bar has passed.
class CProgressEditLine : public QWidget {
  Q_OBJECT
 public:
  explicit CProgressEditLine(QWidget* parent);
  void Setze(int gefuellt, const QString& text, bool ganz);
  int Gefuellt() const { return gefuellt_; }
  QString Text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  int gefuellt_ = 0;
  QString text_;
};

class CProgress1Dlg : public KvDialog {
  Q_OBJECT
 public:
  explicit CProgress1Dlg(QWidget* parent = nullptr);

  CProgressEditLine* Balken() const { return balken_; }  // nullptr: too small for a bar
  QLabel* Zeile1() const { return zeile1_; }
  QLabel* Zeile2() const { return zeile2_; }
  QPushButton* AbbruchKnopf() const { return abbruch_; }

  void SetzeAbbrechbar(bool ja);
  bool Abbrechbar() const { return abbrechbar_; }
  // Cancel request since the last call; clears it.
  bool NimmAbbruch();

 public slots:
  void reject() override;  // Escape, the close button and "&Abbruch"

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  void LegeBalkenAn();
  CProgressEditLine* balken_ = nullptr;
  QLabel* zeile1_ = nullptr;
  QLabel* zeile2_ = nullptr;
  QPushButton* abbruch_ = nullptr;
  bool abbrechbar_ = true;
  bool abgebrochen_ = false;
};

// The core's drawing interface on top of CProgress1Dlg.
class QtFortschrittsFenster : public kv::FortschrittsFenster {
 public:
  explicit QtFortschrittsFenster(QWidget* parent);
  ~QtFortschrittsFenster() override;

  int BalkenBreite() const override;
  void SetzeTitel(const std::string& titel) override;
  void SetzeZeile1(const std::string& text) override;
  void SetzeZeile2(const std::string& text) override;
  void SetzeAbbrechbar(bool abbrechbar) override;
  void ZeichneBalken(int gefuellt, const std::string& text, bool ganz) override;
  bool Verarbeite() override;

  CProgress1Dlg* Dialog() const { return dlg_; }

 private:
  QPointer<CProgress1Dlg> dlg_;
};

}  // namespace kvui
