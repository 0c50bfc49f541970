#!/usr/bin/env python3
"""packet_json.py N OUT.json: the entries of the side-by-side bench against
other dictionary programs (N dictionary-shaped entries: Hungarian-like
headwords, a short plain-text memo on every entry, a media name on one in
three, no pictures; the demo's five columns, LCID 1038), written as the
JSON that `cdstool build OUT.json cds_N.cds` turns into a packet.

The generator and its seed are the bench's own, so the entries and their
order are the ones its StarDict writer gives the other programs. Rows are
streamed, so memory stays small."""
import json
import random
import sys

n, out = int(sys.argv[1]), sys.argv[2]
rnd = random.Random(1038)
ONSETS = ["", "b", "c", "cs", "d", "dz", "f", "g", "gy", "h", "k", "l", "ly", "m", "n", "ny", "p", "r",
          "s", "sz", "t", "ty", "v", "z", "zs", "tr", "kr", "pr", "fl"]
VOWELS = ["a", "á", "e", "é", "i", "í", "o", "ó", "ö", "ő", "u", "ú", "ü", "ű"]
CODAS = ["", "", "n", "l", "r", "s", "t", "k", "sz", "ng", "m"]


def word():
    s = "".join(rnd.choice(ONSETS) + rnd.choice(VOWELS) + rnd.choice(CODAS)
                for _ in range(rnd.randint(1, 4)))
    if rnd.random() < 0.25:
        s += " " + "".join(rnd.choice(ONSETS) + rnd.choice(VOWELS) for _ in range(rnd.randint(1, 3)))
    return s.upper()[:40]


with open(out, "w", encoding="utf-8") as f:
    f.write('{"params":{"LCID":1038},"columns":['
            '{"name":"FAJLNEV","type":"string","width":255},'
            '{"name":"KSZOVEG","type":"string","width":40},'
            '{"name":"SZOVMAGY","type":"blob","subtype":"Text"},'
            '{"name":"GRAPHIC","type":"blob","subtype":"Binary"},'
            '{"name":"Index","type":"int32"}],"rows":[\n')
    for i in range(n):
        hw = word()
        memo = ("%s: zenei fogalom, %d. szócikk. " % (hw.lower(), i + 1)) * rnd.randint(1, 4)
        media = ("m%06d.mp3" % i) if i % 3 == 0 else None
        row = {"FAJLNEV": media, "KSZOVEG": hw, "SZOVMAGY": memo, "GRAPHIC": None, "Index": i + 1}
        f.write(("," if i else "") + json.dumps(row, ensure_ascii=False) + "\n")
    f.write("]}\n")
