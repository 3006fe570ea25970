#!/usr/bin/env bash
# Checks that includes only run downward: every folder of the tree stands on a floor (the table
# below, lowest first), and a file may include files of its own floor or lower ones, never of a
# higher one. It also fails on any include cycle between files, which `#pragma once` would hide.
#   layering-check.sh [--table]    (--table prints each file's floor instead)
#
# An include is resolved as the compiler does here: next to the including file first, else as the
# one file of the tree whose path ends with it (headers are included by their unit name, so a
# name that matches two files is reported too). System and Qt headers are not the tree's.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

# Folder or file (a path prefix; the longest one that matches decides) and its floor. Folders on
# one floor may include each other's files, but not in a cycle. The chart's installed headers stand
# on its lowest floor, below its model, view, layers and core; ZNQ_polchart.h, the chart itself,
# beside the core.
floors='
platform                    0
lib/base                    1
lib/numctrl                 2
lib/polchart                3
lib/polchart/model          4
lib/polchart/view           5
lib/polchart/layers         6
lib/polchart/chart          7
lib/polchart/ZNQ_polchart.h 7
app                         8
designer                    8
examples                    8
tests                       9
fuzz                        9
bench                       9
'

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
edges="$work/edges"
: >"$edges"
status=0

mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')

printf '%s\n' "${files[@]}" | awk -v floors="$floors" -v table="${1:-}" -v edgeFile="$edges" '
function floorOf(path,    best, bestLength, prefix) {
    best = -1; bestLength = -1
    for (prefix in floor)
        if ((path == prefix || index(path, prefix "/") == 1) && length(prefix) > bestLength) {
            best = floor[prefix]; bestLength = length(prefix)
        }
    return best
}
function normalise(path,    parts, n, i, out, k) {
    n = split(path, parts, "/"); k = 0
    for (i = 1; i <= n; ++i) {
        if (parts[i] == "." || parts[i] == "") continue
        if (parts[i] == ".." && k > 0) { --k; continue }
        out[++k] = parts[i]
    }
    path = ""
    for (i = 1; i <= k; ++i) path = path (i > 1 ? "/" : "") out[i]
    return path
}
BEGIN {
    n = split(floors, lines, "\n")
    for (i = 1; i <= n; ++i)
        if (split(lines[i], f, " ") == 2) floor[f[1]] = f[2]
}
{ tree[$0] = 1; order[++count] = $0 }
END {
    bad = 0
    for (i = 1; i <= count; ++i) {
        file = order[i]
        own = floorOf(file)
        if (own < 0) { print "no floor for " file; bad = 1; continue }
        if (table == "--table") { print own "\t" file; continue }
        dir = file; sub(/\/[^\/]*$/, "", dir); if (dir == file) dir = ""
        line = 0
        while ((getline text < file) > 0) {
            ++line
            if (text !~ /^[ \t]*#[ \t]*include[ \t]*"/) continue
            name = text; sub(/^[^"]*"/, "", name); sub(/".*$/, "", name)
            target = normalise((dir == "" ? "" : dir "/") name)
            if (!(target in tree)) {
                target = ""; matches = 0
                for (candidate in tree)
                    if (candidate == name || substr(candidate, length(candidate) - length(name)) == "/" name) {
                        target = candidate; ++matches
                    }
                if (matches > 1) {
                    print file ":" line ": \"" name "\" names " matches " files"; bad = 1; continue
                }
                if (matches == 0) continue
            }
            if (floorOf(target) > own) {
                print file ":" line ": includes " target ", which stands above it"; bad = 1
            }
            print file, target > edgeFile
        }
        close(file)
    }
    close(edgeFile)
    exit bad
}' || status=$?
[ "${1:-}" = "--table" ] && exit "$status"
# Every include is an edge of a graph that must have no cycle; tsort names the files of one.
if ! tsort "$edges" >/dev/null 2>"$work/loop"; then
  # tsort names each loop on a line of its own, then the files in it.
  sed -e 's/^tsort: .*input contains a loop:$/an include cycle through:/' -e 's/^tsort: /    /' "$work/loop"
  status=1
fi
exit "$status"
