#!/usr/bin/env bash
# Runs every fuzz target for the given time and fails when one of them finds a crash, a leak,
# a sanitizer report or a hang.
#
#   run.sh BUILD_DIR SECONDS
#
# The seed corpora under fuzz/corpus stay untouched: each target grows a working corpus in
# BUILD_DIR/fuzz-corpus/<target> and leaves reproducers in BUILD_DIR/fuzz-artifacts/<target>.
set -u
build_dir=$(cd "$1" && pwd)
seconds=$2
fuzz_dir=$(cd "$(dirname "$0")" && pwd)

targets="fuzz_parameter_file_c2 fuzz_parameter_file_c3 fuzz_command_line
         fuzz_report_input_c2 fuzz_report_input_c3 fuzz_strict_command_line
         fuzz_enzymeml fuzz_table"

corpus_of() {  # the seed corpus and dictionary a target shares with its kind
    case $1 in
        fuzz_parameter_file_*) echo parameter_file ;;
        fuzz_report_input_*) echo report_input ;;
        fuzz_enzymeml) echo enzymeml ;;
        fuzz_table) echo table ;;
        *) echo command_line ;;
    esac
}

failed=0
for target in $targets; do
    kind=$(corpus_of "$target")
    work="$build_dir/fuzz-corpus/$target"
    artifacts="$build_dir/fuzz-artifacts/$target/"
    mkdir -p "$work" "$artifacts"
    echo "=== $target: $seconds s"
    # Long inputs reach the curve reader's 257-line limit; one input may take 10 s at most.
    "$build_dir/bin/$target" -max_total_time="$seconds" -max_len=16384 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -dict="$fuzz_dir/$kind.dict" \
        -artifact_prefix="$artifacts" "$work" "$fuzz_dir/corpus/$kind" \
        >"$build_dir/fuzz-$target.log" 2>&1
    status=$?
    grep -E '^(stat::number_of_executed_units|stat::new_units_added|#[0-9]+ +DONE)' \
        "$build_dir/fuzz-$target.log"
    if [ $status -ne 0 ]; then
        echo "--- $target failed (status $status); log: $build_dir/fuzz-$target.log"
        grep -E 'ERROR|runtime error|Test unit written' "$build_dir/fuzz-$target.log" | head -n 20
        failed=1
    fi
done
exit $failed
