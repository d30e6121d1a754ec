// Booking-circle administration without windows: the input rules, the
// master file a new or changed circle gets, the Elster data, and that a
// failing save leaves the old master file exactly as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/auswahl.h"
#include "app/bkverwaltung.h"
#include "basis/datei.h"
#include "basis/text1252.h"
#include "storage/inidatei.h"
#include "gezeigt.h"
#include "testhilfe.h"

using namespace kvtest;

namespace {

bool Gemeldet(const Aufzeichnung& a, const std::string& utf8, int art = 16) {
  for (const auto& m : a.meldungen)
    if (m.text == kv::W(utf8) && m.art == art && m.titel == "FEHLER") return true;
  return false;
}

// The text a master file holds, from its header to the last DATEV key.
std::string Stammtext(const std::string& kopf, const std::string& elster = "") {
  std::string t = "; Diese Datei darf in keinem Fall manuell bearbeitet werden!\r\n\r\n"
                  "[BUCHUNGSKREIS]\r\n" + kv::W(kopf);
  t += elster.empty() ? "ElsterStNr=\r\nElsterFaNr=\r\nElsterName=\r\nElsterStrasse=\r\n"
                        "ElsterPlz=\r\nElsterOrt=\r\nElsterTelefon=\r\nElsterEmail=\r\n"
                      : kv::W(elster);
  for (const char* k : {"DatevStbNr", "DatevMandantNr", "DatevDFV", "DatevPasswort",
                        "DatevDatenTrNr", "DatevAbrechNr", "DatevVon", "DatevBis",
                        "DatevWaehrung", "DatevExpPfad"})
    t += std::string(k) + "=\r\n";
  return t;
}

std::string Kopf(const char* jahr, const char* monat, const char* name, const char* kr,
                 const char* eu, const char* mwst, const char* beleg) {
  return std::string("Version=W001001\r\nName=") + name + "\r\nBK-Passwort=\r\nKontenrahmen=" +
         kr + "\r\nJahr=" + jahr + "\r\n1.Monat=" + monat + "\r\nMwSt=" + mwst +
         "\r\nEÜ-Rechnung=" + eu + "\r\nWährung1=EUR\r\nWährung2=\r\nWährungsfaktor=\r\n"
         "Auto-Beleg=" + beleg + "\r\n";
}

}  // namespace

TEST(Bkverwaltung, NummerUndBuchungsjahr) {
  Aufzeichnung a;
  for (const char* falsch : {"0", "1000", ""}) {
    EXPECT_EQ(kv::PruefeBuchungskreisnummer(falsch, kvtest::Zeigend()), 0) << falsch;
    EXPECT_TRUE(Gemeldet(a, "Nur Buchungskreisnummern von 1-999 zulässig !", 48));
  }
  EXPECT_EQ(kv::PruefeBuchungskreisnummer("999", kvtest::Zeigend()), 999);
  EXPECT_EQ(kv::PruefeBuchungskreisnummer("012", kvtest::Zeigend()), 12);

  // The first month only for a financial-year code of four digits.
  for (const char* code : {"0708", "9900", "2021"}) EXPECT_TRUE(kv::ErsterMonatFreigegeben(code));
  for (const char* kein : {"2007", "0709", "708"}) EXPECT_FALSE(kv::ErsterMonatFreigegeben(kein));
  a.meldungen.clear();
  for (const char* gut : {"0708", "9900", "1950", "2050"})
    EXPECT_TRUE(kvtest::Gezeigt(kv::PruefeBuchungsjahr(gut)));
  EXPECT_TRUE(a.meldungen.empty());
  for (const char* falsch : {"0709", "1949", "2051", ""}) {
    EXPECT_FALSE(kvtest::Gezeigt(kv::PruefeBuchungsjahr(falsch))) << falsch;
    EXPECT_TRUE(Gemeldet(a, "Ungültiges Buchungsjahr !"));
  }
}

TEST(Bkverwaltung, NeuerKreisWirdAngelegtUndVonDerKumulationGefunden) {
  Aufzeichnung a;
  a.heute.jahr = 2011;
  TempVerzeichnis t;
  const std::string daten = t / "Daten";
  ASSERT_TRUE(kv::ErzeugeVerzeichnis(daten));

  kv::Stammeingaben e = kv::NeueStammeingaben();
  EXPECT_EQ(e.jahr, "2011");
  EXPECT_EQ(e.ersterMonat, "1");
  EXPECT_EQ(e.kontenrahmen, "03");
  EXPECT_EQ(e.waehrung, "EUR");
  EXPECT_TRUE(e.mwst && e.euRechnung && !e.autoBeleg && !e.vorhanden);
  EXPECT_EQ(kv::LeseStammeingaben(daten, 12, kvtest::Zeigend()).jahr, "2011");  // nothing there yet

  ASSERT_EQ(kvtest::Gezeigt(kv::SpeichereStammdaten(daten, 12, e)), 1);
  EXPECT_TRUE(a.meldungen.empty());
  EXPECT_EQ(LiesDatei(daten + "/BK000012/stamm012.dat"),
            Stammtext(Kopf("2011", "01", "", "03", "J", "J", "000000")));

  // The cumulation names the file STAMM012.DAT and still finds it.
  kv::BkKennwerte werte;
  EXPECT_EQ(kv::LeseBkKennwerte(daten, 12, werte, kvtest::Zeigend()), 1);
  EXPECT_EQ(werte.kontenrahmen, 3);
  EXPECT_EQ(werte.ersterMonat, 1);

  // A financial year from July in KR04 with automatic voucher numbers.
  e.jahr = "0708";
  e.ersterMonat = "7";
  e.name = kv::W("Gärtnerei Grünfeld");
  e.kontenrahmen = "04";
  e.mwst = false;
  e.euRechnung = false;
  e.autoBeleg = true;
  e.belegnummer = "42";
  ASSERT_EQ(kvtest::Gezeigt(kv::SpeichereStammdaten(daten, 12, e)), 1);
  EXPECT_EQ(LiesDatei(daten + "/BK000012/stamm012.dat"),
            Stammtext(Kopf(" 708", "07", "Gärtnerei Grünfeld", "04", "N", "N", "000042")));
  kv::Stammeingaben gelesen = kv::LeseStammeingaben(daten, 12, kvtest::Zeigend());
  EXPECT_TRUE(gelesen.vorhanden);
  EXPECT_EQ(gelesen.jahr, "0708");
  EXPECT_EQ(gelesen.ersterMonat, "07");
  EXPECT_TRUE(gelesen.monatFreigegeben);
  EXPECT_EQ(gelesen.name, kv::W("Gärtnerei Grünfeld"));
  EXPECT_EQ(gelesen.kontenrahmen, "04");
  EXPECT_TRUE(gelesen.autoBeleg);
  EXPECT_EQ(gelesen.belegnummer, "42");
  EXPECT_FALSE(gelesen.mwst || gelesen.euRechnung);

  // The box cleared: no automatic numbers whatever the field holds.
  e.autoBeleg = false;
  ASSERT_EQ(kvtest::Gezeigt(kv::SpeichereStammdaten(daten, 12, e)), 1);
  EXPECT_NE(LiesDatei(daten + "/BK000012/stamm012.dat").find("Auto-Beleg=000000\r\n"),
            std::string::npos);
  gelesen = kv::LeseStammeingaben(daten, 12, kvtest::Zeigend());
  EXPECT_FALSE(gelesen.autoBeleg);
  EXPECT_EQ(gelesen.belegnummer, "0");

  // An invalid year or first month writes nothing; without a data
  // directory the circle goes into the working directory.
  e.jahr = "0709";
  EXPECT_EQ(kvtest::Gezeigt(kv::SpeichereStammdaten(daten, 13, e)), 0);
  e.jahr = "0708";
  e.ersterMonat = "0";
  EXPECT_EQ(kvtest::Gezeigt(kv::SpeichereStammdaten(daten, 13, e)), 0);
  EXPECT_TRUE(Gemeldet(a, "Monatseingabe von 1 bis 12 möglich!"));
  EXPECT_FALSE(kv::VerzeichnisExistiert(daten + "/BK000013"));
}

TEST(Bkverwaltung, AendernBehaeltElsterDatenUndLoeschtPasswort) {
  Aufzeichnung a;
  TempVerzeichnis t;
  const std::string daten = t.Pfad();
  ASSERT_TRUE(kv::ErzeugeVerzeichnis(daten + "/BK000005"));
  // Written by the companion program: upper-case name, a password, Elster
  // and DATEV values.
  {
    kv::CIniDatei ini;
    ini.SetzeDateiname(daten + "/BK000005/STAMM005.DAT");
    ASSERT_EQ(ini.Oeffnen(0, kvtest::Zeigend()), 1);
    ini.SchreibeWert("[BUCHUNGSKREIS]", "Name", "Alt");
    ini.SchreibeWert("[BUCHUNGSKREIS]", "BK-Passwort", "geheim");
    ini.SchreibeWert("[BUCHUNGSKREIS]", "Jahr", "2010");
    ini.SchreibeWert("[BUCHUNGSKREIS]", "ElsterStNr", "111/333/12345");
    ini.SchreibeWert("[BUCHUNGSKREIS]", "ElsterOrt", "Hamburg");
    ini.SchreibeWert("[BUCHUNGSKREIS]", "DatevStbNr", "1234567");
    ASSERT_EQ(ini.Speichern(kvtest::Zeigend()), 1);
  }
  kv::Stammeingaben e = kv::LeseStammeingaben(daten, 5, kvtest::Zeigend());
  ASSERT_TRUE(e.vorhanden);
  EXPECT_EQ(e.name, "Alt");
  EXPECT_FALSE(e.monatFreigegeben);
  e.name = "Neu";
  ASSERT_EQ(kvtest::Gezeigt(kv::SpeichereStammdaten(daten, 5, e)), 1);

  std::vector<std::string> namen;
  ASSERT_TRUE(kv::ListeVerzeichnis(daten + "/BK000005", namen));
  EXPECT_EQ(namen, std::vector<std::string>{"STAMM005.DAT"});
  const std::string text = LiesDatei(daten + "/BK000005/STAMM005.DAT");
  EXPECT_NE(text.find("\r\nName=Neu\r\nBK-Passwort=\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nElsterStNr=111/333/12345\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nElsterOrt=Hamburg\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nDatevStbNr=1234567\r\n"), std::string::npos);
  EXPECT_TRUE(a.meldungen.empty());
}

TEST(Bkverwaltung, ElsterDaten) {
  Aufzeichnung a;
  TempVerzeichnis t;
  kv::Elsterdaten werte = {"111/333/12345-999", "2741", "Muster GmbH", "Hauptstr. 1",
                           "20095", "Hamburg",      "040 123", "info@muster.de"};
  // No master file yet: nothing written, the caller keeps the values.
  EXPECT_EQ(kv::SpeichereElsterdaten(t.Pfad(), 3, werte, kvtest::Zeigend()), 2);
  EXPECT_FALSE(kv::VerzeichnisExistiert(t / "BK000003"));

  ASSERT_EQ(kvtest::Gezeigt(kv::SpeichereStammdaten(t.Pfad(), 3, kv::NeueStammeingaben())), 1);
  EXPECT_EQ(kv::SpeichereElsterdaten(t.Pfad(), 3, werte, kvtest::Zeigend()), 1);
  kv::Elsterdaten gelesen;
  ASSERT_EQ(kv::LeseElsterdaten(t.Pfad(), 3, gelesen, kvtest::Zeigend()), 1);
  EXPECT_EQ(gelesen[0], "111/333/12345");  // cut to its field
  for (std::size_t i = 1; i < werte.size(); ++i) EXPECT_EQ(gelesen[i], werte[i]);
  EXPECT_TRUE(a.meldungen.empty());
}

TEST(Bkverwaltung, GescheitertesSpeichernBehaeltAlteDatei) {
  Aufzeichnung a;
  TempVerzeichnis t;
  const std::string daten = t.Pfad();
  kv::Stammeingaben e = kv::NeueStammeingaben();
  e.name = "Alt";
  ASSERT_EQ(kvtest::Gezeigt(kv::SpeichereStammdaten(daten, 7, e)), 1);
  const std::string datei = daten + "/BK000007/stamm007.dat";
  const std::string alt = LiesDatei(datei);
  e.name = "Neu";
  e.jahr = "1011";
  const char* meldung = "Dateifehler bei der Neuanlage der \nStandardwerte des Buchungskreises !";

  // Every file operation of the save in turn fails: either the whole save
  // fails with the message and the old bytes stay, or it succeeds whole.
  int fehlschlaege = 0;
  for (long n = 1;; ++n) {
    SchreibeDatei(datei, alt);
    a.meldungen.clear();
    kv::Fehlerinjektion::Setze(n, kv::DateiFehler::Voll);
    const int ergebnis = kvtest::Gezeigt(kv::SpeichereStammdaten(daten, 7, e));
    const bool ausgeloest = kv::Fehlerinjektion::Ausgeloest();
    kv::Fehlerinjektion::Aus();
    if (!ausgeloest) break;
    const std::string jetzt = LiesDatei(datei);
    if (ergebnis == 0) {
      ++fehlschlaege;
      EXPECT_EQ(jetzt, alt) << "Operation " << n;
      EXPECT_TRUE(Gemeldet(a, meldung)) << "Operation " << n;
    } else {
      EXPECT_NE(jetzt.find("\r\nName=Neu\r\n"), std::string::npos) << "Operation " << n;
    }
  }
  EXPECT_GE(fehlschlaege, 3);

  // A read-only master file.
  SchreibeDatei(datei, alt);
  ASSERT_EQ(::chmod(datei.c_str(), 0444), 0);
  a.meldungen.clear();
  EXPECT_EQ(kvtest::Gezeigt(kv::SpeichereStammdaten(daten, 7, e)), 0);
  EXPECT_EQ(LiesDatei(datei), alt);
  EXPECT_TRUE(Gemeldet(a, meldung));
  ASSERT_EQ(::chmod(datei.c_str(), 0644), 0);

  // A full disk, in a child process whose files may not grow beyond 100
  // bytes: the new text cannot be written whole.
  const pid_t kind = ::fork();
  ASSERT_GE(kind, 0);
  if (kind == 0) {
    Aufzeichnung imKind;
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit grenze{100, 100};
    ::setrlimit(RLIMIT_FSIZE, &grenze);
    const bool ok =
        kvtest::Gezeigt(kv::SpeichereStammdaten(daten, 7, e)) == 0 && Gemeldet(imKind, meldung);
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(kind, &status, 0), kind);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(LiesDatei(datei), alt);

  // A new circle whose file cannot be saved leaves no file behind.
  for (long n = 1;; ++n) {
    kv::LoescheDatei(daten + "/BK000008/stamm008.dat");
    kv::Fehlerinjektion::Setze(n, kv::DateiFehler::Voll);
    const int ergebnis = kvtest::Gezeigt(kv::SpeichereStammdaten(daten, 8, e));
    const bool ausgeloest = kv::Fehlerinjektion::Ausgeloest();
    kv::Fehlerinjektion::Aus();
    if (!ausgeloest) break;
    if (ergebnis == 0) {
      EXPECT_FALSE(Existiert(daten + "/BK000008/stamm008.dat")) << n;
    }
  }
}

// Opening the dialogs on a file that is no master file shows that it could
// not be read and leaves it as it is; only the user's "&OK" writes.
TEST(Bkverwaltung, KeineStammdateiWirdBeimOeffnenNichtBeschrieben) {
  Aufzeichnung a;
  TempVerzeichnis t;
  const std::string daten = t.Pfad();
  ASSERT_TRUE(kv::ErzeugeVerzeichnis(daten + "/BK000004"));
  const std::string datei = daten + "/BK000004/STAMM004.DAT";
  for (const std::string& text : {std::string(), std::string("[BUCHUNGSKREIS]\nName=LF\nJahr=2010\n")}) {
    SchreibeDatei(datei, text);
    a.meldungen.clear();
    EXPECT_FALSE(kv::LeseStammeingaben(daten, 4, kvtest::Zeigend()).vorhanden);
    kv::Elsterdaten e;
    EXPECT_EQ(kv::LeseElsterdaten(daten, 4, e, kvtest::Zeigend()), 0);
    EXPECT_EQ(LiesDatei(datei), text);
    EXPECT_EQ(a.meldungen.size(), 2u);
    EXPECT_TRUE(Gemeldet(a, "Unerwarteter Fehler beim Lesen der Buchungskreisdaten !"));
  }
}
