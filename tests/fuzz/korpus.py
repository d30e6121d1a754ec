#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into tests/fuzz/corpus/<target>/.

The targets read their inputs with libFuzzer's FuzzedDataProvider: texts
from the front (a backslash escapes the next one, a backslash followed by
another character ends the text), numbers from the back.  A seed is built
the same way from the shipped sample data and a few hand-made files, so
that fuzzing starts from real books, settings and command lines.

Only files named seed-* are written; regression inputs (other names) stay.
Run from anywhere: python3 tests/fuzz/korpus.py
"""
import os
import struct

HIER = os.path.dirname(os.path.abspath(__file__))
WURZEL = os.path.dirname(os.path.dirname(HIER))
BEISPIEL = os.path.join(WURZEL, "beispiel")
KORPUS = os.path.join(HIER, "corpus")


class Eingabe:
    def __init__(self):
        self.vorne = bytearray()
        self.hinten = []  # bytes in the order they are consumed

    def text(self, b):
        self.vorne += b.replace(b"\\", b"\\\\") + b"\\ "
        return self

    def rest(self, b):
        self.vorne += b
        return self

    def zahl(self, wert, kleinster, groesster):
        """ConsumeIntegralInRange(kleinster, groesster) == wert."""
        spanne = groesster - kleinster
        r = wert - kleinster
        n = 0
        while n < 8 and (spanne >> (8 * n)) > 0:
            n += 1
        for i in reversed(range(n)):
            self.hinten.append((r >> (8 * i)) & 0xFF)
        return self

    def bool(self, wert):
        self.hinten.append(1 if wert else 0)
        return self

    def int32(self, wert):
        return self.zahl(wert, -(2**31), 2**31 - 1)

    def bytes(self):
        return bytes(self.vorne) + bytes(reversed(self.hinten))


def lies(*teile):
    with open(os.path.join(BEISPIEL, *teile), "rb") as f:
        return f.read()


def schreibe(ziel, name, daten):
    verzeichnis = os.path.join(KORPUS, ziel)
    os.makedirs(verzeichnis, exist_ok=True)
    with open(os.path.join(verzeichnis, "seed-" + name), "wb") as f:
        f.write(daten)


# ---- fuzz_inidatei ----------------------------------------------------------

SEKTION = {"[KALVENTO]": 0, "[BUCHUNGSKREIS]": 1, "[A]": 2}
SCHLUESSEL = ["Daten", "Passwort", "BK-Passwort", "Rand", "Rand oben", "Aufl\xf6sung", "Version"]


def sektion(e, s):
    if s in SEKTION:
        e.zahl(SEKTION[s], 0, 3)
    else:
        e.zahl(3, 0, 3).text(s.encode("cp1252"))


def schluessel(e, k):
    if k in SCHLUESSEL:
        e.zahl(SCHLUESSEL.index(k), 0, 7)
    else:
        e.zahl(7, 0, 7).text(k.encode("cp1252"))


def ini_seed(inhalt, ops, vorhanden=True, exklusiv=False):
    e = Eingabe()
    e.zahl((0 if vorhanden else 1) | (2 if exklusiv else 0), 0, 255)
    e.text(inhalt)
    for op in ops:
        art = op[0]
        e.zahl(art, 0, 5)
        if art == 0:
            sektion(e, op[1]); schluessel(e, op[2]); e.zahl(op[3], 1, 140)
        elif art == 1:
            sektion(e, op[1]); schluessel(e, op[2]); e.text(op[3]); schluessel(e, op[4])
        elif art == 3:
            e.bool(op[1]); e.bool(op[2])
        elif art == 5:
            e.text(op[1])
    return e.bytes()


def inidatei():
    ops = [(1, "[KALVENTO]", "Daten", b"/srv/kalvento/daten", "Rand oben"),
           (0, "[KALVENTO]", "Rand", 129), (2,), (3, False, False),
           (1, "[KALVENTO]", "Passwort", b"geheim", "Daten"), (2,), (4,),
           (0, "[KALVENTO]", "Passwort", 40)]
    schreibe("fuzz_inidatei", "kalvento", ini_seed(lies("kalvento.ini"), ops))
    stamm_ops = [(1, "[BUCHUNGSKREIS]", "BK-Passwort", b"x" * 40, "Daten"),
                 (1, "[BUCHUNGSKREIS]", "Jahr", b"1011", "Version"), (2,), (3, True, True)]
    schreibe("fuzz_inidatei", "stamm", ini_seed(lies("Daten", "BK000005", "STAMM005.DAT"), stamm_ops))
    schreibe("fuzz_inidatei", "neu", ini_seed(b"", [(1, "[KALVENTO]", "Daten", b"", "Daten"), (2,)],
                                            vorhanden=False))
    schreibe("fuzz_inidatei", "exklusiv", ini_seed(b"[A]\r\nRand oben=3\r\nRand=1", [
        (1, "[A]", "Rand", b"22", "Rand oben"), (2,), (0, "[A]", "Rand", 2)], exklusiv=True))
    schreibe("fuzz_inidatei", "zwei-sektionen", ini_seed(
        b"[A]\r\nDaten=a\r\n[KALVENTO]\r\nDaten=b\r\nVersion=W001001",
        [(0, "[KALVENTO]", "Version", 8), (1, "[KALVENTO]", "Version", b"W001002", "Daten"),
         (1, "x", "y", b"z", "Daten"), (2,)]))
    schreibe("fuzz_inidatei", "passwort", ini_seed(b"", [(5, b"Geheim 123 \xe4\xf6\xfc\\"), (2,)],
                                                 vorhanden=False))


# ---- fuzz_konfiguration -------------------------------------------------------

def konfiguration():
    e = Eingabe().bool(True).text(lies("kalvento.ini")).bool(True).bool(True)
    schreibe("fuzz_konfiguration", "kalvento", e.bytes())
    alt = (b"; Diese Datei darf in keinem Fall manuell bearbeitet werden!\r\n\r\n[KALVENTO]\r\n"
           b"Version=W001001\r\nDaten=Daten\r\nAufl\xf6sung=9,8\r\nEuro-Faktor=1.95583\r\n"
           b"Font Buchung=70,02,1000,Arial\r\n13.Monat=j\r\nPasswort=\x0b\x0c\r\n")
    schreibe("fuzz_konfiguration", "alt", Eingabe().bool(True).text(alt).bool(True).bool(False).bytes())
    schreibe("fuzz_konfiguration", "fehlt", Eingabe().bool(True).text(b"").bool(False).bool(True).bytes())
    for n, ops in ((1, [0, 0, 2, 1]), (3, [3, 2, 0]), (5, [1, 2]), (7, [0, 3])):
        e = Eingabe().bool(False).text(lies("Daten", "BK%06d" % n, "STAMM%03d.DAT" % n))
        e.int32(1011 if n in (5, 6) else 2010)
        for op in ops:
            e.zahl(op, 0, 3)
            if op == 2:
                e.bool(True)
        schreibe("fuzz_konfiguration", "stamm%03d" % n, e.bytes())
    nur_name = b"[BUCHUNGSKREIS]\r\nName=Nur ein Name\r\nAuto-Beleg=000041\r\n"
    e = Eingabe().bool(False).text(nur_name).int32(9900)
    for op in (0, 2, 1, 3):
        e.zahl(op, 0, 3)
        if op == 2:
            e.bool(True)
    schreibe("fuzz_konfiguration", "stamm-unvollstaendig", e.bytes())


# ---- fuzz_salden and fuzz_sindex ------------------------------------------------

SATZ = 202


def saetze(daten, n):
    return daten[: n * SATZ]


def salden():
    quellen = [("BK000001", "B2010001.sal", 3, 1, 0), ("BK000004", "A2010004.sal", 4, 1, 0),
               ("BK000005", "B1011005.sal", 3, 7, 1)]
    for bk, name, kr, monat, abw in quellen:
        sal = saetze(lies("Daten", bk, name), 12)
        e = Eingabe().zahl(kr, 2, 5).zahl(monat, -1, 14).zahl(abw, 0, 2).zahl(5, 0, 12).text(sal)
        for _ in range(12 + 2):
            e.zahl(1, -2, 15).zahl(12, -2, 15)
        for satz, op in ((0, 0), (3, 1), (0, 2), (1, 4), (0, 3)):
            e.zahl(satz, 0, 12).zahl(op, 0, 4)
            if op == 0:
                e.zahl(7, -1, 14).rest(b"")  # amount: whatever the bytes give
                e.hinten += [0] * 8
                e.bool(False)
            elif op == 2:
                e.zahl(1570, 1, 29999).text(b"NEUES KONTO").hinten.extend([0] * 8)
        schreibe("fuzz_salden", name.split(".")[0], e.bytes())
    # A record with blank amounts (rewritten when checked), a broken one and
    # a trailing partial record.
    gut = lies("Daten", "BK000001", "B2010001.sal")[:SATZ]
    leer = gut[:31] + b" " * 168 + gut[199:]
    kaputt = gut[:199] + b"#\n\r"
    e = Eingabe().zahl(3, 2, 5).zahl(1, -1, 14).zahl(0, 0, 2).zahl(0, 0, 12)
    e.text(gut + leer + kaputt + gut[:100])
    schreibe("fuzz_salden", "gemischt", e.bytes())
    schreibe("fuzz_salden", "leer", Eingabe().zahl(4, 2, 5).zahl(1, -1, 14).zahl(0, 0, 2)
             .zahl(1, 0, 12).text(b"").zahl(0, 0, 0).zahl(3, 0, 4).bytes())


def gross(b):
    tabelle = {0xE4: 0xC4, 0xF6: 0xD6, 0xFC: 0xDC, 0x81: 0x9A, 0x84: 0x8E, 0x94: 0x99}
    r = bytearray()
    for c in b:
        if 0x61 <= c <= 0x7A:
            c -= 0x20
        r.append(tabelle.get(c, c))
    return bytes(r)


def index_zu(sal):
    """The index the program builds for a balances file (capacity 64)."""
    eintraege = []
    for s in range(len(sal) // SATZ):
        r = sal[s * SATZ:(s + 1) * SATZ]
        try:
            konto = int(r[:5].decode("ascii").strip() or "0")
        except ValueError:
            konto = 0
        if konto <= 0:
            continue
        name = r[5:17].split(b"\0")[0]
        eintraege.append((konto, s, gross(name)[:12].ljust(12, b" ")))
    assert len(eintraege) <= 61
    nummern = sorted(eintraege, key=lambda e: (e[0], -e[1]))
    namen = sorted(eintraege, key=lambda e: (e[2], -e[1]))
    kap = 64
    b = b"W001001\0" + struct.pack("<ii", len(eintraege), kap) + b"\0" * 8
    for i in range(kap):
        b += struct.pack("<ii", nummern[i][0], nummern[i][1]) if i < len(nummern) else b"\0" * 8
    for i in range(kap):
        b += namen[i][2] + struct.pack("<i", namen[i][1]) if i < len(namen) else b"\0" * 16
    return b


def sindex():
    for bk, name in (("BK000001", "B2010001"), ("BK000007", "B2010007"), ("BK000004", "A2010004")):
        sal = saetze(lies("Daten", bk, name + ".sal"), 30)
        sdx = index_zu(sal)
        e = Eingabe().zahl(0, 0, 255).text(sal).text(sdx)
        # search, walks, insert, remove, reopen
        for op, extra in ((0, True), (1, True), (2, None), (4, None), (5, None), (6, None),
                          (9, None), (3, None), (10, True), (11, True)):
            e.zahl(3, 0, 29).bool(bool(extra)).zahl(op, 0, 11)
            if op == 2:
                e.zahl(1000 + 5, -5, 30005).zahl(1999 + 5, -5, 30005)
            elif op == 3:
                e.zahl(0 + 1, -1, 30000)
            elif op == 5:
                e.zahl(1576 + 3, -3, 29999).text(b"Vorsteuer 7%").bool(True)
            elif op == 6:
                e.bool(True)
            elif op == 1:
                e.zahl(5, 0, 12)
        schreibe("fuzz_sindex", name, e.bytes())
    # The same books with an index of another version, and without one.
    sal = saetze(lies("Daten", "BK000003", "B2010003.sal"), 30)
    sdx = bytearray(index_zu(sal))
    sdx[:8] = b"W001002\0"
    schreibe("fuzz_sindex", "andere-version", Eingabe().zahl(0, 0, 255).text(sal).text(bytes(sdx)).bytes())
    schreibe("fuzz_sindex", "ohne-index", Eingabe().zahl(1, 0, 255).text(sal).text(b"").bytes())
    schreibe("fuzz_sindex", "kopf-repariert", Eingabe().zahl(6, 0, 255).text(sal).text(b"\1" * 64).bytes())


# ---- fuzz_altdaten ---------------------------------------------------------------

def altsatz(name=b"", waehrung=b"DM ", kr=b"J", mwst=b"J", eu=b"N", beleg=b"000012",
            monat=b"1", jahr=b"1999", text=b""):
    s = name.ljust(56) + waehrung.ljust(3) + kr + mwst + eu + beleg.ljust(6) + monat + jahr.ljust(4)
    return (s + text.ljust(27))[:100]


def einstellungen(daten=b"DATEN", dreizehn=b" ", signal=b"J", euro=b"1.95583"):
    s = daten.ljust(12) + b"A:".ljust(12) + b" " * 16 + b"68" + b"0" + b"  " + b"9" + b" " * 17
    s += b" 7.00" + b"16.00" + b"J" + dreizehn + b"  " + signal + euro.ljust(7) + b" " * 15
    assert len(s) == 100
    return s


def altdaten():
    kreise = [altsatz(b"M\x81ller GmbH", monat=b"B", text=b"Miete"),
              altsatz(b"", text=b"Porto"),
              altsatz(b"Verein e.V.", kr=b"N", monat=b"7", jahr=b"9900", text=b"Beitrag")]
    kreise += [altsatz(b"Kreis %d" % i, monat=b"aAbBcC"[i % 6:i % 6 + 1]) for i in range(3, 9)]
    datei = b"".join(kreise) + einstellungen()
    schreibe("fuzz_altdaten", "zehn-saetze", Eingabe().zahl(16, 0, 255).text(b"").rest(datei).bytes())
    gross_datei = b"".join(altsatz(b"BK %d" % i if i % 7 == 0 else b"") for i in range(100))
    gross_datei += einstellungen(daten=b"", dreizehn=b"J", signal=b" ", euro=b"")
    schreibe("fuzz_altdaten", "hundert-saetze", Eingabe().zahl(4, 0, 255).text(b"[KALVENTO]\r\nDaten=alt\r\n")
             .rest(gross_datei).bytes())
    schreibe("fuzz_altdaten", "nur-install", Eingabe().zahl(3, 0, 255).text(b"").bytes())
    schreibe("fuzz_altdaten", "zu-kurz", Eingabe().zahl(0, 0, 255).text(b"").rest(b"kurz").bytes())
    schreibe("fuzz_altdaten", "verzeichnis", Eingabe().zahl(8, 0, 255).text(b"BK000001").bool(True).bytes())
    schreibe("fuzz_altdaten", "laufwerk", Eingabe().zahl(8, 0, 255).text(b"C:\\").bytes())


# ---- fuzz_eingaben -----------------------------------------------------------------

def eingaben():
    faelle = [(0, b"13", [1, 1]), (0, b"0a7", [0, 0]), (1, b"1.234,567", [1]), (1, b"-12,5x", [1]),
              (2, b"12a34", [1]), (3, b"31.02.21", [1]), (3, b"1.1.", [1]), (3, b"290224", [1]),
              (3, b"", [0]), (4, b"14", [0, 1]), (4, b"12!", [1, 1]), (4, b" ?4??", [1, 0]),
              (4, b"30000", [0, 1])]
    for i, (art, text, boole) in enumerate(faelle):
        e = Eingabe().zahl(art, 0, 6).text(text)
        for b in boole:
            e.bool(bool(b))
        if art == 3:
            e.text(b"15.06.21")
        schreibe("fuzz_eingaben", "fall%02d" % i, e.bytes())
    for dialog in range(5):
        e = Eingabe().zahl(6, 0, 6).text(b"").zahl(15, 1, 28).zahl(6, 1, 12).bool(True).zahl(dialog, 0, 4)
        for t in (b"12", b"31.12.10", b"01.01.10", b"?4??", b"4", b"4999", b"3"):
            e.text(t)
        schreibe("fuzz_eingaben", "dialog%d" % dialog, e.bytes())


# ---- fuzz_argumente -----------------------------------------------------------------

def argumente():
    auswahl = ["--jahr", "2010", "--von", "1", "--bis", "7", "--bezug", "3"]
    zeilen = {
        "kumulieren": ["-C", "beispiel", "kumulieren"] + auswahl,
        "saldenliste": ["saldenliste"] + auswahl + ["--gruppe", "?4??", "--von-monat=1",
                                                     "--bis-monat", "12", "--schmal", "--druckdatum",
                                                     "31.12.2010"],
        "kontenverlaeufe": ["kontenverlaeufe", "--konten", "4-4999", "--stichmonat", "6"] + auswahl,
        "bilanz": ["bilanz", "--jahr=1011", "--passwort", "Geheim", "--textdatei", "..\\bilanz.txt"],
        "hilfe": ["uebersicht", "--help"],
        "falsch": ["saldenbilanz", "--gruppe", "1"],
        "streng": ["kumulieren", "--jahr", "2010xyz", "--von", "1", "--bis", "7", "--bezug", "3abc"],
        "bereich": ["erfolgsrechnung"] + auswahl + ["--von-monat", "7", "--bis-monat", "3"],
        "muster": ["saldenliste"] + auswahl + ["--gruppe", "84000"],
    }
    for name, z in zeilen.items():
        schreibe("fuzz_argumente", name, b"\0".join(a.encode() for a in z))


if __name__ == "__main__":
    inidatei()
    konfiguration()
    salden()
    sindex()
    altdaten()
    eingaben()
    argumente()
