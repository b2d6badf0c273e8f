#!/usr/bin/env bash
# Prints Debian's trans-de-en dictionary (German-English, about 200,000 lines) as the text that
# `wltool pack` reads: one "head word<TAB>translation, translation" line per German head word.
#   bench/trans-de-en.sh [dictionary file]      (default /usr/share/trans/de-en)
set -euo pipefail
# "Wort {n}; Wörtchen {n} | Wörter {pl} :: word; wordlet | words" gives one line per German
# alternative of each "|" part: "Wort<TAB>word, wordlet". Grammar marks in {}, [], (), <> go.
LC_ALL=C awk '
  function clean(s) {
    gsub(/\{[^}]*\}|\[[^]]*\]|\([^)]*\)|<[^>]*>/, "", s)
    gsub(/  +/, " ", s); sub(/^ +/, "", s); sub(/ +$/, "", s)
    return s
  }
  /^#/ || index($0, " :: ") == 0 { next }
  {
    split($0, sides, " :: ")
    parts = split(sides[1], german, " [|] ")
    if (split(sides[2], english, " [|] ") < parts) parts = length(english)
    for (k = 1; k <= parts; ++k) {
      n = split(english[k], words, /[;,]/)
      translations = ""
      for (i = 1; i <= n; ++i) {
        w = clean(words[i])
        if (w != "") translations = translations (translations == "" ? "" : ", ") w
      }
      if (translations == "") continue
      m = split(german[k], heads, /;/)
      for (i = 1; i <= m; ++i) { h = clean(heads[i]); if (h != "") print h "\t" translations }
    }
  }' "${1:-/usr/share/trans/de-en}"
