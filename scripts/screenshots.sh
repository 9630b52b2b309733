#!/usr/bin/env bash
# Regenerates docs/screenshots/*.png: starts glimbo.exe inside a private Xvfb,
# drives it with real X input (xdotool) and crops each window from the screen.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ -z "${GLIMBO_IN_XVFB:-}" ]]; then
  exec env GLIMBO_IN_XVFB=1 scripts/with-xvfb "$0" "$@"
fi
source scripts/wine-env.sh
out=docs/screenshots
mkdir -p "$out"

window_of() {  # exact title -> X window id
  local id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "screenshots: no window titled $1" >&2
  return 1
}
shoot() {  # file title
  local id; id=$(window_of "$2")
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$id")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1"
  echo "wrote $out/$1"
}
click_in() {  # title x y, relative to the window's top-left corner (frame included)
  local id; id=$(window_of "$1")
  xdotool mousemove --window "$id" "$2" "$3" mousedown 1 mouseup 1
}
start_program() {
  "$GLIMBO_WINE" build/windows/glimbo.exe &
  window_of "Glimbo-Orlun 1.1" >/dev/null
  sleep 1
}
stop_program() {
  wineserver -k >/dev/null 2>&1 || true
  sleep 1
  wineserver -p >/dev/null 2>&1 || true
}

# Launcher and about window. The client area starts a few pixels inside the
# frame; tile centres are given with that offset.
start_program
shoot launcher.png "Glimbo-Orlun 1.1"
click_in "Glimbo-Orlun 1.1" $((216 + 50 + 3)) $((40 + 60 + 22))
shoot about.png "关于Orlun"
stop_program

# --- further windows append their sections below ---

# Gallery with a picture shown: a click on the first row (the list sits at
# client 16,32), then four Down arrows to row 4.
start_program
click_in "Glimbo-Orlun 1.1" $((112 + 50 + 3)) $((40 + 60 + 22))
gallery_id=$(window_of "自动复制选定图片粘贴即可发送")
sleep 0.5
xdotool mousemove --window "$gallery_id" $((16 + 30 + 3)) $((32 + 6 + 22)) mousedown 1 mouseup 1
sleep 0.3
xdotool key --window "$gallery_id" Down Down Down Down
shoot gallery.png "自动复制选定图片粘贴即可发送"
stop_program

# Designer: page A as it opens; then a1 dragged up and to the right, partly
# off the picture; then 复制图片 and the picture it put on the clipboard,
# which Wine offers to X as image/bmp. Client offsets as above (3, 22).
drag_in() {  # window-id x y dx dy, in the window's client coordinates
  xdotool mousemove --window "$1" $(($2 + 3)) $(($3 + 22)) mousedown 1
  sleep 0.3
  xdotool mousemove --window "$1" $(($2 + 3 + $4 / 2)) $(($3 + 22 + $5 / 2))
  sleep 0.3
  xdotool mousemove --window "$1" $(($2 + 3 + $4)) $(($3 + 22 + $5))
  sleep 0.3
  xdotool mouseup 1
  sleep 0.5
}
start_program
click_in "Glimbo-Orlun 1.1" $((8 + 50 + 3)) $((40 + 60 + 22))
designer_id=$(window_of "设计区")
shoot designer-a.png "设计区"
drag_in "$designer_id" 182 194 60 -90
shoot designer-drag.png "设计区"
click_in "设计区" $((392 + 44 + 3)) $((368 + 12 + 22))
sleep 1
xclip -selection clipboard -t image/bmp -o > "$out/designer-copy.bmp"
convert "$out/designer-copy.bmp" "$out/designer-copy.png"
rm -f "$out/designer-copy.bmp"
echo "wrote $out/designer-copy.png"
stop_program
