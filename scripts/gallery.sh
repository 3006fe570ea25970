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
"$build/examples/example_antenna_pattern" --save "$out/antenna_pattern.png"
"$build/examples/example_scatter_by_value" --save "$out/scatter_by_value.png"
"$build/examples/example_radar_chart" --save "$out/radar_chart.png"
"$build/examples/example_wind_rose" --save "$out/wind_rose.png"
"$build/examples/example_radar_sweep" --save "$out/radar_sweep.png"
"$build/examples/example_antenna_map" --save "$out/antenna_map.png"
pictures="demonstration minimal grid_styles label_modes text_labels crosshairs high_density
  scales_and_sectors antenna_pattern antenna_pattern_log scatter_by_value radar_chart wind_rose shaded_sector radar_sweep antenna_map"
for picture in $pictures; do
  file="$out/$picture.png"
  if [ ! -s "$file" ] || [ "$(head -c 8 "$file" | od -An -tx1 | tr -d ' ')" != "89504e470d0a1a0a" ]; then
    echo "gallery: $file is missing or not a PNG" >&2
    exit 1
  fi
done
echo "gallery: $(echo $pictures | wc -w) pictures in $out"
