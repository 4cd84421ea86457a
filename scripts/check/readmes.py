#!/usr/bin/env python3
"""Fails when README.md and README.ja.md tell a user different facts: the same
`<!-- fact: NAME -->` sections in the same order, each stating the same numbers
as often and naming the same Windows labels (none in one language only; text
outside the sections, such as the developer half, is not compared), the same
```text example, examples/設定.txt, and the same rows of settings-file examples.

Usage: scripts/check/readmes.py [FOLDER]  (the READMEs' folder: the project, or a test's copy)
"""
import collections, os, re, sys, unicodedata

os.chdir(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))

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
    # Windows versions count as numbers too: 10 and 11 are digits already, Vista and XP are not.
    return collections.Counter(re.findall(r"(?<![A-Za-z0-9_.\\-])[0-9]+(?:[.,][0-9]+)*|\bVista\b|\bXP\b", body))

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

# The Windows labels the guides name: README.md writes a label in bold (a menu path as
# **A › B**), README.ja.md in brackets ([A] › [B]). Where a Japanese label differs between
# Windows versions while the English one does not, README.md quotes the Japanese labels
# themselves, so that which version shows which label is a fact both guides state.
LABELS = [
    ("Send to", "送る"), ("Desktop (create shortcut)", "デスクトップ (ショートカットを作成)"),
    ("Show more options", "その他のオプションを確認"), ("Properties", "プロパティ"),
    ("Shortcut", "ショートカット"), ("Start in", "作業フォルダー"),
    ("Shortcut key", "ショートカット キー"), ("OK", "OK"), ("Copy as path", "パスのコピー"),
    ("File", "ファイル"), ("Save As", "名前を付けて保存"), ("Save", "保存"), ("ANSI", "ANSI"),
    ("エンコード", "エンコード"), ("文字コード", "文字コード"),
    ("Save in", "保存する場所"), ("Look in", "ファイルの場所"), ("Cancel", "キャンセル"),
    ("General", "全般"), ("Unblock", "許可する"), ("Extract All", "すべて展開"),
    ("Don't run", "実行しない"), ("More info", "詳細情報"), ("Run anyway", "実行"),
    ("App & browser control", "アプリとブラウザー コントロール"),
    ("Windows PowerShell", "Windows PowerShell"), ("Run as administrator", "管理者として実行"),
    ("パスのコピー", "パスのコピー"), ("パスとしてコピー", "パスとしてコピー"), ("UTF-8", "UTF-8"),
    ("Beta: Use Unicode UTF-8 for worldwide language support",
     "ベータ: ワールドワイド言語サポートで Unicode UTF-8 を使用"),
]

def english_labels(body):
    return {part for span in re.findall(r"\*\*([^*]+)\*\*", body) for part in span.split(" › ")}

def japanese_labels(body):
    return set(re.findall(r"\[([^\]]+)\](?!\()", body))  # not a link's [text](target)

if en_names == ja_names:
    for (name, en_body), (_, ja_body) in zip(en_sections, ja_sections):
        en_labels, ja_labels = english_labels(en_body), japanese_labels(ja_body)
        for label in sorted(ja_labels - {ja for _, ja in LABELS}):
            faults.append(f"section '{name}': README.ja.md names [{label}], a Windows label"
                          " this check does not know: add it and its English label to LABELS")
        for en_label, ja_label in LABELS:
            if (en_label in en_labels) != (ja_label in ja_labels):
                where = "README.md" if en_label in en_labels else "README.ja.md"
                faults.append(f"section '{name}': only {where} names the Windows label"
                              f" **{en_label}** / [{ja_label}]")

# The example rows of the settings sections (line, menu item, path) are the same in both.
def example_rows(text):
    block = re.search(r"(?s)<!-- examples -->\n.*?\n\|---.*?\n(.*?)<!-- /examples -->", text)
    return block[1].splitlines() if block else []  # the rows below the heading of the table

rows = [example_rows(text) for text in (en, ja)]
if not rows[0] or rows[0] != rows[1]:
    faults.append("the example rows of README.md and README.ja.md differ")

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
labels = sum(len({en for en, _ in LABELS} & english_labels(body)) for _, body in en_sections)
print(f"readmes: {len(en_names)} sections agree, stating {stated} numbers and {labels} Windows labels;"
      f" {len(rows[0])} example rows; the example is examples/設定.txt")
