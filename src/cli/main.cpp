// kvkum-cli: the opening sequence and the cumulation of the desktop program,
// driven by options instead of dialogs, for batch use and end-to-end tests.
//
// stdout: the result (UTF-8, LF).  stderr: every message box as
// "TITLE: text".  Exit codes: 0 done, 1 the cumulation did not run (or the
// report could not be put out), 2 bad command line or input refused by the
// dialog rules, 3 wrong password, 4 done but incomplete: an amount did not
// fit its field or an account could not be written, so the cumulated
// balances and every report on them lack it.
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "app/dokument.h"
#include "basis/oberflaeche.h"
#include "basis/text1252.h"
#include "cli/argumente.h"
#include "cli/berichte.h"

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
    std::string zeile = kv::Utf8(titel) + ": " + kv::Utf8(text) + "\n";
    std::fflush(stdout);
    std::fwrite(zeile.data(), 1, zeile.size(), stderr);
    std::fflush(stderr);
  }
};

void Zeile(const std::string& text1252) {
  std::string z = kv::Utf8(text1252) + "\n";
  std::fwrite(z.data(), 1, z.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
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
    kv::CKv02Doc doc;
    if (a.Hat("einzeln")) doc.SetzeKumulationsweg(kv::Kumulationsweg::Einzeln);
    bool passwortFalsch = false, auswahlAbgelehnt = false;
    const int geoeffnet = doc.OnNewDocument(
        [&](kv::Passwortpruefung& pruefung) {
          if (a.passwort && pruefung.IstRichtig(kv::W(*a.passwort))) return true;
          kv::Zeige(kv::Meldung::Text(kv::PasswortFalschText(), "INFORMATION",
                                      kv::Meldungsart::Information));
          passwortFalsch = true;
          return false;
        },
        [&](kv::Kumulationsauswahl& auswahl) {
          const kv::Status geprueft = kv::PruefeKumAuswahl(kv::W(a.jahr), kv::W(a.von),
                                                           kv::W(a.bis), kv::W(a.bezug), auswahl);
          kv::Zeige(geprueft);
          if (geprueft) return true;
          auswahlAbgelehnt = true;
          return false;
        });
    if (!geoeffnet) {
      ergebnis = passwortFalsch ? 3 : 2;
      (void)auswahlAbgelehnt;
    } else if (a.befehl == "kumulieren") {
      Zeile(doc.Dokumenttitel());
      Zeile(doc.Bezugszeile());
      for (const auto& z : doc.Kumulationsliste()) Zeile(z);
      ergebnis = !doc.KumulationBereit() ? 1 : doc.KumulationUnvollstaendig() ? 4 : 0;
    } else {
      ergebnis = kv::FuehreBerichtAus(a.befehl, a, doc);
    }
    std::fflush(stdout);
  } catch (const std::bad_alloc&) {
    kv::Zeige(kv::Meldung::Nr(58148, "INFORMATION", kv::Meldungsart::Information));
    ergebnis = 1;
  }
  kv::SetzeOberflaeche(nullptr);
  return ergebnis;
}
