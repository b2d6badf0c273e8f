#!/usr/bin/env bash
# Benchmark of the reversed word-list build on a real dictionary: Debian's trans-de-en
# (German-English), converted into a FROM word list with German head words. Times the build
# natively, with and without a sort table, against GNU sort of the same reversed lines with the
# same ordering rule (bytes after folding case, LC_ALL=C sort -f), measured in the same run.
#
#   bench/run.sh [native build directory]      (default build/wl-native)
#
# Hook for the Windows timing: set SETUP_BENCH_WINE_CMD to a command that builds
# language/to.wb from language/from.wb in the current directory under Wine (for example a
# setup.exe run on a prepared medium); the script runs it in the work directory and times it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/wl-native}" && pwd)  # the script works in a directory of its own
work=$build/bench-work
dictionary=/usr/share/trans/de-en

if [ ! -f "$dictionary" ]; then
  if [ "$(id -u)" -ne 0 ]; then echo "bench: install trans-de-en first (apt-get install trans-de-en)" >&2; exit 1; fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq trans-de-en >/dev/null
fi
cmake --build "$build" --target wltool wlbench -j2 >/dev/null

rm -rf "$work"
mkdir -p "$work/language"
cd "$work"

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
  }' "$dictionary" > de-en.txt
"$build/tools/wltool" pack de-en.txt language/from.wb --utf8 --cut 2> pack.log || true
tail -n 1 pack.log

# The scratch list as text: one "translation<TAB>head word" line per piece that the build
# writes (leading blanks skipped, translations over 30 and head words over 50 left out).
LC_ALL=C "$build/tools/wltool" dump language/from.wb --cp1252 | LC_ALL=C awk -F '\t' '{
    n = split($2, pieces, /,+/)
    for (i = 1; i <= n; ++i) {
      p = pieces[i]; if (p == "") continue
      sub(/^ +/, "", p)
      if (length(p) <= 30 && length($1) <= 50) print p "\t" $1
    }
  }' > reversed.txt
echo "reversed lines: $(wc -l < reversed.txt)"

run() {
  echo "== $1"
  shift
  "$build/tools/wlbench" "$@" --reference env LC_ALL=C sort -f -t "$(printf '\t')" -k1,1 "$sort_threads" -o sorted.txt reversed.txt
}
sort_threads=--parallel=1
run "build without sort table vs. single-threaded sort"
run "build with a folding sort table vs. single-threaded sort" --table
sort_threads=--parallel=2
run "build without sort table vs. sort on two threads"

if [ -n "${SETUP_BENCH_WINE_CMD:-}" ]; then
  echo "== under Wine: $SETUP_BENCH_WINE_CMD"
  start=$(date +%s.%N)
  sh -c "$SETUP_BENCH_WINE_CMD"
  echo "seconds: $(echo "$(date +%s.%N) - $start" | bc)"
fi
