#!/usr/bin/env bash
# Builds the Debian package from a configured and built build folder into a scratch folder
# (build/ stays clean) and checks what it holds and what it depends on.
#
# usage: tests/package/check-deb.sh BUILD_DIR
#
# The package is unpacked with `dpkg-deb -x` rather than installed with `dpkg --root`:
# dpkg needs its own database under the scratch root, refuses to run as a normal user
# without --force-not-root, tries to chown files to root and would skip the dependency
# check anyway with --force-depends. Unpacking behaves the same for root and for a normal
# user, and the dependency check is done here instead: every shared library the program
# needs must be shipped by a package named in Depends.
set -euo pipefail

build_dir=${1:?usage: $0 BUILD_DIR}
build_dir=$(cd "$build_dir" && pwd)
name=kt940-terminal

passed=0
failed=0
skipped=0
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
    skipped=$((skipped + 1))
}
finish() {
    local line="package_deb: $passed passed, $failed failed"
    [ "$skipped" -eq 0 ] || line+=", $skipped skipped"
    echo "$line"
    [ "$failed" -eq 0 ] && exit 0
    exit 1
}

for tool in cpack dpkg-deb dpkg-shlibdeps readelf; do
    if ! command -v "$tool" >/dev/null; then
        fail "$tool is not installed (scripts/package installs what is missing)"
        finish
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 1. cpack makes exactly one .deb
if ! cpack --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack failed"
    finish
fi
debs=("$work"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    cat "$work/cpack.log"
    fail "cpack made ${#debs[@]} .deb files, expected one"
    finish
fi
deb=${debs[0]}
pass "cpack made $(basename "$deb")"

expected=(
    "./usr/bin/$name"
    "./usr/share/applications/$name.desktop"
    "./usr/share/icons/hicolor/scalable/apps/$name.svg"
)

# 2. the file list holds the program, the desktop entry and the icon, and nothing else
#    (documentation under usr/share/doc/ is allowed)
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$work/files"
problems=()
for f in "${expected[@]}"; do
    grep -qxF "$f" "$work/files" || problems+=("missing $f")
done
while read -r f; do
    [[ " ${expected[*]} " == *" $f "* ]] && continue
    [[ $f == ./usr/share/doc/$name/* ]] && continue
    problems+=("unexpected $f")
done <"$work/files"
if [ ${#problems[@]} -eq 0 ]; then
    pass "file list: ${expected[*]}"
else
    fail "file list: ${problems[*]}"
fi

# 3. control fields
field() { dpkg-deb --field "$deb" "$1"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
problems=()
[ "$(field Package)" = "$name" ] || problems+=("Package is '$(field Package)'")
[ -n "$version" ] && [ "$(field Version)" = "$version" ] ||
    problems+=("Version is '$(field Version)', project version '$version'")
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
    problems+=("Architecture is '$(field Architecture)'")
[ "$(field Section)" = electronics ] || problems+=("Section is '$(field Section)'")
[ -n "$(field Maintainer)" ] || problems+=("no Maintainer")
[ -n "$(field Description)" ] || problems+=("no Description")
if [ ${#problems[@]} -eq 0 ]; then
    pass "control fields: $name $version $(field Architecture), section electronics"
else
    fail "control fields: ${problems[*]}"
fi

# 4. Depends names the Qt 5 libraries
depends=$(field Depends || true)
echo "Depends: $depends"
# package names only: split on ',' and '|', drop versions and architecture qualifiers
dep_names=" $(echo "$depends" | tr ',|' '\n' | sed 's/(.*)//; s/:[a-z0-9-]*//; s/[[:space:]]//g' |
    awk 'NF' | tr '\n' ' ')"
problems=()
for pkg in libqt5serialport5 libqt5widgets5 libqt5gui5 libqt5core5a; do
    [[ $dep_names == *" $pkg "* ]] || problems+=("$pkg")
done
if [ ${#problems[@]} -eq 0 ]; then
    pass "Depends names the Qt 5 libraries"
else
    fail "Depends lacks ${problems[*]}"
fi

# 5. unpacked, the files are in place and agree with each other
root=$work/root
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin/$name
desktop=$root/usr/share/applications/$name.desktop
icon=$root/usr/share/icons/hicolor/scalable/apps/$name.svg
problems=()
[ -f "$bin" ] && [ -x "$bin" ] || problems+=("usr/bin/$name is not an executable file")
[ "$(head -c 4 "$bin" 2>/dev/null | tail -c 3)" = ELF ] || problems+=("usr/bin/$name is not ELF")
grep -qx "Exec=$name" "$desktop" 2>/dev/null || problems+=("desktop entry does not run $name")
grep -qx "Icon=$name" "$desktop" 2>/dev/null || problems+=("desktop entry does not name the icon $name")
grep -q '<svg[ >]' "$icon" 2>/dev/null && grep -q '</svg>' "$icon" ||
    problems+=("icon is not an SVG document")
if [ ${#problems[@]} -eq 0 ]; then
    pass "unpacked: program, desktop entry and icon in place"
else
    fail "unpacked: ${problems[*]}"
fi

# 6. every shared library the program needs comes from a package in Depends
mapfile -t needed < <(readelf -d "$bin" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
problems=()
for soname in "${needed[@]}"; do
    # owners of a file called exactly $soname, e.g. "libqt5core5a:amd64: /usr/lib/.../libQt5Core.so.5"
    owners=$({ dpkg -S "*/$soname" 2>/dev/null || true; } | awk -v s="$soname" '
        { i = index($0, ": /"); if (i == 0) next
          n = split(substr($0, i + 2), parts, "/"); if (parts[n] != s) next
          m = split(substr($0, 1, i - 1), pkgs, ", ")
          for (j = 1; j <= m; j++) { sub(/:.*/, "", pkgs[j]); print pkgs[j] } }' |
        sort -u | tr '\n' ' ')
    owners=${owners% }
    ok=
    for pkg in $owners; do
        [[ $dep_names == *" $pkg "* ]] && ok=$pkg && break
    done
    if [ -n "$ok" ]; then
        echo "  $soname <- $ok"
    else
        problems+=("$soname (shipped by ${owners:-no installed package})")
    fi
done
if [ ${#needed[@]} -eq 0 ]; then
    fail "readelf found no NEEDED entries in usr/bin/$name"
elif [ ${#problems[@]} -eq 0 ]; then
    pass "all ${#needed[@]} NEEDED libraries come from packages in Depends"
else
    fail "not covered by Depends: ${problems[*]}"
fi

# 7. the desktop entry is valid
if command -v desktop-file-validate >/dev/null; then
    if out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ]; then
        pass "desktop-file-validate: no errors or warnings"
    else
        echo "$out"
        fail "desktop-file-validate"
    fi
else
    skip "desktop-file-validate is not installed (package desktop-file-utils; scripts/package installs it)"
fi

finish
