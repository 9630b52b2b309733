#!/bin/sh
# Contact sheet of every built-in picture with its file name and caption.
set -eu
docs=$(cd "$(dirname "$0")" && pwd)
assets="$docs/../pictures/assets"
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
set --
k=0
while IFS= read -r caption; do
  n=$(printf '%02d' "$k")
  f="$assets/gallery_$n.jpg"
  [ "$k" -eq 6 ] && f="$assets/gallery_06.gif[0]"
  # Long captions are wrapped so the label fits under its picture.
  label=$(printf '%s' "$caption" | sed 's/^\(.\{14\}\)\(..*\)$/\1\n\2/')
  set -- "$@" -label "gallery_$n
$label" "$f"
  k=$((k + 1))
done < "$assets/captions.txt"
for f in backdrop.jpg tile.jpg template_a.jpg template_b.bmp template_C.bmp template_d.bmp \
         template_e.bmp template_F.bmp program.ico; do
  set -- "$@" -label "$f" "$assets/$f"
done
MAGICK_THREAD_LIMIT=1 montage -font "$font" -pointsize 11 -background '#f4f4f4' -fill '#222222' \
  "$@" -tile 6x -geometry '190x190>+8+8' -depth 8 -strip -define png:exclude-chunks=date,time \
  "$docs/contact-sheet.png"
