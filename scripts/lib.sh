# SPDX-FileCopyrightText: 2026 The kt940-terminal developers
# SPDX-License-Identifier: MIT

# Shared by the scripts: the command line, installing what is missing, configuring and building.
# shellcheck shell=bash
#
# Every script starts the same way, so that -h/--help answers at once, before anything is
# installed or built:
#
#     source "$(dirname "$0")/lib.sh"
#     parse_options "usage: scripts/NAME [-h] ...
#     <what it does>
#     Options: ...
#     Environment:
#     $BUILD_ENVIRONMENT_HELP" "--flag SECONDS --" "$@"
#
# parse_options USAGE GRAMMAR ARG...
#   USAGE    the script's usage text: what it does, its options, the environment it reads
#   GRAMMAR  what the script takes besides -h/--help, blank-separated: its flags ("--quick"),
#            the names of its arguments ("SECONDS": one argument each, all optional) and "--"
#            when what follows "--" is handed on as it is (to ctest, to the program)
# -h or --help prints USAGE and exits 0. An option not in GRAMMAR, an argument too many, or
# arguments after "--" that the script does not take, print an error and USAGE on stderr and
# exit 2. Afterwards FLAGS holds the flags given (test with `given --flag`), OPERANDS the
# arguments, PASSED what followed "--".

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SCRIPT=scripts/$(basename "$0")
QT_MAJOR_VERSION=${QT_MAJOR_VERSION:-5}
DEVELOPER_MODE=${DEVELOPER_MODE:-OFF}
SANITIZE=${SANITIZE:-OFF}
FUZZ=${FUZZ:-OFF}

# The settings every building script reads, for its usage text.
# shellcheck disable=SC2034 # for the scripts
BUILD_ENVIRONMENT_HELP="  QT_MAJOR_VERSION  5 (default) or 6: the Qt to build against
  DEVELOPER_MODE    ON turns compiler warnings into errors (default OFF)
  SANITIZE          ON builds with AddressSanitizer and UndefinedBehaviorSanitizer
                    (default OFF)
  PRESET            a configure preset of CMakePresets.json whose name's words set the
                    settings above: qt6, dev, sanitize (PRESET=qt6-dev is QT_MAJOR_VERSION=6
                    DEVELOPER_MODE=ON). The settings choose the preset, and with it the
                    build folder: build/, build-qt6/, build-dev/, build-qt6-dev-sanitize/ ..."

# The words of the presets' names and the settings they stand for, in the order they take in a
# name; the preset with none of them is "default".
PRESET_WORDS=(qt6:QT_MAJOR_VERSION=6 dev:DEVELOPER_MODE=ON sanitize:SANITIZE=ON fuzz:FUZZ=ON)

# Adds the settings of PRESET's words to those of the environment, and names the preset of
# them all in PRESET.
select_preset() {
    local word entry var value words=()
    PRESET=${PRESET:-}
    for word in ${PRESET//-/ }; do
        [ "$word" = default ] || [[ " ${PRESET_WORDS[*]} " == *" $word:"* ]] ||
            die "PRESET=$PRESET: '$word' is none of default ${PRESET_WORDS[*]%%:*}"
    done
    for entry in "${PRESET_WORDS[@]}"; do
        var=${entry#*:} value=${entry##*=}
        var=${var%=*}
        [[ -$PRESET- == *-${entry%%:*}-* ]] && printf -v "$var" %s "$value"
        [ "${!var}" = "$value" ] && words+=("${entry%%:*}")
    done
    local IFS=-
    PRESET=${words[*]:-default}
}

die() {
    echo "error: $*" >&2
    exit 1
}

usage_error() {
    printf '%s: %s\n\n%s\n' "$SCRIPT" "$1" "$USAGE" >&2
    exit 2
}

parse_options() {
    USAGE=$1
    local grammar=" $2 " names=() arg
    shift 2
    for arg in $grammar; do [[ $arg == -* ]] || names+=("$arg"); done
    FLAGS=() OPERANDS=() PASSED=()
    while [ $# -gt 0 ]; do
        arg=$1
        shift
        case "$arg" in
        -h | --help)
            printf '%s\n' "$USAGE"
            exit 0
            ;;
        --)
            [ $# -eq 0 ] || [[ $grammar == *" -- "* ]] ||
                usage_error "takes no arguments after --"
            # shellcheck disable=SC2034 # for the scripts
            PASSED=("$@")
            break
            ;;
        -?*)
            if [[ $grammar == *" $arg "* ]]; then
                FLAGS+=("$arg")
            elif [[ $grammar == *" -- "* ]]; then
                usage_error "unknown option $arg (options to hand on go after --)"
            else
                usage_error "unknown option $arg"
            fi
            ;;
        *)
            [ ${#OPERANDS[@]} -lt ${#names[@]} ] || usage_error "unexpected argument '$arg'"
            OPERANDS+=("$arg")
            ;;
        esac
    done
    check_settings
}

# given FLAG: whether FLAG was on the command line.
given() {
    [[ " ${FLAGS[*]} " == *" $1 "* ]]
}

check_settings() {
    case "$QT_MAJOR_VERSION" in 5 | 6) ;; *) die "QT_MAJOR_VERSION must be 5 or 6" ;; esac
    local name
    for name in DEVELOPER_MODE SANITIZE FUZZ; do
        case "${!name}" in ON | OFF) ;; *) die "$name must be ON or OFF" ;; esac
    done
    select_preset
}

# Prints the packages scripts/packages lists for any of the given roles (--all: every one).
packages_for() {
    local roles=" $* "
    while read -r name uses; do
        case "$name" in '' | '#'*) continue ;; esac
        for use in ${uses//,/ }; do
            if [[ $roles == " --all " || $roles == *" $use "* ]]; then
                echo "$name"
                break
            fi
        done
    done <"$ROOT/scripts/packages"
}

# Prints, by name, the Build-Depends of debian/control that hold under the given build profiles
# (--all: every one), the way apt-get build-dep reads them; debhelper-compat as debhelper, the
# package that provides it. Each of ours has at most one restriction list, whose terms must
# all hold.
build_depends() {
    local profiles=" $* " name rest term holds
    while read -r name rest; do
        [ -n "$name" ] || continue
        holds=true
        if [ "$profiles" != " --all " ] && [[ $rest == *"<"* ]]; then
            rest=${rest#*<}
            for term in ${rest%%>*}; do
                if [[ $term == !* ]]; then
                    [[ $profiles != *" ${term#!} "* ]] || holds=false
                else
                    [[ $profiles == *" $term "* ]] || holds=false
                fi
            done
        fi
        $holds && echo "${name/#debhelper-compat/debhelper}"
    done < <(awk '/^[^ ]/ { on = sub(/^Build-Depends:/, "") } on' "$ROOT/debian/control" | tr , '\n')
}

# Fails, naming them, if packages stand in both lists: each is either a build dependency
# (debian/control) or a tool the scripts need besides (scripts/packages).
check_package_lists() {
    local both
    both=$(comm -12 <(build_depends --all | sort -u) <(packages_for --all | sort -u))
    [ -z "$both" ] || die "in both debian/control and scripts/packages: ${both//$'\n'/ }"
}

# Prints what the given roles need: build-essential (apt-get build-dep assumes it), the build
# dependencies for the Qt in use and the roles' tools. Only the roles that run the suites get
# the suites' dependencies (the others build with the profile nocheck), only the package role
# debhelper. The roles source and chroot build nothing here: they need their tools alone.
needed_packages() {
    local roles=" $* " profiles=() pkg
    if [[ $roles == *" source "* || $roles == *" chroot "* ]]; then
        packages_for "$@"
        return
    fi
    [ "$QT_MAJOR_VERSION" = 6 ] && profiles+=(pkg.kt940-terminal.qt6)
    [[ $roles == *" package "* || $roles == *" windows "* ]] || profiles+=(nocheck)
    for pkg in build-essential $(build_depends "${profiles[@]}") $(packages_for "$@"); do
        [ "$pkg" != debhelper ] || [[ $roles == *" package "* ]] || continue
        echo "$pkg"
    done
}

# Installs what is missing of the packages the given roles need.
ensure_packages() {
    local missing=() pkg
    for pkg in $(needed_packages "$@"); do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
            sudo=(sudo -n)
        else
            local install="apt-get update && apt-get install --no-install-recommends ${missing[*]}"
            echo "error: $SCRIPT needs Debian packages that are not installed: ${missing[*]}" >&2
            echo "Install them as root, then run $SCRIPT again:" >&2
            if command -v sudo >/dev/null; then
                echo "    sudo sh -c '$install'" >&2
            else
                echo "    su -c '$install'" >&2
            fi
            exit 1
        fi
    fi
    export DEBIAN_FRONTEND=noninteractive
    # Waits for another apt or dpkg to finish rather than failing on its lock.
    local apt=("${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600)
    echo "Updating the package lists (apt-get update)"
    "${apt[@]}" update -qq || die "apt-get update failed"

    local plan new upgraded download disk
    plan=$(LC_ALL=C "${apt[@]}" install --assume-no --no-install-recommends "${missing[@]}" 2>&1 || true)
    read -r upgraded new < <(sed -n 's/^\([0-9]*\) upgraded, \([0-9]*\) newly installed.*/\1 \2/p' <<<"$plan")
    [ -n "$new" ] || { echo "$plan" >&2; die "apt-get cannot install ${missing[*]}"; }
    download=$(sed -n 's/^Need to get \(.*\) of archives.*/\1/p' <<<"$plan")
    disk=$(sed -n 's/^After this operation, \(.*\) of additional.*/\1/p' <<<"$plan")
    if [ "$upgraded" = 0 ]; then upgraded=; else upgraded=" and upgrading $upgraded"; fi
    echo "Installing $new packages$upgraded" \
        "(${download:-0 B} to download, ${disk:-0 B} of disk space): the ${#missing[@]} that" \
        "debian/control and scripts/packages name and what they depend on:"
    echo "    ${missing[*]}"

    # apt's own output goes to a log; its status lines become one line of progress.
    local log
    log=$(mktemp --tmpdir kt940-apt.XXXXXX.log)
    if "${apt[@]}" install -y --no-install-recommends -o APT::Status-Fd=3 "${missing[@]}" \
        3>&1 >"$log" 2>&1 | show_apt_progress; then
        rm -f "$log"
    else
        tail -n 20 "$log" >&2
        die "apt-get install failed; its output is in $log"
    fi
}

# Reads apt's status lines (APT::Status-Fd) and shows the download and installation in
# per cent, on one line on a terminal, else a line every tenth.
show_apt_progress() {
    local kind percent text phase shown=-10 last=
    while IFS=: read -r kind _ percent text; do
        case "$kind" in
        dlstatus) phase="Downloading: ${text#Retrieving }" ;;
        pmstatus) phase="Installing: $text" ;;
        *) continue ;;
        esac
        percent=${percent%%.*}
        if [ -t 1 ]; then
            printf '\r\033[K  [%3d%%] %s' "$percent" "$phase"
        elif [ "${phase%%:*}" != "$last" ] || [ "$percent" -ge $((shown + 10)) ]; then
            printf '  [%3d%%] %s\n' "$percent" "$phase"
            shown=$percent
        fi
        last=${phase%%:*}
    done
    if [ -t 1 ]; then printf '\r\033[K  [100%%] done\n'; else echo "  [100%] done"; fi
}

# Prints an apt entry of type TYPE (deb, deb-src) for each archive of this system's Debian
# release (RELEASE, e.g. bookworm), its updates and its security updates, as the system takes
# them, mirror or proxy, without naming a host: no backports, no other release, no other
# vendor's repository.
apt_entries() {
    # shellcheck disable=SC2016 # apt's placeholders
    apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' \
        'Created-By: Packages' 'Origin: Debian' |
        awk -v type="$1" -v r="$2" '$2 == r || $2 == r "-updates" || $2 == r "-security" {
                key = $1 " " $2
                if (!(key in parts)) order[++n] = key
                parts[key] = parts[key] " " $3
            }
            END { for (i = 1; i <= n; i++) print type " " order[i] parts[order[i]] }' | grep . ||
        die "the system's apt sources have no Debian $2 (after apt-get update)"
}

# This system's Debian release, e.g. bookworm.
debian_release() {
    local release
    release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$release" ] || die "/etc/os-release names no VERSION_CODENAME"
    echo "$release"
}

# Configures the build folder of PRESET, which BUILD_DIR then names, and builds the given
# targets (all when none is given).
configure_and_build() {
    configure_preset
    local targets=()
    for target in "$@"; do targets+=(--target "$target"); done
    (cd "$ROOT" && cmake --build --preset "$PRESET" --parallel "$(nproc)" "${targets[@]}") ||
        die "build failed"
}

configure_preset() {
    BUILD_DIR=$(cd "$ROOT" && cmake --preset "$PRESET" |
        sed -n 's/^-- Build files have been written to: //p') || die "configure failed"
    [ -n "$BUILD_DIR" ] || die "cmake --preset $PRESET named no build folder"
}
