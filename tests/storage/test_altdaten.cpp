#include "storage/altdaten.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <unistd.h>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "storage/inidatei.h"
#include "gezeigt.h"
#include "testhilfe.h"

using namespace kv;

namespace {

// A blank 100-byte record with `text` laid in at `ab`.
std::string Satz() { return std::string(kAltsatzlaenge, ' '); }
void Lege(std::string& satz, size_t ab, const std::string& text) { satz.replace(ab, text.size(), text); }

std::string Buchungskreis(const std::string& name, char kr, char monat, const std::string& jahr) {
  std::string s = Satz();
  Lege(s, 0, name);
  Lege(s, 56, "E R");
  s[59] = kr;
  s[60] = '1';
  s[61] = 'J';
  Lege(s, 62, " 12 3 ");
  s[68] = monat;
  Lege(s, 69, jahr);
  return s;
}

std::string Einstellungen(const std::string& daten, char dreizehn, char signal) {
  std::string s = Satz();
  Lege(s, 0, daten);
  Lege(s, 12, "A :");
  Lege(s, 40, "7 ");
  s[42] = '3';
  s[45] = '5';
  Lege(s, 63, " 7.00");
  Lege(s, 68, "19.00");
  s[73] = 'J';
  s[74] = dreizehn;
  s[77] = signal;
  return s;
}

std::string Wert(const std::string& text, const std::string& schluessel) {
  std::string such = "\r\n" + schluessel + "=";
  size_t p = text.find(such);
  if (p == std::string::npos) return "<fehlt>";
  p += such.size();
  return text.substr(p, text.find("\r\n", p) - p);
}

class Altdaten : public ::testing::Test {
 protected:
  kvtest::TempVerzeichnis prog;
  kvtest::Aufzeichnung ui;

  // Ten records: nine booking circles (some blank) and the settings record.
  std::string Standarddatei(const std::string& daten) {
    std::string datei;
    for (int i = 0; i < 9; ++i) {
      std::string s = Satz();
      if (i == 0) s = Buchungskreis("M\x81ller GmbH", 'N', 'B', "1011");  // CP850 ü
      if (i == 2) s = Buchungskreis("Verein", 'J', '7', "2010");
      if (i == 8) s = Buchungskreis("Neun", ' ', 'a', "2011");
      Lege(s, 73, "Text " + std::to_string(i + 1));
      datei += s;
    }
    return datei + Einstellungen(daten, 'J', ' ');
  }
};

}  // namespace

TEST(Oem850, Tabelle) {
  EXPECT_EQ(Oem850Zu1252("\x81\x84\x94\x8E\x99\x9A\xE1"), W("üäöÄÖÜß"));
  EXPECT_EQ(Oem850Zu1252("abc 09"), "abc 09");
  EXPECT_EQ(Oem850Zu1252(0x9C), 0xA3);  // pound sign
  EXPECT_EQ(Oem850Zu1252(0xC4), '-');   // box drawing
  EXPECT_EQ(Oem850Zu1252(0xD5), 'i');   // dotless i
}

TEST_F(Altdaten, TausendBytesGebenKonfigurationUndNeunBuchungskreise) {
  // A relative data directory belongs to the program directory.
  std::string datei = Standarddatei("DA TEN");
  ASSERT_EQ(datei.size(), 1000u);
  kvtest::SchreibeDatei(prog / "kvsetup.ini", datei);
  kvtest::Shell("mkdir '" + prog.Pfad() + "/DATEN'");

  ASSERT_EQ(kvtest::Gezeigt(KonvertiereAltdaten(prog.Pfad())), 1);
  EXPECT_TRUE(ui.meldungen.empty());
  EXPECT_EQ(kvtest::LiesDatei(prog / "kvsetup.ini"), datei);  // old file untouched

  std::string ini = kvtest::LiesDatei(prog / "kalvento.ini");
  EXPECT_EQ(ini.rfind(std::string(kIniKopfzeile), 0), 0u);
  EXPECT_NE(ini.find("[KALVENTO]"), std::string::npos);
  EXPECT_EQ(Wert(ini, "Version"), "W001002");
  EXPECT_EQ(Wert(ini, "Daten"), "DATEN");  // all blanks removed
  EXPECT_EQ(Wert(ini, "Sicherung"), "A:");
  EXPECT_EQ(Wert(ini, "Zeilen pro Seite"), "7");
  EXPECT_EQ(Wert(ini, "Rand oben"), "3");
  EXPECT_EQ(Wert(ini, "Rand links"), "5");
  EXPECT_EQ(Wert(ini, "MwSt F7"), " 7.00");
  EXPECT_EQ(Wert(ini, "MwSt F8"), "19.00");
  EXPECT_EQ(Wert(ini, W("Änderung")), "J");
  EXPECT_EQ(Wert(ini, "13.Monat"), "N");
  EXPECT_EQ(Wert(ini, "Signalton"), "N");
  EXPECT_EQ(Wert(ini, "Euro-Faktor"), "1.95583");
  EXPECT_EQ(Wert(ini, W("Auflösung")), "25,08");
  EXPECT_EQ(Wert(ini, "Texte zentral"), "J");
  EXPECT_EQ(Wert(ini, "Text F01"), "Text 1" + std::string(19, ' '));
  EXPECT_EQ(Wert(ini, "Text F08"), "Text 8" + std::string(19, ' '));
  EXPECT_EQ(Wert(ini, "Text F09"), "");
  EXPECT_EQ(Wert(ini, "Font Dialog"), "16,06,0700,Arial");
  EXPECT_EQ(Wert(ini, "Font Bildschirm"), "25,08,0400,Courier New");
  EXPECT_EQ(Wert(ini, "KvonlineProgramm"), "<fehlt>");
  // Keys in the order the companion program expects.
  EXPECT_LT(ini.find("\r\nDaten="), ini.find("\r\nSicherung="));
  EXPECT_LT(ini.find("\r\nTexte zentral="), ini.find("\r\nText F01="));
  EXPECT_LT(ini.find("\r\nFont Bildschirm="), ini.find("\r\nFont Dialog="));

  std::string s1 = kvtest::LiesDatei(prog / "DATEN/BK000001/stamm001.dat");
  EXPECT_EQ(Wert(s1, "Version"), "W001001");
  EXPECT_EQ(Wert(s1, "Name"), W("Müller GmbH"));
  EXPECT_EQ(Wert(s1, "Kontenrahmen"), "04");
  EXPECT_EQ(Wert(s1, "1.Monat"), "11");
  EXPECT_EQ(Wert(s1, "Jahr"), "1011");
  EXPECT_EQ(Wert(s1, "MwSt"), "1");
  EXPECT_EQ(Wert(s1, W("EÜ-Rechnung")), "J");
  EXPECT_EQ(Wert(s1, W("Währung1")), "ER");
  EXPECT_EQ(Wert(s1, W("Währung2")), "");
  EXPECT_EQ(Wert(s1, "Auto-Beleg"), "123");
  EXPECT_EQ(Wert(s1, "BK-Passwort"), "");

  std::string s3 = kvtest::LiesDatei(prog / "DATEN/BK000003/stamm003.dat");
  EXPECT_EQ(Wert(s3, "Kontenrahmen"), "03");
  EXPECT_EQ(Wert(s3, "1.Monat"), "07");
  std::string s9 = kvtest::LiesDatei(prog / "DATEN/BK000009/stamm009.dat");
  EXPECT_EQ(Wert(s9, "1.Monat"), "10");

  // Blank names and the settings record give no booking circle.
  EXPECT_FALSE(kvtest::Existiert(prog / "DATEN/BK000002"));
  EXPECT_FALSE(kvtest::Existiert(prog / "DATEN/BK000010"));
}

TEST_F(Altdaten, AbsolutesDatenverzeichnisUndSignalton) {
  // The settings field holds only 12 characters: reach the scratch
  // directory through a short symbolic link.
  kvtest::TempVerzeichnis daten;
  std::string kurz = "/tmp/kv" + std::to_string(::getpid() % 100000);
  kvtest::Shell("ln -sfn '" + daten.Pfad() + "' " + kurz);
  std::string einst = Einstellungen(kurz, ' ', 'X');
  Lege(einst, 78, "  2.5  ");
  std::string datei = Buchungskreis("Eins", 'N', '1', "2010") + einst;
  kvtest::SchreibeDatei(prog / "kvsetup.ini", datei);

  ASSERT_EQ(kvtest::Gezeigt(KonvertiereAltdaten(prog.Pfad())), 1);
  kvtest::Shell("rm -f " + kurz);
  std::string ini = kvtest::LiesDatei(prog / "kalvento.ini");
  EXPECT_EQ(Wert(ini, "Daten"), kurz);
  EXPECT_EQ(Wert(ini, "13.Monat"), "J");
  EXPECT_EQ(Wert(ini, "Signalton"), "J");
  EXPECT_EQ(Wert(ini, "Euro-Faktor"), "2.5");
  // A file of two records: only the first is a booking circle.
  EXPECT_EQ(Wert(kvtest::LiesDatei(daten / "BK000001/stamm001.dat"), "1.Monat"), "01");
  EXPECT_FALSE(kvtest::Existiert(daten / "BK000002"));
}

TEST_F(Altdaten, NichtsZuKonvertieren) {
  EXPECT_EQ(kvtest::Gezeigt(KonvertiereAltdaten(prog.Pfad())), 0);
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, "Konnte keine alte Initialisierungsdatei gefunden !");
  EXPECT_EQ(ui.meldungen[0].titel, "FEHLER");
  EXPECT_FALSE(kvtest::Existiert(prog / "kalvento.ini"));

  kvtest::SchreibeDatei(prog / "install.buc", "x");
  EXPECT_EQ(kvtest::Gezeigt(KonvertiereAltdaten(prog.Pfad())), 1);
  EXPECT_EQ(ui.meldungen.size(), 1u);
  EXPECT_FALSE(kvtest::Existiert(prog / "kalvento.ini"));
}

TEST_F(Altdaten, AbgeschnitteneDateiSchreibtNichts) {
  kvtest::SchreibeDatei(prog / "kvsetup.ini", std::string(99, ' '));
  EXPECT_EQ(kvtest::Gezeigt(KonvertiereAltdaten(prog.Pfad())), 0);
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].art, 16);
  EXPECT_FALSE(kvtest::Existiert(prog / "kalvento.ini"));
}

TEST_F(Altdaten, UnlesbareDateiSchreibtNichts) {
  kvtest::SchreibeDatei(prog / "kvsetup.ini", Standarddatei("DATEN"));
  Fehlerinjektion::Setze(3);  // open, length, then the read fails
  EXPECT_EQ(kvtest::Gezeigt(KonvertiereAltdaten(prog.Pfad())), 0);
  Fehlerinjektion::Aus();
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, W("Konnte alte Initialisierungsdatei KVSETUP.INI nicht öffnen !"));
  EXPECT_FALSE(kvtest::Existiert(prog / "kalvento.ini"));
}

// Whatever file operation fails, no configuration or master file is left
// half-written: a configuration that exists is complete, a failed
// conversion leaves none, and every master file written holds all keys.
TEST(AltdatenFehler, NieHalbGeschrieben) {
  for (long n = 1; n < 80; ++n) {
    kvtest::TempVerzeichnis prog;
    kvtest::Aufzeichnung ui;
    std::string datei;
    for (int i = 0; i < 2; ++i) datei += Buchungskreis("BK " + std::to_string(i), 'N', '1', "2010");
    datei += Einstellungen("DATEN", ' ', ' ');
    kvtest::SchreibeDatei(prog / "kvsetup.ini", datei);
    kvtest::Shell("mkdir '" + prog.Pfad() + "/DATEN'");
    Fehlerinjektion::Setze(n);
    int ergebnis = kvtest::Gezeigt(KonvertiereAltdaten(prog.Pfad()));
    bool ausgeloest = Fehlerinjektion::Ausgeloest();
    Fehlerinjektion::Aus();
    std::string ini = kvtest::LiesDatei(prog / "kalvento.ini");
    if (ergebnis == 0) {
      EXPECT_FALSE(kvtest::Existiert(prog / "kalvento.ini")) << n;
    } else {
      EXPECT_NE(ini.find("\r\nFont Nutzung=16,06,0700,Arial\r\n"), std::string::npos) << n;
    }
    for (int i = 1; i <= 2; ++i) {
      char name[40];
      std::snprintf(name, sizeof name, "DATEN/BK%06i/stamm%03i.dat", i, i);
      if (kvtest::Existiert(prog / name)) {
        EXPECT_NE(kvtest::LiesDatei(prog / name).find("\r\nAuto-Beleg=123\r\n"),
                  std::string::npos) << n << " " << name;
      }
    }
    EXPECT_EQ(kvtest::LiesDatei(prog / "kvsetup.ini"), datei);
    if (!ausgeloest) {
      EXPECT_EQ(ergebnis, 1);
      break;  // every operation has had its turn
    }
  }
}

TEST_F(Altdaten, FehlendesDatenverzeichnisUeberspringtBuchungskreise) {
  kvtest::SchreibeDatei(prog / "kvsetup.ini", Standarddatei("/nix/da"));
  EXPECT_EQ(kvtest::Gezeigt(KonvertiereAltdaten(prog.Pfad())), 1);
  EXPECT_TRUE(kvtest::Existiert(prog / "kalvento.ini"));
  // One message per booking circle that could not get its directory.
  ASSERT_EQ(ui.meldungen.size(), 3u);
  EXPECT_EQ(ui.meldungen[0].text,
            "Folgender Pfadname ist nicht korrekt:\n/nix/da/BK000001\nDas neue Unterverzeichnis "
            "konnte nicht angelegt werden !");
}

TEST_F(Altdaten, DatenverzeichnisEndetVorEinemZeilenende) {
  // The configuration cannot hold the line end; the books go where it points.
  ASSERT_EQ(kvtest::Shell("mkdir '" + prog / "DAT" + "'"), 0);
  kvtest::SchreibeDatei(prog / "kvsetup.ini", Standarddatei("DAT\rX"));
  EXPECT_EQ(kvtest::Gezeigt(KonvertiereAltdaten(prog.Pfad())), 1);
  EXPECT_EQ(Wert(kvtest::LiesDatei(prog / "kalvento.ini"), "Daten"), "DAT");
  EXPECT_TRUE(kvtest::Existiert(prog / "DAT/BK000001/stamm001.dat"));
}

TEST_F(Altdaten, VorhandeneKonfigurationZeigtAufDieBuchungskreise) {
  // An existing configuration with a stray LF inside a line: rewriting that
  // line must not make the text behind the LF a key that hides the converted
  // data directory, nor swallow the key line after it.
  ASSERT_EQ(kvtest::Shell("mkdir '" + prog / "DATEN" + "'"), 0);
  const char vorher[] = "[KALVENTO]\r\n13.Monat=J   \0\nDaten=alt\r\nRand oben=1\r\n";
  kvtest::SchreibeDatei(prog / "kalvento.ini", std::string(vorher, sizeof vorher - 1));
  kvtest::SchreibeDatei(prog / "kvsetup.ini", Standarddatei("DATEN"));
  ASSERT_EQ(kvtest::Gezeigt(KonvertiereAltdaten(prog.Pfad())), 1);
  CIniDatei ini;
  ini.SetzeDateiname(prog / "kalvento.ini");
  ASSERT_EQ(ini.Oeffnen(1, kvtest::Zeigend()), 1);
  std::string w;
  for (auto [schluessel, erwartet] :
       {std::pair{"Daten", "DATEN"}, {"13.Monat", "N"}, {"Rand oben", "3"}}) {
    ASSERT_EQ(ini.LeseWert("[KALVENTO]", schluessel, w), 1) << schluessel;
    EXPECT_EQ(w, erwartet) << schluessel;
  }
  EXPECT_TRUE(kvtest::Existiert(prog / "DATEN/BK000001/stamm001.dat"));
}

TEST(LegeVerzeichnisAn, Faelle) {
  kvtest::TempVerzeichnis tmp;
  kvtest::Aufzeichnung ui;
  EXPECT_EQ(kvtest::Gezeigt(LegeVerzeichnisAn("C:")), 1);
  EXPECT_EQ(kvtest::Gezeigt(LegeVerzeichnisAn("d:\\")), 1);
  EXPECT_EQ(kvtest::Gezeigt(LegeVerzeichnisAn("1:")), 0);
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, "Fehlerhafte Laufwerksangabe !");

  EXPECT_EQ(kvtest::Gezeigt(LegeVerzeichnisAn(tmp / "neu")), 1);
  EXPECT_TRUE(kvtest::Existiert(tmp / "neu"));
  EXPECT_EQ(kvtest::Gezeigt(LegeVerzeichnisAn(tmp / "neu")), 1);  // already there
  EXPECT_EQ(ui.meldungen.size(), 1u);

  // A file in the way is moved aside, not lost.
  kvtest::SchreibeDatei(tmp / "BK000004", "Inhalt");
  EXPECT_EQ(kvtest::Gezeigt(LegeVerzeichnisAn(tmp / "BK000004")), 1);
  EXPECT_EQ(kvtest::LiesDatei(tmp / "BK000004.$$$"), "Inhalt");
  ASSERT_EQ(ui.meldungen.size(), 2u);
  EXPECT_EQ(ui.meldungen[1].art, 64);
  EXPECT_EQ(ui.meldungen[1].text, W("Folgende Datei mußte umbenannt werden:\nAlt:\t") +
                                      tmp / "BK000004" + "\nNeu:\t" + tmp / "BK000004.$$$");

  EXPECT_EQ(kvtest::Gezeigt(LegeVerzeichnisAn(tmp / "fehlt/BK000001")), 0);
  EXPECT_EQ(ui.meldungen.back().titel, "FEHLER");
  EXPECT_FALSE(kvtest::Existiert(tmp / "fehlt"));
}

TEST(LegeVerzeichnisAn, ScheiternIstKeinErfolg) {
  kvtest::TempVerzeichnis tmp;
  kvtest::Aufzeichnung ui;
  Fehlerinjektion::Setze(1, DateiFehler::Zugriff);
  EXPECT_EQ(kvtest::Gezeigt(LegeVerzeichnisAn(tmp / "BK000001")), 0);
  Fehlerinjektion::Aus();
  EXPECT_FALSE(kvtest::Existiert(tmp / "BK000001"));
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text,
            "Folgendes Verzeichnis konnte nicht angelegt werden:\n" + tmp / "BK000001");
}
