#!/usr/bin/env bash
# Makes windows/transhoravo.ico from packaging/transhoravo.svg: headless Chromium
# draws the picture at each size, and the sizes go into one .ico as PNG images
# (what Windows Vista and later read). The .ico is kept in the repository, so the
# Windows build needs neither Chromium nor this script; run it again when the
# picture changes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
pngs=()
# Windows scales the large picture down for the smaller places it shows.
for size in 256; do
  cat >"$work/page.html" <<PAGE
<html><body style="margin:0;background:transparent">
<img src="file://$root/packaging/transhoravo.svg" width="$size" height="$size" style="display:block">
</body></html>
PAGE
  timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
    --disable-sync --no-first-run --user-data-dir="$work/profile" --hide-scrollbars \
    --default-background-color=00000000 --window-size="$size,$size" \
    --screenshot="$work/$size.png" "file://$work/page.html" >/dev/null 2>&1
  pngs+=("$work/$size.png")
done
python3 - "$root/windows/transhoravo.ico" "${pngs[@]}" <<'PY'
import struct, sys
out, images = sys.argv[1], sys.argv[2:]
datas = [open(p, 'rb').read() for p in images]
offset = 6 + 16 * len(datas)
header = struct.pack('<HHH', 0, 1, len(datas))
entries = b''
for data in datas:
    width, height = struct.unpack('>II', data[16:24])
    entries += struct.pack('<BBBBHHII', width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
open(out, 'wb').write(header + entries + b''.join(datas))
PY
echo "windows/transhoravo.ico"
