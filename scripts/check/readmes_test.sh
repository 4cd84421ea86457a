#!/usr/bin/env bash
# Plants one fault at a time in copies of the READMEs and the sample settings
# file and checks that scripts/check/readmes.py fails on each, saying why, and
# that it still passes on changes that alter no fact.
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-readmes-XXXXXX")
trap 'rm -rf "$work"' EXIT

# files | filter applied to each of them | "pass", or what the check must say
cases=(
  "README.md|cat|pass"
  "README.ja.md|sed 's/100 個まで/99 個まで/'|only in README.md: 100; only in README.ja.md: 99"
  "README.md|sed 's/At most 100 folders/At most 99 folders/'|only in README.md: 99;"
  "README.ja.md|sed 's/255 バイトずつ/256 バイトずつ/'|section 'settings-file' states other numbers"
  "README.md|sed 's/about 13 KB/about 14 KB/'|section 'using' states other numbers"
  "README.ja.md|sed 's/Windows 11 のメモ帳/Windows 12 のメモ帳/'|section 'ansi' states other numbers"
  "README.md|sed 's/screens scaled/screens scaled to 150 % or/'|only in README.md: 150"
  "README.ja.md|sed 's/fact: ansi/fact: x/; s/fact: dialogs/fact: ansi/; s/fact: x/fact: dialogs/'|the fact sections differ"
  "README.md|sed '/fact: license/d'|the fact sections differ"
  "README.md README.ja.md|sed '/fact: /d'|the fact sections differ: README.md has []"
  "README.ja.md|sed 's/Windows.Temp\"$/Temp\"/'|the \`\`\`text examples of README.md and README.ja.md differ"
  "README.md README.ja.md|sed 's/Windows.Temp\"$/Temp\"/'|is not the text of examples/設定.txt"
  "examples/設定.txt|sed 's/\r$//'|does not end every line with CR LF"
  "examples/設定.txt|sed '2s/\r$//'|does not end every line with CR LF"
  "examples/設定.txt|head -c -2|does not end every line with CR LF"
  "examples/設定.txt|iconv -f CP932 -t UTF-8|examples/設定.txt is UTF-8, not Shift_JIS"
  "README.ja.md|sed 's/\`設定.txt\`/\`settings.txt\`/g'|README.ja.md does not name \`設定.txt\`"
  "README.md|sed 's/\"設定\"/\"Settings\"/g'|README.md does not name \"設定\""
  "README.md|perl -0pe 's/To save in ANSI:.*?3\. Click \*\*Save\*\*\./To save in ANSI: **File › Save As**, and in the **Encoding** box beside the Save button choose **ANSI**, then Save. The steps and labels are the same in Notepad on Windows 10 and 11./s'|section 'ansi': only README.ja.md names the Windows label **文字コード** / [文字コード]"
  "README.ja.md|sed 's/Windows Vista 以降のどの Windows/Windows 7 以降のどの Windows/'|only in README.md: Vista; only in README.ja.md: 7"
  "README.md|sed 's/Windows Vista and later/Windows 7 and later/'|section 'dialogs' states other numbers: only in README.md: 7; only in README.ja.md: Vista"
  "README.md|sed 's/\*\*Show more options\*\*/Show more options/'|section 'using': only README.ja.md names the Windows label **Show more options**"
  "README.md|sed 's/check \*\*Unblock\*\*/check Unblock/'|section 'using': only README.ja.md names the Windows label **Unblock** / [許可する]"
  "README.ja.md|sed 's/全角で約 127 文字/全角で約 85 文字/'|section 'settings-file' states other numbers: only in README.md: 127; only in README.ja.md: 85"
  "README.ja.md|sed '/fact: unproven/d'|the fact sections differ"
  "README.md|sed 's/\*\*Copy as path\*\*/**Copy path**/'|section 'settings-file': only README.ja.md names the Windows label **Copy as path**"
  "README.ja.md|sed 's/\[OK\] をクリック/[適用] をクリック/'|README.ja.md names [適用], a Windows label this check does not know"
  "README.ja.md|sed '/^. .# 仕事用/d'|the example rows of README.md and README.ja.md differ"
  "README.md README.ja.md|sed '/<!-- examples -->/d'|the example rows of README.md and README.ja.md differ"
  "README.ja.md|sed 's/100 個/１００ 個/'|pass"
  "README.ja.md|sed 's/\[保存する場所\]/[保存する場所] /'|pass"
  "README.ja.md|sed 's/約 13 KB/約13KB/'|pass"
  "README.ja.md|sed 's/（コード ページ 932）/（コード ページ 932、UTF-8 とは別物）/'|pass"
  "README.ja.md|sed 's/KERNEL32、USER32、msvcrt/KERNEL32、USER32（Win32 API）、msvcrt/'|pass"
  "README.md|sed 's/a Debian 12 guest/a Debian 13 guest/'|pass"
  "README.md README.ja.md examples/設定.txt|LC_ALL=C sed '/^\"[^ -~].*\"\r\\?$/d'|pass"
)

failed=0
for case in "${cases[@]}"; do
  IFS='|' read -r files filter expected <<<"$case"
  rm -rf "$work/tree" && mkdir -p "$work/tree/examples"
  cp README.md README.ja.md "$work/tree/" && cp examples/設定.txt "$work/tree/examples/"
  for file in $files; do
    eval "$filter" <"$work/tree/$file" >"$work/changed" && mv "$work/changed" "$work/tree/$file"
    if cmp -s "$work/tree/$file" "$file" && [ "$filter" != cat ]; then
      echo "FAIL $files | $filter: changes nothing"; failed=1; continue 2
    fi
  done
  status=0 && output=$(python3 scripts/check/readmes.py "$work/tree" 2>&1) || status=$?
  if [ "$expected" = pass ]; then
    [ "$status" -eq 0 ] && outcome=ok || outcome=FAIL
  else
    [ "$status" -ne 0 ] && grep -qF -- "$expected" <<<"$output" && outcome=ok || outcome=FAIL
  fi
  echo "$outcome $files | $filter"
  [ "$outcome" = ok ] || { failed=1; sed 's/^/     /' <<<"$output"; }
done
echo "check-readmes_test: ${#cases[@]} cases"
exit "$failed"
