// Hand-made books for the end-to-end tests of the cumulation, and the
// expected work files computed independently of the program: sums in whole
// cents, records and index bytes laid out here from the file formats.
#pragma once
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "basis/text1252.h"
#include "testhilfe.h"

namespace kvtest {

struct TKonto {
  int nr = 0;
  std::string name;  // Windows-1252
  char kz = '1';
  long long cent[14] = {};
};

inline TKonto K(int nr, const char* utf8, std::initializer_list<long long> cent, char kz = '1') {
  TKonto k;
  k.nr = nr;
  k.name = kv::W(utf8);
  k.kz = kz;
  int i = 0;
  for (long long c : cent) k.cent[i++] = c;
  return k;
}

inline std::string Betrag(long long cent) {
  char b[32];
  const long long a = cent < 0 ? -cent : cent;
  std::snprintf(b, sizeof b, "%s%lld.%02lld", cent < 0 ? "-" : "", a / 100, a % 100);
  std::string s = b;
  return std::string(12 - std::min<size_t>(12, s.size()), ' ') + s;
}

inline std::string Satz(const TKonto& k) {
  char kopf[64];
  std::snprintf(kopf, sizeof kopf, "%5d", k.nr);
  std::string s = kopf;
  std::string name = k.name.substr(0, 25);
  s += name + std::string(25 - name.size(), ' ');
  s += k.kz;
  for (long long c : k.cent) s += Betrag(c);
  s += "*\r\n";
  return s;
}

inline std::string Saldendatei(const std::vector<TKonto>& konten) {
  std::string s;
  for (const auto& k : konten) s += Satz(k);
  return s;
}

inline std::string Schluessel(const std::string& name) {
  std::string k = name.substr(0, 12);
  for (char& c : k) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') c = static_cast<char>(u - 32);
    else if (u == 0xE4 || u == 0xF6 || u == 0xFC) c = static_cast<char>(u - 32);
  }
  return k + std::string(12 - k.size(), ' ');
}

inline void Int32(std::string& s, int v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((static_cast<unsigned>(v) >> (8 * i)) & 0xFF);
}

// Index of the records in insertion order (record number = position): both
// arrays sorted, a new entry in front of an equal one, capacity 64 doubled
// whenever an insertion finds count >= capacity - 3.
inline std::string Index(const std::vector<TKonto>& konten) {
  struct E { int nr; std::string key; int satz; int folge; };
  std::vector<E> e;
  int kap = 64;
  for (size_t i = 0; i < konten.size(); ++i) {
    if (konten[i].nr <= 0) continue;
    if (static_cast<int>(e.size()) >= kap - 3) kap *= 2;
    e.push_back({konten[i].nr, Schluessel(konten[i].name), static_cast<int>(i), static_cast<int>(i)});
  }
  auto nummern = e, namen = e;
  std::sort(nummern.begin(), nummern.end(), [](const E& a, const E& b) {
    return a.nr != b.nr ? a.nr < b.nr : a.folge > b.folge;
  });
  std::sort(namen.begin(), namen.end(), [](const E& a, const E& b) {
    int c = std::memcmp(a.key.data(), b.key.data(), 12);
    return c != 0 ? c < 0 : a.folge > b.folge;
  });
  std::string s("W001001\0", 8);
  Int32(s, static_cast<int>(e.size()));
  Int32(s, kap);
  s += std::string(8, '\0');
  for (int i = 0; i < kap; ++i) {
    if (i < static_cast<int>(nummern.size())) { Int32(s, nummern[i].nr); Int32(s, nummern[i].satz); }
    else s += std::string(8, '\0');
  }
  for (int i = 0; i < kap; ++i) {
    if (i < static_cast<int>(namen.size())) { s += namen[i].key; Int32(s, namen[i].satz); }
    else s += std::string(16, '\0');
  }
  return s;
}

// The cumulation as the books define it: the reference's records in their
// order, every added record summed into the account of the same number or
// appended with its own name and a blank mark.
inline std::vector<TKonto> Kumuliere(const std::vector<const std::vector<TKonto>*>& kreise) {
  std::vector<TKonto> r = *kreise.at(0);
  for (size_t k = 1; k < kreise.size(); ++k) {
    for (const TKonto& q : *kreise[k]) {
      auto it = std::find_if(r.begin(), r.end(), [&](const TKonto& t) { return t.nr == q.nr; });
      if (it == r.end()) {
        TKonto neu = q;
        neu.kz = ' ';
        for (long long& c : neu.cent) c = 0;
        r.push_back(neu);
        it = r.end() - 1;
      }
      for (int j = 0; j < 14; ++j) it->cent[j] += q.cent[j];
    }
  }
  return r;
}

// Reads a balances file written by the generator back into accounts, with
// its own parser (whole cents from the "%12.2f" texts).
inline std::vector<TKonto> LiesKonten(const std::string& pfad) {
  std::string s = LiesDatei(pfad);
  std::vector<TKonto> r;
  for (size_t p = 0; p + 202 <= s.size(); p += 202) {
    TKonto k;
    k.nr = std::stoi(s.substr(p, 5));
    k.name = s.substr(p + 5, 25);
    while (!k.name.empty() && k.name.back() == ' ') k.name.pop_back();
    k.kz = s[p + 30];
    for (int j = 0; j < 14; ++j) {
      std::string f = s.substr(p + 31 + 12 * j, 12);
      bool neg = f.find('-') != std::string::npos;
      long long c = 0;
      for (char ch : f)
        if (ch >= '0' && ch <= '9') c = c * 10 + (ch - '0');
      k.cent[j] = neg ? -c : c;
    }
    r.push_back(k);
  }
  return r;
}

inline std::string Stamm(const std::string& nameUtf8, int kr, int jahr, int monat) {
  char t[512];
  std::snprintf(t, sizeof t,
                "; Diese Datei darf in keinem Fall manuell bearbeitet werden!\r\n\r\n"
                "[BUCHUNGSKREIS]\r\nVersion=W001001\r\nName=%s\r\nBK-Passwort=\r\n"
                "Kontenrahmen=%02d\r\nJahr=%4d\r\n1.Monat=%02d\r\nMwSt=J\r\n",
                kv::W(nameUtf8).c_str(), kr, jahr, monat);
  std::string s = t;
  s += kv::W("EÜ-Rechnung=J\r\nWährung1=EUR\r\nWährung2=\r\nWährungsfaktor=\r\n");
  s += "Auto-Beleg=000000\r\n";
  for (const char* k : {"ElsterStNr", "ElsterFaNr", "ElsterName", "ElsterStrasse", "ElsterPlz",
                        "ElsterOrt", "ElsterTelefon", "ElsterEmail", "DatevStbNr", "DatevMandantNr",
                        "DatevDFV", "DatevPasswort", "DatevDatenTrNr", "DatevAbrechNr", "DatevVon",
                        "DatevBis", "DatevWaehrung", "DatevExpPfad"})
    s += std::string(k) + "=\r\n";
  return s;
}

// A program directory P with "kalvento.ini" (Daten=Daten) and P/Daten.
class Programm {
 public:
  Programm() {
    ::mkdir(Daten().c_str(), 0777);
    std::string ini = "; Diese Datei darf in keinem Fall manuell bearbeitet werden!\r\n\r\n"
                      "[KALVENTO]\r\nVersion=W001002\r\nDaten=Daten\r\nZeilen pro Seite=68\r\n"
                      "Rand oben=0\r\n13.Monat=J\r\n";
    SchreibeDatei(t_ / "kalvento.ini", ini);
  }
  std::string Pfad() const { return t_.Pfad(); }
  std::string Daten() const { return t_ / "Daten"; }
  std::string Bk(int n) const {
    char b[32];
    std::snprintf(b, sizeof b, "/BK%06d", n);
    return Daten() + b;
  }
  std::string Sal(int n, int kr = 3, int jahr = 2010) const {
    char b[64];
    std::snprintf(b, sizeof b, "/%c%04d%03d.sal", kr == 4 ? 'A' : 'B', jahr, n);
    return Bk(n) + b;
  }
  std::string Sdx(int n, int kr = 3, int jahr = 2010) const {
    std::string s = Sal(n, kr, jahr);
    return s.substr(0, s.size() - 3) + "sdx";
  }
  std::string KumSal() const { return Daten() + "/~ksal~.tmp"; }
  std::string KumSdx() const { return Daten() + "/~ksdx~.tmp"; }

  // A circle with master file, balances file and index (unless told not).
  void Kreis(int n, const std::string& name, const std::vector<TKonto>* konten, int kr = 3,
             int jahr = 2010, int monat = 1, bool mitIndex = true) {
    ::mkdir(Bk(n).c_str(), 0777);
    char st[32];
    std::snprintf(st, sizeof st, "/STAMM%03d.DAT", n);
    SchreibeDatei(Bk(n) + st, Stamm(name, kr, jahr, monat));
    if (!konten) return;
    SchreibeDatei(Sal(n, kr, jahr), Saldendatei(*konten));
    if (mitIndex) SchreibeDatei(Sdx(n, kr, jahr), Index(*konten));
  }

  struct Lauf {
    int rc = -1;
    std::string aus, fehler;  // UTF-8
  };
  Lauf Cli(const std::string& argumente) const {
    Lauf l;
    l.rc = Shell("cd '" + Pfad() + "' && '" KV_BINAER "/kvkum-cli' " + argumente + " >'" +
                 Pfad() + "/.aus' 2>'" + Pfad() + "/.fehler'");
    l.aus = LiesDatei(Pfad() + "/.aus");
    l.fehler = LiesDatei(Pfad() + "/.fehler");
    return l;
  }
  Lauf Kumuliere(int jahr, int von, int bis, int bezug) const {
    char a[128];
    std::snprintf(a, sizeof a, "kumulieren --jahr %d --von %d --bis %d --bezug %d", jahr, von, bis, bezug);
    return Cli(a);
  }

 private:
  TempVerzeichnis t_;
};

}  // namespace kvtest
