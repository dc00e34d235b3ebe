#!/usr/bin/env bash
# Makes the .deb in a built folder, checks its metadata, installs it on this
# machine, runs the installed programs, removes the package and checks that
# nothing of it is left. Ends with the package removed, so later tests run
# against the build tree.
#   scripts/package-check.sh BUILD_DIR
# BUILD_DIR is a build with the tests and the detector plugin (build-test):
# its page-photo tool makes the photo the installed bitonix-cli straightens.
# Needs root or sudo, and ptrace for strace.
set -euo pipefail
build=$(cd "$1" && pwd)
app_id=org.example.bitonix

apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -q)
if [ "$(id -u)" -ne 0 ]; then apt=(sudo "${apt[@]}"); fi
installed() { dpkg-query -W -f='${Status}' bitonix 2>/dev/null | grep -q "ok installed"; }
fail() {
  echo "package-check: $*" >&2
  exit 1
}

work=$(mktemp -d)
cleanup() {
  if installed; then "${apt[@]}" purge bitonix >/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
if installed; then
  echo "Removing the bitonix package left installed by an earlier run"
  "${apt[@]}" purge bitonix >/dev/null
fi

# The package, and what it holds.
rm -f "$build"/bitonix_*.deb
(cd "$build" && cpack -G DEB) >"$work/cpack.log" || { cat "$work/cpack.log"; fail "cpack failed"; }
debs=("$build"/bitonix_*.deb)
deb=${debs[0]}
echo "Package: $deb"
dpkg-deb -x "$deb" "$work/root"
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for need in liblept5 libqt6svg6 libqt6widgets6 libopencv-imgproc; do
  [[ $depends == *"$need"* ]] || fail "Depends lacks $need"
done
for size in 16 22 24 32 48 64 128 256; do
  icon=$work/root/usr/share/icons/hicolor/${size}x$size/apps/bitonix.png
  file "$icon" | grep -q "PNG image data, $size x $size" || fail "no ${size}x$size icon in the package"
done
zcat "$work/root/usr/share/doc/bitonix/changelog.gz" >"$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] ||
  fail "the changelog's newest entry is not version $version"
grep -q "<release version=\"$version\"" "$work/root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "the AppStream metadata has no release $version"

echo "== desktop-file-validate"
desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml"
echo "== lintian"
lintian_status=0
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
grep -v "^running with root privileges" "$work/lintian.log" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors"

# Paths of the package that exist already (shared folders such as
# /usr/share/icons/hicolor/48x48/apps) may stay after removal; no other may.
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' | grep -v '^$' >"$work/paths"
while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi
done <"$work/paths" >"$work/before"

echo "== apt-get install ./$(basename "$deb")"
(cd "$build" && "${apt[@]}" install --no-install-recommends "./$(basename "$deb")") >"$work/apt.log" ||
  { cat "$work/apt.log"; fail "the package does not install"; }
[ "$(readlink -f /usr/bin/bitonix-cli)" = /usr/lib/bitonix/bitonix-cli ] || fail "/usr/bin/bitonix-cli is no link to /usr/lib/bitonix"

# bitonix-cli through its link straightens a photo of a page on a desk: the
# plugin beside the real program is found, and the page comes out in the size
# the build tree gives, not in the photo's.
photo_tool=$build/tests/docdetect/docdetect_page_photo
[ -x "$photo_tool" ] || fail "$photo_tool is missing (it is built with the detector plugin and the tests)"
"$photo_tool" "$work/photo.jpg"
image_size() { pdfimages -list "$1" | awk 'NR == 3 { print $4 "x" $5 }'; }
(cd "$work" && /usr/bin/bitonix-cli -q -s auto -o installed.pdf photo.jpg >/dev/null 2>"$work/cli.err") ||
  { cat "$work/cli.err"; fail "the installed bitonix-cli failed"; }
[ ! -s "$work/cli.err" ] || { cat "$work/cli.err"; fail "the installed bitonix-cli complained"; }
"$build/bin/bitonix-cli" -q -s auto -o "$work/build-tree.pdf" "$work/photo.jpg" >/dev/null
installed_size=$(image_size "$work/installed.pdf")
echo "Straightened: 1200x900 photo -> $installed_size page (build tree: $(image_size "$work/build-tree.pdf"))"
[ "$installed_size" != 1200x900 ] || fail "the installed bitonix-cli did not straighten the photo"
[ "$installed_size" = "$(image_size "$work/build-tree.pdf")" ] || fail "installed and build tree straighten differently"

# The window program starts offscreen through its link and reads its language
# files from /usr/lib/bitonix/lang (German chosen, English as the fallback).
mkdir -p "$work/config/Bitonix" "$work/tmp" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
printf '[Config]\nLanguage=de\n' >"$work/config/Bitonix/bitonix.ini"
HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime TMPDIR=$work/tmp QT_QPA_PLATFORM=offscreen \
  strace -f -qq -e trace=openat -o "$work/gui.trace" /usr/bin/bitonix &
tracer=$!
lang_read() { grep -Eqs "openat\(.*\"/usr/lib/bitonix/lang/$1\.ini\", O_RDONLY[^)]*\) = [0-9]+" "$work/gui.trace"; }
for _ in $(seq 60); do
  if lang_read de && lang_read en; then break; fi
  kill -0 "$tracer" 2>/dev/null || break
  sleep 0.5
done
sleep 1 # the window comes up and stays up
gui=$(pgrep -P "$tracer" || true)
if [ -z "$gui" ] || ! kill -0 "$gui" 2>/dev/null; then
  wait "$tracer" || true
  fail "the installed bitonix did not stay up"
fi
kill -TERM "$gui"
wait "$tracer" || true
if ! lang_read de || ! lang_read en; then
  fail "the installed bitonix did not read /usr/lib/bitonix/lang/de.ini and en.ini"
fi
echo "The window program started and read lang/de.ini and lang/en.ini from /usr/lib/bitonix"

echo "== apt-get purge bitonix"
"${apt[@]}" purge bitonix >"$work/apt.log" || { cat "$work/apt.log"; fail "the package does not remove"; }
! installed || fail "the package is still installed"
left=$({ grep -vxF -f "$work/before" "$work/paths" || true; } | while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi
done)
[ -z "$left" ] || fail "left behind after removal: $left"
for cache in /usr/share/applications/mimeinfo.cache /usr/share/icons/hicolor/icon-theme.cache; do
  if [ -f "$cache" ] && grep -aq "$app_id\|bitonix" "$cache"; then fail "$cache still names Bitonix"; fi
done
echo "Removed: nothing of the package is left"
