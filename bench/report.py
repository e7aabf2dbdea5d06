#!/usr/bin/env python3
"""Turns the benchmark output into the tables of docs/performance.md.

    report.py --native NATIVE.json --windows WINDOWS.tsv --doc docs/performance.md

NATIVE.json is Google Benchmark's JSON (with repetitions; medians are used),
WINDOWS.tsv the output of quorvel_windows_bench. The tables replace what stands
between the two marker lines of the document; the rest of it is left alone.
"""
import argparse
import datetime
import json
import os
import platform
import re
import subprocess

BEGIN = "<!-- tools/bench: begin -->"
END = "<!-- tools/bench: end -->"

# Row title, native benchmark name.
ROWS = [
    ("DllGetString (ID 9)", "DllGetString_OrdinaryId"),
    ("DllGetString (ID 20001, XP)", "DllGetString_Everyone"),
    ("GetStringFromQuorvelDll (ID 9)", "GetStringFromQuorvelDll_OrdinaryId"),
    ("DllGetDynamicString (9, 1002), value absent", "DllGetDynamicString_ValueAbsent"),
    ("DllGetDynamicString (9, 1002), value present", "DllGetDynamicString_ValuePresent"),
    ("DllGetString (ID 9), NT product name with 20 letters é", "DllGetString_AccentedProductName"),
]
TARGET = 1.05


def microseconds(ns):
    return f"{ns / 1000:.2f} µs" if ns >= 1000 else f"{ns:.0f} ns"


def read_native(path):
    """Each benchmark's fastest repetition (CPU time) and its allocations per call.

    CPU time, since the stand-in's services run in the process; the fastest
    repetition, since what other programs on the machine add only slows one.
    """
    with open(path) as f:
        data = json.load(f)
    figures = {}
    for bench in data["benchmarks"]:
        if bench.get("run_type") != "iteration":
            continue
        name = bench["run_name"]
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[bench.get("time_unit", "ns")]
        time = bench["cpu_time"] * scale
        if name not in figures or time < figures[name][0]:
            figures[name] = (time, bench.get("allocs", 0.0))
    return figures


def read_windows(path):
    rows, units = {}, {}
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            fields = line.rstrip("\r\n").split("\t")
            if fields[0] == "row" and len(fields) >= 6:
                counts = dict(field.split("=", 1) for field in fields[5:])
                rows[fields[1]] = {
                    "export": float(fields[2]),
                    "floor": float(fields[3]),
                    "ratio": float(fields[4]),
                    "counts": counts,
                }
            elif fields[0] == "unit" and len(fields) == 3:
                units[fields[1]] = float(fields[2])
    return rows, units


def command_output(command):
    try:
        return subprocess.run(command, capture_output=True, text=True, timeout=30).stdout.strip()
    except (OSError, subprocess.SubprocessError):
        return ""


def machine():
    cpu = ""
    try:
        with open("/proc/cpuinfo") as f:
            cpu = next((line.split(":", 1)[1].strip() for line in f if line.startswith("model name")), "")
    except OSError:
        pass
    load = os.getloadavg()[0] if hasattr(os, "getloadavg") else 0.0
    wine = command_output(["/usr/lib/wine/wine64", "--version"])
    return f"{cpu or platform.machine()}, {os.cpu_count()} cores, load {load:.1f}; {wine or 'Wine'}; {platform.system()} {platform.release()}"


def tables(native, windows_rows, units):
    out = [f"Measured {datetime.datetime.now():%Y-%m-%d %H:%M} on {machine()}.", ""]

    out += ["**Quorvel.dll (x86_64 build) under Wine** — target: export / floor ≤ 1.05", "",
            "| Export call | Time per call | Floor | Export / floor (median of the rounds) | "
            "The module's own work: its code + heap + code-page helpers (% of floor) | "
            "Heap blocks | Code-page helper calls | Platform calls (as the floor's) |",
            "|---|---:|---:|---:|---|---:|---|---|"]
    for title, _ in ROWS:
        row = windows_rows.get(title)
        if not row:
            out.append(f"| {title} | n/a | n/a | n/a | | | | |")
            continue
        c = row["counts"]
        own = float(c.get("own", 0)) + float(c.get("heapTime", 0)) + float(c.get("helperTime", 0))
        helpers = ", ".join(f"{name} {c.get(name, '0')}" for name in ("IsDBCSLeadByte", "LCMapStringA"))
        services = ", ".join(f"{name} {c[name]}" for name in ("LoadStringA", "RegOpenKeyExA", "RegQueryValueExA",
                                                                "RegCloseKey", "GetVersionExA", "LoadLibraryA")
                             if c.get(name, "0") != "0")
        if c.get("account", "0") != "0":
            services += f", SID and account calls {c['account']}"
        verdict = "" if row["ratio"] <= TARGET else " **above target**"
        out.append(f"| {title} | {microseconds(row['export'])} | {microseconds(row['floor'])} | "
                   f"{row['ratio']:.3f}{verdict} | "
                   f"{microseconds(float(c.get('own', 0)))} + {microseconds(float(c.get('heapTime', 0)))} + "
                   f"{microseconds(float(c.get('helperTime', 0)))} = {microseconds(own)} "
                   f"({100 * own / row['floor']:.1f} %) | {c.get('heap', '?')} | {helpers} | {services} |")
    out += ["", "Counted and timed through the DLL's import table (time-stamp counter), one call at a time: "
            "heap blocks as allocations/frees; the module's own work is its time outside every Win32 call "
            "plus its time inside HeapAlloc/HeapFree/GetProcessHeap and IsDBCSLeadByte/LCMapStringA, the calls "
            "the floor does not make. Timing each call adds a few nanoseconds to it, most visible in the "
            "helper column (IsDBCSLeadByte itself takes about 3 ns).", "",
            "| Win32 service, one call under Wine | Time |", "|---|---:|"]
    for name, ns in units.items():
        out.append(f"| {name} | {microseconds(ns)} |")

    out += ["", "**Native build over the stand-in services** (Google Benchmark, CPU time, fastest of 9 repetitions "
            "run in random order)", "",
            "| Export call | Time per call | Floor | Export / floor | Heap blocks per call |",
            "|---|---:|---:|---:|---:|"]
    for title, name in ROWS:
        exported, floor = native.get(name), native.get("Floor_" + name)
        if not exported or not floor:
            out.append(f"| {title} | n/a | n/a | n/a | n/a |")
            continue
        out.append(f"| {title} | {microseconds(exported[0])} | {microseconds(floor[0])} | "
                   f"{exported[0] / floor[0]:.3f} | {exported[1]:.0f} |")
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--native", required=True)
    parser.add_argument("--windows", required=True)
    parser.add_argument("--doc", required=True)
    args = parser.parse_args()

    native = read_native(args.native) if os.path.exists(args.native) else {}
    windows_rows, units = read_windows(args.windows) if os.path.exists(args.windows) else ({}, {})
    block = tables(native, windows_rows, units)

    with open(args.doc, encoding="utf-8") as f:
        doc = f.read()
    pattern = re.compile(re.escape(BEGIN) + ".*?" + re.escape(END), re.S)
    if not pattern.search(doc):
        raise SystemExit(f"{args.doc}: no {BEGIN} ... {END} block")
    doc = pattern.sub(lambda _: f"{BEGIN}\n{block}\n{END}", doc)
    with open(args.doc, "w", encoding="utf-8") as f:
        f.write(doc)
    print(block)


if __name__ == "__main__":
    main()
