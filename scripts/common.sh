# Shared by ./run, ./test and ./bench: install what is missing, then configure and build in build/.
# QUARMEL_NO_INSTALL=1 skips the installation, for machines without apt-get where the tools are already there.
# shellcheck shell=bash

QUARMEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QUARMEL_BUILD="${QUARMEL_BUILD:-$QUARMEL_ROOT/build}"

QUARMEL_PACKAGES=(
    cmake g++ make pkg-config
    libssl-dev fonts-liberation2 fonts-dejavu-core libxlsxwriter-dev libzip-dev python3-openpyxl poppler-utils
    locales
    postgresql
)

# Only for the tests: the accessibility check runs the program on a display of its own and reads what a
# screen reader would through the accessibility bus.
QUARMEL_TEST_PACKAGES=(xvfb dbus-daemon dbus-x11 at-spi2-core python3-pyatspi)

# The Qt to build with: QUARMEL_QT_MAJOR=6 (the default: Debian 12 and later carry it) or 5.
QUARMEL_QT_MAJOR="${QUARMEL_QT_MAJOR:-6}"
case "$QUARMEL_QT_MAJOR" in
5) QUARMEL_QT_PACKAGES=(qtbase5-dev qttools5-dev qttools5-dev-tools libqt5serialport5-dev
    qttranslations5-l10n libqt5charts5-dev libqt5sql5-psql
    qtkeychain-qt5-dev) ;;
6) QUARMEL_QT_PACKAGES=(qt6-base-dev qt6-serialport-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    qt6-translations-l10n qt6-charts-dev libqt6opengl6-dev libgl-dev libqt6sql6-psql
    qtkeychain-qt6-dev) ;;
*)
    echo "QUARMEL_QT_MAJOR must be 5 or 6, not '$QUARMEL_QT_MAJOR'." >&2
    return 1
    ;;
esac

# Processors to build and test with; getconf is POSIX, nproc is not everywhere.
quarmel_jobs() {
    getconf _NPROCESSORS_ONLN 2>/dev/null || echo 2
}

quarmel_install() {
    [ "${QUARMEL_NO_INSTALL:-0}" = 1 ] && return 0
    if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
        echo "No apt-get here: install the build tools yourself and set QUARMEL_NO_INSTALL=1." >&2
        return 1
    fi
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

# The Czech locale, which the workbook tests write under (a Debian system carries only C until one is made).
quarmel_locales() {
    [ "${QUARMEL_NO_INSTALL:-0}" = 1 ] && return 0
    command -v localedef >/dev/null 2>&1 || return 0
    locale -a 2>/dev/null | grep -qi '^cs_CZ\.utf-\?8$' && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo localedef -i cs_CZ -f UTF-8 cs_CZ.UTF-8 ||
        echo "The cs_CZ.UTF-8 locale could not be made; the tests that need it are skipped." >&2
}

# quarmel_build [target...]: installs, configures and builds the given targets, or everything without any.
quarmel_build() {
    quarmel_install "${QUARMEL_PACKAGES[@]}" "${QUARMEL_QT_PACKAGES[@]}" ||
        { echo "Could not install the build dependencies." >&2; return 1; }
    quarmel_locales
    cmake -S "$QUARMEL_ROOT" -B "$QUARMEL_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUARMEL_QT_MAJOR="$QUARMEL_QT_MAJOR" >/dev/null || return 1
    if [ $# -eq 0 ]; then
        cmake --build "$QUARMEL_BUILD" -j"$(quarmel_jobs)" || return 1
    else
        cmake --build "$QUARMEL_BUILD" -j"$(quarmel_jobs)" --target "$@" || return 1
    fi
}

# quarmel_start_station_sim [simulator options...]: starts the station simulator from the build with the
# bundled sample catalogue and inventories (plus any extra options), waits for its terminal and exports
# QUARMEL_PORT and QUARMEL_SIM_PID. Stop it with quarmel_stop_station_sim.
quarmel_start_station_sim() {
    local samples="$QUARMEL_ROOT/tools/station-sim/samples" out line i
    out="$(mktemp "${TMPDIR:-/tmp}/quarmel-sim.XXXXXX")"
    "$QUARMEL_BUILD/bin/quarmel-station-sim" --catalogue "$samples/catalogue.csv" \
        --inventory0 "$samples/inventory0.txt" --inventory1 "$samples/inventory1.txt" \
        --inventory2 "$samples/inventory2.txt" "$@" >"$out" &
    QUARMEL_SIM_PID=$!
    line=""
    i=0
    while [ "$i" -lt 100 ]; do
        line="$(head -n 1 "$out")"
        [ -n "$line" ] && break
        kill -0 "$QUARMEL_SIM_PID" 2>/dev/null || break
        sleep 0.05
        i=$((i + 1))
    done
    rm -f "$out"
    if [ -z "$line" ]; then
        echo "The station simulator did not start." >&2
        return 1
    fi
    export QUARMEL_PORT="$line" QUARMEL_SIM_PID
}

quarmel_stop_station_sim() {
    if [ -n "${QUARMEL_SIM_PID:-}" ]; then
        kill "$QUARMEL_SIM_PID" 2>/dev/null || true
        wait "$QUARMEL_SIM_PID" 2>/dev/null || true
        QUARMEL_SIM_PID=""
    fi
}

# quarmel_seed_demo_data: prepares the demo data folder build/demo-data for ./run and exports
# QUARMEL_DATA_DIR and QUARMEL_UPDATE_URL. The sample catalogue becomes the local database once (edits
# survive restarts); the sample update is made fresh on every start and served from a file.
quarmel_seed_demo_data() {
    local demo="$QUARMEL_BUILD/demo-data" ctl="$QUARMEL_BUILD/bin/quarmelctl" plain
    mkdir -p "$demo" || return 1
    if [ ! -f "$demo/database70.xml" ]; then
        "$ctl" catalogue import-csv "$QUARMEL_ROOT/tools/station-sim/samples/catalogue.csv" \
            "$demo/seed.xml" >/dev/null || return 1
        # Date the seeded catalogue back, so that the sample update counts as newer than it.
        sed -E 's#<(upraveno|vlozeno)>[^<]*</#<\1>2025-06-01 08:00:00</#' "$demo/seed.xml" \
            >"$demo/database70.xml" || return 1
        rm -f "$demo/seed.xml"
    fi
    # The catalogue commands recognise a document by its content, so the temporary name needs no suffix.
    plain="$(mktemp "${TMPDIR:-/tmp}/quarmel-update.XXXXXX")"
    "$ctl" catalogue import-csv "$QUARMEL_ROOT/app/demo/update.csv" "$plain" >/dev/null &&
        "$ctl" catalogue encrypt-hex "$plain" "$demo/update.hex" >/dev/null
    local status=$?
    rm -f "$plain"
    [ $status -eq 0 ] || return 1
    export QUARMEL_DATA_DIR="$demo" QUARMEL_UPDATE_URL="file://$demo/update.hex"
}
