#!/usr/bin/env bash
# Checks, in one run in the 32-bit root of tools/win32vm (entered, or booted
# with QUORVEL_WIN32_RUNNER=guest), everything the DLL's 32-bit tests rely
# on: a 32-bit program runs, LC_ALL picks Wine's code page and user locale
# with no Linux locale installed, a Windows release set by the launcher takes
# effect, a message box can be found and dismissed headless, a crashing
# program ends instead of waiting on a crash dialog, files in the shared
# folder can be written through a mapping, and the run's plumbing holds (the
# shared folder sits at the host's path and is writable, --env reaches the
# job, the job's status comes back).
#
#   tests/guest/selftest.sh
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
vm=$root/tools/win32vm/win32vm

# A folder outside the repository, also proving that /tmp paths can be shared.
work=$(mktemp -d "${TMPDIR:-/tmp}/win32vm-selftest.XXXXXX")
trap 'rm -rf "$work"' EXIT

i686-w64-mingw32-g++-posix -O2 -static -Wall -Wextra -Werror \
    -o "$work/win32vm-probe.exe" "$here/probe.cpp"

started=$SECONDS
status=0
# A crash dialog left open would hold the run until this limit: CTest gives
# the one its other guest job has.
"$vm" run --timeout "${QUORVEL_VM_TIMEOUT:-1700}" --workdir "$work" --env WIN32VM_SELFTEST='two words' \
    --env WINEPREFIX="$work/wineprefix" \
    -- "$here/selftest_job.sh" "$root/tools/wine/wine-run" \
    >"$work/output" 2>&1 || status=$?
took=$((SECONDS - started))
# Windows programs end their lines with CRLF.
tr -d '\r' <"$work/output" >"$work/output.lf"
cat "$work/output.lf"
echo "--- the run took ${took} s, $("$vm" status | sed -n 's/^way in: //p') (QUORVEL_WIN32_RUNNER: ${QUORVEL_WIN32_RUNNER:-unset})"

passed=0
failed=0
check() {  # WHAT ACTUAL EXPECTED
    if [[ $2 == "$3" ]]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: $1: got '$2', expected '$3'"
    fi
}
# value SECTION KEY: the KEY=... line's value in the [SECTION] part of the output.
value() {
    awk -v section="[$1]" -v key="$2" '
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }' "$work/output.lf"
}

check "the run's status is the job's" "$status" 3
for section in default ja de windows_98; do
    check "$section: probe status" "$(value $section exit)" 0
    check "$section: message box found" "$(value $section box_found)" 1
    check "$section: MessageBoxA returned IDOK" "$(value $section box_answer)" 1
    check "$section: shared file mapping" "$(value $section mapping)" 1
done
# Its status says little: 32-bit Wine 8.0 now and then gives 0 on a busy
# machine, so the Windows tests take GoogleTest's own verdict.
check "a crash ends the program" "$(value crash exit | sed 's/^[0-9][0-9]*$/ended/')" ended
check "a crash is reported in the program's output" "$(value crash reported)" 1
check "default: NT platform" "$(value default platform)" 2
check "default: code page" "$(value default acp)" 1252
check "default: user locale" "$(value default lcid)" 0409
check "ja_JP: code page" "$(value ja acp)" 932
check "ja_JP: user locale" "$(value ja lcid)" 0411
check "de_CH: code page" "$(value de acp)" 1252
check "de_CH: user locale" "$(value de lcid)" 0807
check "--windows 98: Windows 9x platform" "$(value windows_98 platform)" 1
check "--windows 98: major version" "$(value windows_98 major)" 4
check "the shared folder keeps the host's path" "$(value plumbing cwd)" "$work"
check "--env reaches the job" "$(value plumbing env)" "two words"
check "the guest writes into the shared folder" "$(cat "$work/from-guest.txt" 2>/dev/null)" "written in the guest"
check "mapped writes reach the host" "$(cat "$work/mapped.txt" 2>/dev/null)" "written through a mapping"

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
