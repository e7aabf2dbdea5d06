#!/bin/bash
# Runs, in one boot of the emulated machine, every Windows program run that
# the build registered. RUNS has one per line: its name, then the launcher's
# arguments, tab-separated. Each run leaves NAME.out (what it printed) and
# NAME.status in RESULTS.
#
#   guest_runs.sh RUNS RESULTS
set -u
runs=$1 results=$2
launcher=$(cd "$(dirname "$0")/../.." && pwd)/tools/wine/wine-run
rm -rf "$results"
mkdir -p "$results"
# One server for all the runs, from a registry as the prefix was made.
"$launcher" --hold-server || exit
while IFS=$'\t' read -r -a run; do
    "$launcher" "${run[@]:1}" >"$results/${run[0]}.out" 2>&1 </dev/null
    echo $? >"$results/${run[0]}.status"
done <"$runs"
"$launcher" --release-server
