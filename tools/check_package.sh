#!/usr/bin/env bash
# tools/check_package.sh [package.deb]: checks the Debian package as CI does
# on a fresh machine (the package of tools/package.sh by default):
#   - lintian (pedantic and up: no error and no warning), desktop-file-validate
#     and appstreamcli on what the package installs;
#   - installs it with apt-get, then, from a temporary folder outside the
#     checkout: tarnbus-cli --bus on the installed demonstration bus, the
#     window with --demo offscreen for a few seconds, the manual pages and the
#     completion, and a description imported by an ordinary user, which must
#     land in that user's data folder and nowhere else;
#   - removes the package again.
# It installs and removes packages and adds a user (tarnbus-check) for the
# time of the check: run it as root or with sudo, on a machine where that is
# fine (CI, a test machine).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deb=${1:-$(ls "$root"/build/tarnbus-tester_*.deb 2>/dev/null | head -n 1)}
[ -f "$deb" ] || { echo "usage: $0 [package.deb] (tools/package.sh builds it)" >&2; exit 2; }
deb=$(realpath "$deb")
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
"$root/tools/bootstrap.sh" "$root/tools/check-packages.txt"

step() { printf '\n== %s\n' "$*"; }
fail() { echo "check_package: $*" >&2; exit 1; }

work=$(mktemp -d)
user=tarnbus-check
created_user=0
installed=0
window=""
cleanup() {
    [ -n "$window" ] && kill "$window" 2>/dev/null || true
    if [ "$installed" -eq 1 ]; then
        DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -q tarnbus-tester >/dev/null || true
    fi
    [ "$created_user" -eq 1 ] && $sudo userdel -r "$user" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

step "lintian --display-level '>=pedantic' $(basename "$deb")"
# Every tag shown is listed; errors and warnings fail the check.
lintian --display-level '>=pedantic' --fail-on error,warning "$deb" 2> >(grep -v 'root privileges' >&2) \
    || fail "lintian found errors or warnings"

step "desktop entry and AppStream data, as installed"
dpkg-deb -x "$deb" "$work/unpacked"
desktop-file-validate "$work"/unpacked/usr/share/applications/*.desktop
appstreamcli validate --no-net --pedantic "$work"/unpacked/usr/share/metainfo/*.metainfo.xml

step "apt-get install $(basename "$deb")"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$deb" >/dev/null
installed=1

# From a folder with nothing of the checkout in it.
cd "$work"
mkdir run
cd run

step "one version"
version=$(dpkg-deb -f "$deb" Version)
[ "$(tarnbus-cli --version)" = "tarnbus-cli $version" ] || fail "tarnbus-cli --version: $(tarnbus-cli --version), package $version"
[ "$(tarnbus-tester --version)" = "tarnbus-tester $version" ] || fail "tarnbus-tester --version: $(tarnbus-tester --version)"
echo "$version"

step "tarnbus-cli --bus /usr/share/tarnbus-tester/buses/demo.json show"
tarnbus-cli --bus /usr/share/tarnbus-tester/buses/demo.json show > show.txt
head -n 3 show.txt
grep -q '^adapter  *3C2E0A000001' show.txt || fail "show: no demonstration adapter"
grep -q 'TB-DI16-P' show.txt || fail "show: the modules have no descriptions"

step "tarnbus-tester --demo, offscreen"
QT_QPA_PLATFORM=offscreen tarnbus-tester --demo > window.log 2>&1 &
window=$!
library=""
for _ in $(seq 1 50); do
    library=$(grep -o '/usr/lib/[^ ]*/tarnbus-tester/libtarnbus_sim_preload.so' "/proc/$window/maps" 2>/dev/null | head -n 1 || true)
    [ -n "$library" ] && break
    sleep 0.1
done
[ -n "$library" ] || { cat window.log; fail "the window did not start on the virtual adapter"; }
sleep 3
kill -0 "$window" 2>/dev/null || { cat window.log; fail "the window ended on its own"; }
kill "$window"
wait "$window" 2>/dev/null || true
window=""
echo "ran on $library"
if grep -q 'tarnbus-tester:' window.log; then cat window.log; fail "the window complained"; fi

step "manual pages and completion"
man -w tarnbus-cli tarnbus-tester
bash -c 'source /usr/share/bash-completion/bash_completion
         _completion_loader tarnbus-cli
         complete -p tarnbus-cli' || fail "no completion for tarnbus-cli"

step "a description imported by an ordinary user"
if ! id "$user" >/dev/null 2>&1; then
    $sudo useradd --create-home --shell /bin/bash "$user"
    created_user=1
fi
home=$(getent passwd "$user" | cut -d: -f6)
cp "$root/tests/fixtures/xml/TestFamily.xml" "$work/family.module.xml"
chmod 0755 "$work"
chmod 0644 "$work/family.module.xml"
system_before=$(ls /usr/share/tarnbus-tester/Xml)
as_user() { $sudo runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"; }
(cd "$home" && as_user tarnbus-cli add-description "$work/family.module.xml")
[ -f "$home/.local/share/tarnbus-tester/Xml/family.xml" ] || fail "not in the user's data folder"
cmp "$work/family.module.xml" "$home/.local/share/tarnbus-tester/Xml/family.xml" || fail "the imported file differs"
[ "$(ls /usr/share/tarnbus-tester/Xml)" = "$system_before" ] || fail "the system's descriptions changed"
[ ! -e "$home/family.xml" ] && [ ! -e "$home/Xml" ] || fail "written into the working folder"
(cd "$home" && as_user tarnbus-cli descriptions) | tee descriptions.txt
[[ $(sed -n 2p descriptions.txt) == "$home/.local/share/tarnbus-tester/Xml/family.xml "* ]] \
    || fail "the user's description is not read first"
(cd "$home" && as_user tarnbus-cli --bus /usr/share/tarnbus-tester/buses/demo.json show) > show-user.txt
grep -q '^adapter  *3C2E0A000001' show-user.txt || fail "show as the user"

step "apt-get purge tarnbus-tester"
DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -q tarnbus-tester >/dev/null
installed=0
for path in /usr/bin/tarnbus-tester /usr/bin/tarnbus-cli /usr/share/tarnbus-tester /usr/lib/udev/rules.d/70-tarnbus-tester.rules; do
    [ ! -e "$path" ] || fail "$path is left after the removal"
done
echo "package checked: $(basename "$deb")"
