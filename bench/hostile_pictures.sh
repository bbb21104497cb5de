#!/usr/bin/env bash
# Start-up with pictures built to exhaust memory or time, against start-up with the
# real ones: time to the first window and peak memory once the calculator
# (built after the splash) has loaded its pictures too.
#   bash bench/hostile_pictures.sh BUILD [RUNS]
# The About window gets a 1 x 1 PNG whose image data goes on with 4 GiB of
# zeros (ImageSmall.png, 4 MB) and a 16384 x 16384 PNG (Tembrisk.png); the
# calculator a PNG whose chunk claims 2 GB (Clear2.png) and a 2.5 GB file
# (Info.png: the real picture followed by zeros, sparse on disk).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: hostile_pictures.sh BUILD [RUNS]}
runs=${2:-5}
inflating=$build/bench/inflating_png
[ -x "$inflating" ] || { echo "missing $inflating (cmake --build $build --target inflating_png)" >&2; exit 1; }
hostile=$(mktemp -d)
trap 'rm -rf "$hostile"' EXIT
cp "$build"/Tolvane/Resources/*.png "$hostile/"
"$inflating" "$hostile/ImageSmall.png" 4
cp "$here/../tests/fuzz/regressions/picture/16384-square.png" "$hostile/Tembrisk.png"
cp "$here/../tests/fuzz/regressions/picture/chunk-claims-2GB.png" "$hostile/Clear2.png"
truncate -s 2560M "$hostile/Info.png"

echo "== the real pictures"
HWM_AFTER=4 bash "$here/startup.sh" "$build" "$runs"
echo "== hostile pictures"
HWM_AFTER=4 TOLVANE_RESOURCES=$hostile bash "$here/startup.sh" "$build" "$runs"
