#!/usr/bin/env bash
# Runs a Windows program of the given architecture under its Wine prefix (ctest's emulator for
# the cross trees):  wine-run.sh i686|x86_64 <program> [arguments]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run: no X display; run the tests through scripts/test.sh or start Xvfb and set DISPLAY" >&2
  exit 1
fi
use_wine_arch "${1:?usage: wine-run.sh i686|x86_64 <program> [arguments]}"
shift
setup_wine_prefix
exec "$SETUP_WINE_LOADER" "$@"
