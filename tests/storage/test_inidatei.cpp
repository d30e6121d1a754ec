#include <gtest/gtest.h>
#include <sys/stat.h>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "storage/inidatei.h"
#include "gezeigt.h"
#include "testhilfe.h"

using namespace kv;
using kvtest::LiesDatei;
using kvtest::SchreibeDatei;
using kvtest::TempVerzeichnis;

namespace {

const std::string kKopf = "; Diese Datei darf in keinem Fall manuell bearbeitet werden!\r\n";

// Opens `pfad` with flag 0 and returns the result.
int Oeffne(CIniDatei& ini, const std::string& pfad) {
  ini.SetzeDateiname(pfad);
  return ini.Oeffnen(0, kvtest::Zeigend());
}

}  // namespace

TEST(IniDatei, NeueDateiBekommtKopfzeileUndSektionMitLeerzeile) {
  TempVerzeichnis t;
  CIniDatei ini;
  ASSERT_EQ(Oeffne(ini, t / "neu.ini"), 1);
  EXPECT_EQ(LiesDatei(t / "neu.ini"), kKopf);
  EXPECT_EQ(ini.SchreibeWert("[KALVENTO]", "Daten", "/daten"), 3000);
  EXPECT_EQ(ini.SchreibeWert("[KALVENTO]", "Import", ""), 3000);
  ASSERT_EQ(ini.Speichern(kvtest::Zeigend()), 1);
  ini.Schliessen();
  EXPECT_EQ(LiesDatei(t / "neu.ini"), kKopf + "\r\n[KALVENTO]\r\nDaten=/daten\r\nImport=\r\n");
}

TEST(IniDatei, ErsetzenHaeltAlleAnderenZeilenUndKuerztDieDatei) {
  TempVerzeichnis t;
  const std::string vorher = kKopf + "\r\n[A]\r\nEins=1\r\nZwei=zwei zwei\r\nDrei=3\r\n";
  SchreibeDatei(t / "a.ini", vorher);
  CIniDatei ini;
  ASSERT_EQ(Oeffne(ini, t / "a.ini"), 1);
  ini.SchreibeWert("[A]", "Zwei", "sehr viel laenger als vorher");
  ASSERT_EQ(ini.Speichern(kvtest::Zeigend()), 1);
  EXPECT_EQ(LiesDatei(t / "a.ini"),
            kKopf + "\r\n[A]\r\nEins=1\r\nZwei=sehr viel laenger als vorher\r\nDrei=3\r\n");
  ini.SchreibeWert("[A]", "Zwei", "");
  ASSERT_EQ(ini.Speichern(kvtest::Zeigend()), 1);
  ini.Schliessen();
  // A shorter text must not leave the tail of the old one behind.
  EXPECT_EQ(LiesDatei(t / "a.ini"), kKopf + "\r\n[A]\r\nEins=1\r\nZwei=\r\nDrei=3\r\n");
}

TEST(IniDatei, SucheNachSchluesselUndSektion) {
  TempVerzeichnis t;
  SchreibeDatei(t / "s.ini", kKopf + "\r\n[A]\r\nRand oben=7\r\nX=a\r\n[B]\r\nNurB=b\r\nX=b\r\n");
  CIniDatei ini;
  ASSERT_EQ(Oeffne(ini, t / "s.ini"), 1);
  std::string w = "alt";
  // "Rand" is only the start of "Rand oben": no match.
  EXPECT_EQ(ini.LeseWert("[A]", "Rand", w), 0);
  EXPECT_EQ(w, "");
  // Not bounded by the next section header.
  EXPECT_EQ(ini.LeseWert("[A]", "NurB", w), 1);
  EXPECT_EQ(w, "b");
  EXPECT_EQ(ini.LeseWert("[B]", "X", w), 1);
  EXPECT_EQ(w, "b");
  EXPECT_EQ(ini.LeseWert("[A]", "X", w), 1);
  EXPECT_EQ(w, "a");
  // Case-sensitive.
  EXPECT_EQ(ini.LeseWert("[a]", "X", w), 0);
  EXPECT_EQ(ini.LeseWert("[A]", "x", w), 0);
  // Empty section or key: destination untouched.
  w = "bleibt";
  EXPECT_EQ(ini.LeseWert("", "X", w), 0);
  EXPECT_EQ(ini.LeseWert("[A]", "", w), 0);
  EXPECT_EQ(w, "bleibt");
  EXPECT_EQ(ini.SchreibeWert("", "X", "1"), 0);
  EXPECT_EQ(ini.SchreibeWert("[A]", "", "1"), 0);

  // Writing "Rand" adds a new line at the very end and leaves "Rand oben".
  ini.SchreibeWert("[A]", "Rand", "1");
  EXPECT_EQ(ini.Text(),
            kKopf + "\r\n[A]\r\nRand oben=7\r\nX=a\r\n[B]\r\nNurB=b\r\nX=b\r\nRand=1\r\n");
  // An unknown section is appended with a blank line before it.
  ini.SchreibeWert("[C]", "Y", "c");
  EXPECT_TRUE(ini.Text().ends_with("Rand=1\r\n\r\n[C]\r\nY=c\r\n"));
  ini.Schliessen();
  // The loaded text outlives Schliessen.
  EXPECT_EQ(ini.LeseWert("[C]", "Y", w), 1);
  EXPECT_EQ(w, "c");
}

TEST(IniDatei, LangeWerteWerdenGekuerzt) {
  TempVerzeichnis t;
  SchreibeDatei(t / "l.ini", kKopf + "[A]\r\nLang=" + std::string(300, 'x') + "\r\nKurz=ab\tc \r\n");
  CIniDatei ini;
  ASSERT_EQ(Oeffne(ini, t / "l.ini"), 1);
  std::string w;
  ASSERT_EQ(ini.LeseWert("[A]", "Lang", w), 1);
  EXPECT_EQ(w, std::string(128, 'x'));
  char feld[6];
  ASSERT_EQ(ini.LeseWert("[A]", "Lang", feld), 1);
  EXPECT_STREQ(feld, "xxxxx");
  ASSERT_EQ(ini.LeseWert("[A]", "Kurz", w), 1);
  EXPECT_EQ(w, "ab\tc ");  // nothing trimmed
  EXPECT_EQ(ini.LeseWert("[A]", "Fehlt", feld), 0);
  EXPECT_STREQ(feld, "");
}

TEST(IniDatei, Zeilenenden) {
  TempVerzeichnis t;
  CIniDatei ini;
  // A last line without CR LF: replacing it ends at the end of the text,
  // appending must not glue the new key to it.
  SchreibeDatei(t / "e.ini", kKopf + "[A]\r\nLetzte=alt");
  ASSERT_EQ(Oeffne(ini, t / "e.ini"), 1);
  ini.SchreibeWert("[A]", "Neu", "n");
  EXPECT_EQ(ini.Text(), kKopf + "[A]\r\nLetzte=alt\r\nNeu=n\r\n");
  ASSERT_EQ(ini.Oeffnen(0, kvtest::Zeigend()), 1);
  ini.SchreibeWert("[A]", "Letzte", "neu");
  EXPECT_EQ(ini.Text(), kKopf + "[A]\r\nLetzte=neu\r\n");
  // A value cannot smuggle in a line of its own.
  ini.SchreibeWert("[A]", "Name", "Muster\r\nPasswort=");
  std::string w;
  EXPECT_EQ(ini.LeseWert("[A]", "Passwort", w), 0);
  ASSERT_EQ(ini.LeseWert("[A]", "Name", w), 1);
  EXPECT_EQ(w, "Muster");
  // Nor a password of control characters that scramble into a line end.
  ini.SchreibeWert("[A]", "Passwort", CIniDatei::Entschluessele("q\r\nDaten=neu"));
  EXPECT_EQ(ini.LeseWert("[A]", "Daten", w), 0);
  ASSERT_EQ(ini.LeseWert("[A]", "Passwort", w), 1);
  EXPECT_EQ(w, CIniDatei::Entschluessele("q"));
  // A text ending in a bare LF: a key appended behind it is still found.
  SchreibeDatei(t / "lf.ini", "[A]\nAlt=1\n");
  ASSERT_EQ(Oeffne(ini, t / "lf.ini"), 1);
  ini.SchreibeWert("[A]", "Neu", "n");
  ASSERT_EQ(ini.LeseWert("[A]", "Neu", w), 1);
  EXPECT_EQ(w, "n");
}

TEST(IniDatei, PasswortRundreise) {
  TempVerzeichnis t;
  CIniDatei ini;
  ASSERT_EQ(Oeffne(ini, t / "p.ini"), 1);
  // Characters from the blank up to 0xFF, 32 at a time, in every position.
  for (int start = 0; start < 0xE0; start += 7) {
    std::string pw;
    for (int i = 0; i < 32; ++i) pw += static_cast<char>(0x20 + (start + i * 13) % 0xE0);
    for (const char* schluessel : {"Passwort", "BK-Passwort"}) {
      ini.SchreibeWert("[A]", schluessel, pw);
      std::string w;
      ASSERT_EQ(ini.LeseWert("[A]", schluessel, w), 1);
      EXPECT_EQ(w, pw) << schluessel << " " << start;
    }
  }
  ini.SchreibeWert("[A]", "Passwort", W("Geheim-ä\\ß"));
  ini.SchreibeWert("[A]", "passwort", "klar");  // only the exact key names are scrambled
  ASSERT_EQ(ini.Speichern(kvtest::Zeigend()), 1);
  EXPECT_EQ(LiesDatei(t / "p.ini").find("Geheim"), std::string::npos);
  EXPECT_NE(LiesDatei(t / "p.ini").find("\r\npasswort=klar\r\n"), std::string::npos);
  CIniDatei neu;
  ASSERT_EQ(Oeffne(neu, t / "p.ini"), 1);
  std::string w;
  ASSERT_EQ(neu.LeseWert("[A]", "Passwort", w), 1);
  EXPECT_EQ(w, W("Geheim-ä\\ß"));
  neu.SchreibeWert("[A]", "Passwort", std::string(40, 'a'));
  ASSERT_EQ(neu.LeseWert("[A]", "Passwort", w), 1);
  EXPECT_EQ(w, std::string(32, 'a'));
  // The byte 0xFC stands for a stored backslash.
  EXPECT_EQ(CIniDatei::Entschluessele("\xFC"), CIniDatei::Entschluessele("\\"));
}

TEST(IniDatei, GrosseDateiUeberlebtLesenUndSpeichern) {
  TempVerzeichnis t;
  std::string inhalt = kKopf + "\r\n[FREMD]\r\n";
  for (int i = 0; inhalt.size() < 9000; ++i)
    inhalt += "Schluessel" + std::to_string(i) + "=Wert " + std::to_string(i * 7) + "\r\n";
  inhalt += "[KALVENTO]\r\nDaten=alt\r\nEnde=1\r\n";
  SchreibeDatei(t / "g.ini", inhalt);
  CIniDatei ini;
  ASSERT_EQ(Oeffne(ini, t / "g.ini"), 1);
  ASSERT_EQ(ini.Speichern(kvtest::Zeigend()), 1);
  EXPECT_EQ(LiesDatei(t / "g.ini"), inhalt);
  std::string w;
  ASSERT_EQ(ini.LeseWert("[KALVENTO]", "Ende", w), 1);
  EXPECT_EQ(w, "1");
  // An edit that grows the text keeps everything else.
  ini.SchreibeWert("[KALVENTO]", "Daten", std::string(100, 'd'));
  for (int i = 0; i < 50; ++i) ini.SchreibeWert("[KALVENTO]", "Neu" + std::to_string(i), "n");
  ASSERT_EQ(ini.Speichern(kvtest::Zeigend()), 1);
  ini.Schliessen();
  const std::string nachher = LiesDatei(t / "g.ini");
  const auto pos = inhalt.find("Daten=alt");
  EXPECT_EQ(nachher.substr(0, pos), inhalt.substr(0, pos));
  EXPECT_NE(nachher.find("Daten=" + std::string(100, 'd') + "\r\nEnde=1\r\nNeu0=n\r\n"),
            std::string::npos);
  EXPECT_TRUE(nachher.ends_with("Neu49=n\r\n"));
}

TEST(IniDatei, OeffnenMeldetUnbrauchbareDateien) {
  TempVerzeichnis t;
  kvtest::Aufzeichnung ui;
  CIniDatei ini;
  EXPECT_EQ(Oeffne(ini, ""), 64);
  EXPECT_EQ(Oeffne(ini, "   "), 64);
  EXPECT_TRUE(ui.meldungen.empty());

  // Locked by another holder: probe code, no message, nothing written.
  SchreibeDatei(t / "k.ini", kKopf);
  for (auto teilen : {Datei::Exklusiv, Datei::SchreibenVerweigert}) {
    Datei halter;
    ASSERT_TRUE(halter.Oeffnen(t / "k.ini", Datei::Lesen, teilen));
    EXPECT_EQ(Oeffne(ini, t / "k.ini"), 4);
    EXPECT_FALSE(ini.IstOffen());
    EXPECT_EQ(ini.Text(), "");
  }
  EXPECT_TRUE(ui.meldungen.empty());

  // Read-only file, and a file in a read-only directory.
  ::chmod((t / "k.ini").c_str(), 0444);
  EXPECT_EQ(Oeffne(ini, t / "k.ini"), 4);
  ::chmod((t / "k.ini").c_str(), 0644);
  ASSERT_EQ(::mkdir((t / "ro").c_str(), 0755), 0);
  SchreibeDatei(t / "ro/r.ini", kKopf);
  ::chmod((t / "ro").c_str(), 0555);
  EXPECT_EQ(Oeffne(ini, t / "ro/r.ini"), 4);
  EXPECT_EQ(Oeffne(ini, t / "ro/neu.ini"), 0);
  ::chmod((t / "ro").c_str(), 0755);
  EXPECT_EQ(LiesDatei(t / "ro/r.ini"), kKopf);
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, "Konnte Datei '" + t / "ro/neu.ini" + "' nicht anlegen !");
  EXPECT_EQ(ui.meldungen[0].titel, "FEHLER");
  EXPECT_EQ(ui.meldungen[0].art, 16);

  // A directory that does not exist.
  EXPECT_EQ(Oeffne(ini, t / "fehlt/x.ini"), 0);
  EXPECT_EQ(ui.meldungen.size(), 2u);

  // A path longer than the field would name another file.
  const std::string lang = t.Pfad() + "/" + std::string(300, 'n') + ".ini";
  EXPECT_EQ(Oeffne(ini, lang), 0);
  ASSERT_EQ(ui.meldungen.size(), 3u);
  EXPECT_EQ(ui.meldungen[2].text.rfind(W("Allgemeiner Fehler: \r\nKonnte Datei '"), 0), 0u);
}

TEST(IniDatei, ExklusivGeoeffneteDateiSperrtAndere) {
  TempVerzeichnis t;
  SchreibeDatei(t / "x.ini", kKopf + "[A]\r\nX=1\r\n");
  kvtest::Aufzeichnung ui;
  CIniDatei ini;
  ini.SetzeDateiname(t / "x.ini");
  ASSERT_EQ(ini.Oeffnen(1, kvtest::Zeigend()), 1);
  EXPECT_EQ(PruefeDatei(t / "x.ini"), 4);
  CIniDatei andere;
  EXPECT_EQ(Oeffne(andere, t / "x.ini"), 4);
  // Read only: saving fails and leaves the file alone.
  ini.SchreibeWert("[A]", "X", "2");
  EXPECT_EQ(ini.Speichern(kvtest::Zeigend()), 0);
  ini.Schliessen();
  EXPECT_EQ(LiesDatei(t / "x.ini"), kKopf + "[A]\r\nX=1\r\n");
  EXPECT_EQ(PruefeDatei(t / "x.ini"), 1);
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, "Konnte in Datei '" + t / "x.ini" + "' nicht schreiben !");
}

TEST(IniDatei, FehlerBeimLesenUndSchreibenLassenDieDateiUnveraendert) {
  TempVerzeichnis t;
  const std::string inhalt = kKopf + "[A]\r\nX=1\r\nY=2\r\n";
  SchreibeDatei(t / "f.ini", inhalt);
  ::chmod((t / "f.ini").c_str(), 0600);
  kvtest::Aufzeichnung ui;
  CIniDatei ini;
  ini.SetzeDateiname(t / "f.ini");

  // Not open.
  EXPECT_EQ(ini.Einlesen(kvtest::Zeigend()), 32);
  EXPECT_EQ(ini.Speichern(kvtest::Zeigend()), 32);
  ASSERT_EQ(ui.meldungen.size(), 2u);
  EXPECT_EQ(ui.meldungen[0].text,
            W("Konnte aus Datei '") + t / "f.ini" + W("' nicht lesen!\r\nDatei ist nicht geöffnet !"));
  EXPECT_EQ(ui.meldungen[1].text,
            W("Konnte in Datei '") + t / "f.ini" + W("' nicht schreiben!\r\nDatei ist nicht geöffnet !"));

  // Every failing step of a save leaves the old file as it was.
  ASSERT_EQ(ini.Oeffnen(0, kvtest::Zeigend()), 1);
  ini.SchreibeWert("[A]", "X", "neu");
  for (long n = 1; n <= 3; ++n) {
    Fehlerinjektion::Setze(n, DateiFehler::Voll);
    EXPECT_EQ(ini.Speichern(kvtest::Zeigend()), 0) << n;
    Fehlerinjektion::Aus();
    EXPECT_EQ(LiesDatei(t / "f.ini"), inhalt) << n;
  }
  EXPECT_EQ(ui.meldungen.back().text, "Konnte in Datei '" + t / "f.ini" + "' nicht schreiben !");
  // The edit is still there and can be saved once the disk has room.
  ASSERT_EQ(ini.Speichern(kvtest::Zeigend()), 1);
  EXPECT_EQ(LiesDatei(t / "f.ini"), kKopf + "[A]\r\nX=neu\r\nY=2\r\n");
  struct stat st {};
  ASSERT_EQ(::stat((t / "f.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // A failed read leaves a text that must not replace the file.
  const std::size_t vorher = ui.meldungen.size();
  Fehlerinjektion::Setze(3);  // length, seek, then the read itself
  EXPECT_EQ(ini.Einlesen(kvtest::Zeigend()), 0);
  Fehlerinjektion::Aus();
  ASSERT_EQ(ui.meldungen.size(), vorher + 1);
  EXPECT_EQ(ui.meldungen.back().text, "Konnte aus Datei '" + t / "f.ini" + "' nicht lesen !");
  ini.SchreibeWert("[A]", "Z", "3");
  EXPECT_EQ(ini.Speichern(kvtest::Zeigend()), 0);
  EXPECT_EQ(LiesDatei(t / "f.ini"), kKopf + "[A]\r\nX=neu\r\nY=2\r\n");
  EXPECT_EQ(ini.Einlesen(kvtest::Zeigend()), 1);
  EXPECT_EQ(ini.Text(), kKopf + "[A]\r\nX=neu\r\nY=2\r\n");
}

TEST(IniDatei, Dezimaltext) {
  EXPECT_EQ(Ganzzahl("  -0012abc"), -12);
  EXPECT_EQ(Ganzzahl("x1"), 0);
  EXPECT_EQ(Ganzzahl("99999999999999"), 2147483647);
  EXPECT_DOUBLE_EQ(Dezimalzahl(" +1.95583x"), 1.95583);
  EXPECT_DOUBLE_EQ(Dezimalzahl("1,5"), 1.0);  // no locale: the comma ends the number
  EXPECT_DOUBLE_EQ(Dezimalzahl("--1"), 0.0);
}
