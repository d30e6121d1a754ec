#include "storage/texte.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "basis/format.h"
#include "basis/zahlen.h"
#include "basis/text1252.h"

namespace kv {
namespace {

Meldung NurNumerisch() { return Meldung::Fehler(W("Nur numerische Zeichen zulässig !")); }

bool IstZiffer(char c) { return c >= '0' && c <= '9'; }

std::string NurZiffern(std::string_view s) {
  std::string r;
  for (char c : s)
    if (IstZiffer(c)) r += c;
  return r;
}

// Value of the digits of a text (other characters ignored); 0 when none.
// More than six significant digits saturate at 999999.
int Zahlwert(std::string_view s) {
  return Ganzzahlwert(NurZiffern(s), {Leerraum::Keiner, 0, 999999});
}

// First two and last two digits of a booking year code (of "%4i").
bool Jahreshaelften(int code, int& c, int& b) {
  if (code < 0 || code > 9999) return false;
  c = code / 100;
  b = code % 100;
  return true;
}

}  // namespace

// ---- Amounts -------------------------------------------------------------

void RundeBetrag(double& betrag) {
  double t = betrag * 100.0;
  double i = std::trunc(t);
  double f = t - i;
  // (i +- 1) / 100 rather than adding 0.01 afterwards: the same cent, but
  // the double nearest to it.
  if (f >= 0.5)
    betrag = (i + 1.0) / 100.0;
  else if (f <= -0.5)
    betrag = (i - 1.0) / 100.0;
  else
    betrag = i / 100.0;
}

double Gerundet(double betrag) {
  RundeBetrag(betrag);
  return betrag;
}

int IstNull(double betrag) { return (betrag >= -kNullGrenze && betrag <= kNullGrenze) ? 1 : 0; }

int NullSetzen(double& betrag) {
  if (!IstNull(betrag)) return 0;
  betrag = 0.0;
  return 1;
}

std::string FormatiereBetrag(double betrag, int breite) {
  int feld = (breite >= 5 && breite <= 15) ? breite : 16;
  return GruppiereBetrag(Format("%*.2f", feld, betrag), breite);
}

namespace {

// Builds the grouped text without a width limit; leading blanks of the
// source are copied too.
std::string Gruppiert(std::string_view text, bool mitPunkten) {
  size_t punkt = text.rfind('.');
  std::string dezimal = ",";
  std::string_view ganz = text;
  if (punkt == std::string_view::npos) {
    dezimal += "00";
  } else {
    dezimal += text.substr(punkt + 1, 2);
    ganz = text.substr(0, punkt);
  }
  std::string links;  // built reversed
  int kopiert = 0;
  for (size_t k = ganz.size(); k-- > 0;) {
    links += ganz[k];
    ++kopiert;
    if (mitPunkten && kopiert % 3 == 0 && k > 0) {
      char naechstes = ganz[k - 1];
      // Never in front of the text's first character: an amount filling
      // its whole format width stays without a point.
      if (naechstes != ' ' && naechstes != '-' && naechstes != '+' && k - 1 > 0) links += '.';
    }
  }
  return std::string(links.rbegin(), links.rend()) + dezimal;
}

std::string RechtsBuendig(const std::string& s, int breite) {
  size_t b = static_cast<size_t>(breite);
  if (s.size() >= b) return s.substr(s.size() - b);
  return std::string(b - s.size(), ' ') + s;
}

}  // namespace

std::string GruppiereBetrag(std::string_view text, int breite) {
  if (breite <= 0) return {};
  std::string voll = Gruppiert(text, true);
  size_t start = voll.find_first_not_of(' ');
  std::string kern = start == std::string::npos ? std::string() : voll.substr(start);
  if (kern.size() > static_cast<size_t>(breite)) {
    // Cutting the left end would drop the sign or leading digits and print
    // a wrong amount; without the points it may still fit, otherwise the
    // field shows that the amount does not fit.
    std::string ohne = Gruppiert(text, false);
    start = ohne.find_first_not_of(' ');
    kern = start == std::string::npos ? std::string() : ohne.substr(start);
    if (kern.size() > static_cast<size_t>(breite)) return std::string(breite, '*');
  }
  return RechtsBuendig(kern, breite);
}

std::string FormatiereZahl(double wert, int code, Status& status) {
  // Cutting to an integer through "%.0f" of the truncated value avoids the
  // overflow of a cast for values beyond the int range.
  double ganz = std::trunc(wert);
  if (ganz == 0.0) ganz = 0.0;  // no "-0"
  switch (code) {
    case kFormat11_2: return Format("%11.2f", wert);
    case kFormat5_2: return Format("%5.2f", wert);
    case kFormat12_2: return Format("%12.2f", wert);
    case kFormat_2: return Format("%.2f", wert);
    case kFormatGanz: return Format("%.0f", ganz);
    case kFormatGanz1: return Format("%1.0f", ganz);
    case kFormatGanz2: return Format("%2.0f", ganz);
    default:
      status.Uebernimm(Meldung::Fehler("Allgemeiner Fehler: Format unbekannt !"));
      return {};
  }
}

Status FormatiereZahl(std::string& text, int code) {
  double wert = std::strtod(text.c_str(), nullptr);
  Status status;
  text = FormatiereZahl(wert, code, status);
  return status;
}

// ---- Account numbers and masks -------------------------------------------

Status PruefeKontoeingabe(std::string& text, bool maske) {
  std::string s = text;
  size_t start = s.find_first_not_of(' ');
  s = start == std::string::npos ? std::string() : s.substr(start);

  bool gueltig = true;
  std::string ergebnis;
  if (!maske) {
    for (char ch : s)
      if (!IstZiffer(ch)) gueltig = false;
    if (s.empty() || s.size() > 5) gueltig = false;
    if (gueltig) {
      int wert = std::atoi(s.c_str());
      if (wert < 1 || wert > 29999) gueltig = false;
    }
    if (gueltig) {
      if (s.size() == 5) {
        ergebnis = s;
      } else {
        ergebnis = " 0000";
        ergebnis.replace(1, s.size(), s);
      }
    }
  } else {
    std::string m;
    bool ausruf = false;
    for (char ch : s) {
      if (ch == '!') {
        m += '?';
        ausruf = true;
        break;
      }
      if (!IstZiffer(ch) && ch != '?') {
        gueltig = false;
        break;
      }
      m += ch;
    }
    if (m.size() > 5) gueltig = false;
    if (gueltig) {
      if ((ausruf && !m.empty() && (m[0] == '1' || m[0] == '2')) || m.size() == 5) {
        ergebnis = "?????";
        ergebnis.replace(0, m.size(), m);
      } else {
        // A shorter mask selects four-digit accounts, which carry a
        // leading blank in their text.
        ergebnis = " ????";
        ergebnis.replace(1, m.size(), m);
      }
    }
  }
  if (!gueltig) return Meldung::Fehler(W("Ungültige Kontonummer bzw. Kontenauswahl !"));
  text = ergebnis;
  return {};
}

int PasstMaske(std::string_view konto, std::string_view maske) {
  for (size_t i = 0; i < konto.size() && i < maske.size(); ++i)
    if (maske[i] != '?' && maske[i] != konto[i]) return 0;
  return 1;
}

void Grossschreibung(std::string& text) {
  for (char& ch : text) {
    unsigned char u = static_cast<unsigned char>(ch);
    if (u >= 'a' && u <= 'z') u = static_cast<unsigned char>(u - 'a' + 'A');
    else if (u == 0xE4) u = 0xC4;
    else if (u == 0xF6) u = 0xD6;
    else if (u == 0xFC) u = 0xDC;
    else if (u == 0x81) u = 0x9A;
    else if (u == 0x84) u = 0x8E;
    else if (u == 0x94) u = 0x99;
    ch = static_cast<char>(u);
  }
}

std::string Grossgeschrieben(std::string_view text) {
  std::string s(text);
  Grossschreibung(s);
  return s;
}

// ---- Booking years, months, periods --------------------------------------

int IstWirtschaftsjahr(int code) {
  int c, b;
  if (!Jahreshaelften(code, c, b)) return 0;
  return (b == c + 1 || (c == 99 && b == 0)) ? 1 : 0;
}

int IstGeschaeftsjahrcode(int code) {
  int c, b;
  if (!Jahreshaelften(code, c, b)) return 0;
  return ((b == c + 1 && c != 20) || (c == 99 && b == 0)) ? 1 : 0;
}

int TeileJahr(int code, bool vierstellig, std::string& start, std::string& ende) {
  int c = 0, b = 0;
  bool haelften = Jahreshaelften(code, c, b);
  if (haelften && IstGeschaeftsjahrcode(code)) {
    if (!vierstellig) {
      start = Format("%02i", c);
      ende = Format("%02i", b);
    } else if (c < 50) {
      start = Format("20%02i", c);
      ende = Format("20%02i", b);
    } else if (c == 99) {
      start = Format("19%02i", c);
      ende = Format("20%02i", b);
    } else {
      start = Format("19%02i", c);
      ende = Format("19%02i", b);
    }
    return 1;
  }
  if (vierstellig) {
    start = ende = Format("%04i", code);
  } else {
    int zwei = haelften ? b : std::abs(code % 100);
    start = ende = Format("%02i", zwei);
  }
  return 0;
}

int NormiereJahr(int& jahr, bool erweitern) {
  if (jahr < 0) {
    jahr = 0;
    return 1;
  }
  if (erweitern) {
    if (jahr < 50) {
      jahr += 2000;
      return 0;
    }
    if (jahr < 100) {
      jahr += 1900;
      return 0;
    }
  }
  if ((jahr >= 2050 || (jahr >= 100 && jahr <= 1950)) && !IstWirtschaftsjahr(jahr)) return 1;
  return 0;
}

int MonatZuPeriode(int monat, int ersterMonat, int /*flag*/) {
  if (ersterMonat < 1 || ersterMonat > 12) return monat;
  if (monat >= ersterMonat && monat <= 12) return monat - ersterMonat + 1;
  if (monat >= 1 && monat < ersterMonat) return monat - ersterMonat + 13;
  return monat;
}

int PeriodeZuMonat(int periode, int ersterMonat, int /*flag*/) {
  if (ersterMonat < 1 || ersterMonat > 12) return periode;
  if (periode > 13 - ersterMonat && periode < 13) return periode + ersterMonat - 13;
  if (periode >= 1 && periode <= 13 - ersterMonat) return periode + ersterMonat - 1;
  return periode;
}

bool IstSchaltjahr(int jahr) {
  if (NormiereJahr(jahr, true)) return false;
  return (jahr - 1952) % 4 == 0;
}

namespace {

int Monatsgrenze(int monat, int februar) {
  switch (monat) {
    case 2: return februar;
    case 4: case 6: case 9: case 11: return 30;
    default: return 31;
  }
}

int PruefeTagMit(int& tag, int& monat, int februar, bool monatNullErlaubt) {
  int altTag = tag, altMonat = monat;
  if (tag <= 0) tag = 1;
  if (monat == 0 && !monatNullErlaubt) monat = 1;
  if (monat > 13) monat = 12;
  if (monat < 0) monat = 1;
  int grenze = Monatsgrenze(monat, februar);
  if (tag > grenze) tag = grenze;
  return (tag != altTag || monat != altMonat) ? 1 : 0;
}

}  // namespace

int PruefeTag(int& tag, int& monat, int jahr, bool monatNullErlaubt) {
  return PruefeTagMit(tag, monat, IstSchaltjahr(jahr) ? 29 : 28, monatNullErlaubt);
}

int PruefeTag(int& tag, int& monat, bool monatNullErlaubt) {
  return PruefeTagMit(tag, monat, 29, monatNullErlaubt);
}

int LetzterTag(int monat, int jahr) {
  return Monatsgrenze(monat, IstSchaltjahr(jahr) ? 29 : 28);
}

// ---- Edit-field input filters --------------------------------------------

Status FilterBetrag(std::string& text, double maximum) {
  std::string r;
  bool fremd = false, trenner = false;
  int dezimalen = 0;
  for (char ch : text) {
    if (ch == ',') ch = '.';
    if (ch == '.') {
      if (trenner) break;  // a second separator ends the input
      trenner = true;
      r += ch;
    } else if (IstZiffer(ch)) {
      if (trenner) {
        if (dezimalen >= 2) continue;
        ++dezimalen;
      }
      r += ch;
    } else if (ch == '+' || ch == '-') {
      if (!trenner) r += ch;
    } else {
      fremd = true;
    }
  }
  text = r;
  if (fremd) return NurNumerisch();
  double wert = std::strtod(text.c_str(), nullptr);
  if (wert > maximum) {
    text = "0.00";
    return Meldung::Fehler(Format("Maximaler Betrag: %.2f", maximum));
  }
  return {};
}

Status FilterGanzzahl(std::string& text, double maximum) {
  std::string ziffern = NurZiffern(text);
  bool entfernt = ziffern.size() != text.size();
  double wert = ziffern.empty() ? 0.0 : std::strtod(ziffern.c_str(), nullptr);
  Status status;
  if (wert > maximum) {
    status.Uebernimm(Meldung::Fehler(Format("Maximaler Betrag: %.0f", maximum)));
    wert = 0.0;
  }
  text = wert == 0.0 ? std::string("0") : Format("%.0f", wert);
  if (entfernt) status.Uebernimm(NurNumerisch());
  return status;
}

int FilterZiffern(std::string& text) {
  std::string z = NurZiffern(text);
  bool sauber = z.size() == text.size();
  text = z;
  return sauber ? 1 : 0;
}

namespace {

// Characters from `ab` (0-based) of the previous value, when it has them.
std::string Teil(const std::string& s, size_t ab, size_t anzahl = std::string::npos) {
  return s.size() > ab ? s.substr(ab, anzahl) : std::string();
}

}  // namespace

int FilterDatum(std::string& text, std::string& vorher) {
  std::string basis = vorher.size() >= 8 ? vorher : std::string("01.01.21");
  std::string eingabe = text;
  if (eingabe.find_first_not_of(' ') == std::string::npos) eingabe = basis;

  std::string teile[3];
  size_t p1 = eingabe.find('.');
  if (p1 == std::string::npos) {
    if (eingabe.size() <= 2) {
      teile[0] = eingabe;
    } else {  // typed without points: ddmmyy
      teile[0] = eingabe.substr(0, 2);
      teile[1] = Teil(eingabe, 2, 2);
      teile[2] = Teil(eingabe, 4);
    }
  } else {
    teile[0] = p1 == 0 ? std::string("01") : eingabe.substr(0, p1);
    size_t p2 = eingabe.find('.', p1 + 1);
    if (p2 == std::string::npos) {
      teile[1] = eingabe.substr(p1 + 1);
    } else {
      teile[1] = eingabe.substr(p1 + 1, p2 - p1 - 1);
      teile[2] = eingabe.substr(p2 + 1);
    }
  }
  if (NurZiffern(teile[1]).empty()) teile[1] = Teil(basis, 3, 2);
  if (NurZiffern(teile[2]).empty()) teile[2] = Teil(basis, 6);

  int tag = Zahlwert(teile[0]), monat = Zahlwert(teile[1]), jahr = Zahlwert(teile[2]);
  int korrigiert = 0;
  if (jahr >= 100) {  // four digits typed: the field holds two
    jahr %= 100;
    korrigiert = 1;
  }
  int jahr4 = jahr;
  NormiereJahr(jahr4, true);
  if (PruefeTag(tag, monat, jahr4)) korrigiert = 1;
  text = Format("%02i.%02i.%02i", tag, monat, jahr);
  vorher = text;
  return korrigiert ? 0 : 1;
}

int ZerlegeDatum(std::string_view text, int& tag, int& monat, int& jahr) {
  std::string s(text);
  size_t p1 = s.find('.');
  if (p1 == std::string::npos) return 0;
  size_t p2 = s.find('.', p1 + 1);
  if (p2 == std::string::npos) return 0;
  std::string t = s.substr(0, p1), m = s.substr(p1 + 1, p2 - p1 - 1), j = s.substr(p2 + 1);
  auto nurZiffern = [](const std::string& x) {
    return !x.empty() && x.size() <= 4 && NurZiffern(x).size() == x.size();
  };
  if (!nurZiffern(t) || !nurZiffern(m) || !nurZiffern(j)) return 0;
  int tg = std::atoi(t.c_str()), mo = std::atoi(m.c_str()), ja = std::atoi(j.c_str());
  if (NormiereJahr(ja, true)) return 0;
  if (mo < 1 || mo > 12) return 0;
  int t2 = tg, m2 = mo;
  if (PruefeTag(t2, m2, ja)) return 0;
  tag = tg;
  monat = mo;
  jahr = ja;
  return 1;
}

}  // namespace kv
