// kvkum-cli: the opening sequence and the cumulation of the desktop program,
// driven by options instead of dialogs, for batch use and end-to-end tests.
//
// stdout: the result (UTF-8, LF).  stderr: every message box as one line
// "TITLE: text".  Exit codes: 0 done, 1 the cumulation did not run (or the
// report could not be put out), 2 bad command line or input refused by the
// dialog rules, 3 password missing or wrong, 4 done but incomplete: an
// amount did not fit its field or an account could not be written, so the
// cumulated balances and every report on them lack it.
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "app/dokument.h"
#include "app/protokoll.h"
#include "basis/datei.h"
#include "basis/format.h"
#include "basis/oberflaeche.h"
#include "basis/text1252.h"
#include "basis/version.h"
#include "cli/argumente.h"
#include "cli/berichte.h"
#include "storage/altdaten.h"
#include "storage/dateinamen.h"
#include "storage/konfiguration.h"

namespace {

// Message boxes become lines on stderr; the view is kept by the document.
class Konsole : public kv::Oberflaeche {
 public:
  void Meldung(int, const std::string& titel, const std::string& text) override {
    Schreibe(titel, text);
  }
  void StandardMeldung(const std::string& text) override { Schreibe("Fehler", text); }

 private:
  static void Schreibe(const std::string& titel, const std::string& text) {
    std::string zeile = kv::Utf8(titel) + ": " + kv::Utf8(kv::MeldungInEinerZeile(text)) + "\n";
    std::fflush(stdout);
    std::fwrite(zeile.data(), 1, zeile.size(), stderr);
    std::fflush(stderr);
  }
};

void Zeile(const std::string& text1252) {
  std::string z = kv::Utf8(text1252) + "\n";
  std::fwrite(z.data(), 1, z.size(), stdout);
}

void Hinweis(const std::string& text1252) {
  kv::Zeige(kv::Meldung::Text(text1252, "INFORMATION", kv::Meldungsart::Information));
}

// The configuration as the desktop program reads it at its start, which
// writes the defaults when there is none.  The desktop program's settings
// dialog shows them; a batch run could not tell, so it says so.
void LeseKonfiguration(kv::CKv02Doc& doc) {
  const std::string ini(kv::kKonfigurationsdatei);
  const bool neu = kv::PruefeDatei(ini) == 2 && !kv::DateiExistiert(std::string(kv::kAlteSetupdatei));
  doc.LeseKonfiguration();
  if (neu && kv::PruefeDatei(ini) == 1) Hinweis("kalvento.ini mit Vorgabewerten angelegt");
}

// The program password.  A missing --passwort is said so; a wrong one
// with the desktop program's message.
bool PasswortRichtig(const kv::CKv02Doc& doc, const kv::Argumente& a) {
  if (!doc.PasswortGesetzt()) return true;
  if (!a.passwort) {
    Hinweis(kv::W("Das Programm ist mit einem Passwort geschützt. Bitte geben Sie das "
                  "Passwort mit --passwort an."));
    return false;
  }
  if (doc.ErzeugePasswortpruefung().IstRichtig(kv::W(*a.passwort))) return true;
  Hinweis(kv::PasswortFalschText());
  return false;
}

// A cumulation that did not run and said nothing: the engine keeps silent
// where the desktop program's main view shows it (a reference that is not
// there, no books for the year).  A run without a window says why, with
// the words the desktop program has for a circle that is not there.
void NenneUrsache(kv::CKv02Doc& doc) {
  if (doc.KumulationBereit() || !doc.LetzteKumulation().meldungen.empty()) return;
  const std::string& daten = doc.Datenverzeichnis();
  const int bezug = doc.Bezugsbuchungskreis();
  kv::BkKennwerte werte;
  kv::Status gelesen;
  if (!kv::LeseBkKennwerte(daten, bezug, werte, gelesen)) {
    kv::Zeige(kv::Meldung::Standard(kv::Format(
        "Stammdaten f\xFCr Buchungskreis Nummer %i \n nicht gefunden, in Verwendung oder gesperrt!",
        bezug)));
  } else if (werte.kontenrahmen != 3 && werte.kontenrahmen != 4) {
    kv::Zeige(kv::Meldung::Standard(kv::Format(
        "Bezugs-Buchungskreis %i hat Kontenrahmen %02i; kummuliert werden nur die "
        "Kontenrahmen 03 und 04!", bezug, werte.kontenrahmen)));
  } else if (const std::string sal =
                 kv::NameSaldendatei(daten, bezug, werte.kontenrahmen, doc.Buchungsjahr());
             kv::PruefeDatei(sal) == 2) {
    kv::Zeige(kv::Meldung::Standard(kv::Format(
        "Bezugs-Buchungskreis %i hat keine Salden f\xFCr das Buchungsjahr %04i (%s fehlt)!",
        bezug, doc.Buchungsjahr(), sal.c_str())));
  } else {
    doc.PruefeKumulationBereit();  // the desktop program's words for a report without one
  }
}

// The run after the command line was parsed.  Everything the command line
// says is checked before anything runs: the selection, the configuration
// read, the report's options, the password; then the cumulation and the
// command.
int FuehreAus(kv::Argumente& a) {
  kv::CKv02Doc doc;
  if (a.Hat("einzeln")) doc.SetzeKumulationsweg(kv::Kumulationsweg::Einzeln);
  kv::Kumulationsauswahl auswahl;
  const kv::Status geprueft = kv::PruefeAuswahl(a, auswahl);
  kv::Zeige(geprueft);
  if (!geprueft) return 2;
  LeseKonfiguration(doc);
  if (a.befehl != "kumulieren" && kv::PruefeBerichtsoptionen(a.befehl, a, doc.Kontext()) != 0)
    return 2;
  if (!PasswortRichtig(doc, a)) return 3;
  doc.UebernehmeAuswahl(auswahl);
  NenneUrsache(doc);
  int ergebnis;
  if (a.befehl == "kumulieren") {
    Zeile(doc.Dokumenttitel());
    Zeile(doc.Bezugszeile());
    for (const auto& z : doc.Kumulationsliste()) Zeile(z);
    // After the lines the desktop program shows, the outcome in one line.
    Zeile(kv::Protokollzusammenfassung(doc.LetzteKumulation()));
    ergebnis = !doc.KumulationBereit() ? 1 : doc.KumulationUnvollstaendig() ? 4 : 0;
  } else {
    ergebnis = kv::FuehreBerichtAus(a.befehl, a, doc);
  }
  std::fflush(stdout);
  return ergebnis;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // --version wherever it stands, like --help (the first of the two wins).
  for (const auto& x : args) {
    if (x == "--help" || x == "-h") break;
    if (x == "--version") {
      std::printf("kvkum-cli %s\n", kv::kVersion);
      return 0;
    }
  }
  kv::Argumente a;
  kv::Parsergebnis p = kv::ParseArgumente(args, a);
  if (p.ende) {
    if (!p.hilfe.empty()) std::fputs(p.hilfe.c_str(), *p.ende == 0 ? stdout : stderr);
    if (!p.meldung.empty()) std::fprintf(stderr, "kvkum-cli: %s\n", p.meldung.c_str());
    return *p.ende;
  }
  if (!a.programmverzeichnis.empty()) {
    std::error_code ec;
    std::filesystem::current_path(a.programmverzeichnis, ec);
    if (ec) {
      std::fprintf(stderr, "kvkum-cli: Verzeichnis nicht erreichbar / cannot enter directory: %s\n",
                   a.programmverzeichnis.c_str());
      return 2;
    }
  }

  Konsole konsole;
  kv::SetzeOberflaeche(&konsole);
  int ergebnis;
  // Out of memory in a report (the cumulation catches its own) ends the
  // run with the program's message for it, never with an abort.
  try {
    ergebnis = FuehreAus(a);
  } catch (const std::bad_alloc&) {
    kv::Zeige(kv::Meldung::Nr(58148, "INFORMATION", kv::Meldungsart::Information));
    ergebnis = 1;
  }
  kv::SetzeOberflaeche(nullptr);
  return ergebnis;
}
