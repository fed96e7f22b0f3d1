#!/usr/bin/env bash
# The main job: installs what is missing, builds Vossik, indexes the bundled
# sample site, runs one search in the terminal and tells where the search
# page is. With --serve it also serves the site on 127.0.0.1.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target vossik

# The sample site is indexed in a copy, so the checkout stays clean.
work="$root/build/demo"
rm -rf "$work"
mkdir -p "$work"
cp -r sample-site "$work/site"
cd "$work"

echo
echo "== Indexing the sample site"
"$root/build/vossik" -build -set index:dirsrc="$work/site" -set index:dirdest=search

echo
echo "== Searching it from the terminal: vossik -search \"trail map\""
"$root/build/vossik" -search "trail map" -set index:dirsrc="$work/site" -set index:dirdest=search

echo
echo "The search page is $work/site/search/vkexample.html"
echo "Open the offline page straight from disk:"
echo "  chromium file://$work/site/search/offlineexample.html"
if [ "${1:-}" = "--serve" ]; then
  port=${PORT:-8080}
  echo "Serving the site at http://127.0.0.1:$port/search/vkexample.html (Ctrl-C to stop)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/site"
else
  echo "Or serve it on this machine and open http://127.0.0.1:8080/search/vkexample.html:"
  echo "  scripts/demo.sh --serve"
fi
