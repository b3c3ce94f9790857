#!/usr/bin/env bash
# Whole runs of velkor (nine fits each) on the two benchmark problems: the
# 16-curve problem (256 points, spans 25.5) and the five long curves (spans
# 100 to 1,400). Prints wall time, user time, peak memory and the number of
# objective evaluations, with standard output to a file and to /dev/null.
#
#   bench/run-large.sh            builds in build-bench/ (BUILD_DIR overrides)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELKOR_BENCH=ON -DVELKOR_TESTS=OFF \
    > /dev/null
cmake --build "$build" -j2 --target velkor make_problem > /dev/null

# measure OUT CMD...: runs CMD with standard output to OUT; prints "wall user peak_kib".
measure() {
    local out=$1
    shift
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -f '%e %U %M' -o "$work/time" "$@" > "$out"
        cat "$work/time"
    else
        local TIMEFORMAT='%R %U'
        { time "$@" > "$out"; } 2> "$work/time"
        echo "$(cat "$work/time") n/a"
    fi
}

printf '%-8s %-10s %9s %9s %10s %12s\n' problem output wall_s user_s peak_KiB evaluations
for problem in large long; do
    dir=$work/$problem
    mkdir "$dir"
    "$build/bin/make_problem" "$problem" "$dir"
    cd "$dir"
    to_file=$(measure "$dir/stdout.txt" "$build/bin/velkor" -f problem.txt)
    to_null=$(measure /dev/null "$build/bin/velkor" -f problem.txt)
    # Every "%10.5e" line is a quality figure but for the two constants
    # printed after each of the nine fits.
    numbers=$(grep -cE '^ *-?([0-9]\.[0-9]{5}e[-+][0-9]+|nan|inf)$' stdout.txt || true)
    evaluations=$((numbers - 9 * 2))
    read -r wall user peak <<< "$to_file"
    printf '%-8s %-10s %9s %9s %10s %12s\n' "$problem" file "$wall" "$user" "$peak" "$evaluations"
    read -r wall user peak <<< "$to_null"
    printf '%-8s %-10s %9s %9s %10s %12s\n' "$problem" /dev/null "$wall" "$user" "$peak" "$evaluations"
done
