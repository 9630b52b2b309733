#!/usr/bin/env bash
# Starts glimbo.exe on the user's display under the project's Wine.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [[ -z "${DISPLAY:-}" ]]; then
  echo "make run: no display (DISPLAY is not set); start it from a desktop session, or use 'make test'" >&2
  exit 1
fi
glimbo_ensure_prefix
# A persistent wineserver keeps the last copied picture on the clipboard
# after the program has ended, as Windows does.
wineserver -p >/dev/null 2>&1
# On a desktop the window manager frames the windows (the tests turn this off).
"$GLIMBO_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1
exec "$GLIMBO_WINE" "$GLIMBO_ROOT/build/windows/glimbo.exe"
