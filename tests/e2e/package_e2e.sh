#!/bin/bash
# End-to-end test of the Debian package: builds it with CPack from the build
# folder into the output folder, runs lintian on it (no error and no warning
# may remain), and checks what lintian does not: the desktop entry and the
# AppStream metadata validate, the icons have their sizes, the changelog,
# the metadata's release and the package carry one version, the build-time
# helper is not shipped and the dependencies are versioned.
# Ends with 77 (skipped) when dpkg-deb or lintian is missing.
#
#   package_e2e.sh <build folder> <output folder>
set -u

# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"

build=$1
out=$2

for tool in dpkg-deb lintian cpack; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is missing (scripts/install-deps installs it); the package was not checked"
        exit 77
    fi
done

rm -rf "$out"
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 || {
    echo "FAIL: cpack failed"
    cat "$out/cpack.log"
    exit 1
}
debs=("$out"/orvandel_*.deb)
if [ ${#debs[@]} != 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "FAIL: cpack made no single orvandel_*.deb: ${debs[*]}"
    exit 1
fi
deb=${debs[0]}
echo "package: $deb"

# Every tag lintian knows, the informational and pedantic ones included, is
# shown; errors and warnings fail.
lintian --display-info --pedantic --tag-display-limit 0 --fail-on error,warning "$deb" 2>&1 |
    grep -v '^running with root privileges' >"$out/lintian.log"
lintian_status=${PIPESTATUS[0]}
cat "$out/lintian.log"
[ "$lintian_status" = 0 ] || fail "lintian reports errors or warnings (status $lintian_status)"

root=$out/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"
desktop=$root/usr/share/applications/orvandel.desktop
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml 2>/dev/null)
[ -f "$desktop" ] || fail "no desktop entry"
[ -n "$metainfo" ] || fail "no AppStream metainfo"

if command -v desktop-file-validate >/dev/null; then
    # Hints (a second main category) are allowed; errors and warnings not.
    report=$(desktop-file-validate "$desktop" 2>&1)
    validate_status=$?
    [ -n "$report" ] && echo "$report"
    if [ "$validate_status" != 0 ] || grep -Eq ': (error|warning):' <<<"$report"; then
        fail "desktop-file-validate rejects the desktop entry"
    fi
else
    echo "note: desktop-file-validate missing, the desktop entry was not validated"
fi
if command -v appstreamcli >/dev/null && [ -n "$metainfo" ]; then
    # Fails on errors and warnings; infos are shown.
    appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli validate rejects the metainfo"
    # The desktop entry the metadata launches is the one shipped.
    launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
    [ "$launchable" = orvandel.desktop ] || fail "the metadata launches '$launchable', not orvandel.desktop"
else
    echo "note: appstreamcli missing, the metainfo was not validated"
fi

for size in 48 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/orvandel.png
    file -b "$icon" 2>/dev/null | grep -q "^PNG image data, $size x $size," ||
        fail "no ${size}x${size} PNG icon: $(file -b "$icon" 2>&1)"
done

version=$(dpkg-deb -f "$deb" Version)
changelog_version=$(zcat "$root/usr/share/doc/orvandel/changelog.gz" 2>/dev/null | sed -n '1s/^orvandel (\([^)]*\)).*/\1/p')
release_version=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" 2>/dev/null | head -1)
echo "versions: package $version, changelog $changelog_version, metainfo release $release_version"
[ "$changelog_version" = "$version" ] || fail "the changelog's last entry is '$changelog_version', the package's version $version"
[ "$release_version" = "$version" ] || fail "the metainfo's last release is '$release_version', the package's version $version"

depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
grep -Eq '(^|, )libc6 \(>= [0-9.]+\)' <<<"$depends" || fail "no versioned dependency on libc6"
grep -Eq '(^|, )libqt6widgets6 \(>= [0-9.]+\)' <<<"$depends" || fail "no versioned dependency on libqt6widgets6"
grep -Eq '(^|, )fonts-liberation(,|$)' <<<"$depends" || fail "no dependency on fonts-liberation"

# Only the two programs are installed; the coastline converter runs at build
# time only.
programs=$(find "$root/usr/bin" -mindepth 1 -printf '%f\n' | LC_ALL=C sort | tr '\n' ' ')
[ "$programs" = "Orvandel orvandel-ephem " ] || fail "programs in /usr/bin: $programs"
for f in usr/share/orvandel/ECLGRAPH.DAT usr/share/orvandel/ERDE.BIN usr/share/orvandel/Orvandel.txt; do
    [ -s "$root/$f" ] || fail "not in the package: /$f"
done

e2e_finish "$out/cpack.log"
