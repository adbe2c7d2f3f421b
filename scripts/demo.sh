#!/usr/bin/env bash
# The round trip on the bundled example school, in a folder of its own under the
# build folder (never the real working folder): export with the dialogs answered
# from examples/, the stand-in timetabler, and the import.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
bin="$BUILD_DIR/bin"
demo="$BUILD_DIR/demo"
ktemp="$demo/KTEMP"
rm -rf "$demo"
mkdir -p "$ktemp/seneca"
cp "$root/examples/seneca.xml" "$root/examples/planificacion.xml" "$ktemp/seneca/"
frames="$(tr -d ' \r\n' < "$root/examples/marcos.txt")"

echo "== Exportación: tablas escritas en $ktemp"
"$bin/transhoravo" export --ktemp "$ktemp" \
  --seneca "$ktemp/seneca/seneca.xml" --planning "$ktemp/seneca/planificacion.xml" \
  --levels "$root/examples/niveles.csv" --frames "$frames"

if [ -x "$bin/standin_timetabler" ]; then
  echo
  echo "== Horario de prueba (sustituto de Horavent): SOLUC.DBF"
  "$bin/standin_timetabler" --ktemp "$ktemp"
  echo
  echo "== Importación: documento de horarios para Séneca"
  "$bin/transhoravo" import --ktemp "$ktemp" --seneca "$ktemp/seneca/seneca.xml"
fi
