#!/usr/bin/env bash
# Writes every whole-run case afresh from the reference model and fails when the checked-in
# tests/runs/cases differs from it in any byte, or has a file or folder more or less: an
# expected file edited by hand, or left stale after the model changed, shows up here.
#
#   check_cases.sh [PYTHON]
#
# Nothing is written into the source tree: the cases go into a temporary folder, and Python
# keeps its byte-code caches to itself.
set -u
python=${1:-python3}
runs_dir=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/velkor-cases.XXXXXX")
trap 'rm -rf "$work"' EXIT
export PYTHONDONTWRITEBYTECODE=1

if ! "$python" "$runs_dir/reference/make_cases.py" --into "$work/cases" >"$work/log" 2>&1; then
    echo "--- make_cases.py failed:"
    cat "$work/log"
    exit 1
fi

if diff -r -u "$runs_dir/cases" "$work/cases" >"$work/diff"; then
    exit 0
fi
echo "--- tests/runs/cases differs from what the reference model writes"
echo "    (--- checked in, +++ regenerated; if the model changed on purpose, rerun"
echo "    python3 tests/runs/reference/make_cases.py and check the change in):"
head -n 400 "$work/diff"
lines=$(wc -l <"$work/diff")
[ "$lines" -gt 400 ] && echo "... ($lines lines of differences in all)"
exit 1
