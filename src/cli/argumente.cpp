#include "cli/argumente.h"

#include "basis/text1252.h"
#include "cli/berichte.h"

namespace kv {
namespace {

const std::vector<Befehlsoption>& Auswahloptionen() {
  static const std::vector<Befehlsoption> o = {
      {"jahr", true, "J", "Buchungsjahr, z. B. 2010 oder 1011 (Wirtschaftsjahr 2010/2011) / booking year"},
      {"von", true, "N", "Von Buchungskreis (Nr.) / first booking circle of the range"},
      {"bis", true, "M", "Bis Buchungskreis (Nr.) / last booking circle of the range"},
      {"bezug", true, "R", "Bezugs-Buchungskreis (Nr.) / reference booking circle"},
      {"passwort", true, "P", "Programm-Passwort, falls eingerichtet / program password, if one is set"},
      {"einzeln", false, "", "kummuliert Satz für Satz, langsam, zur Fehlersuche; dieselben\n"
                             "                      Dateien / cumulates record by record, slowly, for\n"
                             "                      diagnosis; the same files"},
  };
  return o;
}

const Befehlsbeschreibung* SucheBefehl(const std::string& name) {
  for (const auto& b : Berichtsbefehle())
    if (b.name == name) return &b;
  return nullptr;
}

const Befehlsoption* SucheOption(const std::vector<Befehlsoption>& liste, const std::string& name) {
  for (const auto& o : liste)
    if (o.name == name) return &o;
  return nullptr;
}

void SchreibeOptionen(std::string& t, const std::vector<Befehlsoption>& liste,
                      const std::string& einzug = "  ") {
  for (const auto& o : liste) {
    std::string kopf = einzug + "--" + o.name + (o.mitWert ? " " + o.wertname : "");
    if (kopf.size() < 22) kopf.resize(22, ' ');
    else kopf += "\n" + std::string(22, ' ');
    t += kopf + o.hilfe + "\n";
  }
}

// One line, as every message on stderr.
Parsergebnis Fehler(const std::string& text) {
  Parsergebnis p;
  p.ende = 2;
  p.meldung = text + " (kvkum-cli --help)";
  return p;
}

bool NurZiffern(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

std::string Hilfetext() {
  std::string t =
      "kvkum-cli [-C VERZEICHNIS] BEFEHL --jahr J --von N --bis M --bezug R [--passwort P] [...]\n"
      "\n"
      "Kummuliert die Salden mehrerer Buchungskreise eines Buchungsjahres.\n"
      "Cumulates the balances of several booking circles for one booking year.\n"
      "\n"
      "  -C VERZEICHNIS      Programmverzeichnis mit kalvento.ini (Vorgabe: aktuelles\n"
      "                      Verzeichnis); muss vor dem Befehl stehen / program directory\n"
      "                      holding kalvento.ini (default: working directory); goes\n"
      "                      before the command\n"
      "  --help, -h          diese Hilfe / this help\n"
      "  --version           Programmversion / program version\n"
      "\n"
      "Auswahl, für jeden Befehl / selection, for every command:\n";
  SchreibeOptionen(t, Auswahloptionen());
  t +=
      "\n"
      "Befehle / commands:\n"
      "  kumulieren          kummuliert und zeigt Titel, Bezugs-Buchungskreis und die\n"
      "                      kummulierten Buchungskreise / cumulates and prints the title,\n"
      "                      the reference and the cumulated booking circles\n";
  for (const auto& b : Berichtsbefehle()) {
    std::string kopf = "  " + b.name;
    if (kopf.size() < 22) kopf.resize(22, ' ');
    else kopf += "\n" + std::string(22, ' ');
    t += kopf + b.hilfe + "\n";
    SchreibeOptionen(t, b.optionen, "      ");
  }
  t +=
      "\n"
      "Meldungen erscheinen auf stderr als eine Zeile \"TITEL: Text\" / messages go\n"
      "to stderr as one line \"TITLE: text\".\n"
      "Alle Angaben werden geprüft, bevor etwas läuft / every option is checked\n"
      "before anything runs.\n"
      "Rückgabewert / exit code: 0 fertig / done, 1 Kummulierung nicht ausgeführt /\n"
      "cumulation did not run, 2 Eingabe abgelehnt / input refused, 3 Passwort\n"
      "fehlt oder falsch / password missing or wrong, 4 fertig, aber unvollständig:\n"
      "ein Betrag wurde nicht addiert oder ein Konto nicht gespeichert; Berichte\n"
      "werden trotzdem ausgegeben und tragen die unvollständigen Summen / done but\n"
      "incomplete: an amount was not added or an account not written; reports are\n"
      "still put out and carry the incomplete totals.\n";
  return t;
}

Parsergebnis ParseArgumente(const std::vector<std::string>& argv, Argumente& a) {
  for (const auto& x : argv)
    if (x == "--help" || x == "-h") {
      Parsergebnis p;
      p.ende = 0;
      p.hilfe = Hilfetext();
      return p;
    }
  size_t i = 0;
  while (i < argv.size() && argv[i] == "-C") {
    if (i + 1 >= argv.size())
      return Fehler("Option -C braucht ein Verzeichnis / option -C needs a directory");
    a.programmverzeichnis = argv[i + 1];
    i += 2;
  }
  if (i >= argv.size()) {
    Parsergebnis p = Fehler("Kein Befehl angegeben / no command given");
    p.hilfe = Hilfetext();
    return p;
  }
  a.befehl = argv[i++];
  const Befehlsbeschreibung* bericht = nullptr;
  if (a.befehl != "kumulieren") {
    bericht = SucheBefehl(a.befehl);
    if (!bericht) return Fehler("Unbekannter Befehl / unknown command: " + a.befehl);
  }
  for (; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0)
      return Fehler("Unerwartetes Argument / unexpected argument: " + arg);
    std::string name = arg.substr(2);
    std::optional<std::string> wert;
    if (auto gleich = name.find('='); gleich != std::string::npos) {
      wert = name.substr(gleich + 1);
      name.resize(gleich);
    }
    const Befehlsoption* option = SucheOption(Auswahloptionen(), name);
    if (!option && bericht) option = SucheOption(bericht->optionen, name);
    if (!option) return Fehler("Unbekannte Option / unknown option: --" + name);
    if (option->mitWert && !wert) {
      if (i + 1 >= argv.size() || argv[i + 1].compare(0, 2, "--") == 0)
        return Fehler("Option --" + name + " braucht einen Wert / needs a value");
      wert = argv[++i];
    }
    if (!option->mitWert && wert)
      return Fehler("Option --" + name + " nimmt keinen Wert / takes no value");
    if (name == "jahr") a.jahr = *wert;
    else if (name == "von") a.von = *wert;
    else if (name == "bis") a.bis = *wert;
    else if (name == "bezug") a.bezug = *wert;
    else if (name == "passwort") a.passwort = *wert;
    else a.optionen[name] = wert.value_or("");
  }
  return {};
}

Status PruefeAuswahl(const Argumente& a, Kumulationsauswahl& auswahl) {
  auto streng = [](const std::string& text) { return NurZiffern(text) ? text : std::string(); };
  Status geprueft =
      PruefeKumAuswahl(a.jahr, streng(a.von), streng(a.bis), streng(a.bezug), auswahl);
  if (geprueft && !NurZiffern(a.jahr))
    geprueft = Meldung::Standard(W("Keine gültige Jahreszahl bei 'Buchungsjahr'!"));
  return geprueft;
}

}  // namespace kv
