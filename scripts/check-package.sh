#!/usr/bin/env bash
# Makes the Debian package of a finished build and checks it as a user's machine meets it:
# the files it installs, its menu entry and metainfo, its dependencies against the libraries the
# programs load, and the packaged command line running from an unpacked copy; then installs
# and removes it in a scratch dpkg root and checks nothing is left behind.
#   scripts/check-package.sh BUILD_DIR      (the `package` test runs it)
set -euo pipefail
build=$(cd "${1:?usage: check-package.sh BUILD_DIR}" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"; fail "cpack failed"; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb in $work/out"
deb=${debs[0]}
echo "package: $(basename "$deb")"

# The files a desktop and a shell look for.
id=org.brumeleaf.Brumeleaf
expected=(
  ./usr/bin/brumeleaf
  ./usr/bin/brumeleaf-cli
  ./usr/share/applications/$id.desktop
  ./usr/share/metainfo/$id.metainfo.xml
  ./usr/share/icons/hicolor/scalable/apps/$id.svg
  ./usr/share/man/man1/brumeleaf.1
  ./usr/share/man/man1/brumeleaf-cli.1
  ./usr/share/bash-completion/completions/brumeleaf-cli
)
for size in 16 24 32 48 64 128 256; do expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$id.png"); done
dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|/$||' > "$work/contents.txt"
for f in "${expected[@]}"; do grep -qxF "$f" "$work/contents.txt" || fail "missing from the package: $f"; done
# Nothing outside /usr (no build paths, no files of the test or benchmark programs).
if grep -v -e '^\./usr' -e '^\.$' "$work/contents.txt"; then fail "files outside /usr"; fi
for f in brumeleaf_core_tests brumeleaf_app_tests brumeleaf-icons brumeleaf-cli-docs; do
  if grep -q "/$f\$" "$work/contents.txt"; then fail "a build tool is packaged: $f"; fi
done

# Every library the programs load belongs to a package the control file depends on.
dpkg-deb -x "$deb" "$work/root"
depends=", $(dpkg-deb --field "$deb" Depends),"
owner_of() {  # the package owning a library path, whichever of its merged-/usr names dpkg knows
  local p candidates=("$1" "$(readlink -f "$1")")
  for p in "$1" "$(readlink -f "$1")"; do
    case $p in /usr/lib/*) candidates+=("${p#/usr}") ;; /lib/*) candidates+=("/usr$p") ;; esac
  done
  for p in "${candidates[@]}"; do
    p=$(dpkg -S "$p" 2> /dev/null || true)
    [ -n "$p" ] && { echo "${p%%:*}"; return 0; }
  done
  return 1
}
ldconfig -p > "$work/libraries.txt"
for program in brumeleaf brumeleaf-cli; do
  for soname in $(objdump -p "$work/root/usr/bin/$program" | awk '/NEEDED/ {print $2}'); do
    path=$(awk -v s="$soname" '$1 == s {print $NF; exit}' "$work/libraries.txt")
    [ -n "$path" ] || fail "$program needs $soname, which this machine does not have"
    owner=$(owner_of "$path") || fail "no package owns $path ($soname)"
    [[ $depends == *", $owner "* || $depends == *", $owner,"* ]] ||
      fail "$program loads $soname from $owner, which Depends does not name:$depends"
  done
done

desktop-file-validate "$work/root/usr/share/applications/$id.desktop"
grep -q '^MimeType=.*image/jpeg' "$work/root/usr/share/applications/$id.desktop" || fail "the menu entry declares no picture types"
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" > "$work/appstream.log" 2>&1 || {
    cat "$work/appstream.log"; fail "the metainfo does not validate"; }
fi
if command -v groff > /dev/null; then
  for page in brumeleaf brumeleaf-cli; do
    warnings=$(groff -man -Tutf8 -ww -z "$work/root/usr/share/man/man1/$page.1" 2>&1)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
  done
fi
bash -n "$work/root/usr/share/bash-completion/completions/brumeleaf-cli" || fail "the completion script does not parse"
head -c 8 "$work/root/usr/share/icons/hicolor/256x256/apps/$id.png" | grep -qa PNG || fail "the 256 px icon is no PNG"

# The packaged command line runs from where it was unpacked and draws a picture.
cli="$work/root/usr/bin/brumeleaf-cli"
"$cli" --help | grep -q "^  apply " || fail "brumeleaf-cli --help lists no apply"
"$cli" --version | grep -qx "brumeleaf-cli $(dpkg-deb --field "$deb" Version)" || fail "brumeleaf-cli --version differs from the package's"
"$cli" apply "$source_dir/tests/data/chelsea.jpg" -o "$work/drawing.png" --seed 1 > /dev/null
"$cli" info "$work/drawing.png" | grep -q "drawing.png - " || fail "the packaged brumeleaf-cli drew nothing"

# Install and remove in a scratch dpkg root. The package has no maintainer scripts, so dpkg
# runs nothing inside the root; dependencies are the real system's business.
root="$work/dpkg-root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg_root=(dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless --log=/dev/null)
"${dpkg_root[@]}" -i "$deb" > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
[ -x "$root/usr/bin/brumeleaf-cli" ] || fail "dpkg -i installed no brumeleaf-cli"
"${dpkg_root[@]}" --status brumeleaf | grep -q "^Status: install ok installed" || fail "dpkg does not list the package as installed"
"${dpkg_root[@]}" --purge brumeleaf > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg --purge failed"; }
left=$(find "$root/usr" -mindepth 1 -not -type d 2> /dev/null || true)
[ -z "$left" ] || fail "left after removal: $left"
echo "package: $(grep -c . "$work/contents.txt") entries, installs and removes cleanly"
