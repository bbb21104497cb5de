#!/usr/bin/env bash
# Runs each fuzzer for a while from a fresh corpus: the committed seeds plus
# the settings tables the program itself uses and pictures of other kinds
# than its own (written by fuzz_seeds).
#   tests/fuzz/run.sh <fuzz-build-dir> [seconds per target, default 60]
# The build folder is one configured with clang and -DTOLVANE_FUZZ=ON.
# A crashing input is kept under <fuzz-build-dir>/fuzz-run/<target>/artifacts/;
# copy it to tests/fuzz/regressions/<target>/ once the fault is fixed.
set -euo pipefail
if (($# < 1 || $# > 2)); then
  echo "usage: $0 <fuzz-build-dir> [seconds]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
bin=$build/fuzz
run=$build/fuzz-run

for exe in fuzz_seeds fuzz_settings fuzz_val fuzz_format fuzz_picture; do
  if [ ! -x "$bin/$exe" ]; then
    echo "$bin/$exe is missing: configure with -DCMAKE_CXX_COMPILER=clang++ -DTOLVANE_FUZZ=ON and build" >&2
    exit 2
  fi
done

# A fixed seed by default, so that a run can be repeated exactly; set
# TOLVANE_FUZZ_SEED to explore elsewhere.
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$here/../lsan.supp

rm -rf "$run"
mkdir -p "$run"
"$bin/fuzz_seeds" "$run/generated" 2>"$run/fuzz_seeds.log" || {
  cat "$run/fuzz_seeds.log" >&2
  echo "fuzz_seeds failed" >&2
  exit 1
}

# The pictures start from the program's own five too.
mkdir -p "$run/generated/picture"
cp "$here/../../resources/"*.png "$run/generated/picture/"

failed=()
for target in settings val format picture; do
  dir=$run/$target
  mkdir -p "$dir/corpus" "$dir/artifacts"
  for seeds in "$here/seeds/$target" "$here/regressions/$target" "$run/generated/$target"; do
    if [ -d "$seeds" ] && [ -n "$(ls -A "$seeds")" ]; then
      cp "$seeds"/* "$dir/corpus/"
    fi
  done
  # A picture may take 128 MB (Qt's allocation limit,
  # QImageReader::allocationLimit()): one allocation of twice that, for
  # whatever file, is a finding.
  malloc=4096
  [ "$target" = picture ] && malloc=256
  echo "=== fuzz_$target: ${seconds}s from $(ls "$dir/corpus" | wc -l) seeds ==="
  status=0
  "$bin/fuzz_$target" "$dir/corpus" \
    -max_total_time="$seconds" -seed="${TOLVANE_FUZZ_SEED:-1}" -timeout=10 -rss_limit_mb=4096 -malloc_limit_mb="$malloc" -print_final_stats=1 \
    -artifact_prefix="$dir/artifacts/" >"$dir/log" 2>&1 || status=$?
  grep -E '^(stat::|Done|#[0-9]+ +DONE)' "$dir/log" || true
  if ((status != 0)); then
    tail -n 80 "$dir/log"
    for input in "$dir/artifacts"/*; do
      [ -e "$input" ] && echo "fuzz_$target failed; reproduce with: $bin/fuzz_$target $input"
    done
    failed+=("$target")
  fi
done

if ((${#failed[@]})); then
  echo "fuzzing found faults in: ${failed[*]} (inputs under $run/<target>/artifacts/)" >&2
  exit 1
fi
echo "fuzzing: no findings"
