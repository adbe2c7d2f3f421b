#!/usr/bin/env bash
# The Windows build's transhoravo.exe under Wine against the Linux build's
# transhoravo, on the same generated school (default scale 16): export, then the
# stand-in timetabler (Linux, once), then import with its check and report. Best
# of N runs each (default 3), wall time, with xmllint --noout on the same two files
# as the reference of the same run. Reports figures; nothing here is asserted.
#   bench/windows_under_wine.sh [--scale S] [--repeat N]
# Needs build/ (scripts/build.sh) and build-win64/ (scripts/build-windows.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
scale=16 repeat=3
while [ $# -gt 0 ]; do
  case "$1" in
    --scale) scale="$2"; shift 2 ;;
    --repeat) repeat="$2"; shift 2 ;;
    *) echo "Uso: $0 [--scale S] [--repeat N]" >&2; exit 2 ;;
  esac
done
linux="$root/build/bin" win="$root/build-win64/bin"
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
wineboot -i >/dev/null 2>&1
school="$work/school"
"$linux/school_generator" --seed 1 --scale "$scale" --out "$school" >/dev/null
frames="$(tr -d ' \r\n' <"$school/marcos.txt")"

# best COMMAND...: the best wall time of $repeat runs, in seconds.
best() {
  local most=999999 t
  for _ in $(seq "$repeat"); do
    [ -n "${before:-}" ] && eval "$before"
    t=$( { /usr/bin/time -f %e "$@" >/dev/null 2>"$work/err.tmp"; } 2>&1; tail -1 "$work/err.tmp")
    most=$(awk -v a="$t" -v b="$most" 'BEGIN { print (a < b ? a : b) }')
  done
  echo "$most"
}

xml=$(before="" best xmllint --noout "$school/seneca.xml" "$school/planificacion.xml")
lk="$work/linux" wk="$WINEPREFIX/drive_c/KTEMP"
before="rm -rf '$lk'" lex=$(best "$linux/transhoravo" export --ktemp "$lk" --seneca "$school/seneca.xml" \
  --planning "$school/planificacion.xml" --materias "$linux/SENEMATERIAS.DBF" --levels "$school/niveles.csv" --frames "$frames")
before="rm -rf '$wk'" wex=$(best wine "$win/transhoravo.exe" export --seneca "Z:$school/seneca.xml" \
  --planning "Z:$school/planificacion.xml" --materias "Z:$win/SENEMATERIAS.DBF" --levels "Z:$school/niveles.csv" --frames "$frames")
"$linux/standin_timetabler" --ktemp "$lk" >/dev/null
cp "$lk/SOLUC.DBF" "$wk/"
cp "$school/seneca.xml" "$work/seneca-linux.xml"
before="" lim=$(best "$linux/transhoravo" import --ktemp "$lk" --seneca "$work/seneca-linux.xml")
before="" wim=$(best wine "$win/transhoravo.exe" import --seneca "Z:$school/seneca.xml")
start=$(before="" best "$linux/transhoravo" --version)
wstart=$(before="" best wine "$win/transhoravo.exe" --version)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "Escala $scale, mejor de $repeat (s); xmllint --noout de los dos archivos: $xml"
echo
echo "| fase | Linux | Windows bajo Wine | Wine / Linux |"
echo "|---|---:|---:|---:|"
echo "| transhoravo export | $lex | $wex | $(ratio "$wex" "$lex") |"
echo "| transhoravo import (con comprobación e informe) | $lim | $wim | $(ratio "$wim" "$lim") |"
echo "| export + import | $(awk -v a="$lex" -v b="$lim" 'BEGIN { print a + b }') | $(awk -v a="$wex" -v b="$wim" 'BEGIN { print a + b }') | $(ratio "$(awk -v a="$wex" -v b="$wim" 'BEGIN { print a + b }')" "$(awk -v a="$lex" -v b="$lim" 'BEGIN { print a + b }')") |"
echo "| transhoravo.exe --version (arranque de Wine y Qt) | $start | $wstart | |"
