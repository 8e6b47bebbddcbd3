#!/usr/bin/env bash
# Fails when a shared library exports anything but the listed symbols
# (the version node the linker adds for the version script excepted).
set -euo pipefail
library=$1
expected=$2
actual=$(nm -D --defined-only "$library" | awk '{print $3}' | sed 's/@.*//' | grep -v '^TOL[A-Z]*_[0-9]*$' | sort -u)
wanted=$(grep -v '^#' "$expected" | sed '/^$/d' | sort -u)
if [ "$actual" != "$wanted" ]; then
  echo "exports of $library differ from $expected:"
  diff <(echo "$wanted") <(echo "$actual") || true
  exit 1
fi
echo "exports of $(basename "$library"): $(echo "$actual" | tr '\n' ' ')"
