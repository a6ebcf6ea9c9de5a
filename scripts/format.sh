#!/usr/bin/env bash
# Formats the C++ sources with the project's .clang-format (clang-format 14, Debian 12's).
#   bash scripts/format.sh           rewrites every file in place
#   bash scripts/format.sh --check   changes nothing; lists the files it would change and fails
set -euo pipefail
cd "$(dirname "$0")/.."
check=0
case "${1:-}" in
  --check) check=1 ;;
  "") ;;
  *) echo "uso: $0 [--check]" >&2; exit 2 ;;
esac
bash scripts/deps.sh clang-format
formatter=$(command -v clang-format-14 || command -v clang-format)
mapfile -t files < <(find src tests bench fuzz tools -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
if [ "$check" -eq 0 ]; then
  "$formatter" -i --style=file "${files[@]}"
  exit 0
fi
changed=0
for f in "${files[@]}"; do
  if ! "$formatter" --style=file --dry-run --Werror "$f" >/dev/null 2>&1; then
    echo "$f"
    changed=1
  fi
done
if [ "$changed" -ne 0 ]; then
  echo "Los archivos de arriba no siguen .clang-format: corra bash scripts/format.sh" >&2
fi
exit "$changed"
