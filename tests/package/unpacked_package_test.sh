#!/usr/bin/env bash
# The Debian package, unpacked into a temporary folder (not installed): it holds
# what a school needs, and its programs find their data from where they lie. The
# command line exports the example school with the packaged empty subject table;
# the window, in batch mode, imports it and writes Horavent.ini in the person's own
# folder (~/.local/share/transhoravo), never beside the program.
#
# Usage: unpacked_package_test.sh PACKAGE.deb EXAMPLES_DIR standin_timetabler
set -euo pipefail
deb="$1" examples="$2" timetabler="$3"

fail() {
    echo "FALLO: $*" >&2
    exit 1
}

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
tree="$work/paquete"
dpkg-deb -x "$deb" "$tree"

for file in usr/bin/TransHoravoPlanif usr/bin/transhoravo usr/share/transhoravo/SENEMATERIAS.DBF \
    usr/share/applications/transhoravo.desktop usr/share/icons/hicolor/scalable/apps/transhoravo.svg; do
    [ -f "$tree/$file" ] || fail "el paquete no contiene $file"
done
if command -v x86_64-w64-mingw32-gcc >/dev/null && command -v i686-w64-mingw32-gcc >/dev/null; then
    for arch in win64 win32; do
        [ -f "$tree/usr/share/transhoravo/windows/$arch/TransHoravoPlanif.exe" ] ||
            fail "el paquete no contiene el lanzador de Wine para $arch"
    done
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$tree/usr/share/applications/transhoravo.desktop" || fail "la entrada de escritorio no es válida"
fi
dpkg-deb -f "$deb" Depends | grep -q libqt6 || fail "el paquete no depende de Qt"

# A person of its own, so that nothing is written in the real home folder, and a
# Wine prefix of its own, whose drive_c/KTEMP is the working folder.
export HOME="$work/home" QT_QPA_PLATFORM=offscreen WINEPREFIX="$work/prefijo"
unset TRANSHORAVO_CARPETA XDG_DATA_HOME
mkdir -p "$HOME"
ktemp="$WINEPREFIX/drive_c/KTEMP"
mkdir -p "$ktemp/seneca"
cp "$examples/seneca.xml" "$examples/planificacion.xml" "$ktemp/seneca/"

"$tree/usr/bin/transhoravo" export --ktemp "$ktemp" --seneca "$ktemp/seneca/seneca.xml" \
    --planning "$ktemp/seneca/planificacion.xml" --levels "$examples/niveles.csv" \
    --frames "$(tr -d ' \r\n' <"$examples/marcos.txt")" >"$work/tables.txt" ||
    fail "la exportación del paquete desempaquetado no ha terminado"
for table in PERIODOS CURSOST ASIGNOMT PROFT AULAT GRUPOST ASIGT DIASHORAST; do
    [ -f "$ktemp/$table.DBF" ] && grep -q "^  $table.DBF: " "$work/tables.txt" ||
        fail "la exportación no ha escrito $table.DBF"
done
echo "Exportación desde el paquete desempaquetado: $(grep -c '^  [A-Z_0-9]*\.DBF: ' "$work/tables.txt") tablas"

# The window in batch mode, as Horavent starts it without the launcher.
"$timetabler" --ktemp "$ktemp" >/dev/null
TRANSHORAVO_TEST_ANSWERS="$ktemp/seneca/seneca.xml" timeout 120 "$tree/usr/bin/TransHoravoPlanif" importar x 2>"$work/window.txt" ||
    { cat "$work/window.txt" >&2; fail "la ventana del paquete no ha terminado bien"; }
[ -s "$ktemp/seneca/ResultadoHoravoseneca.xml" ] || fail "la importación no ha escrito el documento para Séneca"
grep -q '^Transformado=1' "$HOME/.local/share/transhoravo/Horavent.ini" ||
    fail "Horavent.ini no está en ~/.local/share/transhoravo con Transformado=1"
[ ! -e "$tree/usr/bin/Horavent.ini" ] || fail "Horavent.ini se ha escrito junto al programa"
echo "Importación desde el paquete desempaquetado: Horavent.ini en ~/.local/share/transhoravo"
