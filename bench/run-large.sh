#!/usr/bin/env bash
# Whole runs of velkor (nine fits each) on the bundled example and the two
# benchmark problems: the 16-curve problem (256 points, spans 25.5) and the
# five long curves (spans 100 to 1,400). Prints wall time, user time, peak
# memory and the number of objective evaluations, with standard output to a
# file and to /dev/null; then the same for velkor-report on each problem
# (one fit with all its statistics and the picture), and velkor-compare (every
# law fitted, ranked and drawn) on the example and the 1913 data, the best of
# five runs each.
#
#   bench/run-large.sh            builds in build-bench/ (BUILD_DIR overrides)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELKOR_BENCH=ON -DVELKOR_TESTS=OFF \
    > /dev/null
cmake --build "$build" -j2 --target velkor velkor-report velkor-pi-report velkor-ei-report \
    velkor-si-report velkor-compare make_problem > /dev/null

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
# problem_dir NAME: a folder holding the problem, its parameter file named problem.txt.
problem_dir() {
    local dir=$work/$1
    mkdir -p "$dir"
    if [ "$1" = example ]; then
        cp "$root"/examples/*.txt "$dir/" && cp "$dir/params.txt" "$dir/problem.txt"
    elif [ "$1" = mm1913 ]; then
        cp "$root"/examples/mm1913/*.txt "$dir/" && cp "$dir/params.txt" "$dir/problem.txt"
    else
        "$build/bin/make_problem" "$1" "$dir"
    fi
    echo "$dir"
}

problems="example mm1913 large long"
for problem in $problems; do
    dir=$(problem_dir "$problem")
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

# The report against velkor's own run, best of five wall times each (stdout to /dev/null).
best_of_five() {
    local best=
    for _ in 1 2 3 4 5; do
        read -r wall _ _ <<< "$(measure /dev/null "$@")"
        if [ -z "$best" ] || awk "BEGIN { exit !($wall < $best) }"; then best=$wall; fi
    done
    echo "$best"
}
printf '\n%-8s %14s %14s %18s %14s %16s\n' problem velkor_s report_s report_no_gnuplot_s compare_s \
    compare/velkor
# A PATH like the machine's, but without gnuplot: the report's computation alone.
nogp=$work/no-gnuplot
mkdir -p "$nogp"
for tool in /usr/bin/* /bin/*; do
    case $(basename "$tool") in gnuplot*) ;; *) ln -sf "$tool" "$nogp/" ;; esac
done
for problem in $problems; do
    cd "$work/$problem"
    fit=$(best_of_five "$build/bin/velkor" -f problem.txt)
    report=$(best_of_five "$build/bin/velkor-report" -f problem.txt)
    bare=$(PATH=$nogp best_of_five "$build/bin/velkor-report" -f problem.txt)
    # The comparison of every law, on the two real-sized problems only.
    compare=- ratio=-
    case $problem in example | mm1913)
        compare=$(best_of_five "$build/bin/velkor-compare" -f problem.txt)
        ratio=$(awk "BEGIN { printf \"%.2f\", $compare / $fit }") ;;
    esac
    printf '%-8s %14s %14s %18s %14s %16s\n' "$problem" "$fit" "$report" "$bare" "$compare" "$ratio"
done
