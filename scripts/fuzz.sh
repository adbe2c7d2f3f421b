#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs each:
#   scripts/fuzz.sh [SECONDS]   seconds per target (60 by default)
# Fails on any crash, leak, hang (an input that takes over 10 s), memory over
# 2 GB or sanitizer report. The input that found it is kept in
# build-fuzz/findings/<target>/ and the target's output in build-fuzz/logs/.
# New inputs the fuzzer finds go to build-fuzz/corpus/<target>/; the seeds in
# fuzz/corpus/ are read, never changed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"

"$root/scripts/install-deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DHORAVO_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" >/dev/null
cmake --build "$build" -j"$(nproc)"

# The targets work on a memory file system where there is one; whatever a crash
# leaves there goes with the folder.
shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm="${TMPDIR:-/tmp}"
HORAVO_FUZZ_SCRATCH="$(mktemp -d "$shm/horavo-fuzz.XXXXXX")"
export HORAVO_FUZZ_SCRATCH
trap 'rm -rf "$HORAVO_FUZZ_SCRATCH"' EXIT

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"

# target, longest input in bytes, dictionary
targets=(
  "dbf_table 16384 -"
  "export 65536 $root/fuzz/xml.dict"
  "import 65536 $root/fuzz/xml.dict"
)
failed=()
for entry in "${targets[@]}"; do
  read -r name max_len dict <<<"$entry"
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  log="$build/logs/$name.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len"
    -artifact_prefix="$findings/" -print_final_stats=1)
  if [ "$dict" != "-" ]; then options+=(-dict="$dict"); fi
  echo "== fuzz_$name: $seconds s"
  start=$(date +%s)
  if "$build/bin/fuzz_$name" "${options[@]}" "$corpus" "$root/fuzz/corpus/$name" >"$log" 2>&1; then
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)' "$log" || true
    echo "   correcto en $(($(date +%s) - start)) s"
  else
    tail -n 60 "$log"
    echo "   FALLO: fuzz_$name (registro completo en $log; entrada en $findings/)"
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Los fuzzers encontraron fallos en: ${failed[*]}"
  exit 1
fi
