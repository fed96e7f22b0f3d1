#!/usr/bin/env bash
# Checks the C++ layout against .clang-format and the names against
# .clang-tidy. Usage: scripts/check-style.sh BUILD_DIR (a configured and
# built tree, whose compile_commands.json clang-tidy reads).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: scripts/check-style.sh BUILD_DIR}

mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
  'tools/*.cpp' 'tools/*.h' 'bench/*.cpp' 'bench/*.h' ':!tests/data')
echo "clang-format: ${#files[@]} files"
clang-format --dry-run --Werror "${files[@]}"

echo "clang-tidy: naming"
run-clang-tidy -p "$build" -j"$(nproc)" -quiet "$PWD/(src|tests|tools|bench)/" >"$build/clang-tidy.log" 2>&1 ||
  true
if grep -q "error:" "$build/clang-tidy.log"; then
  sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" | grep -A3 "error:" | head -60
  echo "clang-tidy found names outside the scheme (full log: $build/clang-tidy.log)" >&2
  exit 1
fi
echo "style: clean"
