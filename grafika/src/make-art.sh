#!/usr/bin/env bash
# Redraws iconQuarmel.png, logoBW.png and progress.gif in grafika/ from drawart.cpp.
# Needs g++, the Qt 5 development files and ImageMagick's convert; the program itself needs none of them.
set -euo pipefail
src="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="$(dirname "$src")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# shellcheck disable=SC2046
g++ -std=c++17 -O1 -fPIC -o "$work/drawart" "$src/drawart.cpp" $(pkg-config --cflags --libs Qt5Gui)
mkdir "$work/frames"
QT_QPA_PLATFORM=offscreen "$work/drawart" "$out" "$work/frames"

# The frames are drawn on the overlay's background colour; keying that colour out leaves soft edges
# that blend into the overlay, and into white.
convert -delay 7 -loop 0 -dispose Background "$work"/frames/frame*.png \
    -transparent '#f5f2ec' "$out/progress.gif"
