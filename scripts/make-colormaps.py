#!/usr/bin/python3
"""Writes lib/polchart/model/polchart_colormap_tables.cpp: the 256-entry tables of the colour maps.

Viridis and magma are the public-domain data that matplotlib ships (Debian's python3-matplotlib);
turbo comes from its published polynomial approximation; gray is the linear ramp. Run once when
a map is added; the written file is committed, so that no build needs matplotlib.
    scripts/make-colormaps.py
"""
import os
import sys

from matplotlib import _cm_listed


def turbo(x):
    # The polynomial approximation published with the turbo map: red, green and blue as
    # polynomials of degree 5 in x.
    red = (0.13572138, 4.61539260, -42.66032258, 132.13108234, -152.94239396, 59.28637943)
    green = (0.09140261, 2.19418839, 4.84296658, -14.18503333, 4.27729857, 2.82956604)
    blue = (0.10667330, 12.64194608, -60.58204836, 110.36276771, -89.90310912, 27.34824973)
    return [sum(c * x ** k for k, c in enumerate(channel)) for channel in (red, green, blue)]


def byte(value):
    return max(0, min(255, int(round(value * 255))))


def table(rows):
    # TColor: 0x00BBGGRR.
    words = ["0x%06X" % (byte(b) << 16 | byte(g) << 8 | byte(r)) for r, g, b in rows]
    lines = ["        " + ", ".join(words[i:i + 8]) + "," for i in range(0, 256, 8)]
    return "\n".join(lines)


maps = [
    ("Viridis", _cm_listed._viridis_data),
    ("Magma", _cm_listed._magma_data),
    ("Gray", [(i / 255, i / 255, i / 255) for i in range(256)]),
    ("Turbo", [turbo(i / 255) for i in range(256)]),
]
for name, rows in maps:
    if len(rows) != 256:
        sys.exit(f"{name}: {len(rows)} entries, not 256")

out = [
    "// Written by scripts/make-colormaps.py: the colour maps' tables, 256 colours each, as TColor",
    "// (0x00BBGGRR). Viridis and magma from their public-domain data, turbo from its published",
    "// polynomial approximation, gray the linear ramp. Do not edit by hand.",
    '#include "model/polchart_colormaps.h"',
    "",
    "namespace znq::colormaps {",
    "",
    "// clang-format off",
]
for name, rows in maps:
    out += [f"const std::array<TColor, 256> {name} {{", "    {", table(rows), "    }", "};", ""]
out += ["// clang-format on", "", "} // namespace znq::colormaps", ""]
top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
with open(os.path.join(top, "lib", "polchart", "model", "polchart_colormap_tables.cpp"), "w") as f:
    f.write("\n".join(out))
