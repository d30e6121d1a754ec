// Input rules of the settings dialogs that edit the program configuration,
// as plain functions: the desktop dialogs only wire them to their widgets,
// and the tests check them without windows.
//
// Texts are Windows-1252 like every text of the core.  Numbers are read and
// written without the C library's locale: the desktop program runs with the
// user's locale, and a German one must not turn "7.50" into "7,50" in the
// shared configuration file.
#pragma once
#include <array>
#include <string>
#include <string_view>

#include "storage/konfiguration.h"

namespace kv {

// ---- "Programmverwaltung" ---------------------------------------------------

// Option chosen when the dialog opens: program and data in one directory
// (empty data path) or data in a directory of their own.
inline bool DatenGesondert(const Programmkonfiguration& k) { return k.daten[0] != '\0'; }

// Stores the three paths as entered, without any test; with the common
// directory chosen the data path becomes empty whatever the field holds.
// Each path is cut to the 259 characters its field holds.
void UebernehmeProgrammverwaltung(Programmkonfiguration& k, bool gesondert,
                                  std::string_view datenpfad, std::string_view programm,
                                  std::string_view uebergabe);

// ---- "Konfiguration für Buchungstechnik" -----------------------------------

// The program password holds at most this many characters.
inline constexpr std::size_t kPasswortFeldlaenge = 16;

// Typing filter of the password field: cut to 16 characters, then every
// character other than a-z, A-Z, 0-9, "-" and "." removed, silently.
std::string FiltrierePasswort(std::string_view text);

// "&OK": the 13th month from the chosen option; without "&Passwort
// verwenden" the password becomes empty, otherwise the field's text (the
// typing filter applied once more, so nothing else can reach the file).
void UebernehmeBuchungstechnik(Programmkonfiguration& k, bool dreizehnterMonat,
                               bool passwortVerwenden, std::string_view passwort);

// ---- "Vorbelegung der Mehrwertsteuersätze" ---------------------------------

inline constexpr double kMaxMwstSatz = 99.99;
// The smallest rate whose "%5.2f" text fits the five characters of the field.
inline constexpr double kMinMwstSatz = -9.99;

// The field's text when the dialog opens: the stored rate as "%.2f".
std::string MwstAnzeige(std::string_view gespeichert);

// Typing filter of a rate field (run on every change).  Accepted are
// digits, "+", "-", "," and "."; a comma becomes a point; after the first
// decimal separator at most two more digits stay and a second separator
// ends the text.  A foreign character is removed with "Nur numerische
// Zeichen zulässig !"; a value above 99.99 gives "Maximaler Betrag: 99.99"
// and the text becomes "0.00"; so does a value below -9.99, which the
// five-character field could not hold, with "Minimaler Betrag: -9.99" (all
// title "FEHLER").  Succeeds when the text was clean; the messages, in
// that order, are the dialog's to show.
Status FilterMwst(std::string& text);

// Leaving a field and "&OK": the value as "%5.2f" (" 7.50").
std::string MwstText(std::string_view text);

// "&OK": both rates as "%5.2f" into "MwSt F7" and "MwSt F8".
void UebernehmeMwst(Programmkonfiguration& k, std::string_view f7, std::string_view f8);

// ---- "Schriftgrößen für Bildschirmanzeige" ---------------------------------

struct Schriftgroesse {
  const char* text;  // as the lists show it
  int breite;        // pixels
  int hoehe;
};
inline constexpr std::array<Schriftgroesse, 10> kSchriftgroessen{{
    {"7 x 20", 7, 20},
    {"8 x 25", 8, 25},
    {"9 x 28", 9, 28},
    {"10 x 30", 10, 30},
    {"11 x 31", 11, 31},
    {"12 x 36", 12, 36},
    {"13 x 36", 13, 36},
    {"14 x 40", 14, 40},
    {"15 x 46", 15, 46},
    {"16 x 49", 16, 49},
}};
// From this width on a size is always bold.
inline constexpr int kFettAbBreite = 14;

// The entry whose width and height equal the font's, or -1.
int FindeSchriftgroesse(const Schriftsatz& s);
// The "Fett" box when the dialog opens: weight above 400.
inline bool IstFett(const Schriftsatz& s) { return s.gewicht > 400; }
// The "Fett" box after a size was chosen or the box was clicked: always
// ticked for a width of 14 or more, otherwise as the user set it.
bool FettNachRegel(int groesse, bool fett);
// "&Standard": "7 x 20" on a screen narrower than 800 or lower than 600
// pixels, else "8 x 25".
int StandardSchriftgroesse(int bildschirmBreite, int bildschirmHoehe);

// "&OK": "Font Buchung" and "Font Bildschirm" from the two chosen sizes
// (-1: nothing chosen, which gives the substitute cell 23 x 8) in
// "Courier New", 700 when bold or wider than 13, else 400; "Font Dialog"
// and "Font Nutzung" 16 x 6, 700, "Arial"; then the resolution derived from
// them.  The caller writes the configuration.
void UebernehmeBildschirmschriften(CIniSB& ini, int buchung, bool buchungFett, int bildschirm,
                                   bool bildschirmFett);

}  // namespace kv
