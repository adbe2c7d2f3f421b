#!/usr/bin/env bash
# The converter at the size of the largest schools and beyond, in one command:
# builds in Release (build-release/), generates schools of scale 1, 4 and 16, and
# times each phase under /usr/bin/time -v beside `xmllint --noout` on the same two
# input files, the least a program that reads them can cost.
#
#   bench/run_benchmarks.sh [--scales "1 4 16"] [--repeat N] [--seed N] [--record]
#
# Wall times are the best of N runs (default 3) of each phase, measured with the
# shell's clock; peak memory is the largest "Maximum resident set size" of those
# runs. --record writes the figures and the machine to bench/RESULTS.md.
# Nothing here touches a real working folder: every phase works in
# build-release/bench/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
scales="1 4 16"
repeat=3
seed=1
record=0
while [ $# -gt 0 ]; do
  case "$1" in
    --scales) scales="$2"; shift 2 ;;
    --repeat) repeat="$2"; shift 2 ;;
    --seed) seed="$2"; shift 2 ;;
    --record) record=1; shift ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    *) echo "Unknown option: $1" >&2; exit 2 ;;
  esac
done

"$root/scripts/install-deps.sh"
build="$root/build-release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target transhoravo school_generator standin_timetabler make_senematerias >/dev/null
bin="$build/bin"
work="$build/bench"
rm -rf "$work"
mkdir -p "$work"

# measure NAME COMMAND...: runs the command $repeat times; sets wall (seconds, best
# run) and peak (MiB, largest run). A failing command (a status other than 0 and
# $accept_status) stops the benchmark.
measure() {
  local name="$1"; shift
  local best="" most=0 i start end elapsed kb
  for ((i = 0; i < repeat; i++)); do
    [ -n "${before_each:-}" ] && eval "$before_each"
    start=$EPOCHREALTIME
    local status=0
    /usr/bin/time -v -o "$work/time.txt" "$@" >"$work/$name.out" 2>"$work/$name.err" || status=$?
    if [ "$status" -ne 0 ] && [ "$status" -ne "${accept_status:-0}" ]; then
      echo "$name failed:" >&2; cat "$work/$name.err" >&2; exit 1
    fi
    end=$EPOCHREALTIME
    elapsed=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
    kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
    if [ -z "$best" ] || awk -v e="$elapsed" -v b="$best" 'BEGIN { exit !(e < b) }'; then best=$elapsed; fi
    [ "$kb" -gt "$most" ] && most=$kb
  done
  wall=$best
  peak=$(awk -v k="$most" 'BEGIN { printf "%.1f", k / 1024 }')
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
verdict() { if awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; then echo "met"; else echo "MISSED"; fi; }

report="$work/report.md"
: >"$report"
out() { echo "$@" | tee -a "$report"; }

declare -A total_time total_peak ref_time ref_peak check_time import_time
for scale in $scales; do
  school="$work/school-$scale"
  ktemp="$work/ktemp-$scale"
  "$bin/school_generator" --seed "$seed" --scale "$scale" --out "$school" >/dev/null
  frames="$(tr -d ' \r\n' <"$school/marcos.txt")"
  seneca="$school/seneca.xml"
  planning="$school/planificacion.xml"

  measure xmllint xmllint --noout "$seneca" "$planning"
  ref_time[$scale]=$wall; ref_peak[$scale]=$peak
  xml_wall=$wall; xml_peak=$peak
  measure xmllint_seneca xmllint --noout "$seneca"
  xs_wall=$wall; xs_peak=$peak

  before_each="rm -rf '$ktemp'"
  measure export "$bin/transhoravo" export --seneca "$seneca" --planning "$planning" --ktemp "$ktemp" \
    --materias "$bin/SENEMATERIAS.DBF" --levels "$school/niveles.csv" --frames "$frames"
  before_each=""
  ex_wall=$wall; ex_peak=$peak
  cp "$work/export.out" "$work/export-$scale.out"

  measure standin "$bin/standin_timetabler" --ktemp "$ktemp"
  st_wall=$wall; st_peak=$peak
  soluc=$(grep -o '[0-9]* registros' "$work/standin.out" | head -1 | cut -d' ' -f1)

  measure import "$bin/transhoravo" import --seneca "$seneca" --ktemp "$ktemp"
  im_wall=$wall; im_peak=$peak
  # The summary on standard output: the document's path under its heading, the
  # counts under "Contenido:".
  summary=$(sed -n '/^Contenido:/,/^$/{s/^  //p}' "$work/import.out" | paste -sd. - | sed 's/\./. /g')
  document="$(sed -n '/^Documento para Séneca:/{n;s/^  //p;q}' "$work/import.out")"

  # The check the import runs on its document, alone, with its HTML report.
  # Status 4 (errors found in the document) is a completed check.
  accept_status=4
  measure check "$bin/transhoravo" check --seneca "$seneca" --timetable "$document" --html "$work/informe-$scale.html"
  accept_status=0
  ck_wall=$wall; ck_peak=$peak
  check_time[$scale]=$ck_wall; import_time[$scale]=$im_wall
  check_summary=$(grep -h 'Comprobación del documento' "$work/check.err" | head -1 || true)

  total=$(awk -v a="$ex_wall" -v b="$im_wall" 'BEGIN { printf "%.3f", a + b }')
  total_time[$scale]=$total
  total_peak[$scale]=$(awk -v a="$ex_peak" -v b="$im_peak" 'BEGIN { print (a > b ? a : b) }')

  out ""
  out "### Scale $scale"
  out ""
  out "Séneca file $(du -k "$seneca" | cut -f1) KiB, planning file $(du -k "$planning" | cut -f1) KiB."
  out "Séneca records per group: $(grep -o '<grupo_datos seq="[A-Z_]*" registros="[0-9]*"' "$seneca" |
    sed -E 's/<grupo_datos seq="([A-Z_]*)" registros="([0-9]*)"/\1 \2/' | paste -sd, - | sed 's/,/, /g')."
  out "Planning: $(grep -c '<grupo_datos seq="PROFESOR_' "$planning") teachers, $(grep -c '<grupo_datos seq="DETALLE_' "$planning") assignments."
  out "Tables written: $(awk '/^  [A-Z0-9_]+\.DBF: / { sub(":", "", $1); printf "%s%s %s", (n++ ? ", " : ""), $1, $2 }' "$work/export-$scale.out")."
  out "SOLUC: $soluc records. Import summary: ${summary}"
  out "Check: ${check_summary} Report $(du -k "$work/informe-$scale.html" | cut -f1) KiB."
  out ""
  out "| phase | wall time (s) | peak memory (MiB) |"
  out "|---|---:|---:|"
  out "| xmllint --noout, both files (reference) | $xml_wall | $xml_peak |"
  out "| xmllint --noout, Séneca file only | $xs_wall | $xs_peak |"
  out "| transhoravo export | $ex_wall | $ex_peak |"
  out "| standin_timetabler (test tool, not timed in the targets) | $st_wall | $st_peak |"
  out "| transhoravo import (its check and report included) | $im_wall | $im_peak |"
  out "| transhoravo check --html, alone | $ck_wall | $ck_peak |"
  out "| export + import | $total | ${total_peak[$scale]} |"
done

out ""
out "### Targets"
out ""
out "| target | measured | limit | |"
out "|---|---:|---:|---|"
if [ -n "${total_time[1]:-}" ]; then
  out "| scale 1: export + import (s) | ${total_time[1]} | 0.3 | $(verdict "${total_time[1]}" 0.3) |"
fi
if [ -n "${total_time[16]:-}" ]; then
  t=$(ratio "${total_time[16]}" "${ref_time[16]}")
  m=$(ratio "${total_peak[16]}" "${ref_peak[16]}")
  out "| scale 16: export + import time / xmllint time | $t | 2.5 | $(verdict "$t" 2.5) |"
  out "| scale 16: peak memory / xmllint peak | $m | 1.3 | $(verdict "$m" 1.3) |"
fi
if [ -n "${check_time[1]:-}" ]; then
  out "| scale 1 (150 teachers): check with report (s) | ${check_time[1]} | 1.0 | $(verdict "${check_time[1]}" 1.0) |"
fi
if [ -n "${check_time[16]:-}" ]; then
  out "| scale 16: check with report / import (s) | ${check_time[16]} / ${import_time[16]} | 1.0 × import | $(verdict "${check_time[16]}" "${import_time[16]}") |"
fi
if [ -n "${total_time[4]:-}" ] && [ -n "${total_time[16]:-}" ]; then
  g=$(ratio "${total_time[16]}" "${total_time[4]}")
  out "| time growth from scale 4 to 16 | $g | 4.6 | $(verdict "$g" 4.6) |"
fi

if [ "$record" = 1 ]; then
  # The analysis written by hand below the figures survives a new recording.
  results="$root/bench/RESULTS.md"
  analysis=""
  if [ -f "$results" ]; then
    analysis="$(sed -n '/^## Where the time and memory go/,$p' "$results")"
  fi
  {
    echo "# Benchmark results"
    echo
    echo "Produced by \`bench/run_benchmarks.sh --record\` (Release build, best of $repeat runs per phase, seed $seed)"
    echo "on $(date -u +%Y-%m-%d):"
    echo
    echo "- CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(nproc) cores"
    echo "- Memory: $(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)"
    echo "- $(xmllint --version 2>&1 | head -1)"
    echo
    echo "The reference is \`xmllint --noout\` on the same two input files: what building the tree of"
    echo "each with libxml2 costs. Export reads both files without their trees, one on each core;"
    echo "xmllint frees the first tree before it parses the second, so its peak is that of the larger file."
    cat "$report"
    if [ -n "$analysis" ]; then
      echo
      echo "$analysis"
    fi
  } >"$results.new"
  mv "$results.new" "$results"
  echo
  echo "Written to $results"
fi
