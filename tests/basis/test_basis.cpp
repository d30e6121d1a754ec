#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>

#include "basis/datei.h"
#include "basis/oberflaeche.h"
#include "basis/stringtabelle.h"
#include "basis/text1252.h"
#include "basis/zahlen.h"
#include "testhilfe.h"

using namespace kv;
using kvtest::TempVerzeichnis;

TEST(Text1252, UmlauteWerdenEinzelneBytes) {
  EXPECT_EQ(W("Auflösung"), "Aufl\xF6sung");
  EXPECT_EQ(W("Änderung €"), "\xC4nderung \x80");
  EXPECT_EQ(Utf8("\xC4\xD6\xDC\xE4\xF6\xFC\xDF"), "ÄÖÜäöüß");
  EXPECT_EQ(Utf8("\x80\x96"), "€–");
  // Every byte survives the round trip.
  std::string alle;
  for (int b = 1; b < 256; ++b) alle += static_cast<char>(b);
  EXPECT_EQ(W(Utf8(alle)), alle);
  EXPECT_EQ(W("日本"), "??");
}

TEST(Meldung, UeberschriftFolgtDerArt) {
  EXPECT_EQ(MeldungsUeberschrift(16), "FEHLER");
  EXPECT_EQ(MeldungsUeberschrift(48), "ACHTUNG");
  EXPECT_EQ(MeldungsUeberschrift(64), "INFORMATION");
  EXPECT_EQ(MeldungsUeberschrift(0), "FEHLER");
}

TEST(Meldung, NummernKommenAusDerStringtabelle) {
  kvtest::Aufzeichnung ui;
  ZeigeMeldung(34429, 58003, 64);
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].art, 64);
  EXPECT_EQ(ui.meldungen[0].titel, "ACHTUNG");
  EXPECT_EQ(ui.meldungen[0].text,
            W("Die geänderten Bildschirmeinstellungen werden erst beim nächsten Programmstart aktiviert !"));
  ZeigeStandardMeldung("x");
  EXPECT_EQ(ui.meldungen[1].titel, "Fehler");
  EXPECT_EQ(Ressource(12345), "");
}

TEST(Datei, SchreibenLesenLaenge) {
  TempVerzeichnis t;
  Datei d;
  ASSERT_TRUE(d.Oeffnen(t / "a.bin", Datei::Anlegen));
  ASSERT_TRUE(d.Schreibe("hallo welt", 10));
  EXPECT_EQ(d.Laenge(), 10);
  char puf[5];
  ASSERT_TRUE(d.LiesBei(6, puf, 4));
  EXPECT_EQ(std::string(puf, 4), "welt");
  EXPECT_FALSE(d.LiesBei(8, puf, 4));  // short read is a failure
  ASSERT_TRUE(d.SetzeLaenge(5));
  EXPECT_EQ(d.Laenge(), 5);
}

TEST(Datei, GrossKleinschreibungWirdAufgeloest) {
  TempVerzeichnis t;
  ASSERT_EQ(::mkdir((t / "BK000001").c_str(), 0777), 0);
  kvtest::SchreibeDatei(t / "BK000001/stamm001.dat", "x");
  EXPECT_EQ(LoesePfadAuf(t / "bk000001/STAMM001.DAT"), t / "BK000001/stamm001.dat");
  EXPECT_EQ(PruefeDatei(t / "BK000001/STAMM001.DAT"), 1);
  EXPECT_EQ(PruefeDatei(t / "BK000001/STAMM002.DAT"), 2);
  EXPECT_EQ(LoesePfadAuf(t / "nix/da"), t / "nix/da");
  // A new file goes into the directory that is there, whatever its case.
  EXPECT_EQ(LoesePfadAuf(t / "bk000001/~ksal~.tmp"), t / "BK000001/~ksal~.tmp");
  Datei neu;
  ASSERT_TRUE(neu.Oeffnen(t / "bk000001/Neu.txt", Datei::Anlegen));
  EXPECT_TRUE(kvtest::Existiert(t / "BK000001/Neu.txt"));
}

// Only regular files are opened; what is created or truncated, and the
// work files whenever written, never through a link.
TEST(Datei, NurGewoehnlicheDateienUndNieDurchVerweiseGeschrieben) {
  TempVerzeichnis t;
  kvtest::SchreibeDatei(t / "buch.sal", "Buch");
  ASSERT_EQ(::mkfifo((t / "rohr").c_str(), 0644), 0);
  ASSERT_EQ(::symlink((t / "buch.sal").c_str(), (t / "sym").c_str()), 0);
  ASSERT_EQ(::symlink((t / "buch.sal").c_str(), (t / "~KSAL~.TMP").c_str()), 0);
  ASSERT_EQ(::link((t / "buch.sal").c_str(), (t / "~print~.tmp").c_str()), 0);
  ASSERT_EQ(::symlink((t / "fehlt").c_str(), (t / "leer").c_str()), 0);
  ASSERT_EQ(::mkdir((t / "verz").c_str(), 0777), 0);
  struct Fall {
    std::string name;
    Datei::Modus modus;
    bool geht;
  };
  const Fall faelle[] = {
      {"rohr", Datei::Lesen, false},          {"rohr", Datei::LesenSchreiben, false},
      {"verz", Datei::Lesen, false},          {"sym", Datei::Lesen, true},
      {"sym", Datei::LesenSchreiben, true},   {"sym", Datei::Anlegen, false},
      {"leer", Datei::Anlegen, false},        {"~KSAL~.TMP", Datei::Lesen, true},
      {"~KSAL~.TMP", Datei::LesenSchreiben, false},
      {"~print~.tmp", Datei::LesenSchreiben, false},
      {"buch.sal", Datei::Anlegen, false},  // a second name of it exists
  };
  for (const Fall& f : faelle) {
    Datei d;
    EXPECT_EQ(d.Oeffnen(t / f.name, f.modus), f.geht) << f.name << " " << f.modus;
    if (!f.geht) {
      EXPECT_EQ(d.Fehler(), DateiFehler::KeineDatei) << f.name;
    }
  }
  EXPECT_EQ(kvtest::LiesDatei(t / "buch.sal"), "Buch");
  EXPECT_FALSE(kvtest::Existiert(t / "fehlt"));
  EXPECT_EQ(PruefeDatei(t / "rohr"), 0);
}

TEST(Datei, ProbeMeldetGesperrtUndSchreibgeschuetzt) {
  TempVerzeichnis t;
  kvtest::SchreibeDatei(t / "a", "x");
  {
    Datei halter;
    ASSERT_TRUE(halter.Oeffnen(t / "a", Datei::Lesen, Datei::SchreibenVerweigert));
    EXPECT_EQ(PruefeDatei(t / "a"), 4);
    Datei leser;  // readers are still welcome
    EXPECT_TRUE(leser.Oeffnen(t / "a", Datei::Lesen));
    Datei zweiter;  // but not a second one denying writers while... it only reads
    EXPECT_TRUE(zweiter.Oeffnen(t / "a", Datei::Lesen, Datei::SchreibenVerweigert));
  }
  EXPECT_EQ(PruefeDatei(t / "a"), 1);
  {
    Datei schreiber;
    ASSERT_TRUE(schreiber.Oeffnen(t / "a", Datei::LesenSchreiben));
    Datei verweigernd;
    EXPECT_FALSE(verweigernd.Oeffnen(t / "a", Datei::Lesen, Datei::SchreibenVerweigert));
    EXPECT_EQ(verweigernd.Fehler(), DateiFehler::Teilung);
    Datei exklusiv;
    EXPECT_FALSE(exklusiv.Oeffnen(t / "a", Datei::Lesen, Datei::Exklusiv));
  }
  ::chmod((t / "a").c_str(), 0444);
  EXPECT_EQ(PruefeDatei(t / "a"), 4);
  ::chmod((t / "a").c_str(), 0644);
  ::chmod(t.Pfad().c_str(), 0555);
  EXPECT_EQ(PruefeDatei(t / "a"), 4);
  Datei neu;
  EXPECT_FALSE(neu.Oeffnen(t / "b", Datei::Anlegen));
  ::chmod(t.Pfad().c_str(), 0755);
}

TEST(Datei, SichereSpeicherungLaesstAltesBeiFehler) {
  TempVerzeichnis t;
  kvtest::SchreibeDatei(t / "k.ini", "alt");
  ::chmod((t / "k.ini").c_str(), 0640);
  EXPECT_EQ(SpeichereSicher(t / "k.ini", "neu und länger"), DateiFehler::Keiner);
  EXPECT_EQ(kvtest::LiesDatei(t / "k.ini"), "neu und länger");
  struct stat st {};
  ::stat((t / "k.ini").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  for (long n = 1; n <= 2; ++n) {
    Fehlerinjektion::Setze(n, DateiFehler::Voll);
    EXPECT_NE(SpeichereSicher(t / "k.ini", "kaputt"), DateiFehler::Keiner);
    Fehlerinjektion::Aus();
    EXPECT_EQ(kvtest::LiesDatei(t / "k.ini"), "neu und länger");
  }
  ::chmod((t / "k.ini").c_str(), 0444);
  EXPECT_EQ(SpeichereSicher(t / "k.ini", "x"), DateiFehler::Zugriff);
  EXPECT_EQ(kvtest::LiesDatei(t / "k.ini"), "neu und länger");
  // Only the target is left behind, no temporary files.
  EXPECT_EQ(kvtest::Shell("test $(ls -A " + t.Pfad() + " | wc -l) -eq 1"), 0);
}

TEST(Datei, FehlerinjektionTrifftDenNtenAufruf) {
  TempVerzeichnis t;
  Fehlerinjektion::Setze(3, DateiFehler::Voll);
  Datei d;
  EXPECT_TRUE(d.Oeffnen(t / "x", Datei::Anlegen));  // 1
  EXPECT_TRUE(d.Schreibe("a", 1));                   // 2
  EXPECT_FALSE(d.Schreibe("b", 1));                  // 3
  EXPECT_EQ(d.Fehler(), DateiFehler::Voll);
  EXPECT_TRUE(Fehlerinjektion::Ausgeloest());
  EXPECT_TRUE(d.Schreibe("c", 1));
  Fehlerinjektion::Aus();
}

// The rules the integer readers of the program pass (see zahlen.h); each row
// tells one of them apart from the others.
TEST(Zahlen, GanzzahlwertJeRegel) {
  const Ganzzahlregel konto{Leerraum::C, -INT_MAX, INT_MAX};
  const Ganzzahlregel ini{Leerraum::C, INT_MIN, INT_MAX};
  const Ganzzahlregel auswahl{Leerraum::BlankTab, INT_MIN, INT_MAX};
  const Ganzzahlregel ziffern{Leerraum::Keiner, 0, 999999};
  const Ganzzahlregel monat{Leerraum::Keiner, 0, 999999, 6};
  struct Fall {
    const char* text;
    Ganzzahlregel regel;
    int wert;
  };
  const Fall faelle[] = {
      {" 12x3", konto, 12},
      {"", ini, 0},
      {"+", ini, 0},
      {"--1", ini, 0},
      {" +0042", ini, 42},
      {"\n\v\f\r 5", ini, 5},
      {"\n5", auswahl, 0},
      {" \t-7", auswahl, -7},
      {" 5", ziffern, 0},
      {"2147483647", ini, INT_MAX},
      {"2147483648", konto, INT_MAX},
      {"-2147483648", ini, INT_MIN},
      {"-2147483648", konto, -INT_MAX},
      {"-99999999999999999999", konto, -INT_MAX},
      {"-99999999999999999999", auswahl, INT_MIN},
      {"99999999999999999999", auswahl, INT_MAX},
      {"999999", ziffern, 999999},
      {"1234567", ziffern, 999999},
      {"0000001", ziffern, 1},
      {"000012", monat, 12},
      {"0000001", monat, 999999},
  };
  for (const Fall& f : faelle)
    EXPECT_EQ(Ganzzahlwert(f.text, f.regel), f.wert)
        << '"' << f.text << "\" " << static_cast<int>(f.regel.leerraum) << ' ' << f.regel.unten;
}

TEST(Zahlen, LiesDezimalWieStrtod) {
  double w = 1;
  EXPECT_TRUE(LiesDezimal("  -12.5e1x", w));
  EXPECT_EQ(w, -125.0);
  EXPECT_TRUE(LiesDezimal("\t+.5", w));
  EXPECT_EQ(w, 0.5);
  // No number: 0, with the sign of a '-' that came before; a second sign
  // is no number at all.
  EXPECT_FALSE(LiesDezimal("-x", w));
  EXPECT_EQ(w, 0.0);
  EXPECT_TRUE(std::signbit(w));
  EXPECT_FALSE(LiesDezimal("--1", w));
  EXPECT_FALSE(std::signbit(w));
  EXPECT_FALSE(LiesDezimal("1e400", w));
  EXPECT_EQ(w, 0.0);
  EXPECT_FALSE(LiesDezimal("", w));
  EXPECT_EQ(w, 0.0);
  // Read, but no finite number: the callers decide.
  EXPECT_TRUE(LiesDezimal("inf", w));
  EXPECT_TRUE(std::isinf(w));
  // The decimal point whatever the locale; a comma ends the number.
  EXPECT_TRUE(LiesDezimal("1,5", w));
  EXPECT_EQ(w, 1.0);
}
