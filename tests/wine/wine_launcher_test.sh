#!/usr/bin/env bash
# Horavent starts TransHoravoPlanif.exe from its own folder under Wine, waits for it
# and reads Transformado from Horavent.ini there. This runs that start for real: a
# stand-in for the timetabler (a Windows program) starts the launcher, which starts
# the Linux window program on an Xvfb display, whose file dialog is answered through
# TRANSHORAVO_TEST_ANSWERS. Cases: an import of the example school that completes
# (1); an import and an export whose file dialog is cancelled (a message that says
# so, -1); an import stopped by an error, whose window the person then closes (stays 0).
#
# Usage: wine_launcher_test.sh LAUNCHER.exe STANDIN.exe TransHoravoPlanif transhoravo
#                              standin_timetabler EXAMPLES_DIR
# Ends with 77 (skipped) when Wine, Xvfb or the mingw-w64 builds are missing, or
# fails then when HORAVO_REQUIRE_WINE_TEST=1 (.ci/run, which installs them).
set -euo pipefail
launcher="$1" standin="$2" program="$3" cli="$4" timetabler="$5" examples="$6"

skip() {
    echo "SKIP: $*"
    [ "${HORAVO_REQUIRE_WINE_TEST:-0}" = 1 ] && exit 1
    exit 77
}
command -v wine >/dev/null || skip "Wine no está instalado"
command -v wineboot >/dev/null || skip "Wine no está instalado"
command -v xvfb-run >/dev/null && command -v xauth >/dev/null || skip "xvfb-run o xauth no están instalados"
[ -n "$launcher" ] && [ -f "$launcher" ] || skip "sin mingw-w64 no se ha construido el lanzador"
[ -n "$standin" ] && [ -f "$standin" ] || skip "sin mingw-w64 no se ha construido el sustituto de Horavent"
program="$(realpath "$program")" cli="$(realpath "$cli")" timetabler="$(realpath "$timetabler")"
examples="$(realpath "$examples")"

work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true # this test's own prefix only
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FALLO: $*" >&2
    exit 1
}

started=$SECONDS
timeout 240 wineboot -i >/dev/null 2>&1 || fail "wineboot -i no ha terminado"
echo "Prefijo de Wine creado en $((SECONDS - started)) s"

# The working folder the program finds by itself: drive_c/KTEMP in the prefix,
# filled by an export of the example school and a placed timetable.
ktemp="$WINEPREFIX/drive_c/KTEMP"
mkdir -p "$ktemp/seneca"
cp "$examples/seneca.xml" "$examples/planificacion.xml" "$ktemp/seneca/"
"$cli" export --ktemp "$ktemp" --seneca "$ktemp/seneca/seneca.xml" --planning "$ktemp/seneca/planificacion.xml" \
    --levels "$examples/niveles.csv" --frames "$(tr -d ' \r\n' <"$examples/marcos.txt")" >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; fail "la exportación con la orden transhoravo no ha terminado"; }
"$timetabler" --ktemp "$ktemp" >"$work/log" 2>&1 || { cat "$work/log" >&2; fail "el sustituto de Horavent no ha colocado las clases"; }

# Horavent's folder, with a space and an accent as schools name them. The Linux
# program is reached through a script beside the launcher, so the program's own
# folder is not Horavent's: Horavent.ini must land where the launcher says. The
# script also leaves the program's exit status once it has ended, to show that the
# launcher waited for it and that the program ended normally.
horavent="$work/Archivos de programa/Horavent Año 18"
mkdir -p "$horavent"
cp "$launcher" "$horavent/TransHoravoPlanif.exe"
cp "$standin" "$horavent/horavent_standin.exe"
cat >"$horavent/TransHoravoPlanif" <<EOF
#!/bin/sh
rm -f "$work/ended"
"$program" "\$@"
echo "\$?" >"$work/ended"
EOF
chmod +x "$horavent/TransHoravoPlanif"
printf '; ajustes de Horavent\r\n[General]\r\nIdioma=ES\r\n' >"$horavent/Horavent.ini"

# run_case NAME DIRECTION ANSWERS EXPECTED
run_case() {
    local name="$1" direction="$2" answers="$3" expected="$4"
    local begun=$SECONDS output
    rm -f "$work/ended"
    output="$(TRANSHORAVO_TEST_ANSWERS="$answers" timeout 180 xvfb-run -a \
        wine "$horavent/horavent_standin.exe" "$direction" x 2>"$work/stderr")" ||
        { cat "$work/stderr" >&2; fail "$name: el sustituto de Horavent no ha terminado bien"; }
    output="$(printf '%s' "$output" | tr -d '\r')"
    echo "$name ($((SECONDS - begun)) s): $(echo "$output" | tr '\n' ' ')"
    [ -e "$work/ended" ] || fail "$name: Horavent siguió antes de que terminara TransHoravoPlanif"
    [ "$(cat "$work/ended")" = 0 ] || fail "$name: TransHoravoPlanif terminó con el estado $(cat "$work/ended")"
    grep -qx "Transformado=$expected" <<<"$output" ||
        { cat "$work/stderr" >&2; fail "$name: se esperaba Transformado=$expected"; }
    grep -q '^Idioma=ES' "$horavent/Horavent.ini" || fail "$name: Horavent.ini ha perdido sus otras líneas"
}

run_case "importación completa" importar "$ktemp/seneca/seneca.xml" 1
[ -s "$ktemp/seneca/ResultadoHoravoseneca.xml" ] || fail "la importación no ha escrito el documento para Séneca"
run_case "importación cancelada" importar "-" -1
run_case "exportación cancelada" exportar "-" -1
rm "$ktemp/SOLUC.DBF"
run_case "importación sin horario" importar "$ktemp/seneca/seneca.xml" 0
echo "Prueba de Wine terminada en $((SECONDS - started)) s"
