#include "reports/export.h"

#include <cstdio>

#include "basis/datei.h"
#include "basis/text1252.h"

namespace kv {
namespace {

std::string OhneRandBlanks(const std::string& text) {
  const size_t a = text.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return text.substr(a, text.find_last_not_of(' ') - a + 1);
}

std::string Ganzzahltext(double wert) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", wert);
  return text;
}

// ---- CSV -------------------------------------------------------------------

std::string CsvFeld(std::string text) {
  if (!text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@'))
    text.insert(0, "'");
  const bool quoten = text.find_first_of(";\"\r\n") != std::string::npos ||
                      (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quoten) return text;
  std::string q = "\"";
  for (char c : text) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + '"';
}

std::string CsvZahl(double wert, Spaltentyp typ) {
  if (typ == Spaltentyp::Ganzzahl) return Ganzzahltext(wert);
  std::string text = Betragstext(wert);
  for (char& c : text)
    if (c == '.') c = ',';
  return text;
}

std::string CsvZelle(const Zelle& zelle, Spaltentyp typ) {
  if (zelle.leer) return "";
  switch (typ) {
    case Spaltentyp::Ganzzahl:
    case Spaltentyp::Betrag:
    case Spaltentyp::Prozent: return CsvZahl(zelle.zahl, typ);
    case Spaltentyp::Text:
    case Spaltentyp::Seite: break;
  }
  return CsvFeld(OhneRandBlanks(zelle.text));
}

// ---- JSON ------------------------------------------------------------------

// A JSON string of a Windows-1252 text.
std::string JsonText1252(const std::string& win) {
  const std::string utf8 = Utf8(win);
  std::string j = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': j += "\\\""; break;
      case '\\': j += "\\\\"; break;
      case '\n': j += "\\n"; break;
      case '\r': j += "\\r"; break;
      case '\t': j += "\\t"; break;
      default:
        if (c < 0x20) {
          char u[8];
          std::snprintf(u, sizeof u, "\\u%04x", c);
          j += u;
        } else {
          j += static_cast<char>(c);
        }
    }
  }
  return j + '"';
}

std::string IsoDatum(const Datum& d) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.jahr, d.monat, d.tag);
  return text;
}

const char* Typname(Spaltentyp typ) {
  switch (typ) {
    case Spaltentyp::Text: return "text";
    case Spaltentyp::Ganzzahl: return "ganzzahl";
    case Spaltentyp::Betrag: return "betrag";
    case Spaltentyp::Prozent: return "prozent";
    case Spaltentyp::Seite: return "seite";
  }
  return "text";
}

std::string JsonZelle(const Zelle& zelle, Spaltentyp typ) {
  if (zelle.leer) return "null";
  switch (typ) {
    case Spaltentyp::Ganzzahl: return Ganzzahltext(zelle.zahl);
    case Spaltentyp::Betrag:
    case Spaltentyp::Prozent: return '"' + Betragstext(zelle.zahl) + '"';
    case Spaltentyp::Text:
    case Spaltentyp::Seite: break;
  }
  return JsonText1252(OhneRandBlanks(zelle.text));
}

// File names: letters, digits, "-", "_" and "."; umlauts spelled out.
std::string Dateinamenteil(const std::string& win) {
  std::string n;
  for (unsigned char c : win) {
    switch (c) {
      case 0xC4: n += "Ae"; break;
      case 0xD6: n += "Oe"; break;
      case 0xDC: n += "Ue"; break;
      case 0xE4: n += "ae"; break;
      case 0xF6: n += "oe"; break;
      case 0xFC: n += "ue"; break;
      case 0xDF: n += "ss"; break;
      default:
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
            c == '.')
          n += static_cast<char>(c);
        else if (!n.empty() && n.back() != '_')
          n += '_';
    }
  }
  while (!n.empty() && n.back() == '_') n.pop_back();
  return n;
}

}  // namespace

Status Exportierbar(const Berichtsmodell& modell) {
  if (!modell.abbruch) return Status::Erfolg();
  if (modell.abbruch->meldung.empty()) return Status::Fehlschlag();
  return Status(Meldung::Fehler(modell.abbruch->meldung));
}

std::string CsvText(const Berichtsmodell& modell, Zeichensatz zeichensatz) {
  std::string t;
  t += "Abschnitt;Art";
  for (const Spalte& s : modell.spalten) t += ';' + CsvFeld(s.titel);
  t += "\r\n";
  for (const Modellzeile& z : modell.zeilen) {
    const bool mitAbschnitt = z.abschnitt >= 0 && z.abschnitt < static_cast<int>(modell.abschnitte.size());
    t += mitAbschnitt ? CsvFeld(OhneRandBlanks(modell.abschnitte[z.abschnitt])) : std::string();
    t += ';';
    t += ZeilenartText(z.art);
    for (size_t i = 0; i < modell.spalten.size(); ++i) {
      t += ';';
      if (i < z.zellen.size()) t += CsvZelle(z.zellen[i], modell.spalten[i].typ);
    }
    t += "\r\n";
  }
  if (zeichensatz == Zeichensatz::Windows1252) return t;
  return "\xEF\xBB\xBF" + Utf8(t);
}

std::string JsonText(const Berichtsmodell& m) {
  std::string j = "{\n";
  const auto feld = [&j](const char* name, const std::string& wert, bool komma = true) {
    j += "  \"";
    j += name;
    j += "\": " + wert + (komma ? ",\n" : "\n");
  };
  feld("format", "\"kvkum-bericht\"");
  feld("version", "1");
  feld("bericht", JsonText1252(m.bericht));
  feld("titel", JsonText1252(m.titel));
  feld("ausgabeart", std::to_string(m.ausgabeart));
  feld("bezugsbuchungskreis", std::to_string(m.bezugsbuchungskreis));
  feld("name", JsonText1252(OhneRandBlanks(m.name)));
  feld("buchungsjahr", std::to_string(m.buchungsjahr));
  feld("von", m.von ? '"' + IsoDatum(*m.von) + '"' : "null");
  feld("bis", m.bis ? '"' + IsoDatum(*m.bis) + '"' : "null");
  feld("druckdatum", '"' + IsoDatum(m.druckdatum) + '"');
  feld("waehrung", JsonText1252(m.waehrung));
  feld("auswahl", m.auswahl.empty() ? "null" : JsonText1252(m.auswahl));
  std::string abschnitte = "[";
  for (size_t i = 0; i < m.abschnitte.size(); ++i)
    abschnitte += (i ? ", " : "") + JsonText1252(OhneRandBlanks(m.abschnitte[i]));
  feld("abschnitte", abschnitte + "]");
  std::string spalten = "[";
  for (size_t i = 0; i < m.spalten.size(); ++i)
    spalten += std::string(i ? ",\n    " : "\n    ") + "{\"schluessel\": " + JsonText1252(m.spalten[i].schluessel) +
               ", \"titel\": " + JsonText1252(m.spalten[i].titel) + ", \"typ\": \"" +
               Typname(m.spalten[i].typ) + "\"}";
  feld("spalten", spalten + (m.spalten.empty() ? "]" : "\n  ]"));
  std::string zeilen = "[";
  for (size_t n = 0; n < m.zeilen.size(); ++n) {
    const Modellzeile& z = m.zeilen[n];
    zeilen += std::string(n ? ",\n    " : "\n    ") + "{\"art\": \"" + ZeilenartSchluessel(z.art) +
              "\", \"abschnitt\": " + (z.abschnitt >= 0 ? std::to_string(z.abschnitt) : "null") +
              ", \"werte\": {";
    for (size_t i = 0; i < m.spalten.size(); ++i) {
      const Zelle leer;
      zeilen += (i ? ", " : "") + JsonText1252(m.spalten[i].schluessel) + ": " +
                JsonZelle(i < z.zellen.size() ? z.zellen[i] : leer, m.spalten[i].typ);
    }
    zeilen += "}}";
  }
  feld("zeilen", zeilen + (m.zeilen.empty() ? "]" : "\n  ]"), false);
  return j + "}\n";
}

Status SchreibeExport(const std::string& pfad, const std::string& inhalt) {
  const DateiFehler fehler = SpeichereSicher(pfad, inhalt);
  if (fehler == DateiFehler::Keiner) return Status::Erfolg();
  return Status(Meldung::Fehler(DateiFehlerText(fehler, pfad)));
}

std::string Exportname(const Berichtsmodell& m, const std::string& endung) {
  char kreis[16];
  std::snprintf(kreis, sizeof kreis, "BK%03d", m.bezugsbuchungskreis);
  std::string name = Dateinamenteil(m.titel.empty() ? m.bericht : m.titel);
  name += '_' + std::to_string(m.buchungsjahr) + '_' + kreis;
  if (m.von && m.bis) name += "_" + IsoDatum(*m.von) + "_bis_" + IsoDatum(*m.bis);
  else if (m.bis) name += "_bis_" + IsoDatum(*m.bis);
  return name + '.' + endung;
}

}  // namespace kv
