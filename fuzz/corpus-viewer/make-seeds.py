#!/usr/bin/env python3
"""Writes the viewer fuzz targets' seeds: the kinds of file the viewer's tests read (every
encoding, byte order marks, CR/LF mixes, long lines, binary), with the targets' choices first
(one byte for decoding: how often to repeat the file; two for comparing: the second file and the
limit, then the ignore options).
Run from anywhere; the seeds land beside this script, in decode/ and compare/. The seeds named
finding-* are inputs on which a target once failed; they are kept as they were found, not
written here."""
import os

here = os.path.dirname(os.path.abspath(__file__))
japanese = "日本語のテキスト①～😀\n"
files = {
    "empty": b"",
    "utf8": ("見出し\n" + japanese + "end\n").encode(),
    "utf8-bom": b"\xef\xbb\xbf" + japanese.encode(),
    "utf16le-bom": b"\xff\xfe" + ("a\r\n" + japanese).encode("utf-16-le"),
    "utf16be-bom": b"\xfe\xff" + ("a\n" + japanese).encode("utf-16-be"),
    "utf16-broken": b"\xff\xfe\x00\xd8a\x00\n\x00\x0d\x0ab",
    "cp932": "日本語①～\r\nﾃｽﾄ\r\n".encode("cp932") + b"\x87\x90\x81\xe0\xed\x40\xfa\x5c\r\n",
    "cp932-cut": "表示\n".encode("cp932") + b"\x95",
    "latin1": "café\r\nnaïve\n".encode("latin-1") + b"\x80\x81\x9f\xff\n",
    "utf8-invalid": b"ok\n\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80\nabcdefgh\xe3\x81",
    "endings": b"a\r\nb\nc\rd\r\r\n\n\r\n",
    "no-final-newline": b"first\nsecond",
    "long-line": b"x" * 3000 + b"y" + b"x" * 100 + b"\n",
    "binary": b"\x7fELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00>\x00",
    "blanks": b"  indented\t\n\n \t \nTrailing   \nUPPER lower\n\xe3\x80\x80\n",
    "euc-jp": "漢字とひらがな、カタカナ。\n〜‖−\n".encode("euc_jp") + b"\x8e\xb1\x8f\xb0\xa1\xff\n",
    "iso-2022-jp": "日本語のテキスト\n".encode("iso2022_jp") + b"\x1b(I1\x1b(J\\~\x1b$B\x80!\n",
    "kana-pairs": b"\xc3\xbd\xc4\xb1 \xd2\xb2\xdd\xb2\n",
}
pairs = {
    "edit": (b"a\nb\nc\nd\n", b"a\nB\nc\nd\ne\n"),
    "moved": (b"one\ntwo\nthree\n", b"two\nthree\none\n"),
    "repeated": (b"if\n}\nend\nif\n}\nend\n", b"if\nx\n}\nend\n}\nend\n"),
    "endings": (b"a\r\nb\r\n", b"a\nb"),
    "utf8-cp932": ("日本語\nテキスト\n".encode(), "日本語\nテキスト\n".encode("cp932")),
    "utf8-utf16": ("同じ\n".encode(), b"\xff\xfe" + "同じ\n".encode("utf-16-le")),
    "latin1": ("caf\xe9\n".encode("latin-1"), "caf\xe8\n".encode("latin-1")),
    "cp932-duplicates": (b"\x87\x90\n", b"\x81\xe0\n"),
    "long-lines": (b"x" * 2500 + b"a\n", b"x" * 2500 + b"b\n"),
    "binary": (b"\x00\x01\x02\x03", b"\x00\x01\x02\xff\x04"),
    "blanks": (b"a b\n\nC\n", b"a  b \nc\n"),
    "empty-one": (b"", b"line\n"),
    "jis-variants": ("波〜線\n‖−¢£¬—\n".encode(), "波～線\n∥－￠￡￢―\n".encode("cp932")),
    "euc-iso-2022-jp": ("同じ行\n違う\n".encode("euc_jp"), "同じ行\n異なる\n".encode("iso2022_jp")),
}
separator = b"\n--zarvo-second-file--\n"


def write(folder, name, data):
    os.makedirs(os.path.join(here, folder), exist_ok=True)
    with open(os.path.join(here, folder, name), "wb") as out:
        out.write(data)


# Repeated 127 times by the decoding target: CP932 past the decoder's first piece of 16,384 units.
write("decode", "cp932-repeated", b"\xff" + ("ASCII text, then 日本語 ①～ and more ASCII text.\r\n" * 4).encode("cp932"))
for name, data in files.items():
    write("decode", name, b"\x00" + data)
    write("compare", "same-" + name, b"\x02\x00" + data)
for name, (a, b) in pairs.items():
    write("compare", name, b"\x00\x00" + a + separator + b)
# Each ignore option alone, then all of them applied again to a finished comparison.
for bit, option in enumerate(["trailing-blanks", "all-blanks", "blank-lines", "case"]):
    write("compare", "ignore-" + option, bytes([0, 1 << bit]) + pairs["blanks"][0] + separator +
          pairs["blanks"][1])
# Small files only: line ends compared, and the first file in an encoding chosen by hand.
write("compare", "line-ends-compared", b"\x00\x40" + pairs["endings"][0] + separator + pairs["endings"][1])
write("compare", "chosen-euc-jp", b"\x10\x80" + pairs["utf8-cp932"][0] + separator + pairs["utf8-cp932"][1])
write("compare", "ignore-all-again", b"\x00\x1f" + pairs["blanks"][0] + separator + pairs["blanks"][1])
# Both files of a pair repeated 16 times: changes too large to pair lines by likeness.
write("compare", "repeated-16-times", b"\x3d\x00" + pairs["edit"][0] + b"\n".join(
    b"line %d" % i for i in range(40)) + separator + pairs["edit"][1] + b"\n".join(
    b"line %d changed" % i for i in range(40)))
write("compare", "one-byte-changed", b"\x47\x00" + files["utf8"])
write("compare", "over-the-limit", b"\x80\x00" + pairs["edit"][0] + separator + pairs["edit"][1])
# Large files built from a few lines: reordered, a few lines repeated, blocks moved, edits.
for how, name in enumerate(["reordered", "few-lines", "moved-blocks", "edited"]):
    write("compare", "large-" + name, bytes([0, 0x20 | (how << 6)]) + b"}\n\nreturn 0;\n\t{\n")
