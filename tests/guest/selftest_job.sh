#!/bin/bash
# The self-test's job inside the emulated machine: the probe in each setting
# that the Windows tests rely on, a crash, and the run's plumbing.
launcher=$1
probe() {
    echo "[$1]"
    shift
    "$launcher" "$@" ./win32vm-probe.exe
    echo "exit=$?"
}
probe default
probe ja --locale ja_JP.UTF-8
probe de --locale de_CH.UTF-8
probe windows_98 --windows 98
echo "[crash]"
"$launcher" --log crash.log ./win32vm-probe.exe crash >/dev/null 2>&1
echo "exit=$?"
grep -q 'page fault' crash.log && echo "reported=1"
echo "[plumbing]"
echo "cwd=$PWD"
echo "env=$WIN32VM_SELFTEST"
echo "written in the guest" >from-guest.txt
exit 3
