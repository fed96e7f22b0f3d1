#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit tests
# (ctest), the GUI tests (QtTest, offscreen), the style checks, the same core
# tests again under AddressSanitizer and UBSan, a short run of every fuzz
# target (libFuzzer, clang), the browser tests (headless Chromium), and the
# package test (builds the Debian package, installs, uses
# and purges it).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh

echo "== Release build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)

echo "== Style (clang-format, clang-tidy naming)"
scripts/check-style.sh build

echo "== Sanitizer build (AddressSanitizer, UBSan) and core tests"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVOSSIK_SANITIZE=ON -DVOSSIK_GUI=OFF >/dev/null
cmake --build build-asan
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest -L core --output-on-failure -j2)

echo "== Fuzz targets (libFuzzer with ASan and UBSan), a fixed number of inputs each"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVOSSIK_FUZZ=ON -DVOSSIK_GUI=OFF -DVOSSIK_TESTS=OFF >/dev/null
cmake --build build-fuzz --target fuzz_targets
for corpus in tests/fuzz/corpus/*/; do
  target=$(basename "$corpus")
  # A copy, so that the inputs a run adds stay out of the repository.
  work=$(mktemp -d)
  cp "$corpus"* "$work"/
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "build-fuzz/tests/fuzz/$target" -runs=10000 -seed=1 -max_len=4096 "$work" >"$work.log" 2>&1 ||
    { cat "$work.log"; echo "fuzz target $target failed"; exit 1; }
  echo "$target: $(grep -o 'Done [0-9]* runs.*' "$work.log")"
  rm -rf "$work" "$work.log"
done

if [ -f tests/browser/package.json ]; then
  echo "== Browser tests (headless Chromium)"
  (cd tests/browser && npm ci --no-audit --no-fund --loglevel=error)
  (cd tests/browser && VOSSIK_BUILD_DIR="$root/build" node --test --test-concurrency=1)
fi

echo "== Package test (build, install, use and purge the Debian package; needs root)"
tests/packaging/package_test.sh build
