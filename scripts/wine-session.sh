# Sourced by the run and test scripts: a private Wine prefix in the build
# tree, a private X server when asked for or when there is no display, and a
# persistent wineserver; all of them ended on exit.
# Variables: DUO_SCREEN (e.g. 800x600x16), DUO_PRIVATE_X (1: always private).

duo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${DUO_WINEPREFIX:-$duo_root/${DUO_BUILD_ROOT:-build}/wineprefix}"
export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
duo_xvfb_pid=""

duo_session_end() {
  WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
  if [[ -n "$duo_xvfb_pid" ]]; then kill "$duo_xvfb_pid" 2>/dev/null || true; wait "$duo_xvfb_pid" 2>/dev/null || true; fi
}

duo_start_x() {
  local screen=${DUO_SCREEN:-800x600x16} n
  for n in $(seq 90 140); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
    duo_xvfb_pid=$!
    for _ in $(seq 100); do
      [[ -e /tmp/.X11-unix/X$n ]] && break
      sleep 0.05
    done
    if kill -0 "$duo_xvfb_pid" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
  done
  echo "could not start Xvfb" >&2
  return 1
}

duo_session_start() {
  trap duo_session_end EXIT
  if [[ "${DUO_PRIVATE_X:-0}" == 1 || -z "${DISPLAY:-}" ]]; then duo_start_x; fi
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "creating the Wine prefix (once)"
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX="$WINEPREFIX" wineserver -w
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  wineserver -p
  # Warm-up: the first program of a session pays for starting the server.
  /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
}
