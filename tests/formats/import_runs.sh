#!/usr/bin/env bash
# Whole runs of velkor-import: the three examples import into folders that velkor fits to the
# constants their curves were made with; bad input and usage stop with status 2 and one line,
# a failed write with status 1, and neither leaves anything behind.
#
#   import_runs.sh BIN_DIR
set -u
bin=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# import ARGS... then fit: Km (velkor's last-but-one line) within TOLERANCE of TRUE.
fits() {
    local true_km=$1 tolerance=$2 dir=$3
    shift 3
    "$bin/velkor-import" "$@" -o "$dir" >"$dir.out" 2>"$dir.err" || { fail "$dir: import status $?"; cat "$dir.err"; return; }
    [ -s "$dir.err" ] && fail "$dir: import wrote to standard error: $(cat "$dir.err")"
    (cd "$dir" && "$bin/velkor" -f params.txt >velkor.log 2>velkor.err) || fail "$dir: velkor status $?"
    [ -s "$dir/velkor.err" ] && fail "$dir: velkor complained: $(head -n 3 "$dir/velkor.err")"
    local km
    km=$(tail -n 2 "$dir/velkor.log" | head -n 1)
    python3 -c "import sys; sys.exit(abs($km - $true_km) > $tolerance * $true_km)" ||
        fail "$dir: Km $km, made with $true_km"
}

# The curves were made with Km 60 uM, 40 uM and 0.8 mM, with noise.
fits 60 0.02 plate "$root/examples/plate/plate.csv" --signal-per-conc 0.00622 --blank Blank
fits 40 0.03 enzymeml "$root/examples/enzymeml/enzymeml-v2-example.json" --species s1
fits 0.8 0.03 long "$root/examples/long/progress.csv"

# The report writes the fit back into the imported document; imported again, that document
# gives the same curve files and the same constants' ranges.
(cd enzymeml && "$bin/velkor-report" -f params.txt --enzymeml \
    "$root/examples/enzymeml/enzymeml-v2-example.json" >report.out 2>report.err) ||
    fail "enzymeml: report with --enzymeml, status $?: $(cat enzymeml/report.err)"
"$bin/velkor-import" enzymeml/report.enzymeml.json --species s1 -o again >again.out 2>&1 ||
    fail "enzymeml: the written document does not import: $(cat again.out)"
for f in enzymeml/*.txt; do
    name=$(basename "$f")
    case $name in report* | velkor*) continue ;; esac
    if [ "$name" = params.txt ]; then
        cmp -s <(grep -v '^#' "$f") <(grep -v '^#' "again/$name") || fail "round trip: $name differs"
    else
        cmp -s "$f" "again/$name" || fail "round trip: $name differs"
    fi
done
python3 - enzymeml/report.enzymeml.json enzymeml/report.json <<'PY' || fail "round trip: the fit in the document"
import json, sys
doc, report = json.load(open(sys.argv[1])), json.load(open(sys.argv[2]))
free = report["free_fit"]
params = {p["id"]: p for p in doc["parameters"]}
ok = abs(params["Km"]["value"] - free["km"]) <= 1e-12 * free["km"]
ok &= abs(params["Vmax"]["stderr"] - free["vmax_standard_error"]) <= 1e-9 * free["vmax_standard_error"]
simulated = [d for m in doc["measurements"] for d in m["species_data"] if d.get("is_simulated")]
ok &= len(simulated) == len(report["curves"]) and all(d["species_id"] == "s1" for d in simulated)
ok &= any(e.get("equation_type") == "ode" and e["species_id"] == "s1" for e in doc["equations"])
sys.exit(0 if ok else 1)
PY

# refused STATUS WHAT ARGS...: status, one line on standard error (plus the usage text for
# usage errors), nothing written.
refused() {
    local status=$1 what=$2
    shift 2
    mkdir -p "$work/refused" && cd "$work/refused" || exit 1
    "$bin/velkor-import" "$@" >out.txt 2>err.txt
    local got=$?
    [ $got -eq "$status" ] || fail "$what: status $got, expected $status"
    [ -s out.txt ] && fail "$what: wrote to standard output"
    local lines
    lines=$(grep -vc '^ \|^usage:' err.txt)
    [ "$lines" -eq 1 ] || fail "$what: $lines message lines: $(cat err.txt)"
    [ -e new ] && fail "$what: left a folder"
    ls -A | grep -q '^\.new' && fail "$what: left a temporary folder"
    cd "$work" && rm -rf "$work/refused"
}

printf 'Time (s),1 uM\n0,1\n5,abc\n' >"$work/bad.csv"
printf 'x\n' >"$work/file"
refused 2 "no -o" "$root/examples/long/progress.csv"
refused 2 "unknown option" "$root/examples/long/progress.csv" -o new --frobnicate
refused 2 "no species" "$root/examples/enzymeml/enzymeml-v2-example.json" -o new
refused 2 "table option on EnzymeML" "$root/examples/enzymeml/enzymeml-v2-example.json" -o new --blank B
refused 2 "bad cell" "$work/bad.csv" -o new
refused 2 "missing source" "$work/none.csv" -o new
refused 1 "unwritable folder" "$root/examples/long/progress.csv" -o "$work/file/new"
grep -q "^velkor-import: $work/bad.csv:3: column '1 uM': 'abc' is not a number$" <("$bin/velkor-import" "$work/bad.csv" -o new 2>&1) ||
    fail "bad cell: message"

# A folder holding other files is kept as it was without --force.
mkdir kept && echo trace >kept/out.dat
"$bin/velkor-import" "$root/examples/long/progress.csv" -o kept >/dev/null 2>&1
[ $? -eq 2 ] && [ "$(ls kept)" = out.dat ] || fail "a folder with other files was not kept"
"$bin/velkor-import" "$root/examples/long/progress.csv" -o kept --force >/dev/null 2>&1 &&
    [ ! -e kept/out.dat ] && [ -e kept/params.txt ] || fail "--force did not replace the folder"

# A plate of 24 curves is fitted whole: the report compares every point of every curve file
# (counted here from the files), and names the 16 that velkor alone would read.
cd "$work"
python3 - <<'PY'
import csv
rows = [["Time (min)"] + ["%g uM" % s0 for s0 in (5, 10, 20, 40, 80, 160, 320, 640) for _ in range(3)]]
for k in range(11):
    rows.append([str(3 * k)] + ["%.4f" % (s0 * 0.99 ** (k * (1 + r))) for s0 in (5, 10, 20, 40, 80, 160, 320, 640) for r in range(3)])
csv.writer(open("plate24.csv", "w", newline="")).writerows(rows)
PY
"$bin/velkor-import" plate24.csv -o plate24 >plate24.out 2>&1 || fail "plate24: import: $(cat plate24.out)"
(cd plate24 && "$bin/velkor-report" -f params.txt >report.out 2>report.err) || fail "plate24: report status $?"
python3 - plate24 <<'PY' || fail "plate24: the report did not fit the whole plate"
import json, os, sys
folder = sys.argv[1]
plots = [l.split()[1] for l in open(os.path.join(folder, "params.txt")) if l.startswith("plot ")]
compared = 0
for name in plots:
    lines = [l.split() for l in open(os.path.join(folder, name)) if l.strip() and not l.startswith("#")]
    compared += sum(1 for words in lines[2:] if float(words[1]) > 0)
r = json.load(open(os.path.join(folder, "report.json")))
beyond = [w for w in r["warnings"] if w["kind"] == "beyond_fit_program"]
ok = len(plots) == 24 and len(r["curves"]) == 24 and r["points_compared"] == compared
ok &= len(beyond) == 1 and plots[0] in beyond[0]["message"] and plots[15] in beyond[0]["message"]
sys.exit(0 if ok else 1)
PY

if [ $failures -eq 0 ]; then echo "velkor-import runs: all passed"; fi
exit $((failures > 0))
