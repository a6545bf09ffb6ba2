#!/bin/sh
# Runs one fuzz target for a fixed time from its checked-in seed corpus:
#   run-fuzzer.sh <fuzzer> <seed folder> <findings folder> <seconds>
# New inputs go to a temporary folder (the seeds stay as checked in); a
# crash, hang, leak or sanitizer report leaves its input in the findings
# folder and fails the run. Reproduce one with: <fuzzer> <findings>/<file>
fuzzer=$1 seeds=$2 findings=$3 seconds=${4:-20}
if [ ! -x "$fuzzer" ]; then
    echo "no fuzz target at $fuzzer (build the fuzz build first)" >&2
    exit 1
fi
here=$(cd "$(dirname "$0")" && pwd)
# Run by hand, the same sanitizer settings as in CTest.
: "${LSAN_OPTIONS:=suppressions=$here/fuzz-lsan.supp:print_suppressions=0}"
: "${UBSAN_OPTIONS:=print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS UBSAN_OPTIONS
work=$(mktemp -d "${TMPDIR:-/tmp}/dizadi-fuzz-corpus.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
mkdir -p "$findings"
log="$findings/last-run.log"
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work" "$seeds" >"$log" 2>&1
rc=$?
# The summary lines for the CTest log; the whole output on failure.
if [ $rc -eq 0 ]; then
    grep -E '^(INFO: Seed|#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb|stat::new_units_added)' "$log"
    echo "clean: $(basename "$fuzzer") for ${seconds} s"
else
    cat "$log"
    echo "FAILED: $(basename "$fuzzer") (exit $rc); its input is in $findings" >&2
fi
exit $rc
