#include "basis/stringtabelle.h"

#include <algorithm>
#include <iterator>

#include "basis/text1252.h"

namespace kv {
namespace {

struct Eintrag {
  int nummer;
  const char* text;  // UTF-8 in the source, converted on lookup
};

// Sorted by number.
constexpr Eintrag kTabelle[] = {
    {32813, "Ausgabe der Saldenbilanz"},
    {32825, "Einrichten und Ändern der Buchungskreise (Mandanten)"},
    {32833, "Ausgabe der Einnahme-Überschuss- bzw. Gewinn-Verlustrechnung"},
    {34408, "Die Textdatei konnte nicht geöffnet \nbzw. angelegt werden !"},
    {34415, "Es konnten keine bislang angelegten Buchungskreise\ngefunden werden!"},
    {34429, "Die geänderten Bildschirmeinstellungen werden erst beim nächsten Programmstart aktiviert !"},
    {57602, "Schließt den aktuellen Mandanten"},
    {57665, "Beendet das Buchhaltungsprogramm"},
    {58001, "FEHLER"},
    {58002, "INFORMATION"},
    {58003, "ACHTUNG"},
    {58010, "Der gewählte Buchungskreis wird schon bearbeitet\noder die Dateien sind schreibgeschützt\n(z.B. nach Kopieren von einer CD) !"},
    {58011, "Probleme mit Salden-Index !"},
    {58022, "Freier Hauptspeicher kann nicht für\nbeschleunigte Verarbeitung genutzt werden!\nNormale Verarbeitung gestartet!"},
    {58048, "Temporäre Datei konnte nicht angelegt werden !"},
    {58049, "Temporäre Datei konnte nicht geöffnet werden !"},
    {58051, "Fehler beim Schreiben der temporären Datei !"},
    {58095, "Abbruch durch den Benutzer !"},
    {58100, "Konto konnte nicht in Saldendatei gespeichert werden !"},
    {58148, "Nicht genügend freier Hauptspeicher vorhanden!"},
};

static_assert(std::is_sorted(std::begin(kTabelle), std::end(kTabelle),
                             [](const Eintrag& a, const Eintrag& b) { return a.nummer < b.nummer; }),
              "the string table must stay sorted by number");

}  // namespace

std::string Ressource(int nummer) {
  auto it = std::lower_bound(std::begin(kTabelle), std::end(kTabelle), nummer,
                             [](const Eintrag& e, int n) { return e.nummer < n; });
  if (it == std::end(kTabelle) || it->nummer != nummer) return {};
  return W(it->text);
}

}  // namespace kv
