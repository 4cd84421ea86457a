#!/usr/bin/env python3
"""Finds links in the project's markdown documents that lead nowhere.

Every tracked *.md file is read, outside code blocks and code spans. A link
to a file or folder must name one that git tracks, inside the repository
(so no links that only a git host's web pages resolve, such as ../../tree/TAG);
a link to #anchor must name a heading of that file (GitHub's anchors: lower
case, punctuation dropped, blanks to hyphens); a reference link [text][name]
must have its definition. Links to web pages (http:, https:, mailto:) are
counted, not fetched. Prints each bad link with its file and line, and exits
1 if there is one.

Usage: scripts/check/links.py
"""
import os
import re
import subprocess
import sys
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


def main():
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
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
