# Sourced by the scripts that run Windows programs: which Windows architectures run on this
# host, and for each a throwaway Wine prefix under the build tree, English locale with code page
# 1252, no Mono/Gecko prompts, no menu entries. Never touches the real home directory.
#
#   decide_wine_arches    sets SETUP_WINE_RUNS and SETUP_WINE_NOT_RUN (below)
#   use_wine_arch <arch>  i686 or x86_64: its loader (SETUP_WINE_LOADER) and prefix (WINEPREFIX)
#   setup_wine_prefix     makes the prefix of the architecture in use once
#   wine_exec <program> [arguments]   runs a Windows program with that loader and prefix
SETUP_REPO_ROOT=${SETUP_REPO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LC_ALL=C.UTF-8
export LANG=C.UTF-8
# wine refuses a prefix owned by another user; HOME only matters for wine's own files.
export HOME=${SETUP_WINE_HOME:-$SETUP_REPO_ROOT/build/winehome}
mkdir -p "$HOME"

# The cross tree of each architecture.
cross_tree_of() {
  case "$1" in
    i686) echo "$SETUP_REPO_ROOT/build/cross" ;;
    x86_64) echo "$SETUP_REPO_ROOT/build/cross64" ;;
  esac
}
cross_preset_of() {
  case "$1" in
    i686) echo cross ;;
    x86_64) echo cross64 ;;
  esac
}

# The Wine loader of an architecture: the 32-bit one comes with Debian's wine32, the 64-bit one
# with wine64. Debian's `wine` command always picks the 32-bit loader when wine32 is installed,
# even where it cannot execute, so the scripts call the loaders themselves.
wine_loader_of() {
  local package name file
  case "$1" in
    i686) package=wine32:i386 name=wine ;;
    x86_64) package=wine64 name=wine64 ;;
    *) return 1 ;;
  esac
  for file in $(dpkg -L "$package" 2>/dev/null | grep -E "/$name\$") "/usr/lib/wine/$name"; do
    if [ -f "$file" ] && [ -x "$file" ]; then
      echo "$file"
      return 0
    fi
  done
  return 1
}

# Decides by trying which Windows architectures run here: a loader that is installed proves
# nothing (an i386 loader fails with "Exec format error" where the kernel runs 64-bit code
# only), so each loader is executed. SETUP_WINE_RUNS gets the architectures that run, i686
# first; SETUP_WINE_NOT_RUN one "<arch>: <why>" line for each other. SETUP_WINE_ARCHES
# (blank- or comma-separated, e.g. "x86_64") narrows the choice, so a host that runs both can
# act as one that runs 64-bit code only.
decide_wine_arches() {
  local wanted arch loader output
  SETUP_WINE_RUNS=""
  SETUP_WINE_NOT_RUN=""
  wanted=" $(printf '%s' "${SETUP_WINE_ARCHES:-i686 x86_64}" | tr ',' ' ') "
  for arch in $wanted; do
    case "$arch" in
      i686 | x86_64) ;;
      *)
        echo "wine-env: SETUP_WINE_ARCHES names \"$arch\"; the architectures are i686 and x86_64" >&2
        return 1
        ;;
    esac
  done
  for arch in i686 x86_64; do
    if [[ "$wanted" != *" $arch "* ]]; then
      SETUP_WINE_NOT_RUN+="$arch: left out by SETUP_WINE_ARCHES=$SETUP_WINE_ARCHES"$'\n'
    elif ! loader=$(wine_loader_of "$arch"); then
      SETUP_WINE_NOT_RUN+="$arch: no Wine loader for it is installed"$'\n'
    elif output=$("$loader" --version 2>&1); then
      SETUP_WINE_RUNS+="${SETUP_WINE_RUNS:+ }$arch"
    else
      output=$(printf '%s' "$output" | tail -n 1)
      SETUP_WINE_NOT_RUN+="$arch: $loader does not run here (${output##*: })"$'\n'
    fi
  done
  SETUP_WINE_NOT_RUN=${SETUP_WINE_NOT_RUN%$'\n'}
}

use_wine_arch() {
  SETUP_WINE_ARCH=$1
  SETUP_WINE_LOADER=$(wine_loader_of "$1") || {
    echo "wine-env: no Wine loader for $1" >&2
    return 1
  }
  # A loader that starts a program of the other architecture takes this name, less or plus "64".
  export WINELOADER=$SETUP_WINE_LOADER
  export WINEPREFIX=$SETUP_REPO_ROOT/build/wineprefix-$1
  export WINEARCH=win64
}

wine_exec() { "$SETUP_WINE_LOADER" "$@"; }

# Makes the prefix once; later calls find it ready. A failing wineboot is reported; the prefix
# is refused only when it was not made at all.
setup_wine_prefix() {
  if [ -f "$WINEPREFIX/system.reg" ]; then return 0; fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  local log=$WINEPREFIX.wineboot.log status=0
  "$SETUP_WINE_LOADER" wineboot.exe -i >"$log" 2>&1 || status=$?
  wineserver -w
  if [ "$status" -ne 0 ]; then
    echo "wine-env: wineboot -i ($SETUP_WINE_ARCH, $WINEPREFIX) exited with $status; its last lines:" >&2
    tail -n 5 "$log" | sed 's/^/  /' >&2
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-env: the $SETUP_WINE_ARCH Wine prefix $WINEPREFIX was not made" >&2
    return 1
  fi
}

# Starts a private Xvfb 1024x768x24 and points DISPLAY at it, unless a display is set and
# SETUP_FORCE_XVFB is not 1; each call starts another one (a screen per architecture lets their
# end-to-end tests run at the same time). At exit every one started is stopped, and the Wine
# servers of the prefixes used.
start_xvfb_if_needed() {
  trap 'stop_xvfb' EXIT
  if [ -n "${DISPLAY:-}" ] && [ "${SETUP_FORCE_XVFB:-0}" != 1 ]; then return 0; fi
  local n
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then break; fi
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  SETUP_XVFB_PIDS="${SETUP_XVFB_PIDS:-} $!"
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do
    if xdpyinfo >/dev/null 2>&1; then break; fi
    sleep 0.1
  done
}

stop_xvfb() {
  local prefix pid
  for prefix in "$SETUP_REPO_ROOT"/build/wineprefix-*/; do
    if [ -f "$prefix/system.reg" ]; then WINEPREFIX=${prefix%/} wineserver -k >/dev/null 2>&1 || true; fi
  done
  for pid in ${SETUP_XVFB_PIDS:-}; do kill "$pid" 2>/dev/null || true; done
}
