#!/usr/bin/env python3
"""Seed corpora for the fuzz targets, cut from the shared document corpus at build time.

make_seeds.py CORPUS_DIR OUT_DIR

Each target gets a folder OUT_DIR/<target> of small inputs (pieces of real documents, cut at
line ends), in the layout its harness reads. Nothing here is committed: the pieces are made
again from the corpus on every build.
"""
import os
import random
import sys

PIECE = 2048      # bytes per piece: small inputs keep the executions fast
PIECES = 12       # pieces taken from each file (spread over the whole file)


def read(corpus, rel):
    with open(os.path.join(corpus, rel), 'rb') as f:
        return f.read()


def pieces(data, size=PIECE, count=PIECES):
    """Up to `count` pieces of about `size` bytes, spread evenly, each starting at a line."""
    if len(data) <= size:
        return [data]
    out = []
    step = max(1, (len(data) - size) // count)
    for start in range(0, len(data) - size + 1, step):
        nl = data.find(b'\n', start)
        begin = start if start == 0 or nl < 0 else nl + 1
        end = data.rfind(b'\n', begin, begin + size)
        out.append(data[begin:(end + 1 if end > begin else begin + size)])
        if len(out) == count:
            break
    return out


def fdp_string(b):
    """A string as FuzzedDataProvider::ConsumeRandomLengthString reads it back."""
    return b.replace(b'\\', b'\\\\') + b'\\\x01'


def write(out, target, seeds):
    folder = os.path.join(out, target)
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        os.remove(os.path.join(folder, old))
    for i, s in enumerate(seeds):
        with open(os.path.join(folder, 'seed%04d' % i), 'wb') as f:
            f.write(s)


def main():
    corpus, out = sys.argv[1], sys.argv[2]
    rnd = random.Random(19)
    texts = [read(corpus, p) for p in (
        'text/encodings/pushkin_pikovaya_dama.cp1251.txt',
        'text/books/tolstoy_anna_karenina.cp1251.txt',
        'text/vimtutor/vimtutor_ru.cp1251.txt',
        'text/detect/chardet_ude_1.windows-1251.txt',
        'text/encodings/pushkin_pikovaya_dama.koi8r.txt',
        'text/misc/fortunes_ru_knowledge.utf8.txt',
    )]
    text_pieces = [p for t in texts for p in pieces(t)]
    dic = read(corpus, 'dict/mueller7_stress_top1000.cp1251.dic')
    abbrev = read(corpus, 'dict/mueller7_abbrev.cp1251.dic')
    dic_pieces = pieces(dic, 1024) + pieces(abbrev, 1024)
    words = read(corpus, 'wordlists/hunspell_ru_words.cp1251.txt').split(b'\n')
    names = read(corpus, 'wordlists/hunspell_ru_proper_nouns.cp1251.txt').split(b'\n')
    words = [w.strip() for w in words if w.strip()]
    names = [w.strip() for w in names if w.strip()]

    # Plain text in, as the word list, numbers and chapter routines take it.
    write(out, 'WordList_fuzz', text_pieces + dic_pieces)
    write(out, 'NumberWords_fuzz', text_pieces)

    # Settings files: lines of the corpus shaped into sections and keys.
    inis = []
    for p in text_pieces[:40]:
        lines = [l.strip() for l in p.split(b'\n') if l.strip()]
        body = []
        for i, l in enumerate(lines):
            if i % 8 == 0:
                body.append(b'[' + l[:24] + b']')
            else:
                k, _, v = l.partition(b' ')
                body.append(k + b'=' + v)
        inis.append(b'\r\n'.join(body) + b'\r\n')
    write(out, 'IniFile_fuzz', inis)

    # Rule files made of dictionary words, a dictionary piece and a text piece.
    def rules():
        lines = []
        for _ in range(8):
            a, b = rnd.choice(words), rnd.choice(words)
            lines.append(rnd.choice([a + b'=' + b, b'@' + a + b'=' + b,
                                     b'\\b' + a[:4] + b'(\\w+)=' + b + b'$1',
                                     b'#' + a, a + b'\\s+' + b + b'=$&']))
        return b'\r\n'.join(lines) + b'\r\n'
    write(out, 'DictionaryFiles_fuzz',
          [fdp_string(d) + fdp_string(rules()) + t[:1024] + b'\x00\x00'
           for d, t in zip(dic_pieces * 3, text_pieces)])

    # Books with chapter headings: settings bytes are read from the end.
    series = []
    for t in texts[:3]:
        for p in pieces(t, 4096, 8):
            series.append(p + bytes([rnd.randrange(256) for _ in range(4)]))
    write(out, 'Series_fuzz', series)

    write(out, 'LitFormat_fuzz', [p[:1500] + bytes(rnd.randrange(256) for _ in range(12))
                                  for p in text_pieces])
    hunt = [fdp_string(b'\r\n'.join(rnd.sample(words, 20) + rnd.sample(names, 5))) + p[:1500] +
            b'\x05\x20\x01' for p in text_pieces]
    write(out, 'Reports_fuzz', hunt)

    # The document readers: pieces of real documents of each kind.
    def docs(*rels, size=PIECE):
        return [p for rel in rels for p in pieces(read(corpus, rel), size)]
    write(out, 'CodePages_fuzz', docs(
        'text/encodings/pushkin_pikovaya_dama.cp866.txt',
        'text/encodings/pushkin_pikovaya_dama.koi8r.txt',
        'text/encodings/pushkin_pikovaya_dama.utf8-bom.txt',
        *['text/detect/' + n for n in sorted(os.listdir(os.path.join(corpus, 'text/detect')))]))
    write(out, 'HtmlToText_fuzz', docs(
        'html/chekhov_dama_s_sobachkoy.cp1251.html', 'html/debian_faq_pkg-basics.ru.utf8.html',
        'html/apache22_handler.html.ru.koi8-r', 'fb2/pushkin_pikovaya_dama.cp1251.fb2',
        size=4096))
    write(out, 'RtfReader_fuzz', docs(
        'rtf/pushkin_pikovaya_dama.ansicpg1251.rtf',
        'rtf/chekhov_dama_s_sobachkoy.libreoffice.rtf', size=4096))
    fb2 = read(corpus, 'fb2/pushkin_pikovaya_dama.cp1251.fb2')
    binaries = []
    at = fb2.find(b'<binary')
    while at >= 0 and len(binaries) < 12:
        body = fb2.find(b'>', at) + 1
        binaries.append(fb2[body:body + 3000])
        at = fb2.find(b'<binary', body)
    write(out, 'Base64Decode_fuzz', binaries)
    write(out, 'Filter_fuzz', [d + b'\x00' + t[:1024] for d, t in zip(dic_pieces * 3, text_pieces)])
    write(out, 'regexpr_fuzz', [bytes([rnd.randrange(64)]) + l + b'\x00' + t[:512]
                                for l, t in zip(rules().split(b'\r\n') * 8, text_pieces)])


if __name__ == '__main__':
    main()
