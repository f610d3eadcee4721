# Shared by the scripts: install what is missing, then configure and build.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}

die() {
    echo "error: $*" >&2
    exit 1
}

# Prints the packages listed for any of the given roles.
packages_for() {
    local roles=" $* "
    while read -r name uses; do
        case "$name" in '' | '#'*) continue ;; esac
        for use in ${uses//,/ }; do
            if [[ $roles == *" $use "* ]]; then
                echo "$name"
                break
            fi
        done
    done <"$ROOT/scripts/packages"
}

ensure_packages() {
    local missing=()
    for pkg in $(packages_for "$@"); do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
            sudo=(sudo -n)
        else
            die "missing Debian packages: ${missing[*]}
install them as root: apt-get install ${missing[*]}"
        fi
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq || die "apt-get update failed"
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
        die "apt-get install ${missing[*]} failed"
}

configure_and_build() {
    local generator=()
    command -v ninja >/dev/null && generator=(-G Ninja)
    if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$BUILD_DIR" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null ||
            die "configure failed"
    fi
    cmake "$BUILD_DIR" -DDEVELOPER_MODE="${DEVELOPER_MODE:-OFF}" -DSANITIZE="${SANITIZE:-OFF}" \
        -DFUZZ="${FUZZ:-OFF}" >/dev/null || die "configure failed"
    cmake --build "$BUILD_DIR" --parallel "$(nproc)" || die "build failed"
}
