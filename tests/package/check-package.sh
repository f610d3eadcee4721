#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The kt940-terminal developers
# SPDX-License-Identifier: MIT
# Builds the Debian package from the source tree into a scratch folder and checks what lintian
# cannot know: the version (the Qt 6 build's with its suffix), our file list, Depends following the
# Qt built against, the hardening of the program, the -dbgsym package, the desktop and
# AppStream metadata and the .changes. Then runs lintian --pedantic on the .changes, which must
# print no error or warning.
#
# usage: tests/package/check-package.sh QT_MAJOR_VERSION PROJECT_VERSION
# Exits with 77 (skipped) when the Debian packaging tools or the build dependencies are missing.
set -euo pipefail

qt=${1:?usage: $0 QT_MAJOR_VERSION PROJECT_VERSION}
project_version=${2:?usage: $0 QT_MAJOR_VERSION PROJECT_VERSION}
root=$(cd "$(dirname "$0")/../.." && pwd)
name=kt940-terminal
app_id=org.kt940.terminal

passed=0
failed=0
pass() {
    echo "PASS: $*"
    passed=$((passed + 1))
}
fail() {
    echo "FAIL: $*"
    failed=$((failed + 1))
}
skip() {
    echo "SKIP: $*"
    exit 77
}
finish() {
    echo "package: $passed passed, $failed failed"
    [ "$failed" -eq 0 ] && exit 0
    exit 1
}

missing=()
for tool in dpkg-buildpackage:dpkg-dev make:make dh:debhelper lintian:lintian readelf:binutils \
    appstreamcli:appstream desktop-file-validate:desktop-file-utils; do
    command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
[ ${#missing[@]} -eq 0 ] ||
    skip "Debian packaging tools missing (apt-get install ${missing[*]}; scripts/test installs them)"
profiles=()
[ "$qt" = 6 ] && profiles=(pkg.kt940-terminal.qt6)
if ! unmet=$(cd "$root" && dpkg-checkbuilddeps "${profiles[@]/#/-P}" 2>&1); then
    [[ $unmet == *"Unmet build dependencies"* ]] || { echo "$unmet" && exit 1; }
    skip "the package's build dependencies are missing: ${unmet##*: }"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The unit tests already ran in this build; the package build need not repeat them.
if ! deb=$(PACKAGE_DIR=$work QT_MAJOR_VERSION=$qt DEB_BUILD_OPTIONS=nocheck \
    "$root/scripts/package" 2>&1 | tail -n 1) || [ ! -f "$deb" ]; then
    tail -n 40 "$work/package.log" 2>/dev/null || true
    fail "scripts/package made no package"
    finish
fi
arch=$(dpkg --print-architecture)
version=$(make -s -C "$root" -f debian/rules binary-version DEB_BUILD_PROFILES="${profiles[*]}")
# The version is the project's and a Debian revision (1.0.0-1); the Qt 6 build's carries a suffix
# after that, so that dpkg tells the two apart.
suffix=
[ "$qt" = 6 ] && suffix='\+.+'
dbgsym=$work/$name-dbgsym_${version}_${arch}.deb
field() { dpkg-deb --field "$deb" "$1"; }

if [ "$(basename "$deb")" = "${name}_${version}_${arch}.deb" ] &&
    [ "$(field Version)" = "$version" ] && [[ $version =~ ^"$project_version"-[0-9]+$suffix$ ]]; then
    pass "$(basename "$deb"): version $version, from the project's $project_version and Qt $qt"
else
    fail "$(basename "$deb") is version $(field Version), expected $version"
fi

# The .changes stays beside the packages and names every file it lists, present and intact.
changes=("$work"/*.changes)
if [ ${#changes[@]} -eq 1 ] && [ -f "${changes[0]}" ] &&
    listed=$(sed -n '/^Checksums-Sha256:/,/^[^ ]/s/^ \([0-9a-f]\{64\}\) [0-9]* \(.*\)/\1  \2/p' \
        "${changes[0]}") &&
    [[ $listed == *"  $(basename "$deb")"* && $listed == *"  $(basename "$dbgsym")"* &&
        $listed == *.buildinfo* ]] &&
    (cd "$work" && sha256sum --check --quiet <<<"$listed"); then
    pass "$(basename "${changes[0]}") lists the packages and the .buildinfo beside it"
else
    fail "no .changes beside the packages that lists them and the .buildinfo"
fi

expected=(
    "./usr/bin/$name"
    "./usr/share/applications/$app_id.desktop"
    "./usr/share/doc/$name/changelog.Debian.gz"
    "./usr/share/doc/$name/copyright"
    "./usr/share/icons/hicolor/128x128/apps/$app_id.png"
    "./usr/share/icons/hicolor/256x256/apps/$app_id.png"
    "./usr/share/icons/hicolor/48x48/apps/$app_id.png"
    "./usr/share/icons/hicolor/64x64/apps/$app_id.png"
    "./usr/share/icons/hicolor/scalable/apps/$app_id.svg"
    "./usr/share/lintian/overrides/$name"
    "./usr/share/man/man1/$name.1.gz"
    "./usr/share/metainfo/$app_id.metainfo.xml"
)
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort >"$work/files"
if diff <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort) "$work/files" >"$work/files.diff"; then
    pass "file list: the ${#expected[@]} files expected and no other"
else
    fail "file list differs ('<' missing, '>' unexpected):"
    grep '^[<>]' "$work/files.diff"
fi

# Package names only, without versions, alternatives' bars or architecture qualifiers.
depends=$(field Depends)
dep_names=" $(echo "$depends" | tr ',|' '\n' | sed 's/(.*)//; s/:.*//' | xargs) "
other=$((qt == 5 ? 6 : 5))
problems=()
for module in core gui widgets serialport; do
    [[ $dep_names == *" libqt$qt$module"* ]] || problems+=("no libqt$qt$module*")
done
[[ $dep_names == *" libqt$other"* ]] && problems+=("names Qt $other")
if [ ${#problems[@]} -eq 0 ]; then
    pass "Depends follows Qt $qt: $depends"
else
    fail "Depends: ${problems[*]}: $depends"
fi

unpacked=$work/root
dpkg-deb -x "$deb" "$unpacked"
bin=$unpacked/usr/bin/$name
problems=()
# Not grep -q: it stops reading early, and under pipefail the writer's SIGPIPE fails the test.
readelf -h "$bin" | grep 'Type:.*DYN' >/dev/null || problems+=("not PIE")
readelf -d "$bin" | grep 'FLAGS.*BIND_NOW' >/dev/null || problems+=("no BIND_NOW")
readelf -l "$bin" | grep GNU_RELRO >/dev/null || problems+=("no RELRO")
readelf --dyn-syms -W "$bin" | grep '__stack_chk_fail' >/dev/null || problems+=("no stack protector")
readelf -S "$bin" | grep '\.debug_info' >/dev/null && problems+=("not stripped")
if [ ${#problems[@]} -eq 0 ]; then
    pass "usr/bin/$name is stripped, PIE, with RELRO, BIND_NOW and a stack protector"
else
    fail "usr/bin/$name: ${problems[*]}"
fi

build_id=$(readelf -n "$bin" | sed -n 's/.*Build ID: \([0-9a-f]*\).*/\1/p')
debug_file=./usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug
if [ -n "$build_id" ] && [ -f "$dbgsym" ] &&
    dpkg-deb --contents "$dbgsym" | grep -F "$debug_file" >/dev/null; then
    pass "$(basename "$dbgsym") holds the debug symbols of build ID $build_id"
else
    fail "no -dbgsym package with $debug_file"
fi

desktop=$unpacked/usr/share/applications/$app_id.desktop
metainfo=$unpacked/usr/share/metainfo/$app_id.metainfo.xml
problems=()
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] ||
    problems+=("desktop-file-validate: $out")
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || problems+=("appstreamcli: $out")
grep -qx "Icon=$app_id" "$desktop" || problems+=("the desktop entry's icon is not $app_id")
grep -q "<id>$app_id</id>" "$metainfo" || problems+=("the AppStream id is not $app_id")
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    problems+=("AppStream does not launch $app_id.desktop")
if [ ${#problems[@]} -eq 0 ]; then
    pass "desktop entry, icon and AppStream metadata valid and named $app_id"
else
    fail "metadata: ${problems[*]}"
fi

lintian --pedantic --display-info "${changes[0]}" >"$work/lintian" 2>&1 || true
grep -v 'running with root privileges' "$work/lintian" || true
if grep -q '^[EW]: ' "$work/lintian"; then
    fail "lintian --pedantic reports errors or warnings"
else
    pass "lintian --pedantic: no error or warning"
fi

finish
