#!/usr/bin/env bash
# Makes the documentation's gallery pictures with the programs themselves: the demonstration
# program's chart, the smallest example, and the gallery example's rows of variants. Each picture
# must come out as a PNG that is not empty.
#   gallery.sh [build-dir] [out-dir]     (defaults: build, docs/gallery)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
out=${2:-$top/docs/gallery}
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen
"$build/app/polchart-demo" --save "$out/demonstration.png"
"$build/examples/example_minimal" --save "$out/minimal.png"
"$build/examples/example_gallery" "$out"
for picture in demonstration minimal grid_styles label_modes text_labels crosshairs high_density; do
  file="$out/$picture.png"
  if [ ! -s "$file" ] || [ "$(head -c 8 "$file" | od -An -tx1 | tr -d ' ')" != "89504e470d0a1a0a" ]; then
    echo "gallery: $file is missing or not a PNG" >&2
    exit 1
  fi
done
echo "gallery: 7 pictures in $out"
