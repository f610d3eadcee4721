# Shared by the scripts: install what is missing, then configure and build.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QT_MAJOR_VERSION=${QT_MAJOR_VERSION:-5}
DEVELOPER_MODE=${DEVELOPER_MODE:-OFF}
SANITIZE=${SANITIZE:-OFF}
FUZZ=${FUZZ:-OFF}
case "$QT_MAJOR_VERSION" in 5 | 6) ;; *)
    echo "error: QT_MAJOR_VERSION must be 5 or 6" >&2
    exit 1
    ;;
esac

# One folder per configuration, so that switching between scripts never rebuilds what is
# already built: build/, build-qt6/, build-dev/, build-dev-sanitize/, build-qt6-dev/ ...
default_build_dir() {
    local dir=$ROOT/build
    [ "$QT_MAJOR_VERSION" = 6 ] && dir+=-qt6
    [ "$DEVELOPER_MODE" = ON ] && dir+=-dev
    [ "$SANITIZE" = ON ] && dir+=-sanitize
    [ "$FUZZ" = ON ] && dir+=-fuzz
    echo "$dir"
}
BUILD_DIR=${BUILD_DIR:-$(default_build_dir)}

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

# Installs the packages of the given roles, and those of the Qt in use.
ensure_packages() {
    local missing=()
    for pkg in $(packages_for "$@" "qt$QT_MAJOR_VERSION"); do
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

# Configures BUILD_DIR once and builds the given targets (all when none is given).
configure_and_build() {
    local generator=() targets=()
    command -v ninja >/dev/null && generator=(-G Ninja)
    for target in "$@"; do targets+=(--target "$target"); done
    [ -f "$BUILD_DIR/CMakeCache.txt" ] && generator=()
    cmake -S "$ROOT" -B "$BUILD_DIR" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQT_MAJOR_VERSION="$QT_MAJOR_VERSION" -DDEVELOPER_MODE="$DEVELOPER_MODE" \
        -DSANITIZE="$SANITIZE" -DFUZZ="$FUZZ" >/dev/null || die "configure failed"
    cmake --build "$BUILD_DIR" --parallel "$(nproc)" "${targets[@]}" || die "build failed"
}
