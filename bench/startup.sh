#!/usr/bin/env bash
# Start-up time and peak memory of tolvane against plain_qt (the same first
# window in plain Qt), on a private Xvfb. Builds nothing: give the build folder.
#   bash bench/startup.sh BUILD [RUNS]
# For each run and each program: the time from launch to the first top-level
# window being mapped (MapNotify seen by xev on the root window), then VmHWM
# read HWM_AFTER seconds (default 1) after that. Prints the medians and the
# ratios tolvane/plain. With TOLVANE_RESOURCES=DIR, tolvane runs from a copy
# of its tree whose Resources folder is DIR (see hostile_pictures.sh).
# Needs Xvfb, xev (x11-utils) and xdotool.
set -euo pipefail
build=${1:?usage: startup.sh BUILD [RUNS]}
runs=${2:-10}
tolvane=$build/Tolvane/bin/tolvane
plain=$build/bench/plain_qt
for exe in "$tolvane" "$plain"; do
  [ -x "$exe" ] || { echo "missing $exe (cmake --build $build --target tolvane plain_qt)" >&2; exit 1; }
done

work=$(mktemp -d)
if [ -n "${TOLVANE_RESOURCES:-}" ]; then
  mkdir -p "$work/tree/bin"
  cp "$tolvane" "$work/tree/bin/"
  ln -s "$(cd "$TOLVANE_RESOURCES" && pwd)" "$work/tree/Resources"
  tolvane=$work/tree/bin/tolvane
fi
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
  [ -n "${XEV_PID:-}" ] && kill "$XEV_PID" 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"

# Every top-level window mapped on this display, as one line each, unbuffered.
coproc XEV { stdbuf -oL xev -root -event substructure 2>/dev/null; }
sleep 0.3

# measure EXE ARGS... -> "milliseconds-to-map vmhwm-kB"
measure() {
  local t0 t1 line wid hwm
  t0=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 &
  app=$!
  # The first map of a window owned by this process (xev reports the event
  # window, then the mapped window, on the MapNotify line).
  while IFS= read -r -t 10 -u "${XEV[0]}" line; do
    [[ $line == MapNotify* ]] || continue
    t1=$EPOCHREALTIME
    IFS= read -r -t 1 -u "${XEV[0]}" line || true
    wid=$(sed -n 's/.*window \(0x[0-9a-f]*\).*/\1/p' <<<"$line")
    [ "$(xdotool getwindowpid "$wid" 2>/dev/null)" = "$app" ] && break
    t1=
  done
  [ -n "${t1:-}" ] || { echo "no window from $1" >&2; exit 1; }
  sleep "${HWM_AFTER:-1}"
  hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$app/status")
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  app=
  # Drain what the exit unmapped, so the next run reads only its own events.
  while IFS= read -r -t 0.2 -u "${XEV[0]}" line; do :; done
  echo "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", (b - a) * 1000 }') $hwm"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
spread() { sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%s-%s", lo, hi }'; }

# One unrecorded run each, so both start from warm file caches.
measure "$tolvane" >/dev/null
measure "$plain" 5000 >/dev/null
: >"$work/tolvane"
: >"$work/plain"
for i in $(seq "$runs"); do
  measure "$tolvane" >>"$work/tolvane"
  measure "$plain" 5000 >>"$work/plain"
done

tm=$(cut -d' ' -f1 "$work/tolvane" | median)
pm=$(cut -d' ' -f1 "$work/plain" | median)
th=$(cut -d' ' -f2 "$work/tolvane" | median)
ph=$(cut -d' ' -f2 "$work/plain" | median)
echo "runs: $runs each; medians (range)"
printf "%-10s first window %6.1f ms (%s)   VmHWM at +${HWM_AFTER:-1} s %6d kB (%s)\n" \
  tolvane "$tm" "$(cut -d' ' -f1 "$work/tolvane" | spread)" "$th" "$(cut -d' ' -f2 "$work/tolvane" | spread)" \
  plain_qt "$pm" "$(cut -d' ' -f1 "$work/plain" | spread)" "$ph" "$(cut -d' ' -f2 "$work/plain" | spread)"
awk -v a="$tm" -v b="$pm" 'BEGIN { printf "first window  tolvane/plain = %.2fx\n", a / b }'
awk -v a="$th" -v b="$ph" 'BEGIN { printf "peak memory   tolvane/plain = %.2fx\n", a / b }'
