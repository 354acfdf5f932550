#!/usr/bin/env bash
# Writes the largest picture of an .ico file as a 256x256 PNG, the size the
# desktop entry's icon is installed at.
#   desktop_icon.sh ICO PNG
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: desktop_icon.sh ICO PNG" >&2; exit 2; }
largest=$(identify -format '%p %w\n' "$1" | sort -k2,2n | tail -1 | cut -d' ' -f1)
convert "$1[$largest]" -resize 256x256 "png:$2"
