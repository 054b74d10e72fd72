# Shared by ./run, ./test and ./bench: install what is missing, then configure and build in build/.
# shellcheck shell=bash

QUARMEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QUARMEL_BUILD="${QUARMEL_BUILD:-$QUARMEL_ROOT/build}"

QUARMEL_PACKAGES=(
    cmake g++ make pkg-config
    qtbase5-dev qttools5-dev qttools5-dev-tools libqt5serialport5-dev qttranslations5-l10n
    libssl-dev fonts-liberation2 fonts-dejavu-core
)

quarmel_install() {
    local missing=() pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}" >&2
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq || return 1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

quarmel_build() {
    quarmel_install "${QUARMEL_PACKAGES[@]}" || { echo "Could not install the build dependencies." >&2; return 1; }
    cmake -S "$QUARMEL_ROOT" -B "$QUARMEL_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null || return 1
    cmake --build "$QUARMEL_BUILD" -j"$(nproc)" || return 1
}
