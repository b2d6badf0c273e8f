# Sourced by the scripts that run Windows programs: a throwaway Wine prefix under the
# build tree, English locale with code page 1252, no Mono/Gecko prompts, no menu entries.
# Never touches the real home directory.
SETUP_REPO_ROOT=${SETUP_REPO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$SETUP_REPO_ROOT/build/wineprefix}
export WINEARCH=${WINEARCH:-win64}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LC_ALL=C.UTF-8
export LANG=C.UTF-8
# wine refuses a prefix owned by another user; HOME only matters for wine's own files.
export HOME=${SETUP_WINE_HOME:-$SETUP_REPO_ROOT/build/winehome}
mkdir -p "$HOME"

# Makes the prefix once; later calls find it ready.
setup_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
}

# Starts a private Xvfb 1024x768x24 when no display is set; stops it at exit.
start_xvfb_if_needed() {
  if [ -n "${DISPLAY:-}" ] && [ "${SETUP_FORCE_XVFB:-0}" != 1 ]; then return 0; fi
  local n
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then break; fi
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  SETUP_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do
    if xdpyinfo >/dev/null 2>&1; then break; fi
    sleep 0.1
  done
  trap 'stop_xvfb' EXIT
}

stop_xvfb() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${SETUP_XVFB_PID:-}" ]; then kill "$SETUP_XVFB_PID" 2>/dev/null || true; fi
}
