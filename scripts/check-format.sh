#!/usr/bin/env bash
# Fails, naming each file and line, when one of our C and C++ sources differs from
# what clang-format (.clang-format) writes. Build folders are not ours: in a git
# checkout the sources are the files git knows (tracked or new, not ignored).
#   scripts/check-format.sh        check
#   scripts/check-format.sh --fix  rewrite the files that differ
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || scripts/install-deps.sh

files=()
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  while IFS= read -r file; do
    [ -f "$file" ] && files+=("$file")
  done < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' '*.c')
else
  while IFS= read -r file; do
    files+=("$file")
  done < <(find . \( -path './build*' -o -path './.git' \) -prune -o -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print)
fi

if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "El formato de los archivos anteriores no es el de .clang-format: corríjalo con scripts/check-format.sh --fix" >&2
  exit 1
fi
echo "Formato comprobado: ${#files[@]} archivos"
