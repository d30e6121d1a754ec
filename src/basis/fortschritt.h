// Progress display for the long loops that run on the user-interface thread
// (index rebuild, booking-circle overview, old setup conversion, password
// lock-out).
//
// The bar arithmetic lives here; the window behind Ui().ErzeugeFortschritt()
// only draws what it is told and reports a click on "&Abbruch".  Typical use:
//
//   Fortschrittsanzeige f;
//   f.Einrichten("Titel", "Zeile 1", "", "", anzahl, kBalkenProzent, kAbbruchErlaubt);
//   f.Verarbeite();
//   for (...) { ...; f.Schritt(1); if (f.Verarbeite()) break; }
//   f.Schliessen();
#pragma once
#include <memory>
#include <string>

#include "basis/oberflaeche.h"

namespace kv {

// Bar modes: text in the bar / what happens when the bar runs past its end.
constexpr int kBalkenText = 3000;        // fixed text / bar empties and starts again
constexpr int kBalkenStufe = 3001;       // "Stufe %i" / next "Stufe", bar starts again
constexpr int kBalkenProzentNeu = 3002;  // "%i%" / bar starts again at "0%"
constexpr int kBalkenTextVoll = 3003;    // fixed text / bar stays full
constexpr int kBalkenProzent = 3004;     // "%i%" / bar stays full

// Cancel modes: only kAbbruchErlaubt enables "&Abbruch"; the program uses
// kAbbruchGesperrt for anything that must not be interrupted.
constexpr int kAbbruchErlaubt = 3000;
constexpr int kAbbruchGesperrt = 3001;

class Fortschrittsanzeige {
 public:
  // Opens the window through the installed user interface and shows it.
  Fortschrittsanzeige();
  // Uses the given window (tests pass a recording one); nullptr = no window.
  explicit Fortschrittsanzeige(std::unique_ptr<FortschrittsFenster> fenster);
  ~Fortschrittsanzeige();
  Fortschrittsanzeige(const Fortschrittsanzeige&) = delete;
  Fortschrittsanzeige& operator=(const Fortschrittsanzeige&) = delete;

  // Sets up bar, both lines and title.  gesamt <= 0 counts as 1.  The
  // "&Abbruch" button is enabled exactly when abbruchModus is
  // kAbbruchErlaubt.  Clears a previous cancel request.
  void Einrichten(const std::string& titel, const std::string& zeile1,
                  const std::string& zeile2, const std::string& balkentext,
                  long gesamt, int modus, int abbruchModus);

  // Advances the bar by n units.
  void Schritt(long n = 1);

  // Lets the window system process pending messages.  Returns 1 once the
  // user asked to stop (and from then on every time), else 0.  Each call
  // that returns 1 shows "Abbruch durch den Benutzer !".
  int Verarbeite();

  void SetzeZeile1(const std::string& text);
  // At most 100 characters; a blank is inserted near position 50 so the
  // line can wrap there (see BrecheZeile2).
  void SetzeZeile2(const std::string& text);
  void SetzeTitel(const std::string& text);
  void SetzeAbbruch(int abbruchModus);

  // The "&Abbruch" button's action: takes effect only while it is enabled.
  void Abbrechen();

  // Destroys the window; further calls only update the model.
  void Schliessen();

  // The second-line rule as a plain function: cut to 100 characters; when
  // longer than 50 with no line break in the first 50, insert a blank at the
  // last blank, "-", "/" or "." from position 50 back to 36, else at 50.
  static std::string BrecheZeile2(const std::string& text);

  // Model state, for the window and for tests.
  long Gesamt() const { return gesamt_; }
  long Position() const { return position_; }
  double PixelJeEinheit() const { return pixelJeEinheit_; }
  int Modus() const { return modus_; }
  int Stufe() const { return stufe_; }
  int Prozent() const { return prozent_; }
  int Gefuellt() const { return gefuellt_; }  // right edge of the filled part
  int Breite() const { return breite_; }      // client width of the bar
  const std::string& Balkentext() const { return balkentext_; }
  const std::string& Zeile1() const { return zeile1_; }
  const std::string& Zeile2() const { return zeile2_; }
  const std::string& Titel() const { return titel_; }
  bool Abbrechbar() const { return abbrechbar_; }
  bool Abgebrochen() const { return abgebrochen_; }

 private:
  void Zeichne(bool ganz);

  std::unique_ptr<FortschrittsFenster> fenster_;
  long gesamt_ = 1;
  long position_ = 0;
  double pixelJeEinheit_ = 0.0;
  int modus_ = kBalkenText;
  int stufe_ = 0;
  int prozent_ = 0;
  int gefuellt_ = 0;
  int breite_ = 0;
  std::string balkentext_;
  std::string zeile1_;
  std::string zeile2_;
  std::string titel_;
  bool abbrechbar_ = true;
  bool abgebrochen_ = false;
};

}  // namespace kv
