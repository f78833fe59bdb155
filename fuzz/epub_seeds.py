#!/usr/bin/env python3
"""Seed inputs for Epub_fuzz, made from the corpus FB2 book: EPUB 2 and EPUB 3 archives, and the
same books as entry lists (name, line feed, bytes; entries separated by \\x01), the form the
fuzz target packs itself.  Usage: epub_seeds.py CORPUS_DIR OUT_DIR"""
import base64
import os
import re
import sys
import zipfile


def book(corpus):
    with open(os.path.join(corpus, "fb2", "pushkin_pikovaya_dama.utf8.fb2"), encoding="utf-8") as f:
        fb2 = f.read()
    title = re.search(r"<book-title>(.*?)</book-title>", fb2).group(1)
    author = " ".join(re.findall(r"<(?:first|last)-name>(.*?)</", fb2)[:2])
    # Short sections keep the seeds small and the executions fast: the text itself is the
    # HtmlToText target's business.
    sections = [s[:200] for s in re.findall(r"<section[^>]*>(.*?)</section>", fb2, re.S)[:3]]
    pictures = [(m.group(1), m.group(2), base64.b64decode(m.group(3)))
                for m in re.finditer(r'<binary id="([^"]+)" content-type="([^"]+)">(.*?)</binary>',
                                     fb2, re.S)]
    return title, author, sections, sorted(pictures, key=lambda p: len(p[2]))[:1]


def entries(version, title, author, sections, pictures):
    folder = "OEBPS/" if version == 2 else "book/"
    out = [("mimetype", "application/epub+zip"),
           ("META-INF/container.xml",
            '<?xml version="1.0"?><container version="1.0" '
            'xmlns="urn:oasis:names:tc:opendocument:xmlns:container"><rootfiles>'
            f'<rootfile full-path="{folder}content.opf" '
            'media-type="application/oebps-package+xml"/></rootfiles></container>')]
    manifest, spine = "", ""
    for k, body in enumerate(sections, 1):
        manifest += f'<item id="s{k}" href="text/part%20{k}.xhtml" media-type="application/xhtml+xml"/>'
        spine += f'<itemref idref="s{k}"/>'
        out.append((f"{folder}text/part {k}.xhtml",
                    '<?xml version="1.0" encoding="utf-8"?><html xmlns="http://www.w3.org/1999/xhtml">'
                    f"<head><title>{k}</title></head><body>{body}</body></html>"))
    for name, media, data in pictures:
        manifest += f'<item id="p-{name}" href="../images/{name}" media-type="{media}"/>'
        out.append((f"images/{name}", data))
    creator = (f'<dc:creator opf:role="aut">{author}</dc:creator>' if version == 2 else
               f'<dc:creator id="a">{author}</dc:creator><meta refines="#a" property="role">aut</meta>')
    out.append((f"{folder}content.opf",
                f'<?xml version="1.0" encoding="UTF-8"?><package xmlns="http://www.idpf.org/2007/opf" '
                f'version="{version}.0"><metadata xmlns:dc="http://purl.org/dc/elements/1.1/" '
                f'xmlns:opf="http://www.idpf.org/2007/opf"><dc:title>{title}</dc:title>{creator}'
                f"</metadata><manifest>{manifest}</manifest><spine>{spine}</spine></package>"))
    return out


def main():
    corpus, target = sys.argv[1], sys.argv[2]
    os.makedirs(target, exist_ok=True)
    parts = book(corpus)
    for version in (2, 3):
        items = entries(version, *parts)
        with zipfile.ZipFile(os.path.join(target, f"epub{version}.epub"), "w",
                             zipfile.ZIP_DEFLATED) as z:
            for name, data in items:
                z.writestr(name, data)
        listed = b"\x01".join(name.encode() + b"\n" + (data if isinstance(data, bytes) else data.encode())
                              for name, data in items)
        with open(os.path.join(target, f"epub{version}.entries"), "wb") as f:
            f.write(listed)


if __name__ == "__main__":
    main()
