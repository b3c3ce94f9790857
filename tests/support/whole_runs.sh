# Helpers of the whole-run checks (tests/*_runs/check.sh), sourced after they set `work` (the
# scratch folder) and `failed=0`. Each case runs in a folder of its own.

fail() {
    echo "FAIL [$case]: $*"
    failed=1
}

# fresh NAME FILES...: a new folder holding copies of the files; enters it.
fresh() {
    case=$1
    shift
    mkdir -p "$work/$case"
    [ $# -gt 0 ] && cp "$@" "$work/$case/"
    cd "$work/$case" || exit 2
}

# run PROGRAM ARGS...: runs it, keeping stdout, stderr and the status.
run() {
    "$@" >stdout 2>stderr </dev/null
    status=$?
}

expect_status() {
    [ "$status" = "$1" ] || fail "exit status $status, expected $1; stderr: $(head -c 300 stderr)"
}
