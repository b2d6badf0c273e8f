#!/usr/bin/env bash
# Benchmark of the reversed word-list build on a real dictionary: Debian's trans-de-en
# (German-English), converted into a FROM word list with German head words. Times the build
# natively, with and without a sort table, against GNU sort of the same reversed lines with the
# same ordering rule (bytes after folding case, LC_ALL=C sort -f), measured in the same run.
#
#   bench/run.sh [--large] [native build directory]
#
# The native build directory is build/native unless given. With a cross tree it also times
# setup.exe's own build under Wine: the 32-bit build (build/cross) where this host runs it, else
# the 64-bit one (build/cross64); SETUP_WINE_ARCHES=x86_64 picks the 64-bit one on a host that
# runs both (scripts/wine-env.sh). It times through the UI driver, against the same reference,
# and the phases of the same build in the Windows benchmark program (the platform collation, the
# GDI progress display on a window), and says which Windows build it timed. --large adds
# setup.exe's build of a made-up list of 12,000,000 scratch records under Wine, with its time
# and peak memory (a minute or more). Beside the native times it prints the minor page faults
# of each build and of the reference: unlike times, they do not depend on the machine's load.
set -euo pipefail

large=0
if [ "${1:-}" = --large ]; then large=1; shift; fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/native}" && pwd)  # the script works in a directory of its own
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

"$root/bench/trans-de-en.sh" "$dictionary" > de-en.txt
"$build/tools/wltool" pack de-en.txt language/from.wb --utf8 --cut --leave-out 2> pack.log || true
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

# setup.exe's own build under Wine, when the cross tree exists (scripts/run-sample.sh makes it):
# the time from Start to the closing box, and that time less the time of the same run building
# a list of one record (Wine, the window, the copies, the box), each the best of three, against
# the reference sort, best of three in this run.
source "$root/scripts/wine-env.sh"
decide_wine_arches
arch=${SETUP_WINE_RUNS%% *}
cross=$( [ -n "$arch" ] && cross_tree_of "$arch" || true)
if [ -n "$arch" ] && [ -f "$cross/build.ninja" ]; then
  cmake --build "$cross" --target setup uidriver wlbench -j2 >/dev/null
  use_wine_arch "$arch"
  start_xvfb_if_needed
  setup_wine_prefix
  echo "== Windows build timed under Wine: $arch (${cross#"$root"/}/setup.exe)"
  winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
  medium=$work/medium
  mkdir -p "$medium/language" "$medium/tables"
  cp language/from.wb "$medium/language/from.wb"
  head -c 84 language/from.wb > "$medium/language/one.wb"
  printf 'from.wb,de,en,German - English\r\nfrom.wb\r\nto.wb\r\n' > "$medium/full.cf"
  printf 'one.wb,de,en,German - English\r\none.wb\r\nto.wb\r\n' > "$medium/one.cf"
  # The same folding table as wlbench --table.
  for b in $(seq 0 255); do
    w=$b; [ "$b" -ge 65 ] && [ "$b" -le 90 ] && w=$((b + 32)); [ "$b" -eq 1 ] && w=2
    printf "\\$(printf %03o "$w")"
  done > "$medium/tables/english.stb"
  copies='mkdir language\r\nmkdir tables\r\ncopy language\\from.wb language\\from.wb\r\ncopy language\\one.wb language\\one.wb\r\n'
  wine_ms() {  # $1: install.inf text; prints the milliseconds until the first box, or until the exit
    printf "$1" > "$medium/install.inf"
    rm -rf "$work/target"
    wine_exec "$cross/tests/e2e/uidriver.exe" "$(winpath "$cross/setup.exe")" "$(winpath "$medium")" \
      "$(winpath "$work/target")" "$(winpath "$work")" > wine.log 2>/dev/null || { cat wine.log >&2; return 1; }
    rm -f "$work"/*.bmp
    sed -n 's/^message box after \([0-9]*\) ms.*/\1/p; s/^setup.exe exit code: 0 (\([0-9]*\) ms after Start)/\1/p' wine.log | tr -d '\r' | head -n 1
  }
  reference_ms() {
    local t0 t1
    t0=$(date +%s%N)
    LC_ALL=C sort -f -t "$(printf '\t')" -k1,1 --parallel=1 -o sorted.txt reversed.txt
    t1=$(date +%s%N)
    echo $(((t1 - t0) / 1000000))
  }
  best_of_3() {  # $@: a command printing milliseconds; prints the smallest of three runs
    local best="" ms
    for _ in 1 2 3; do
      ms=$("$@")
      if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
  }
  seconds() { awk -v m="$1" 'BEGIN { printf "%.3f", m / 1000 }'; }
  ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
  for variant in "without sort table" "with a folding sort table"; do
    extra=""; [ "$variant" = "with a folding sort table" ] && extra='copy tables\\english.stb tables\\english.stb\r\n'
    base=$(best_of_3 wine_ms "$copies${extra}copy one.cf language.cf\r\nmkwlist\r\n")
    full=$(best_of_3 wine_ms "$copies${extra}copy full.cf language.cf\r\nmkwlist\r\n")
    ref=$(best_of_3 reference_ms)
    echo "== setup.exe under Wine, $variant (best of 3 each)"
    echo "Start to closing box:          $(seconds "$full") s"
    echo "the same run, one record:      $(seconds "$base") s"
    echo "build (the difference):        $(seconds $((full - base))) s"
    echo "reference seconds:             $(seconds "$ref") s"
    echo "ratio Start-to-box/ref:        $(ratio "$full" "$ref")"
    echo "ratio build/ref:               $(ratio $((full - base)) "$ref")"
  done

  # The phase split of the same build in the Windows benchmark program, on this run's list.
  echo "== phases under Wine, English collation"
  wine_exec "$cross/tools/wlbench.exe" 2>/dev/null | tr -d '\r'
  echo "== phases under Wine, folding sort table"
  wine_exec "$cross/tools/wlbench.exe" --table 2>/dev/null | tr -d '\r'

  if [ "$large" = 1 ]; then
    # setup.exe builds a made-up list already in the target (no copy in the timing); its peak
    # memory is the highest resident size (VmHWM) of its Wine process, read while it runs, as
    # are its minor page faults (Wine's own counters report none): the last value seen.
    echo "== setup.exe under Wine, 1,500,000 FROM records with 8 translations each"
    big=$work/large
    rm -rf "$big"
    mkdir -p "$big/medium" "$big/target/language"
    "$build/tools/wlbench" --write-large "$big/target/language/large.wb"
    printf 'large.wb,de,en,German - English\r\nlarge.wb\r\nto.wb\r\n' > "$big/medium/large.cf"
    printf 'copy large.cf language.cf\r\nmkwlist\r\n' > "$big/medium/install.inf"
    wine_exec "$cross/tests/e2e/uidriver.exe" "$(winpath "$cross/setup.exe")" "$(winpath "$big/medium")" \
      "$(winpath "$big/target")" "$(winpath "$big")" > "$big/wine.log" 2>/dev/null &
    driver=$!
    pattern=$(winpath "$cross/setup.exe" | sed 's/[\\.]/\\&/g')  # this tree's setup.exe only
    peak=0
    faults=0
    while kill -0 "$driver" 2>/dev/null; do
      for pid in $(pgrep -fx "$pattern" || true); do
        kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
        if [ -n "$kb" ] && [ "$kb" -gt "$peak" ]; then peak=$kb; fi
        minflt=$(awk '{ print $10 }' "/proc/$pid/stat" 2>/dev/null || true)
        if [ -n "$minflt" ] && [ "$minflt" -gt "$faults" ]; then faults=$minflt; fi
      done
      sleep 0.1
    done
    wait "$driver" || { cat "$big/wine.log" >&2; exit 1; }
    tr -d '\r' < "$big/wine.log" | sed -n 's/^message box after \([0-9]*\) ms \(.*\)/closing box after \1 ms: \2/p'
    ms=$(tr -d '\r' < "$big/wine.log" | sed -n 's/^message box after \([0-9]*\) ms.*/\1/p' | head -n 1)
    echo "Start to closing box:          $(seconds "$ms") s"
    echo "scratch records:               $(($(stat -c %s "$big/target/language/large.wb") / 84 * 8))"
    echo "peak resident size:            $((peak / 1024)) MB ($(awk -v k="$peak" 'BEGIN { printf "%.1f", k * 1024 / 12000000 }') bytes per scratch record)"
    echo "minor page faults:             $faults (of the whole Wine process, at least)"
    rm -rf "$big"
  fi
elif [ "$large" = 1 ]; then
  echo "bench: --large needs Wine and the cross tree of an architecture that runs here (build/cross or build/cross64)" >&2
  exit 1
fi
