# Sourced: the project's private Wine prefix, created once and reused.
GLIMBO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${GLIMBO_WINEPREFIX:-$GLIMBO_ROOT/build/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
GLIMBO_WINE=${GLIMBO_WINE:-wine}

glimbo_ensure_prefix() {
  [[ -f "$WINEPREFIX/.glimbo-ready" ]] && return 0
  mkdir -p "$WINEPREFIX"
  # Parallel first runs wait for one creator.
  exec {lock}>"$WINEPREFIX.lock"
  flock "$lock"
  if [[ -f "$WINEPREFIX/.glimbo-ready" ]]; then flock -u "$lock"; return 0; fi
  echo "Creating the Wine prefix in $WINEPREFIX (once, about 20 s)..." >&2
  "$GLIMBO_WINE" wineboot --init >/dev/null 2>&1 || true
  wineserver -w
  # The .reg file is UTF-16 so the Chinese font names survive any locale.
  local reg="$WINEPREFIX/glimbo-fonts.reg"
  iconv -f UTF-8 -t UTF-16 "$GLIMBO_ROOT/scripts/wine-prefix.reg" > "$reg"
  "$GLIMBO_WINE" regedit /S "$reg" >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.glimbo-ready"
  flock -u "$lock"
}
