// The command line of kvkum-cli on arbitrary arguments (the input split at
// NUL bytes): the parser, the selection checks the texts then meet, and a
// report command's option checks up to the point where it needs a
// cumulation.  The texts come as UTF-8 from the terminal, valid or not.
//
// Checked besides memory safety:
//   - a parse either ends at once with an exit code and a message or help,
//     or names a command that exists and only options that command takes;
//   - an accepted selection lies in 1..999 and keeps at most five
//     characters of the year; the command line accepts only fields of
//     digits, and only what the dialog's rules accept;
//   - a report command without a cumulation refuses (exit code 1 or 2),
//     and its options are either accepted or refused (0 or 2).
#include <string>
#include <vector>

#include "app/auswahl.h"
#include "app/dokument.h"
#include "basis/text1252.h"
#include "cli/argumente.h"
#include "cli/berichte.h"
#include "fuzzhilfe.h"
#include "reports/dialogregeln.h"

namespace {

bool IstOption(const kv::Argumente& a, const std::string& name) {
  for (const char* auswahl : {"jahr", "von", "bis", "bezug", "passwort", "einzeln"})
    if (name == auswahl) return true;
  for (const auto& b : kv::Berichtsbefehle())
    if (b.name == a.befehl)
      for (const auto& o : b.optionen)
        if (o.name == name) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string hilfe = kv::Hilfetext();
  std::vector<std::string> argv;
  std::string teil;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      argv.push_back(teil);
      teil.clear();
    } else {
      teil += static_cast<char>(data[i]);
    }
  }
  if (!teil.empty()) argv.push_back(teil);

  kv::Argumente a;
  const kv::Parsergebnis p = kv::ParseArgumente(argv, a);
  if (p.ende) {
    FUZZ_PRUEFE(*p.ende == 0 || *p.ende == 2);
    FUZZ_PRUEFE(*p.ende == 0 ? p.hilfe == hilfe : !p.meldung.empty());
    return 0;
  }
  FUZZ_PRUEFE(p.meldung.empty());
  bool bekannt = a.befehl == "kumulieren";
  for (const auto& b : kv::Berichtsbefehle()) bekannt = bekannt || b.name == a.befehl;
  FUZZ_PRUEFE(bekannt);
  for (const auto& [name, wert] : a.optionen) FUZZ_PRUEFE(IstOption(a, name));

  // The selection, as the command line hands it to the dialog's rules.
  kv::Kumulationsauswahl auswahl;
  const std::string fehler =
      kv::AuswahlFehler(kv::W(a.jahr), kv::W(a.von), kv::W(a.bis), kv::W(a.bezug), auswahl);
  if (fehler.empty()) {
    FUZZ_PRUEFE(auswahl.bezug >= 1 && auswahl.bezug <= 999 && auswahl.von >= 1 &&
                auswahl.von <= 999 && auswahl.bis >= 1 && auswahl.bis <= 999);
    FUZZ_PRUEFE(auswahl.jahr.size() <= 5);
  }
  // The command line's own check: digits only, and the dialog's rules.
  kv::Kumulationsauswahl streng;
  if (kv::PruefeAuswahl(a, streng)) {
    FUZZ_PRUEFE(fehler.empty());
    for (const std::string* feld : {&a.jahr, &a.von, &a.bis, &a.bezug})
      FUZZ_PRUEFE(!feld->empty() &&
                  feld->find_first_not_of("0123456789") == std::string::npos);
    FUZZ_PRUEFE(streng.bezug == auswahl.bezug && streng.jahr == auswahl.jahr);
  }
  if (a.passwort) {
    // A password of up to 16 characters without blanks is its own entry.
    const std::string pw = kv::W(*a.passwort);
    kv::Passwortpruefung pruefung(pw);
    if (!pw.empty() && pw.size() <= 16 && pw.find(' ') == std::string::npos &&
        pw.find('\0') == std::string::npos)
      FUZZ_PRUEFE(pruefung.IstRichtig(pw));
  }
  (void)kv::Utf8(kv::W(a.programmverzeichnis));

  if (a.befehl != "kumulieren") {
    // Without a cumulation every report refuses, after checking its print
    // date like the options dialog.
    static kv::CKv02Doc* dokument = new kv::CKv02Doc;
    const int r = kv::FuehreBerichtAus(a.befehl, a, *dokument);
    FUZZ_PRUEFE(r == 1 || r == 2);
    // The options as checked before a run: accepted or refused, nothing else.
    const int o = kv::PruefeBerichtsoptionen(a.befehl, a, dokument->Kontext());
    FUZZ_PRUEFE(o == 0 || o == 2);
  }
  return 0;
}
