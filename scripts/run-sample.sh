#!/usr/bin/env bash
# The main job: builds setup.exe and runs it under Wine on the sample distribution medium
# (examples/medium), pressing Start into a fresh temporary target, saving screenshots and
# printing what was installed. A visible window when DISPLAY is set, otherwise a private Xvfb.
# Installs what it needs first (Debian 12, as root or with sudo).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then sudo "$root/scripts/install-deps.sh"; else "$root/scripts/install-deps.sh"; fi

# The 32-bit setup.exe is the one a medium ships; where this host cannot run 32-bit programs,
# the 64-bit build of the same sources runs instead.
source scripts/wine-env.sh
decide_wine_arches
if [ -z "$SETUP_WINE_RUNS" ]; then
  echo "run-sample: no Windows build can run here:" >&2
  printf '  %s\n' "$SETUP_WINE_NOT_RUN" >&2
  exit 1
fi
arch=${SETUP_WINE_RUNS%% *}
use_wine_arch "$arch"
tree=$(cross_tree_of "$arch")
cmake --preset "$(cross_preset_of "$arch")" >/dev/null
cmake --build --preset "$(cross_preset_of "$arch")" -j "$(nproc)" --target setup uidriver
if [ "$arch" = i686 ]; then
  echo "running the 32-bit setup.exe (${tree#"$root"/}/setup.exe)"
else
  echo "running the 64-bit setup.exe (${tree#"$root"/}/setup.exe) instead of the 32-bit one:"
  printf '  %s\n' "$SETUP_WINE_NOT_RUN"
fi

start_xvfb_if_needed
setup_wine_prefix

work=$(mktemp -d /tmp/setup-sample.XXXXXX)
shots="$root/build/sample-screenshots"
rm -rf "$shots" && mkdir -p "$shots"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
target="$work/Dictionary"

echo "medium: $root/examples/medium"
set +e
wine_exec "$tree/tests/e2e/uidriver.exe" "$(winpath "$tree/setup.exe")" "$(winpath "$root/examples/medium")" \
  "$(winpath "$target")" "$(winpath "$shots")"
code=$?
set -e

for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo
echo "screenshots in $shots:"
ls -1 "$shots"
echo
echo "installed into $target:"
if [ -d "$target" ]; then
  (cd "$target" && find . -mindepth 1 | sort | while read -r f; do
     if [ -d "$f" ]; then printf '  %s/\n' "$f"; else printf '  %-40s %8d bytes\n' "$f" "$(stat -c %s "$f")"; fi
   done)
  if [ -f "$target/dict.ini" ]; then echo; echo "dict.ini:"; tr -d '\r' < "$target/dict.ini" | sed 's/^/  /'; fi
fi
winini="$WINEPREFIX/drive_c/windows/win.ini"
if [ -f "$winini" ] && grep -q '^\[Dictionary\]' "$winini"; then
  echo; echo "win.ini [Dictionary]:"
  tr -d '\r' < "$winini" | sed -n '/^\[Dictionary\]/,/^\[/p' | grep -v '^\[' | sed 's/^/  /'
fi
programs=$(find "$WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs' -type d 2>/dev/null | head -n 1)
if [ -n "$programs" ] && [ -n "$(find "$programs" -name '*.lnk' -newer "$work")" ]; then
  echo; echo "Start-menu shortcuts made by this run (under Programs):"
  (cd "$programs" && find . -name '*.lnk' -newer "$work" | sort | sed 's|^\./|  |')
fi
echo
echo "setup.exe ended with exit code $code"
exit "$code"
