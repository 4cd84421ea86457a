#!/usr/bin/env python3
"""Finds links in the project's markdown documents that lead nowhere.

Every tracked *.md file is read, outside code blocks and code spans. A link
to a file or folder must name one that git tracks, inside the repository
(so no links that only a git host's web pages resolve, such as ../../tree/TAG);
a link to #anchor must name a heading of that file (GitHub's anchors: lower
case, punctuation dropped, blanks to hyphens); a reference link [text][name]
must have its definition. Links to web pages (http:, https:, mailto:) are
counted, not fetched. Given the release zip, it checks its HTML pages too:
each link or picture names a file in the zip, each #anchor an id of that page,
and no comment (such as a fact marker), Markdown table row, link or tag is
left as text outside code. Prints each fault with its file (and line), and
exits 1 if there is one.

Usage: scripts/check/links.py [build/mingw/tarnwick-VERSION-win32.zip]
"""
import os
import posixpath
import re
import subprocess
import sys
import zipfile
from html.parser import HTMLParser
from urllib.parse import unquote

INLINE = re.compile(r"!?\[(?:[^\[\]]|\[[^\[\]]*\])*\]\(\s*<?([^)\s>]*)>?(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE = re.compile(r"!?\[((?:[^\[\]]|\[[^\[\]]*\])*)\]\[([^\[\]]*)\]")
DEFINITION = re.compile(r"^ {0,3}\[([^\[\]]+)\]:\s*<?(\S+?)>?(?:\s.*)?$")
HTML = re.compile(r"<(?:a|img)\b[^>]*?\b(?:href|src)=\"([^\"]*)\"", re.IGNORECASE)
HEADING = re.compile(r"^ {0,3}#{1,6}\s+(.*?)\s*#*\s*$")
CODE_SPAN = re.compile(r"(`+).*?\1")
EXTERNAL = re.compile(r"^[a-z][a-z0-9+.-]*:", re.IGNORECASE)


def prose_lines(text):
    """(line number, line) outside fenced code blocks, with code spans blanked."""
    fence = None
    for number, line in enumerate(text.splitlines(), 1):
        stripped = line.lstrip()
        if fence:
            if stripped.startswith(fence):
                fence = None
            continue
        if stripped.startswith("```") or stripped.startswith("~~~"):
            fence = stripped[:3]
            continue
        yield number, CODE_SPAN.sub(lambda m: " " * len(m.group(0)), line)


def anchor(heading, seen):
    """GitHub's anchor for a heading; repeated ones get -1, -2, ..."""
    text = re.sub(r"<[^>]*>", "", heading)                     # inline HTML, such as an <img>
    text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", text)     # a link keeps its text
    text = re.sub(r"[^\w\- ]", "", text.lower()).replace(" ", "-")
    count = seen.get(text, 0)
    seen[text] = count + 1
    return text if count == 0 else f"{text}-{count}"


def anchors_of(path, cache={}):
    if path not in cache:
        seen = {}
        with open(path, encoding="utf-8") as f:
            cache[path] = {anchor(m.group(1), seen) for _, line in prose_lines(f.read())
                           for m in [HEADING.match(line)] if m}
    return cache[path]


# Left as text, these show what the renderer did not turn into HTML.
UNRENDERED = re.compile(r"\|\s*:?-{3,}|\]\(|<(?:img|ins|a)\b")


class Page(HTMLParser):
    """The ids, the links and pictures, and what is left unrendered in one page."""
    def __init__(self, text):
        super().__init__()
        self.ids, self.targets, self.faults, self.code = set(), [], [], 0
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.ids.add(attrs.get("id"))
        self.targets += [attrs[a] for a in ("href", "src") if a in attrs]
        self.code += tag in ("code", "pre")

    def handle_endtag(self, tag):
        self.code -= tag in ("code", "pre")

    def handle_comment(self, data):
        self.faults.append(f"a comment is left: <!--{data}-->")

    def handle_data(self, data):
        if not self.code and UNRENDERED.search(data):
            self.faults.append(f"left as text: {data.strip()[:60]!r}")


def check_pages(zip_path):
    """Prints the faults of the HTML pages in the release zip; returns how many."""
    with zipfile.ZipFile(zip_path) as z:
        members = set(z.namelist())
        pages = {m: Page(z.read(m).decode("utf-8")) for m in members if m.endswith(".html")}
    faults = [f"{zip_path}:{m}: {f}" for m, page in sorted(pages.items()) for f in page.faults]
    for member, page in sorted(pages.items()):
        for target in page.targets:
            if EXTERNAL.match(target):
                continue
            path, _, fragment = (unquote(part) for part in target.partition("#"))
            folder, name = posixpath.split(member)
            resolved = posixpath.normpath(posixpath.join(folder, path or name))
            if resolved not in members:
                faults.append(f"{zip_path}:{member}: {target}: not in the zip")
            elif fragment and fragment not in getattr(pages.get(resolved), "ids", ()):
                faults.append(f"{zip_path}:{member}: {target}: no such id in {resolved}")
    print("\n".join(faults + [f"check-links: {zip_path}: {len(pages)} pages, {len(faults)} bad"]))
    return len(faults)


def main():
    zips = [os.path.abspath(path) for path in sys.argv[1:]]
    root = subprocess.run(["git", "rev-parse", "--show-toplevel"], capture_output=True, text=True,
                          check=True).stdout.strip()
    os.chdir(root)
    tracked = set(subprocess.run(["git", "ls-files", "-z"], capture_output=True, text=True,
                                 check=True).stdout.split("\0")) - {""}
    folders = {os.path.dirname(p) for p in tracked}
    folders |= {os.path.dirname(f) for f in folders}
    documents = sorted(p for p in tracked if p.endswith(".md"))

    bad = links = external = 0
    for doc in documents:
        with open(doc, encoding="utf-8") as f:
            lines = list(prose_lines(f.read()))
        definitions = {m.group(1).lower(): (n, m.group(2)) for n, line in lines
                       for m in [DEFINITION.match(line)] if m}
        targets = []
        for number, line in lines:
            if DEFINITION.match(line):
                continue
            targets += [(number, m.group(1)) for m in INLINE.finditer(line)]
            targets += [(number, m.group(1)) for m in HTML.finditer(line)]
            for m in REFERENCE.finditer(line):
                name = (m.group(2) or m.group(1)).lower()
                if name not in definitions:
                    print(f"{doc}:{number}: [{m.group(1)}][{m.group(2)}] has no definition")
                    bad += 1
        targets += list(definitions.values())

        for number, target in targets:
            links += 1
            if EXTERNAL.match(target):
                external += 1
                continue
            path, _, fragment = target.partition("#")
            path = unquote(path)
            if path:
                resolved = os.path.normpath(os.path.join(os.path.dirname(doc), path))
                if resolved.startswith("..") or not (resolved in tracked or resolved in folders):
                    print(f"{doc}:{number}: {target}: no such file or folder in the repository")
                    bad += 1
                    continue
            else:
                resolved = doc
            if fragment and resolved.endswith(".md") and unquote(fragment) not in anchors_of(resolved):
                print(f"{doc}:{number}: {target}: no heading with that anchor in {resolved}")
                bad += 1

    print(f"check-links: {len(documents)} documents, {links} links ({external} to the web, not "
          f"fetched), {bad} leading nowhere")
    bad += sum(check_pages(zip_path) for zip_path in zips)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
