#!/usr/bin/env python3
"""Text recall of emf2pdf: the share of the words of each EMF's own text
records (EXTTEXTOUTW/A, POLYTEXTOUTW/A, SMALLTEXTOUT; glyph-index text is
left out, its characters are only known through the font, and so is the
text of symbol fonts, whose codes are pictures) that pdftotext
finds in the PDF emf2pdf makes of it. Prints per file and over the corpus,
and the bytes of all outputs.

usage: textrecall.py EMF2PDF CORPUS_DIR [OUT_DIR]"""
import collections, os, re, struct, subprocess, sys, tempfile

# Faces whose codes are pictures whatever charset the LOGFONT names.
SYMBOL_FACES = {"symbol", "wingdings", "wingdings 2", "wingdings 3", "webdings"}
WORD = re.compile(r"\w+", re.UNICODE)
CODEPAGE = {238: "cp1250", 204: "cp1251", 161: "cp1253", 162: "cp1254", 177: "cp1255", 178: "cp1256",
            186: "cp1257", 163: "cp1258", 222: "cp874", 128: "cp932", 134: "gbk", 129: "cp949", 136: "cp950"}


def picture_box(data):
    """The EMF's frame in device pixels (the part of the picture GDI shows)."""
    frame = struct.unpack_from("<4i", data, 24)
    dev = struct.unpack_from("<2i", data, 72)
    mm = struct.unpack_from("<2i", data, 80)
    if mm[0] <= 0 or mm[1] <= 0:
        return None
    kx, ky = dev[0] / (mm[0] * 100.0), dev[1] / (mm[1] * 100.0)
    return frame[0] * kx, frame[1] * ky, frame[2] * kx, frame[3] * ky


def visible(rec, box):
    """False when the record's bounds lie wholly outside the picture."""
    if box is None or len(rec) < 24:
        return True
    l, t, r, b = struct.unpack_from("<4i", rec, 8)
    if r < l or b < t:   # no bounds recorded
        return True
    return not (r < box[0] - 1 or l > box[2] + 1 or b < box[1] - 1 or t > box[3] + 1)


def text_records(data):
    """Yields the decoded text of every text record (not glyph-index) that
    lies inside the picture."""
    fonts, charset, symbolic, pos = {}, 1, False, 0
    box = picture_box(data) if len(data) >= 88 else None
    while pos + 8 <= len(data):
        typ, size = struct.unpack_from("<II", data, pos)
        if size < 8 or pos + size > len(data):
            break
        rec = data[pos:pos + size]
        try:
            if typ == 82 and size >= 12 + 92:      # EXTCREATEFONTINDIRECTW
                face = rec[12 + 28:12 + 92].decode("utf-16le", "replace").split("\0")[0].strip().lower()
                fonts[struct.unpack_from("<I", rec, 8)[0]] = (rec[12 + 23], face in SYMBOL_FACES)
            elif typ == 37:                          # SELECTOBJECT
                h = struct.unpack_from("<I", rec, 8)[0]
                if h in fonts:
                    charset, symbolic = fonts[h]
            elif typ in (83, 84, 96, 97, 108) and (not visible(rec, box) or charset == 2 or symbolic):
                pass   # outside the picture, or pictographs of a symbol font (no words)
            elif typ in (83, 84):
                yield from emrtext(rec, 36, typ == 84, charset)
            elif typ in (96, 97):                    # POLYTEXTOUTA/W
                n = struct.unpack_from("<I", rec, 36)[0]
                for i in range(min(n, 10000)):
                    yield from emrtext(rec, 40 + i * 40, typ == 97, charset)
            elif typ == 108:                         # SMALLTEXTOUT
                n, opts = struct.unpack_from("<II", rec, 16)
                at = 36 if opts & 0x100 else 52
                if not opts & 0x10:
                    if opts & 0x200:
                        yield rec[at:at + n].decode("latin-1")
                    else:
                        yield rec[at:at + 2 * n].decode("utf-16le", "replace")
        except (struct.error, LookupError):
            pass
        pos += size


def emrtext(rec, at, wide, charset):
    n, off, opts = struct.unpack_from("<III", rec, at + 8)
    if opts & 0x10 or n == 0:
        return
    if wide:
        yield rec[off:off + 2 * n].decode("utf-16le", "replace")
    elif charset == 2:
        yield rec[off:off + n].decode("latin-1")
    else:
        yield rec[off:off + n].decode(CODEPAGE.get(charset, "cp1252"), "replace")


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    tool, corpus = sys.argv[1], sys.argv[2]
    out = sys.argv[3] if len(sys.argv) > 3 else tempfile.mkdtemp(prefix="textrecall-")
    os.makedirs(out, exist_ok=True)
    files = sorted(os.path.join(d, f) for d, _, fs in os.walk(corpus) for f in fs
                   if f.lower().endswith(".emf") and "corrupted" not in d)
    total_words = total_found = 0
    size = 0
    print("%-40s %7s %7s %7s" % ("file", "words", "found", "recall"))
    for path in files:
        data = open(path, "rb").read()
        words = [w for t in text_records(data) for w in WORD.findall(t)]
        pdf = os.path.join(out, os.path.relpath(path, corpus).replace(os.sep, "_")[:-4] + ".pdf")
        subprocess.run([tool, "-o", pdf, path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if os.path.exists(pdf):
            size += os.path.getsize(pdf)
        if not words:
            continue
        text = subprocess.run(["pdftotext", "-enc", "UTF-8", pdf, "-"], capture_output=True).stdout.decode("utf-8", "replace") \
            if os.path.exists(pdf) else ""
        tokens = collections.Counter(WORD.findall(text))
        joined = re.sub(r"\s+", "", text)
        found = 0
        for w in words:
            if tokens[w] > 0:
                tokens[w] -= 1
                found += 1
            elif w in joined:   # a word drawn in pieces (one record per letter)
                found += 1
        total_words += len(words)
        total_found += found
        print("%-40s %7d %7d %6.1f%%" % (os.path.relpath(path, corpus)[:40], len(words), found, 100.0 * found / len(words)))
    print("-" * 64)
    recall = 100.0 * total_found / total_words if total_words else 100.0
    print("corpus: %d files, %d words, %d found, recall %.2f%%" % (len(files), total_words, total_found, recall))
    print("output size: %d bytes (%.2f MB)" % (size, size / 1e6))
    return 0


if __name__ == "__main__":
    sys.exit(main())
