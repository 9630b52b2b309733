#!/bin/sh
# Rebuilds every built-in picture in this folder and the contact sheet in docs/.
# Needs python3, ImageMagick 6 and the WenQuanYi Micro Hei font; the outputs
# are committed, so an ordinary build needs none of these.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
PYTHONDONTWRITEBYTECODE=1 python3 "$here/gen/make.py" "$here"
sh "$here/../../docs/make-contact-sheet.sh"
