#!/usr/bin/env bash
# Runs a Windows program under the project's Wine prefix (ctest's emulator for the cross tree).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run: no X display; run the tests through scripts/test.sh or start Xvfb and set DISPLAY" >&2
  exit 1
fi
setup_wine_prefix
exec wine "$@"
