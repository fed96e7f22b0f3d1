#!/usr/bin/env bash
# Builds the Debian package from a release build tree and uses it as a user
# would: installs it with apt, builds and searches a copy of the sample site
# with the installed program from a folder outside the repository, checks
# the desktop entries, manual pages, completion and the service's user and
# folder, then purges the package and checks that nothing of it is left.
#
# Usage (as root): tests/packaging/package_test.sh [BUILD_DIR]   (default: build)
#
# The machine is left as it was found, on failure too. A vossik package that
# this test did not install is never touched: the test stops instead.
set -euo pipefail
cd "$(dirname "$0")/../.."
source_dir=$PWD
build_dir=$(realpath "${1:-build}")

if [ "$(id -u)" -ne 0 ]; then
  echo "The package test installs a package: run it as root." >&2
  exit 1
fi

# One package test at a time on a machine.
exec 9>/var/lock/vossik-package-test.lock
flock -w 1800 9

# Present while the package is installed by this test, so that a run that was
# killed is cleaned up by the next one.
marker=/var/tmp/vossik-package-test.installed
apt_get=(env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=600)

work=$(mktemp -d /tmp/vossik-package-test.XXXXXX)
chmod 755 "$work"  # apt reads the package as its own user
log=$work/log

cleanup() {
  local status=$?
  cd /
  # The marker stays when the purge fails, so that the next run tries again.
  if [ -e "$marker" ] && "${apt_get[@]}" purge vossik >>"$log" 2>&1; then
    rm -f "$marker"
  fi
  if [ "$status" -ne 0 ] && [ -s "$log" ]; then
    echo "--- last lines of the package test's log:" >&2
    tail -n 40 "$log" >&2
  fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
  echo "FAIL: $*" >&2
  failed=$((failed + 1))
}
# check FAILURE COMMAND...: runs COMMAND, its output going to the log, and
# reports FAILURE when it fails.
check() {
  local what=$1
  shift
  if "$@" >>"$log" 2>&1; then pass; else fail "$what"; fi
}
die() {
  echo "FAIL: $*" >&2
  exit 1
}

installed_state() { dpkg-query -W -f='${db:Status-Status}' vossik 2>/dev/null || true; }

state=$(installed_state)
if [ -n "$state" ] && [ "$state" != not-installed ]; then
  [ -e "$marker" ] || die "vossik is installed on this machine ($state) and not by this test; purge it first (apt-get purge vossik)"
  echo "Purging the package that an interrupted package test left"
  "${apt_get[@]}" purge vossik >>"$log" 2>&1
  rm -f "$marker"
fi
if getent passwd vossik >/dev/null || [ -e /var/lib/vossik ]; then
  die "the user vossik or /var/lib/vossik exists without the package; the test would remove them, so it stops"
fi

echo "== Building the packages"
cmake --build "$build_dir" >>"$log" 2>&1 || die "the build failed"
rm -f "$build_dir"/vossik_*.deb "$build_dir"/vossik-dbgsym_*.deb
(cd "$build_dir" && cpack -G DEB) >>"$log" 2>&1 || die "cpack failed"
packages=("$build_dir"/vossik_*.deb)
if [ "${#packages[@]}" -ne 1 ] || [ ! -f "${packages[0]}" ]; then die "cpack made no vossik_*.deb"; fi
deb=$work/$(basename "${packages[0]}")
cp "${packages[0]}" "$deb"
chmod 644 "$deb"
dbgsym=("$build_dir"/vossik-dbgsym_*.deb)
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg --print-architecture)
echo "   $(basename "$deb"): $(stat -c %s "$deb") bytes"

check "the package is named $(basename "$deb")" [ "$(basename "$deb")" = "vossik_${version}_${arch}.deb" ]
changelog_version=$(dpkg-parsechangelog -l "$source_dir/packaging/changelog" -S Version)
check "packaging/changelog's latest entry is $changelog_version, the package is $version" \
  [ "$changelog_version" = "$version" ]
check "lintian reports errors" lintian --fail-on error "$deb" "${dbgsym[@]}"

# The package's folders that are not on the machine yet must go with it.
mapfile -t package_folders < <(dpkg-deb -c "$deb" | awk '$1 ~ /^d/ { sub(/^\./, "", $6); sub(/\/$/, "", $6); print $6 }')
new_folders=()
for folder in "${package_folders[@]}"; do
  if [ -n "$folder" ] && [ ! -e "$folder" ]; then new_folders+=("$folder"); fi
done

echo "== Installing it with apt"
touch "$marker"
"${apt_get[@]}" install "$deb" >>"$log" 2>&1 || die "apt-get install $deb failed"
[ "$(installed_state)" = installed ] || die "the package is not installed after apt-get install"
mapfile -t package_paths < <(dpkg -L vossik)
package_files=()
for path in "${package_paths[@]}"; do
  if [ -L "$path" ] || [ -f "$path" ]; then package_files+=("$path"); fi
done

echo "== Checking what it installed"
vossik=/usr/bin/vossik
check "$vossik is not installed" [ -x "$vossik" ]
check "/usr/bin/vossikadmin is not a link to vossik" [ "$(readlink /usr/bin/vossikadmin)" = vossik ]
sections=$(readelf -S "$vossik")
if grep -q '\.debug_info' <<<"$sections"; then fail "$vossik is not stripped"; else pass; fi
build_id=$(readelf -n "$vossik" | sed -n 's/.*Build ID: *//p')
debug_files=$(dpkg-deb -c "${dbgsym[0]}")
if [ -n "$build_id" ] && grep -q "/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug$" <<<"$debug_files"; then
  pass
else
  fail "the debug package has no debug file for the build id \"$build_id\" of $vossik"
fi
for size in 16 24 32 48 64 128 256; do
  icon=/usr/share/icons/hicolor/${size}x${size}/apps/vossik.png
  check "$icon is not a ${size}x${size} picture" [ "$(identify -format %wx%h "$icon" 2>/dev/null)" = "${size}x${size}" ]
done
for entry in /usr/share/applications/vossik.desktop /usr/share/applications/vossikadmin.desktop; do
  check "$entry is not a valid desktop entry" desktop-file-validate "$entry"
done
check "vossikadmin.desktop does not run vossikadmin" grep -qx 'Exec=vossikadmin' /usr/share/applications/vossikadmin.desktop
for page in /usr/share/man/man1/vossik.1.gz /usr/share/man/man1/vossikadmin.1.gz /usr/share/man/man8/vossikd.8.gz; do
  if [ -e "$page" ]; then
    warnings=$(MANWIDTH=80 man --warnings -P cat -l "$page" 2>&1 >/dev/null)
    check "$page renders with warnings: $warnings" [ -z "$warnings" ]
  else
    fail "$page is not installed"
  fi
done
check "man does not find vossikadmin's page" [ "$(man -w vossikadmin)" = /usr/share/man/man1/vossik.1.gz ]
check "the completion does not register for vossik and vossikadmin" \
  bash -c 'source /usr/share/bash-completion/completions/vossik && complete -p vossik && complete -p vossikadmin'
check "/usr/share/doc/vossik has no copyright file" [ -f /usr/share/doc/vossik/copyright ]
check "/usr/share/doc/vossik has no changelog" [ -f /usr/share/doc/vossik/changelog.Debian.gz ]

# The service's user and working folder; its unit installed, not enabled.
check "the user vossik is missing or has another home or shell: $(getent passwd vossik)" \
  [ "$(getent passwd vossik | cut -d: -f6,7)" = /var/lib/vossik:/usr/sbin/nologin ]
check "/var/lib/vossik is not vossik's folder with mode 750" \
  [ "$(stat -c %U:%G:%a /var/lib/vossik 2>/dev/null)" = vossik:vossik:750 ]
check "the package has no /usr/bin/vossikd" [ -x /usr/bin/vossikd ]
unit=$(dpkg -L vossik | grep '/systemd/system/vossik\.service$' || true)
check "the package has no vossik.service" [ -n "$unit" ]
check "vossikd -help fails" /usr/bin/vossikd -help
if compgen -G '/etc/systemd/system/*.wants/vossik.service' >/dev/null; then fail "vossik.service is enabled"; else pass; fi

echo "== Using the installed program on a copy of the sample site"
cp -r "$source_dir/sample-site" "$work/site"
mkdir "$work/run"
cd "$work/run"
site=(-set "index:dirsrc=$work/site" -set index:dirdest=search)
check "vossik -help fails" "$vossik" -help
check "vossikadmin -help fails" /usr/bin/vossikadmin -help
if "$vossik" -build "${site[@]}" >"$work/build.out" 2>&1; then pass; else fail "vossik -build exits with $?"; fi
check "vossik -build does not say it completed" grep -q 'Complete ([1-9][0-9]* files indexed)' "$work/build.out"
check "the build wrote no search page into the site" [ -f "$work/site/search/vkexample.html" ]
check "the build wrote no page list into the site" [ -f "$work/site/search/sitemap.js" ]
check "the build wrote no configuration file into its working folder" [ -f vossik.cfg ]
check "the build wrote no logs into its working folder" [ -d logs ]
if "$vossik" -search trail map "${site[@]}" >"$work/search.out" 2>&1; then pass; else fail "vossik -search exits with $?"; fi
check "vossik -search does not find the trail guide: $(head -n 3 "$work/search.out")" \
  grep -q '^   trails/index.html$' "$work/search.out"

echo "== Running the installed service by hand and administering it"
mkdir "$work/service"
printf '[Index]\nDirSrc=%s\nDirDest=search\n[Service]\nHost=127.0.0.1\nPort=0\n' "$work/site" \
  >"$work/service/vossikd.cfg"
/usr/bin/vossikd -C "$work/service" >"$work/service.out" 2>&1 &
service_pid=$!
port=
for _ in $(seq 100); do
  port=$(sed -n 's/^vossikd: listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/service.out")
  [ -n "$port" ] && break
  sleep 0.1
done
if [ -z "$port" ]; then
  fail "the installed vossikd did not say where it listens: $(head -n 3 "$work/service.out")"
else
  status=$("$vossik" -admin status -set service:port="$port" 2>&1 || true)
  check "vossik -admin status says \"$status\", not Running" [ "$status" = Running ]
  check "vossik -admin stop fails" "$vossik" -admin stop -set service:port="$port"
fi
for _ in $(seq 100); do kill -0 "$service_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$service_pid" 2>/dev/null; then
  kill "$service_pid"
  fail "the installed vossikd was still running after vossik -admin stop"
fi
wait "$service_pid" || true

reported=$("$vossik" --version 2>&1 || true)
check "vossik --version says \"$reported\", not Vossik ${version%-*}" \
  grep -q "^Vossik ${version%-*} (" <<<"$reported"
cd "$work"

echo "== Purging it"
"${apt_get[@]}" purge vossik >>"$log" 2>&1 || die "apt-get purge vossik failed"
state=$(installed_state)
[ "$state" != not-installed ] || state=""
check "dpkg still knows the package after purge ($state)" [ -z "$state" ]
left=()
for path in "${package_files[@]}" "${new_folders[@]}" /var/lib/vossik; do
  if [ -e "$path" ] || [ -L "$path" ]; then left+=("$path"); fi
done
check "purge left: ${left[*]}" [ "${#left[@]}" -eq 0 ]
check "purge left the user vossik" bash -c '! getent passwd vossik'
check "purge left the group vossik" bash -c '! getent group vossik'
rm -f "$marker"

echo "packaging: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
