// kvkum-cli kumulieren on hand-made books: the work files must hold exactly
// the bytes computed here from the books, and every circle that is left out
// must be left out with exactly its message.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "basis/datei.h"
#include "gezeigt.h"
#include "kumulationsdaten.h"
#include "storage/inidatei.h"

using namespace kvtest;

namespace {

// Three KR03 circles of 2010.  The reference (2) names account 1200 "Bank";
// circle 1 calls it "Hausbank" and has 4210, which circle 3 has too under
// another name; 10001 only circle 3 has.  Opening balances and the 13th
// period are filled so that they are seen to be summed.
struct Drei {
  std::vector<TKonto> k1 = {
      K(1570, "VORSTEUER", {0, 1900, 0, 380}),
      K(1770, "MEHRWERTSTEUER", {0, 0, -3800}),
      K(1200, "Hausbank", {500000, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 1}),
      K(4210, "Miete", {0, 120000, 120000, 120000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
  };
  std::vector<TKonto> k2 = {
      K(1570, "VORSTEUER", {0, 100, 200}, ' '),
      K(1770, "MEHRWERTSTEUER", {0, -19, -38, -57}),
      K(1200, "Bank", {-250000, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99}, '9'),
      K(8400, "Erlöse 19% USt", {0, -100000, -200000}),
  };
  std::vector<TKonto> k3 = {
      K(1570, "VORSTEUER", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}),
      K(1770, "MEHRWERTSTEUER", {0, -1}),
      K(10001, "Müller GmbH", {7777, 0, 33333}),
      K(4210, "Miete Lager", {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}),
  };
  Programm p;
  Drei() {
    p.Kreis(1, "Eins KG", &k1);
    p.Kreis(2, "Zwei GmbH", &k2);
    p.Kreis(3, "Drei OHG", &k3);
  }
  void ErwarteKumulation(const std::vector<const std::vector<TKonto>*>& kreise) const {
    const auto soll = Kumuliere(kreise);
    EXPECT_EQ(LiesDatei(p.KumSal()), Saldendatei(soll));
    EXPECT_EQ(LiesDatei(p.KumSdx()), Index(soll));
  }
};

TEST(Kumulation, BezugZuerstDannAufsteigend) {
  Drei d;
  auto vorher1 = LiesDatei(d.p.Sal(1)), vorher3 = LiesDatei(d.p.Sdx(3));
  auto l = d.p.Kumuliere(2010, 1, 3, 2);
  EXPECT_EQ(l.rc, 0) << l.fehler;
  EXPECT_EQ(l.fehler, "");
  EXPECT_EQ(l.aus,
            "BK-Nr: 2 (kum.) - Zwei GmbH - 2010\n"
            "BK-Nr.: 002,  Zwei GmbH\n"
            "BK-Nr.: 002,  Zwei GmbH\n"
            "BK-Nr.: 001,  Eins KG\n"
            "BK-Nr.: 003,  Drei OHG\n"
            "3 Buchungskreise kummuliert, 0 ausgelassen\n");
  d.ErwarteKumulation({&d.k2, &d.k1, &d.k3});
  // The reference keeps its name and mark; 4210 comes from circle 1 with a
  // blank mark, 10001 from circle 3.
  auto sal = LiesDatei(d.p.KumSal());
  EXPECT_EQ(sal.substr(2 * 202 + 5, 26), "Bank                     9");
  EXPECT_EQ(sal.substr(4 * 202 + 5, 26), "Miete                     ");
  // The books are read, never written.
  EXPECT_EQ(LiesDatei(d.p.Sal(1)), vorher1);
  EXPECT_EQ(LiesDatei(d.p.Sdx(3)), vorher3);
}

TEST(Kumulation, BezugAusserhalbDesBereichsUndVonGroesserBis) {
  Drei d;
  auto l = d.p.Kumuliere(2010, 1, 2, 3);
  EXPECT_EQ(l.rc, 0);
  EXPECT_NE(l.aus.find("BK-Nr.: 003,  Drei OHG\nBK-Nr.: 001,  Eins KG\nBK-Nr.: 002,  Zwei GmbH\n"),
            std::string::npos) << l.aus;
  d.ErwarteKumulation({&d.k3, &d.k1, &d.k2});

  // From 3 to 1: the reference alone, the work files are plain copies.
  l = d.p.Kumuliere(2010, 3, 1, 2);
  EXPECT_EQ(l.rc, 0);
  EXPECT_EQ(l.fehler, "");
  EXPECT_EQ(LiesDatei(d.p.KumSal()), LiesDatei(d.p.Sal(2)));
  EXPECT_EQ(LiesDatei(d.p.KumSdx()), LiesDatei(d.p.Sdx(2)));
}

TEST(Kumulation, ZweiLaeufeUeberschreibenDieArbeitsdateien) {
  Drei d;
  ASSERT_EQ(d.p.Kumuliere(2010, 1, 3, 3).rc, 0);
  ASSERT_EQ(d.p.Kumuliere(2010, 1, 2, 2).rc, 0);
  d.ErwarteKumulation({&d.k2, &d.k1});
}

TEST(Kumulation, AbweichendeKreiseWerdenMitMeldungAusgelassen) {
  Drei d;
  std::vector<TKonto> k4 = {K(1400, "VORSTEUER", {1}), K(3800, "MEHRWERTSTEUER", {1})};
  std::vector<TKonto> k5 = {K(1570, "VORSTEUER", {1}), K(1770, "MEHRWERTSTEUER", {1})};
  d.p.Kreis(4, "Vier AG", &k4, 4);
  d.p.Kreis(5, "Fünf e.K.", &k5, 3, 2010, 7);
  d.p.Kreis(6, "Sechs GbR", nullptr);  // master file only: no books for 2010
  // 7 has no master file at all; 8 keeps books for 2011 only.
  d.p.Kreis(8, "Acht UG", &k5, 3, 2011);
  auto l = d.p.Kumuliere(2010, 1, 8, 2);
  EXPECT_EQ(l.rc, 0);
  EXPECT_EQ(l.fehler,
            "Fehler: Buchungskreis 4 hat anderen Kontenrahmen als Bezugs-Buchungskreis!\n"
            "Fehler: Buchungskreis 5 hat anderen ersten Monat als Bezugs-Buchungskreis!\n"
            "Fehler: Stammdaten für Buchungskreis Nummer 7 nicht gefunden, in Verwendung oder gesperrt!\n");
  d.ErwarteKumulation({&d.k2, &d.k1, &d.k3});
  EXPECT_EQ(l.aus.find("Vier"), std::string::npos);
  // 4, 5, 6 and 8 are there but left out; 7 is no booking circle.
  EXPECT_TRUE(l.aus.ends_with("\n3 Buchungskreise kummuliert, 4 ausgelassen\n")) << l.aus;
}

// The engine keeps silent where the desktop program's main view shows it;
// the command line says why in one line.
TEST(Kumulation, OhneKumulationSagtWarum) {
  Drei d;
  auto l = d.p.Kumuliere(2011, 1, 3, 2);
  EXPECT_EQ(l.rc, 1);
  EXPECT_EQ(l.fehler, "Fehler: Bezugs-Buchungskreis 2 hat keine Salden für das Buchungsjahr 2011 "
                      "(Daten/BK000002/B2011002.sal fehlt)!\n");
  // The reference is left out, and the circles of the range are not tried.
  EXPECT_EQ(l.aus, "BK-Nr: 2 (kum.) - Zwei GmbH - 2011\nBK-Nr.: 002,  Zwei GmbH\n"
                   "0 Buchungskreise kummuliert, 3 ausgelassen\n");
  EXPECT_FALSE(Existiert(d.p.KumSal()));
  // A reference that is not there, also behind "from" above "to".
  for (const char* bereich : {"--von 3 --bis 1", "--von 1 --bis 3"}) {
    l = d.p.Cli(std::string("kumulieren --jahr 2010 --bezug 9 ") + bereich);
    EXPECT_EQ(l.rc, 1);
    EXPECT_EQ(l.fehler, "Fehler: Stammdaten für Buchungskreis Nummer 9 nicht gefunden, in "
                        "Verwendung oder gesperrt!\n");
  }
  // A chart that has no books to cumulate.
  std::vector<TKonto> k7 = {K(1570, "VORSTEUER", {1}), K(1770, "MEHRWERTSTEUER", {1})};
  d.p.Kreis(7, "Sieben KG", &k7, 5);
  l = d.p.Cli("kumulieren --jahr 2010 --von 1 --bis 3 --bezug 7");
  EXPECT_EQ(l.rc, 1);
  EXPECT_EQ(l.fehler, "Fehler: Bezugs-Buchungskreis 7 hat Kontenrahmen 05; kummuliert werden nur "
                      "die Kontenrahmen 03 und 04!\n");
  EXPECT_FALSE(Existiert(d.p.KumSal()));
}

TEST(Kumulation, FehlenderOderVeralteterIndexWirdNeuAufgebaut) {
  Drei d;
  kv::LoescheDatei(d.p.Sdx(1));
  std::string alt = LiesDatei(d.p.Sdx(3));
  alt.replace(0, 7, "W001002");
  SchreibeDatei(d.p.Sdx(3), alt);
  auto l = d.p.Kumuliere(2010, 1, 3, 2);
  EXPECT_EQ(l.rc, 0) << l.fehler;
  EXPECT_EQ(LiesDatei(d.p.Sdx(1)), Index(d.k1));
  EXPECT_EQ(LiesDatei(d.p.Sdx(3)), Index(d.k3));
  d.ErwarteKumulation({&d.k2, &d.k1, &d.k3});

  // The reference's own index missing: the work index is built from the copy.
  kv::LoescheDatei(d.p.Sdx(2));
  l = d.p.Kumuliere(2010, 1, 3, 2);
  EXPECT_EQ(l.rc, 0) << l.fehler;
  d.ErwarteKumulation({&d.k2, &d.k1, &d.k3});
  EXPECT_FALSE(Existiert(d.p.Sdx(2)));  // the reference's books stay as they were
}

TEST(Kumulation, SaldendateiMitWenigerAlsZweiSaetzenBekommtSteuerkonten) {
  Drei d;
  std::vector<TKonto> k4 = {K(4930, "Bürobedarf", {0, 4711})};
  d.p.Kreis(4, "Vier AG", &k4);
  auto l = d.p.Kumuliere(2010, 2, 4, 2);
  EXPECT_EQ(l.rc, 0) << l.fehler;
  std::vector<TKonto> k4neu = k4;
  k4neu.push_back(K(1570, "VORSTEUER", {}, ' '));
  k4neu.push_back(K(1770, "MEHRWERTSTEUER", {}, ' '));
  EXPECT_EQ(LiesDatei(d.p.Sal(4)), Saldendatei(k4neu));
  EXPECT_EQ(LiesDatei(d.p.Sdx(4)), Index(k4neu));  // rebuilt: it knew one record only
  d.ErwarteKumulation({&d.k2, &d.k3, &k4neu});

  // An empty reference gets the tax accounts in the work copy only.
  std::vector<TKonto> leer;
  d.p.Kreis(9, "Neun KG", &leer);
  l = d.p.Kumuliere(2010, 1, 1, 9);
  EXPECT_EQ(l.rc, 0) << l.fehler;
  std::vector<TKonto> k9 = {K(1570, "VORSTEUER", {}, ' '), K(1770, "MEHRWERTSTEUER", {}, ' ')};
  d.ErwarteKumulation({&k9, &d.k1});
  EXPECT_EQ(LiesDatei(d.p.Sal(9)), "");
}

TEST(Kumulation, GesperrteSaldendateiWirdAusgelassen) {
  Drei d;
  kv::Datei halter;
  ASSERT_TRUE(halter.Oeffnen(d.p.Sal(3), kv::Datei::LesenSchreiben, kv::Datei::SchreibenVerweigert));
  auto l = d.p.Kumuliere(2010, 1, 3, 2);
  EXPECT_EQ(l.rc, 0);
  EXPECT_EQ(l.fehler,
            "FEHLER: Der gewählte Buchungskreis wird schon bearbeitet oder die Dateien sind "
            "schreibgeschützt (z.B. nach Kopieren von einer CD) !\n");
  d.ErwarteKumulation({&d.k2, &d.k1});
}

TEST(Kumulation, SchreibgeschuetztesDatenverzeichnisAendertNichts) {
  Drei d;
  auto vorher = [&] {
    std::string alles;
    for (int n = 1; n <= 3; ++n) alles += LiesDatei(d.p.Sal(n)) + LiesDatei(d.p.Sdx(n));
    return alles;
  }();
  // The data directory alone read-only: the work copy cannot be made.
  ASSERT_EQ(::chmod(d.p.Daten().c_str(), 0555), 0);
  auto l = d.p.Kumuliere(2010, 1, 3, 2);
  EXPECT_EQ(l.rc, 1);
  EXPECT_EQ(l.fehler, "FEHLER: Die Datei Daten/~ksal~.tmp ist schreibgeschützt, oder ihr Verzeichnis ist es !\n");
  // Everything read-only: the reference is reported in use or read-only.
  Shell("chmod -R a-w '" + d.p.Daten() + "'");
  l = d.p.Kumuliere(2010, 1, 3, 2);
  EXPECT_EQ(l.rc, 1);
  EXPECT_NE(l.fehler.find("FEHLER: Der gewählte Buchungskreis wird schon bearbeitet"), std::string::npos)
      << l.fehler;
  std::string nachher;
  for (int n = 1; n <= 3; ++n) nachher += LiesDatei(d.p.Sal(n)) + LiesDatei(d.p.Sdx(n));
  EXPECT_EQ(nachher, vorher);
  EXPECT_FALSE(Existiert(d.p.KumSal()));
}

// The data directory named in another case than on disk is found for the
// work files too; a directory in place of the work file is named as such.
TEST(Kumulation, ArbeitsdateienImVerzeichnisWieAufDerPlatte) {
  Drei d;
  const std::string ini = LiesDatei(d.p.Pfad() + "/kalvento.ini");
  std::string gross = ini;
  gross.replace(gross.find("Daten=Daten"), 11, "Daten=DATEN");
  SchreibeDatei(d.p.Pfad() + "/kalvento.ini", gross);
  auto l = d.p.Kumuliere(2010, 1, 3, 2);
  EXPECT_EQ(l.rc, 0) << l.fehler;
  EXPECT_EQ(l.fehler, "");
  d.ErwarteKumulation({&d.k2, &d.k1, &d.k3});

  Shell("rm -f '" + d.p.KumSal() + "' && mkdir '" + d.p.KumSal() + "'");
  l = d.p.Kumuliere(2010, 1, 3, 2);
  EXPECT_EQ(l.rc, 1);
  EXPECT_EQ(l.fehler,
            "FEHLER: Die Datei Daten/~ksal~.tmp ist keine gewöhnliche Datei (ein Verzeichnis, "
            "ein Gerät, eine Verknüpfung oder ein weiterer Name einer anderen Datei) und wird "
            "nicht verwendet !\n");
}

TEST(Kumulation, SummeJenseitsDesBetragsfeldsBleibtUnveraendert) {
  Programm p;
  std::vector<TKonto> a = {K(1570, "VORSTEUER", {}), K(1770, "MEHRWERTSTEUER", {}),
                           K(1200, "Bank", {99999999900LL, 5}), K(1800, "Privat", {-9999999900LL})};
  std::vector<TKonto> b = {K(1570, "VORSTEUER", {}), K(1770, "MEHRWERTSTEUER", {}),
                           K(1200, "Bank", {100, 5}), K(1800, "Privat", {-100, 7})};
  p.Kreis(1, "A", &a);
  p.Kreis(2, "B", &b);
  auto l = p.Kumuliere(2010, 1, 2, 1);
  EXPECT_EQ(l.rc, 4);  // done, but incomplete
  EXPECT_EQ(l.fehler,
            "FEHLER: Die Summe passt nicht in das Betragsfeld: Konto 1200 aus Buchungskreis 2 wurde nicht addiert !\n"
            "FEHLER: Die Summe passt nicht in das Betragsfeld: Konto 1800 aus Buchungskreis 2 wurde nicht addiert !\n");
  // 999999999.00 + 1.00 and -99999999.00 - 1.00 do not fit: both accounts
  // stay as the reference had them; no field is ever wider than 12.
  std::string sal = LiesDatei(p.KumSal());
  EXPECT_EQ(sal.substr(2 * 202, 202), Satz(a[2]));
  EXPECT_EQ(sal.substr(3 * 202, 202), Satz(a[3]));
}

TEST(Kumulation, WirtschaftsjahrImTitel) {
  Programm p;
  std::vector<TKonto> a = {K(1570, "VORSTEUER", {1}), K(1770, "MEHRWERTSTEUER", {2})};
  p.Kreis(5, "Gärtnerei Grün", &a, 3, 1011, 7);
  auto l = p.Kumuliere(1011, 5, 5, 5);
  EXPECT_EQ(l.rc, 0);
  EXPECT_EQ(l.aus, "BK-Nr: 5 (kum.) - Gärtnerei Grün - 07.10-06.11\n"
                   "BK-Nr.: 005,  Gärtnerei Grün\nBK-Nr.: 005,  Gärtnerei Grün\n"
                   "1 Buchungskreis kummuliert, 0 ausgelassen\n");
}

TEST(Kommandozeile, AuswahlPasswortUndOptionen) {
  Drei d;
  auto l = d.p.Cli("kumulieren --jahr 2010 --von 0 --bis 0 --bezug 0");
  EXPECT_EQ(l.rc, 2);
  EXPECT_EQ(l.fehler, "Fehler: Keine gültige Nummer als Bezugsbuchungskreis!\n");
  l = d.p.Cli("kumulieren --jahr 2010 --von 1000 --bis 0 --bezug 3");
  EXPECT_EQ(l.fehler, "Fehler: Keine gültige Nummer bei 'Von Buchungskreis'!\n");
  l = d.p.Cli("kumulieren --jahr 2010 --von 1 --bis x --bezug 3");
  EXPECT_EQ(l.fehler, "Fehler: Keine gültige Nummer bei 'Bis Buchungskreis'!\n");
  // Numbers are read whole: "3abc" is refused like "abc", not read as 3.
  for (const char* auswahl : {"--jahr 2010 --von 1 --bis 3 --bezug 3abc",
                              "--jahr 2010 --von 1 --bis 3 --bezug ' 3'"}) {
    l = d.p.Cli(std::string("kumulieren ") + auswahl);
    EXPECT_EQ(l.rc, 2) << auswahl;
    EXPECT_EQ(l.fehler, "Fehler: Keine gültige Nummer als Bezugsbuchungskreis!\n") << auswahl;
  }
  l = d.p.Cli("kumulieren --jahr 2010 --von 1x --bis 3 --bezug 2");
  EXPECT_EQ(l.fehler, "Fehler: Keine gültige Nummer bei 'Von Buchungskreis'!\n");
  for (const char* jahr : {"2010xyz", "abc", "''"}) {
    l = d.p.Cli(std::string("kumulieren --von 1 --bis 3 --bezug 2 --jahr ") + jahr);
    EXPECT_EQ(l.rc, 2) << jahr;
    EXPECT_EQ(l.fehler, "Fehler: Keine gültige Jahreszahl bei 'Buchungsjahr'!\n") << jahr;
  }
  EXPECT_FALSE(Existiert(d.p.KumSal()));

  l = d.p.Cli("kumulieren --jahr 2010 --unbekannt 1");
  EXPECT_EQ(l.rc, 2);
  EXPECT_EQ(l.fehler, "kvkum-cli: Unbekannte Option / unknown option: --unbekannt (kvkum-cli --help)\n");
  EXPECT_EQ(d.p.Cli("kumulieren --jahr").rc, 2);
  EXPECT_EQ(d.p.Cli("gibtsnicht --jahr 2010").rc, 2);
  l = d.p.Cli("--help");
  EXPECT_EQ(l.rc, 0);
  for (const char* o : {"--jahr", "--von", "--bis", "--bezug", "--passwort", "-C"})
    EXPECT_NE(l.aus.find(o), std::string::npos) << o;
  // The year text is cut to five characters, so "201000" is year 20100.
  l = d.p.Cli("kumulieren --jahr=201000 --von=1 --bis=3 --bezug=2");
  EXPECT_EQ(l.rc, 1);
  EXPECT_NE(l.aus.find("- 20100\n"), std::string::npos) << l.aus;
  EXPECT_NE(l.fehler.find("Buchungsjahr 20100 (Daten/BK000002/B20100002.sal fehlt)!\n"),
            std::string::npos) << l.fehler;

  // -C: run from elsewhere.
  l = d.p.Cli("-C '" + d.p.Pfad() + "' kumulieren --jahr 2010 --von 1 --bis 3 --bezug 2");
  EXPECT_EQ(l.rc, 0) << l.fehler;
}

TEST(Kommandozeile, Programmpasswort) {
  Drei d;
  // The password goes into the configuration scrambled, as the settings do.
  kv::CIniDatei ini;
  ini.SetzeDateiname(d.p.Pfad() + "/kalvento.ini");
  ASSERT_EQ(ini.Oeffnen(0, kvtest::Zeigend()), 1);
  ini.SchreibeWert("[KALVENTO]", "Passwort", "Geheim123");
  ASSERT_EQ(ini.Speichern(kvtest::Zeigend()), 1);
  ini.Schliessen();
  const std::string falsch = "INFORMATION: Das eingebene Passwort ist leider falsch!\n";
  auto l = d.p.Kumuliere(2010, 1, 3, 2);
  EXPECT_EQ(l.rc, 3);
  EXPECT_EQ(l.fehler, "INFORMATION: Das Programm ist mit einem Passwort geschützt. Bitte geben "
                      "Sie das Passwort mit --passwort an.\n");
  EXPECT_FALSE(Existiert(d.p.KumSal()));
  l = d.p.Cli("kumulieren --jahr 2010 --von 1 --bis 3 --bezug 2 --passwort geheim123");
  EXPECT_EQ(l.rc, 3);
  EXPECT_EQ(l.fehler, falsch);
  l = d.p.Cli("kumulieren --jahr 2010 --von 1 --bis 3 --bezug 2 --passwort '  Geheim123 '");
  EXPECT_EQ(l.rc, 0) << l.fehler;
}

TEST(Kommandozeile, OhneKonfigurationWirdSieAngelegt) {
  TempVerzeichnis t;
  std::vector<TKonto> a = {K(1570, "VORSTEUER", {1}), K(1770, "MEHRWERTSTEUER", {2})};
  // Without "Daten" the program directory is the data directory.
  Shell("mkdir -p '" + t.Pfad() + "/BK000001'");
  SchreibeDatei(t / "BK000001/STAMM001.DAT", Stamm("Solo", 3, 2010, 1));
  SchreibeDatei(t / "BK000001/B2010001.sal", Saldendatei(a));
  SchreibeDatei(t / "BK000001/B2010001.sdx", Index(a));
  // Run from elsewhere with -C: the desktop program writes the defaults
  // silently; a batch run says so, once.
  const std::string lauf = "cd / && '" KV_BINAER "/kvkum-cli' -C '" + t.Pfad() +
                           "' kumulieren --jahr 2010 --von 1 --bis 1 --bezug 1 >/dev/null 2>'" +
                           t.Pfad() + "/.fehler'";
  EXPECT_EQ(Shell(lauf), 0);
  EXPECT_EQ(LiesDatei(t / ".fehler"), "INFORMATION: kalvento.ini mit Vorgabewerten angelegt\n");
  EXPECT_EQ(Shell(lauf), 0);
  EXPECT_EQ(LiesDatei(t / ".fehler"), "");
  std::string ini = LiesDatei(t / "kalvento.ini");
  EXPECT_EQ(ini.rfind("; Diese Datei darf in keinem Fall manuell bearbeitet werden!\r\n\r\n[KALVENTO]\r\n"
                      "Version=W001002\r\nDaten=\r\n", 0), 0u);
  EXPECT_EQ(LiesDatei(t / "~ksal~.tmp"), Saldendatei(a));
}

}  // namespace

// ---- generated books ---------------------------------------------------------

#include "../../tools/generator.h"

namespace {

TEST(KumulationGeneriert, GemischteBuchungskreise) {
  Programm p;
  std::vector<int> dabei;
  for (int n = 1; n <= 14; ++n) {
    kvgen::Kreis k;
    k.nummer = n;
    k.name = "Kreis " + std::to_string(n);
    k.konten = 150;
    if (n % 5 == 0) k.kontenrahmen = 4;
    if (n % 7 == 0) k.ersterMonat = 7;
    if (n % 11 == 0) k.mitSalden = false;
    if (n % 6 == 0) k.mitIndex = false;
    ASSERT_TRUE(kvgen::ErzeugeKreis(p.Daten(), k, 7));
    if (k.kontenrahmen == 3 && k.ersterMonat == 1 && k.mitSalden && n != 2) dabei.push_back(n);
  }
  auto l = p.Kumuliere(2010, 1, 14, 2);
  EXPECT_EQ(l.rc, 0) << l.fehler;
  std::vector<std::vector<TKonto>> konten;
  konten.push_back(LiesKonten(p.Sal(2)));
  for (int n : dabei) konten.push_back(LiesKonten(p.Sal(n)));
  std::vector<const std::vector<TKonto>*> zeiger;
  for (const auto& k : konten) zeiger.push_back(&k);
  const auto soll = Kumuliere(zeiger);
  // Names are compared as the file holds them: padded to 25.
  std::string ist = LiesDatei(p.KumSal());
  ASSERT_EQ(ist.size(), soll.size() * 202);
  EXPECT_TRUE(ist == Saldendatei(soll));
  // Circles 5 and 10 (KR04) and 7 and 14 (July) are reported; 11 is silent.
  EXPECT_NE(l.fehler.find("Buchungskreis 5 hat anderen Kontenrahmen"), std::string::npos);
  EXPECT_NE(l.fehler.find("Buchungskreis 14 hat anderen ersten Monat"), std::string::npos);
  EXPECT_EQ(l.fehler.find(" 11 "), std::string::npos);
  EXPECT_TRUE(Existiert(p.Sdx(6)));  // rebuilt
  // The plain way for diagnosis: the same output, messages and work files.
  const std::string sdx = LiesDatei(p.KumSdx());
  auto e = p.Cli("kumulieren --jahr 2010 --von 1 --bis 14 --bezug 2 --einzeln");
  EXPECT_EQ(e.rc, l.rc);
  EXPECT_EQ(e.aus, l.aus);
  EXPECT_EQ(e.fehler, l.fehler);
  EXPECT_TRUE(LiesDatei(p.KumSal()) == ist);
  EXPECT_TRUE(LiesDatei(p.KumSdx()) == sdx);
}

}  // namespace

// ---- files that are no master file or no configuration ------------------------

namespace {

std::string Zeilenenden(std::string text, const std::string& durch) {
  for (size_t p = 0; (p = text.find("\r\n", p)) != std::string::npos; p += durch.size())
    text.replace(p, 2, durch);
  return text;
}

std::string Binaer() {
  std::string s;
  for (int i = 0; i < 700; ++i) s += static_cast<char>((i * 97 + 13) % 256);
  return s;
}

// Whatever role such a master file has in a run, the circle is left out
// with its message and the file keeps every byte: a failed run used to
// complete it into a circle "Name" of chart 03 that the next run took.
TEST(KaputteStammdatei, WirdAusgelassenUndNieBeschrieben) {
  const std::string stamm = Stamm("Drei OHG", 3, 2010, 1);
  const std::pair<const char*, std::string> arten[] = {
      {"LF", Zeilenenden(stamm, "\n")},
      {"CR", Zeilenenden(stamm, "\r")},
      {"binaer", Binaer()},
      {"leer", ""},
  };
  for (const auto& [art, text] : arten) {
    SCOPED_TRACE(art);
    Drei d;
    const std::string pfad = d.p.Bk(3) + "/STAMM003.DAT";
    SchreibeDatei(pfad, text);

    auto l = d.p.Kumuliere(2010, 1, 3, 2);
    EXPECT_EQ(l.rc, 0);
    EXPECT_EQ(l.fehler,
              "Fehler: Stammdaten für Buchungskreis Nummer 3 nicht gefunden, in Verwendung oder "
              "gesperrt!\n");
    d.ErwarteKumulation({&d.k2, &d.k1});

    for (int lauf = 0; lauf < 2; ++lauf) {  // the second run finds it as the first did
      l = d.p.Kumuliere(2010, 1, 3, 3);
      EXPECT_EQ(l.rc, 1);
      EXPECT_EQ(l.fehler, "Fehler: Unerwarteter Fehler beim Öffnen der Datei: "
                          "Daten/BK000003/STAMM003.DAT\n");
    }

    l = d.p.Cli("uebersicht --jahr 2010 --von 1 --bis 2 --bezug 2");
    EXPECT_EQ(l.rc, 0) << l.fehler;
    const std::string seite = LiesDatei(d.p.Bk(2) + "/~print~.tmp");
    EXPECT_NE(seite.find("\r\n  2  Zwei GmbH"), std::string::npos);
    EXPECT_EQ(seite.find("\r\n  3  "), std::string::npos);

    EXPECT_EQ(LiesDatei(pfad), text);
  }
}

TEST(KaputteKonfiguration, WirdGemeldetUndNichtUmgeschrieben) {
  const std::string meldung =
      "FEHLER: Die Datei 'kalvento.ini' ist keine lesbare Konfigurationsdatei (leer, binär oder "
      "ohne CR LF-Zeilenenden) und bleibt unverändert. Es gelten die Standardeinstellungen !\n";
  for (const std::string& text : {std::string(), Binaer(), std::string("[KALVENTO]\nDaten=Daten\n")}) {
    SCOPED_TRACE(text.substr(0, 12));
    Drei d;
    SchreibeDatei(d.p.Pfad() + "/kalvento.ini", text);
    auto l = d.p.Kumuliere(2010, 1, 3, 2);
    EXPECT_EQ(l.rc, 1);
    // With the defaults the program directory is the data directory: the
    // reference is not found there, and the run says so.
    EXPECT_EQ(l.fehler, meldung + "Fehler: Stammdaten für Buchungskreis Nummer 2 nicht gefunden, in "
                                  "Verwendung oder gesperrt!\n");
    EXPECT_EQ(LiesDatei(d.p.Pfad() + "/kalvento.ini"), text);
  }

  // Read-only, but readable: it is read, and the run goes as usual.
  Drei d;
  const std::string ini = d.p.Pfad() + "/kalvento.ini";
  const std::string inhalt = LiesDatei(ini);
  ASSERT_EQ(::chmod(ini.c_str(), 0444), 0);
  auto l = d.p.Kumuliere(2010, 1, 3, 2);
  EXPECT_EQ(l.rc, 0);
  EXPECT_EQ(l.fehler, "");
  d.ErwarteKumulation({&d.k2, &d.k1, &d.k3});
  EXPECT_EQ(LiesDatei(ini), inhalt);
}

}  // namespace
