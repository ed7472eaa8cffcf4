#!/usr/bin/env bash
# Sets up, builds, and runs the program, its tests, its benchmarks, its fuzz harness or a soak.
#   ./make.sh run              build and start the game
#   ./make.sh test             build and run every test (plain build)
#   ./make.sh test-sanitize    build with address and undefined-behaviour sanitizers and run every test
#   ./make.sh bench            build and run the benchmarks
#   ./make.sh fuzz [ARGS...]   build and run the fuzz harness (see its --help)
#   ./make.sh soak [ARGS...]   the program for ten minutes under random keys and closes
#                              (--minutes N; see tests/e2e/soak.py --help)
# Missing Debian packages are installed first (as root, or through sudo).
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(g++ cmake ninja-build qt6-base-dev qt6-svg-dev libxcb1-dev libgtest-dev fonts-dejavu-core
          xvfb xauth openbox xdotool x11-utils imagemagick fonts-liberation2 python3)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local as_root=()
    [ "$(id -u)" -ne 0 ] && as_root=(sudo)
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {  # build DIR [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$dir" --parallel
}

run_tests() {  # run_tests DIR
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$1" --output-on-failure --parallel "$(nproc)" -LE e2e
    # The real windows after the rest, two at a time, so that the CPU-heavy tests do not starve
    # the window manager; a scenario that lost a race with it gets one more try.
    ctest --test-dir "$1" --output-on-failure --parallel 2 -L e2e --repeat until-pass:2
}

command=${1:-}
[ $# -gt 0 ] && shift
case "$command" in
    run)
        install_missing
        build build -DMURANKO_BUILD_TESTS=OFF
        exec ./build/muranko "$@"
        ;;
    test)
        install_missing
        build build-test
        run_tests build-test
        ;;
    test-sanitize)
        install_missing
        build build-sanitize -DMURANKO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
        ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests build-sanitize
        ;;
    bench)
        install_missing
        build build-bench -DMURANKO_BUILD_TESTS=OFF -DMURANKO_BUILD_BENCH=ON
        ./build-bench/bench/muranko-bench "$@"
        ;;
    fuzz)
        install_missing
        build build-test
        ./build-test/tests/muranko-fuzz "$@"
        ;;
    soak)
        install_missing
        build build -DMURANKO_BUILD_TESTS=OFF
        exec python3 tests/e2e/soak.py --program build/muranko "$@"
        ;;
    *)
        sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
        exit 2
        ;;
esac
