#!/usr/bin/env bash
# Whole runs of velkor-compare, each in a fresh folder: its ranking, table, verdict and the
# Michaelis-Menten law's constants against check_compare.py's own calculations; bad input
# refused with status 2, one line naming it and nothing written.
#
#   check.sh BIN_DIR
set -u
bin=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/velkor-compare-runs.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0

# shellcheck source=../support/whole_runs.sh
source "$here/../support/whole_runs.sh"

values() {
    local faults
    faults=$(python3 "$here/check_compare.py" "$@" 2>&1) || fail "$(printf '%s' "$faults" | head -n 5)"
}

# nothing_written: the folder holds its inputs and the run's stdout and stderr only.
nothing_written() {
    local written
    written=$(ls -A | grep -v -x -e stdout -e stderr -e '.*\.txt' -e README.md)
    [ -z "$written" ] || fail "files written: $written"
}

# The 1913 data: product inhibition ahead of loss of activity by between 2 and 10.
fresh mm1913 "$root"/examples/mm1913/*
run "$bin/velkor-compare" -f params.txt -o cmp
expect_status 0
values cmp params.txt
[ -s cmp.gp ] || fail "no cmp.gp"

# The bundled example, made with Michaelis-Menten: no third constant earns its keep.
fresh example "$root"/examples/*.txt
run "$bin/velkor-compare" -f params.txt -o cmp
expect_status 0
values cmp params.txt

# Bad input: a parameter file that is not there, a misspelt option, a range the wrong way
# round, a range whose midpoint overflows (the fit of Kp would start at infinity). Each line on
# standard error that names the trouble is counted.
fresh bad-input "$root"/examples/*.txt
for args in "-f missing.txt -o cmp|missing.txt" "-f params.txt --ouptut cmp|--ouptut" \
    "-f params.txt -o cmp --kp 5,1|5,1" "-f params.txt -o cmp --kp 1e308,1.7e308|1e308,1.7e308"; do
    run "$bin/velkor-compare" ${args%|*}
    expect_status 2
    named=${args#*|}
    [ "$(grep -c -F -e "$named" stderr)" = 1 ] && grep -q -F -e "$named" <(head -n 1 stderr) ||
        fail "${args%|*}: the first line does not name $named alone: $(head -n 3 stderr)"
    [ -s stdout ] && fail "${args%|*}: standard output: $(head -n 3 stdout)"
    nothing_written
done

if [ $failed = 0 ]; then echo "all comparison runs passed"; fi
exit $failed
