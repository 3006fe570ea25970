#!/usr/bin/env bash
# Which of the chart's operation families a corpus reaches: runs the chart's fuzz target over the
# corpus folders once each (no fuzzing) and tells, for a function that only that family reaches,
# whether it ran and how many of its edges did.
#   fuzz-families.sh <fuzz_chart binary> <corpus folder>...
set -euo pipefail
binary=$1
shift
report=$(mktemp)
trap 'rm -f "$report"' EXIT
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
  "$binary" -runs=0 -print_coverage=1 "$@" >"$report" 2>&1 || true

families=(
  "wind rose|znq::WindRose("
  "bar gap|znq::TpcBars::SetBarGap("
  "wedge outline|znq::TpcBars::SetOutline("
  "accessible value|znq::TpcChartAccessible::setCurrentValue("
  "accessible texts|znq::TpcChartAccessible::text("
  "sweep clock tick|znq::TpcSweep::tick("
  "row rendered in place|znq::TCustomPolChart::RasterCellsChanged()::"
  "frame held alone|znq::TpcFrames::HeldAlone("
  "threaded data pass|znq::helpers::RunPartsInOrder("
  "wedge hovered|znq::TpcChartRooms::FireWedgeHovered("
  "raster value at pointer|znq::TpcChartRooms::FireRasterValue("
  "legend click|znq::TpcChartRooms::FireLegendClick("
  "legend drawn|znq::layers::Legend("
  "a data object refused|znq::TpcChartRooms::ChartName("
)
for family in "${families[@]}"; do
  name=${family%%|*}
  function=${family#*|}
  line=$(grep -F "$function" "$report" | grep -E "^(UN)?COVERED_FUNC" | head -n 1 || true)
  case "$line" in
    COVERED_FUNC*) edges=$(sed -E 's/.*edges: ([0-9]+\/[0-9]+).*/\1/' <<<"$line")
      printf '%-24s reached (edges %s)\n' "$name" "$edges" ;;
    UNCOVERED_FUNC*) printf '%-24s never\n' "$name" ;;
    *) printf '%-24s not in the binary\n' "$name" ;;
  esac
done
