// The one seam between the core and whatever shows things to the user.
//
// The core never talks to Qt or to the terminal.  It shows messages, opens
// progress windows, fills the main view and asks for today's date through the
// object installed with SetzeOberflaeche().  The Qt program installs real
// widgets, kvkum-cli writes to stderr, the tests install a recorder.
//
// All texts crossing this seam are Windows-1252 byte strings.
#pragma once
#include <memory>
#include <string>

namespace kv {

struct Datum {
  int tag = 1;
  int monat = 1;
  int jahr = 2000;
};

// Drawing side of a progress window.  The bar arithmetic (modes, steps,
// percentages) lives in the core; an implementation only draws and reports
// whether the user asked to cancel.
class FortschrittsFenster {
 public:
  virtual ~FortschrittsFenster() = default;
  // Width of the bar's client area in pixels; 0 when the window has no bar.
  virtual int BalkenBreite() const { return 300; }
  virtual void SetzeTitel(const std::string& titel) {}
  virtual void SetzeZeile1(const std::string& text) {}
  virtual void SetzeZeile2(const std::string& text) {}
  virtual void SetzeAbbrechbar(bool abbrechbar) {}
  // gefuellt: right edge of the filled part in pixels; ganz: whole repaint.
  virtual void ZeichneBalken(int gefuellt, const std::string& text, bool ganz) {}
  // Dispatches pending window messages without waiting.  Returns true when
  // the user clicked "&Abbruch" or pressed Escape or Enter on it while the
  // button was enabled.
  virtual bool Verarbeite() { return false; }
};

class Oberflaeche {
 public:
  virtual ~Oberflaeche() = default;

  // The program's own message box: kind 16 error, 48 warning, 64
  // information (the caption follows from the kind), a title line and text.
  virtual void Meldung(int art, const std::string& titel, const std::string& text) = 0;
  // The platform's standard message box with the caption "Fehler".
  virtual void StandardMeldung(const std::string& text) = 0;

  virtual std::unique_ptr<FortschrittsFenster> ErzeugeFortschritt() {
    return std::make_unique<FortschrittsFenster>();
  }

  // Main view: reference line and the list of cumulated booking circles.
  virtual void SetzeBezugszeile(const std::string& text) {}
  virtual void LeereListe() {}
  virtual void FuegeListeHinzu(const std::string& zeile) {}
  // Lets the window system breathe (repaint the view) during long work.
  virtual void Aktualisiere() {}

  virtual Datum Heute() const;
};

// The installed seam; a silent default is installed before main().
Oberflaeche& Ui();
void SetzeOberflaeche(Oberflaeche* ui);  // nullptr restores the silent default

// Caption of the message box for a kind: 16 "FEHLER", 48 "ACHTUNG",
// 64 "INFORMATION", anything else "FEHLER".
std::string MeldungsUeberschrift(int art);

// The four entry points of the message box.  Numbers are string-table
// numbers; strings are Windows-1252 texts.
void ZeigeMeldung(int textNr, int titelNr, int art);
void ZeigeMeldung(const std::string& text, const std::string& titel, int art);
void ZeigeMeldung(const std::string& text, int titelNr, int art);
void ZeigeMeldung(int textNr, const std::string& titel, int art);
void ZeigeStandardMeldung(const std::string& text);

}  // namespace kv
