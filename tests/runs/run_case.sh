#!/usr/bin/env bash
# Runs one whole-run case in a fresh directory and compares everything it leaves.
#
#   run_case.sh BIN_DIR CASE_DIR
#
# CASE_DIR holds:
#   program          velkor or velkor-b
#   args             the command-line words, in shell quoting (may be empty)
#   input/           copied into the fresh working directory (optional)
#   setup            shell commands run there before the program (optional)
#   expected/stdout, expected/stderr, expected/status
#   expected/out.dat the final trace file; when absent, no regular "out.dat" may be left
#   make-expected    (optional) bash script that writes the expected files into the folder
#                    given as its argument, for outputs too large to keep in the tree
set -u
bin_dir=$(cd "$1" && pwd)
case_dir=$(cd "$2" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/velkor-run.XXXXXX")
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
[ -d "$case_dir/input" ] && cp -R "$case_dir/input/." "$work/"

program=$(tr -d ' \n' <"$case_dir/program")
eval "args=($(cat "$case_dir/args" 2>/dev/null))"

cd "$work" || exit 2
if [ -f "$case_dir/setup" ]; then
    bash "$case_dir/setup" || { echo "setup failed"; exit 2; }
fi
timeout 300 "$bin_dir/$program" "${args[@]}" >"$work/.stdout" 2>"$work/.stderr" </dev/null
status=$?

expected="$case_dir/expected"
if [ -f "$case_dir/make-expected" ]; then
    expected="$work/.expected"
    mkdir -p "$expected"
    (cd "$case_dir" && bash ./make-expected "$expected") || { echo "make-expected failed"; exit 2; }
fi

failed=0
compare() {  # compare NAME EXPECTED ACTUAL
    if ! cmp -s "$2" "$3"; then
        echo "--- $1 differs (expected vs actual):"
        diff -u "$2" "$3" | head -n 40
        failed=1
    fi
}
compare "standard output" "$expected/stdout" "$work/.stdout"
compare "standard error" "$expected/stderr" "$work/.stderr"
expected_status=$(tr -d ' \n' <"$expected/status")
if [ "$status" != "$expected_status" ]; then
    echo "--- exit status: expected $expected_status, got $status"
    failed=1
fi
if [ -f "$expected/out.dat" ]; then
    if [ -f "$work/out.dat" ]; then
        compare "out.dat" "$expected/out.dat" "$work/out.dat"
    else
        echo "--- out.dat: expected, but none was left"
        failed=1
    fi
elif [ -f "$work/out.dat" ]; then
    echo "--- out.dat: none expected, but one was left"
    failed=1
fi
exit $failed
