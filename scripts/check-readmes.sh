#!/usr/bin/env bash
# Fails when README.md and README.ja.md tell a user different facts: the same
# `<!-- fact: NAME -->` sections in the same order, each stating the same numbers
# as often (none in one language only; text outside the sections, such as the
# developer half, is not compared), the same ```text example, examples/設定.txt.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}" # the folder of the READMEs: the project, or a test's copy
exec python3 - <<'EOF'
import collections, re, sys, unicodedata

en, ja = (open(name, encoding="utf-8").read() for name in ("README.md", "README.ja.md"))
faults = []

def sections(text):
    # A section runs from its fact comment to the next one (`<!-- /fact -->` ends one).
    parts = re.split(r"<!-- (fact: [\w-]+|/fact) -->", text)
    return [(tag[6:], body) for tag, body in zip(parts[1::2], parts[2::2]) if tag != "/fact"]

def numbers(body):
    body = unicodedata.normalize("NFKC", body)  # full-width digits count as digits
    body = re.sub(r"(?m)^ *[0-9]+\. ", "", body)  # the markers of numbered steps
    # A number glued to a name on its left is part of the name: UTF-8, Windows-1252, KERNEL32.
    return collections.Counter(re.findall(r"(?<![A-Za-z0-9_.\\-])[0-9]+(?:[.,][0-9]+)*", body))

def listed(counter):
    return " ".join(sorted(counter.elements(), key=lambda n: (len(n), n))) or "none"

en_sections, ja_sections = sections(en), sections(ja)
en_names, ja_names = [n for n, _ in en_sections], [n for n, _ in ja_sections]
if not en_names or en_names != ja_names:
    faults.append(f"the fact sections differ: README.md has {en_names}, README.ja.md has {ja_names}")
else:
    for (name, en_body), (_, ja_body) in zip(en_sections, ja_sections):
        a, b = numbers(en_body), numbers(ja_body)
        if a != b:
            faults.append(f"section '{name}' states other numbers: only in README.md: {listed(a - b)};"
                          f" only in README.ja.md: {listed(b - a)}")

for readme, text, menu_item in (("README.md", en, '"設定"'), ("README.ja.md", ja, "「設定」")):
    for name in ("`設定.txt`", menu_item):
        if name not in text:
            faults.append(f"{readme} does not name {name}")

examples = [re.findall(r"(?ms)^```text\n(.*?)^```", text) for text in (en, ja)]
raw = open("examples/設定.txt", "rb").read()
if not examples[0] or examples[0] != examples[1]:
    faults.append("the ```text examples of README.md and README.ja.md differ")
elif raw.count(b"\n") != raw.count(b"\r\n") or not raw.endswith(b"\r\n"):
    faults.append("examples/設定.txt does not end every line with CR LF")
elif not raw.isascii() and raw.decode("utf-8", "replace").find("\ufffd") < 0:
    faults.append("examples/設定.txt is UTF-8, not Shift_JIS")
elif raw.decode("cp932", "replace").replace("\r\n", "\n") != examples[0][0]:
    faults.append("the README example is not the text of examples/設定.txt (Shift_JIS, CR LF)")

for fault in faults:
    print("readmes:", fault)
if faults:
    sys.exit(1)
stated = sum(sum(numbers(body).values()) for _, body in en_sections)
print(f"readmes: {len(en_names)} sections agree, stating {stated} numbers; the example is examples/設定.txt")
EOF
