#!/usr/bin/env bash
# Tests the Windows build (scripts/build-windows.sh) under Wine and Xvfb:
#   1. the unit tests and the window tests built for Windows (ctest in build-win64/);
#   2. the round trip with transhoravo.exe on the example school and on two generated
#      schools, whose tables and documents must be byte for byte those of the Linux
#      build (build/, built when missing);
#   3. Horavent's start of the window: a stand-in timetabler (a Windows program)
#      starts TransHoravoPlanif.exe from its own folder, waits on its process and
#      reads Horavent.ini: 1 for a completed import, -1 for a cancelled file choice;
#   4. a Windows program holding PROFT.DBF with no sharing, as Horavent holds a table
#      it uses: the export stops, names the table, and the folder is unchanged;
#   5. the installer, silently into a fresh Wine prefix: the installed transhoravo.exe
#      exports the example school, the school's own files stay, and the uninstaller
#      removes what it installed and nothing else.
#   scripts/test-windows.sh [5]   with 5, only the installer's part
set -euo pipefail
first_step="${1:-1}"
root="$(cd "$(dirname "$0")/.." && pwd)"
win="${WIN_BUILD_DIR:-$root/build-win64}"
linux="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh" wine wine64 xvfb xauth gcc-mingw-w64-x86-64-win32
[ -x "$win/bin/transhoravo.exe" ] || { echo "Falta la construcción para Windows: scripts/build-windows.sh" >&2; exit 1; }
"$root/scripts/build.sh" >/dev/null

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work="$(mktemp -d)"
cleanup() {
  for prefix in "$work"/prefix-*; do
    [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FALLO: $*" >&2; exit 1; }
started=$SECONDS
step() { echo "== $* ($((SECONDS - started)) s)"; }

# new_prefix NAME: a fresh Wine prefix, made the current one.
new_prefix() {
  export WINEPREFIX="$work/prefix-$1"
  timeout 300 wineboot -i >/dev/null 2>&1 || fail "wineboot -i no ha terminado"
}

# same_files DIR_A DIR_B WHAT: every file of both folders byte for byte the same,
# the timetable document's fecha (the clock and the regional format) and the
# report's path of its document (each system's folder) left aside.
normalised() { sed -E 's/fecha="[^"]*"/fecha=""/; s#[^<>"]*[/\\]ResultadoHoravo#ResultadoHoravo#g' "$1"; }
same_files() {
  local a="$1" b="$2" what="$3" name
  for name in $(cd "$a" && ls); do
    [ -f "$a/$name" ] || continue
    [ -f "$b/$name" ] || fail "$what: $name solo está en la construcción para Linux"
    if ! cmp -s <(normalised "$a/$name") <(normalised "$b/$name"); then
      fail "$what: $name no es igual en Windows y en Linux"
    fi
  done
  for name in $(cd "$b" && ls); do
    [ -f "$b/$name" ] && [ ! -f "$a/$name" ] && fail "$what: $name solo está en la construcción para Windows"
  done
  return 0
}

if [ "$first_step" -le 4 ]; then
step "1. Pruebas de la construcción para Windows"
export WINEPREFIX="$win/wine-prefix"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$win" --output-on-failure -j"$(nproc)" --timeout 900

step "2. Ida y vuelta con transhoravo.exe, comparada con la construcción para Linux"
new_prefix roundtrip
ktemp="$WINEPREFIX/drive_c/KTEMP"
# round_trip NAME SCHOOL_DIR
round_trip() {
  local name="$1" school="$2" frames
  frames="$(tr -d ' \r\n' <"$school/marcos.txt")"
  local lin="$work/$name-linux" winfolder="$ktemp"
  rm -rf "$lin" "$winfolder" && mkdir -p "$lin/seneca" "$winfolder/seneca"
  cp "$school/seneca.xml" "$school/planificacion.xml" "$lin/seneca/"
  cp "$school/seneca.xml" "$school/planificacion.xml" "$winfolder/seneca/"
  "$linux/bin/transhoravo" export --ktemp "$lin" --seneca "$lin/seneca/seneca.xml" \
    --planning "$lin/seneca/planificacion.xml" --materias "$linux/bin/SENEMATERIAS.DBF" \
    --levels "$school/niveles.csv" --frames "$frames" >"$work/log" 2>&1 || { cat "$work/log"; fail "$name: exportación en Linux"; }
  # The Windows program finds C:\KTEMP by itself.
  wine "$win/bin/transhoravo.exe" export --seneca 'C:\KTEMP\seneca\seneca.xml' \
    --planning 'C:\KTEMP\seneca\planificacion.xml' --materias "Z:$win/bin/SENEMATERIAS.DBF" \
    --levels "Z:$school/niveles.csv" --frames "$frames" >"$work/log" 2>&1 || { cat "$work/log"; fail "$name: exportación en Windows"; }
  same_files "$lin" "$winfolder" "$name, exportación"
  "$linux/bin/standin_timetabler" --ktemp "$lin" >/dev/null
  cp "$lin/SOLUC.DBF" "$winfolder/"
  "$linux/bin/transhoravo" import --ktemp "$lin" --seneca "$lin/seneca/seneca.xml" >"$work/log" 2>&1 ||
    { cat "$work/log"; fail "$name: importación en Linux"; }
  wine "$win/bin/transhoravo.exe" import --seneca 'C:\KTEMP\seneca\seneca.xml' >"$work/log" 2>&1 ||
    { cat "$work/log"; fail "$name: importación en Windows"; }
  same_files "$lin" "$winfolder" "$name, importación"
  same_files "$lin/seneca" "$winfolder/seneca" "$name, documento e informe"
  echo "$name: tablas, documento e informe iguales"
}
round_trip ejemplo "$root/examples"
for seed in 3 11; do
  "$linux/bin/school_generator" --seed "$seed" --scale 1 --out "$work/school-$seed" >/dev/null
  round_trip "centro generado $seed" "$work/school-$seed"
done

step "3. Horavent inicia TransHoravoPlanif.exe y lee Horavent.ini"
horavent="$WINEPREFIX/drive_c/Archivos de programa/Horavent Año 18"
mkdir -p "$horavent"
cp -r "$win/TransHoravo/." "$horavent/"
x86_64-w64-mingw32-gcc -std=c11 -O2 -Wall -Wextra -Werror -municode -o "$horavent/horavent_standin.exe" \
  "$root/tests/wine/horavent_standin.c"
printf '; ajustes de Horavent\r\n[General]\r\nIdioma=ES\r\n' >"$horavent/Horavent.ini"
# run_case NAME DIRECTION ANSWERS EXPECTED
run_case() {
  local name="$1" direction="$2" answers="$3" expected="$4" output
  output="$(TRANSHORAVO_TEST_ANSWERS="$answers" timeout 180 xvfb-run -a \
    wine "$horavent/horavent_standin.exe" "$direction" x 2>"$work/stderr" | tr -d '\r')" ||
    { cat "$work/stderr" >&2; fail "$name: el sustituto de Horavent no ha terminado bien"; }
  echo "$name: $(echo "$output" | tr '\n' ' ')"
  grep -qx "Transformado=$expected" <<<"$output" || fail "$name: se esperaba Transformado=$expected"
  grep -q '^Idioma=ES' "$horavent/Horavent.ini" || fail "$name: Horavent.ini ha perdido sus otras líneas"
  grep -q $'\r$' "$horavent/Horavent.ini" || fail "$name: Horavent.ini ha perdido sus finales de línea CRLF"
}
rm -f "$ktemp/seneca/ResultadoHoravoseneca.xml"
run_case "importación completa" importar 'C:\KTEMP\seneca\seneca.xml' 1
[ -s "$ktemp/seneca/ResultadoHoravoseneca.xml" ] || fail "la importación no ha escrito el documento en C:\\KTEMP\\seneca"
run_case "importación cancelada" importar "-" -1
run_case "exportación cancelada" exportar "-" -1

step "4. Una tabla que Horavent tiene abierta detiene la exportación"
last_school="$work/school-11" # the school whose files and tables C:\KTEMP holds now
x86_64-w64-mingw32-gcc -std=c11 -O2 -Wall -Wextra -Werror -municode -o "$work/hold_file.exe" \
  "$root/tests/windows/hold_file.c"
before="$(cd "$ktemp" && sha256sum ./*.DBF)"
wine "$work/hold_file.exe" 'C:\KTEMP\PROFT.DBF' 'C:\KTEMP\soltar' >"$work/held" 2>&1 &
holder=$!
for _ in $(seq 100); do grep -q abierto "$work/held" && break; sleep 0.2; done
grep -q abierto "$work/held" || fail "no se ha podido abrir PROFT.DBF sin compartir"
status=0
wine "$win/bin/transhoravo.exe" export --seneca 'C:\KTEMP\seneca\seneca.xml' \
  --planning 'C:\KTEMP\seneca\planificacion.xml' --materias "Z:$win/bin/SENEMATERIAS.DBF" \
  --levels "Z:$last_school/niveles.csv" --frames "$(tr -d ' \r\n' <"$last_school/marcos.txt")" \
  >"$work/log" 2>&1 || status=$?
touch "$ktemp/soltar"
wait "$holder" || true
rm -f "$ktemp/soltar"
[ "$status" = 1 ] || { cat "$work/log"; fail "la exportación con PROFT.DBF abierta terminó con el estado $status"; }
grep -q "PROFT.DBF" "$work/log" || { cat "$work/log"; fail "el mensaje no nombra PROFT.DBF"; }
[ "$before" = "$(cd "$ktemp" && sha256sum ./*.DBF)" ] || fail "las tablas han cambiado aunque PROFT.DBF estaba abierta"
echo "exportación detenida: $(tr -d '\r' <"$work/log" | head -1)"

fi

step "5. El instalador, en un prefijo nuevo"
new_prefix installer
installer="$(ls "$win"/TransHoravo-*-instalador.exe)"
target="$WINEPREFIX/drive_c/Horavent"
mkdir -p "$target"
printf 'horavent' >"$target/Horavent.exe"
printf '[Transformadores]\r\nTransformado=0\r\n' >"$target/Horavent.ini"
printf 'tabla del centro' >"$target/SENEMATERIAS.DBF"
timeout 300 wine "$installer" /S '/D=C:\Horavent' || fail "el instalador silencioso no ha terminado bien"
for file in TransHoravoPlanif.exe transhoravo.exe Qt6Core.dll platforms/qwindows.dll qtbase_es.qm help/index.html \
  DesinstalarTransHoravo.exe; do
  [ -f "$target/$file" ] || fail "el instalador no ha puesto $file"
done
[ "$(cat "$target/SENEMATERIAS.DBF")" = "tabla del centro" ] || fail "el instalador ha cambiado el SENEMATERIAS.DBF del centro"
[ "$(cat "$target/Horavent.ini")" = $'[Transformadores]\r\nTransformado=0\r' ] || fail "el instalador ha cambiado Horavent.ini"
find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'TransHoravo.lnk' | grep -q . || fail "no hay entrada en el menú Inicio"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TransHoravo' /v DisplayName 2>/dev/null |
  grep -q 'TransHoravo' || fail "el programa no figura entre los programas instalados"
rm "$target/SENEMATERIAS.DBF" # the installed program then reads... no table: put the empty one back
cp "$win/TransHoravo/SENEMATERIAS.DBF" "$target/"
mkdir -p "$WINEPREFIX/drive_c/KTEMP/seneca"
cp "$root/examples/seneca.xml" "$root/examples/planificacion.xml" "$WINEPREFIX/drive_c/KTEMP/seneca/"
wine 'C:\Horavent\transhoravo.exe' export --seneca 'C:\KTEMP\seneca\seneca.xml' \
  --planning 'C:\KTEMP\seneca\planificacion.xml' --levels "Z:$root/examples/niveles.csv" \
  --frames "$(tr -d ' \r\n' <"$root/examples/marcos.txt")" >"$work/log" 2>&1 ||
  { cat "$work/log"; fail "el transhoravo.exe instalado no ha exportado el centro de ejemplo"; }
[ -s "$WINEPREFIX/drive_c/KTEMP/PROFT.DBF" ] || fail "la exportación instalada no ha escrito PROFT.DBF"
printf 'tabla del centro' >"$target/SENEMATERIAS.DBF"
timeout 300 wine 'C:\Horavent\DesinstalarTransHoravo.exe' /S '_?=C:\Horavent' || fail "el desinstalador no ha terminado bien"
for file in TransHoravoPlanif.exe transhoravo.exe Qt6Core.dll platforms help; do
  [ ! -e "$target/$file" ] || fail "el desinstalador ha dejado $file"
done
[ -f "$target/Horavent.exe" ] && [ "$(cat "$target/SENEMATERIAS.DBF")" = "tabla del centro" ] && [ -f "$target/Horavent.ini" ] ||
  fail "el desinstalador ha quitado archivos de Horavent o del centro"
[ -s "$WINEPREFIX/drive_c/KTEMP/PROFT.DBF" ] || fail "el desinstalador ha tocado C:\\KTEMP"
echo "instalado, usado y desinstalado sin tocar los archivos del centro"

echo "Pruebas de Windows terminadas en $((SECONDS - started)) s"
