#!/usr/bin/env bash
# The 32-bit and the 64-bit setup.exe install the same media into the same target, unattended,
# each in the Wine prefix of its architecture; everything they leave must be the same: every
# file of the target tree byte for byte (but uninstall.exe, a copy of each build, and the uninstall
# record, compared less two checksums), the [Dictionary] keys of win.ini, the exit code and the
# unattended log (less its time stamp). The media: the sample medium, and a real dictionary
# (Debian's trans-de-en, about 580,000 records) with a second job that turns the first job's
# TO list around again, once by the collation and once by a sort table.
# Run by scripts/test.sh where both builds run, after both cross trees and the native wltool
# are built, with a display set.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/wine-env.sh"
work=$root/build/builds-agree
rm -rf "$work"
mkdir -p "$work"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# The media.
cp -r "$root/examples/medium" "$work/sample"
big=$work/dictionary
mkdir -p "$big/language"
"$root/bench/trans-de-en.sh" > "$work/de-en.txt"
"$root/build/native/tools/wltool" pack "$work/de-en.txt" "$big/language/deen.wb" --utf8 --cut --leave-out 2>/dev/null || true
printf 'mkdir language\r\ncopy language.cf language.cf\r\ncopy language\\deen.wb language\\deen.wb\r\nmkwlist\r\n' > "$big/install.inf"
printf 'ende.wb,en,de,English - German\r\ndeen.wb\r\nende.wb\r\nback.wb,de,en,German again\r\nende.wb\r\nback.wb\r\n' > "$big/language.cf"
cp -r "$big" "$work/table"
mkdir -p "$work/table/tables"
# A table that folds the capitals and weights the small letters in reverse order.
for b in $(seq 0 255); do
  w=$b
  [ "$b" -ge 65 ] && [ "$b" -le 90 ] && w=$((b + 32))
  [ "$w" -ge 97 ] && [ "$w" -le 122 ] && w=$((219 - w))
  printf "\\$(printf %03o "$w")"
done > "$work/table/tables/english.stb"
printf 'mkdir tables\r\ncopy tables\\english.stb tables\\english.stb\r\n' >> "$work/table/install.inf"

dictionary_keys() {  # the [Dictionary] section of the prefix's win.ini
  local ini=$WINEPREFIX/drive_c/windows/win.ini
  [ -f "$ini" ] && tr -d '\r' < "$ini" | sed -n '/^\[Dictionary\]/,/^\[/p' | grep -v '^\[' || true
}

status=0
for medium in sample dictionary table; do
  for arch in i686 x86_64; do
    use_wine_arch "$arch"
    # Keys of earlier runs in this prefix would hide a key that one build fails to write.
    ini=$WINEPREFIX/drive_c/windows/win.ini
    [ -f "$ini" ] && sed -i '/^\[Dictionary\]/,/^\[/{/^\[Dictionary\]/d;/^\[/!d}' "$ini"
    # A shortcut of earlier runs would be recorded as there before the install.
    rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Bilingual\ Dictionary
    rm -rf "$work/target"
    code=0
    (cd "$work/$medium" && wine_exec "$(cross_tree_of "$arch")/setup.exe" /S "/LOG=$(winpath "$work/$medium.$arch.log")" \
      "/D=$(winpath "$work/target")") 2>>"$work/wine.log" || code=$?
    echo "exit code $code" > "$work/$medium.$arch.result"
    dictionary_keys >> "$work/$medium.$arch.result"
    sed -i '1d' "$work/$medium.$arch.log"  # the time stamp
    mv "$work/target" "$work/$medium.$arch"
    # The uninstall record, less the checksums of the shortcut (it holds the times of the file it
    # starts) and of the record itself.
    record=$work/$medium.$arch/uninstall.dat
    { [ -f "$record" ] && sed -E -e '/^sha256\t/d' -e 's/^(file\t[a-z]+\t[0-9]+\t)[0-9a-f]{64}(\t.*\.lnk\r)$/\1<sha256>\2/' "$record"; } \
      > "$work/$medium.$arch.record" || true
  done
  same=1
  # Each build copies itself as the medium's uninstaller: that file must differ.
  for what in "" .log .result .record; do
    diff -r -x uninstall.exe -x uninstall.dat "$work/$medium.i686$what" "$work/$medium.x86_64$what" || same=0
  done
  files=$(find "$work/$medium.i686" -type f ! -name uninstall.exe | wc -l)
  bytes=$(du -sb --exclude=uninstall.exe "$work/$medium.i686" | cut -f1)
  if [ "$same" = 1 ] && grep -qx 'exit code 0' "$work/$medium.i686.result"; then
    echo "$medium: the same $files files ($bytes bytes), log, win.ini keys and exit code from both builds"
  else
    echo "$medium: the builds differ (above), or the install failed: $(head -n 1 "$work/$medium.i686.result")"
    status=1
  fi
done
# What is compared is big (three copies of the dictionary a build): kept only when it differs.
[ "$status" = 0 ] && rm -rf "$work"
exit $status
