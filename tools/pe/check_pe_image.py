#!/usr/bin/env python3
"""Checks a built Quorvel.dll without running it: its export names and
ordinals, its header's OS and subsystem versions, and (with --allowed) that
every function it imports is one that Windows 95 and Windows NT 4.0 both have.

    check_pe_image.py --objdump OBJDUMP --arch i686|x86_64 [--allowed FILE] Quorvel.dll
"""
import argparse
import re
import subprocess
import sys

EXPORTS = {
    'i686': [
        '?DllDynamicMessageBox@@YAXII@Z',
        '?DllGetDynamicString@@YAKIPADKI@Z',
        '?DllGetString@@YAKIPADK@Z',
        '?DllMessageBox@@YAXI@Z',
        '?DllMessageBoxWithSuppliedSubString@@YAXIIPAD@Z',
        'GetStringFromQuorvelDll',
    ],
    'x86_64': [
        '?DllDynamicMessageBox@@YAXII@Z',
        '?DllGetDynamicString@@YAKIPEADKI@Z',
        '?DllGetString@@YAKIPEADK@Z',
        '?DllMessageBox@@YAXI@Z',
        '?DllMessageBoxWithSuppliedSubString@@YAXIIPEAD@Z',
        'GetStringFromQuorvelDll',
    ],
}
HEADER_VERSIONS = {'MajorOSystemVersion': '4', 'MinorOSystemVersion': '0',
                   'MajorSubsystemVersion': '4', 'MinorSubsystemVersion': '0'}


def exports(dump):
    """[(ordinal, name)] from the export directory."""
    base = int(re.search(r'Ordinal Base (\d+)', dump).group(1))
    table = dump.split('[Ordinal/Name Pointer] Table', 1)[1]
    found = []
    for index, name in re.findall(r'^\s+\[\s*(\d+)\]\s+(\S+)\s*$', table, re.M):
        found.append((int(index) + base, name))
    return found


def imports(dump):
    """{dll: [function]} from the import directory."""
    found = {}
    current = None
    for line in dump.splitlines():
        m = re.match(r'\s+DLL Name: (\S+)', line)
        if m:
            current = found.setdefault(m.group(1), [])
            continue
        m = re.match(r'\s+[0-9a-f]+\s+\d+\s+(\S+)\s*$', line)
        if current is not None and m:
            current.append(m.group(1))
        elif not line.strip():
            current = None
    return found


def allowed(path):
    table, dll = {}, None
    for line in open(path, encoding='utf-8'):
        line = line.split('#')[0].strip()
        if not line:
            continue
        if line.startswith('['):
            dll = line.strip('[]').lower()
            table[dll] = set()
        else:
            table[dll].add(line)
    return table


def check(dump, arch, allowed_path):
    problems = []
    expected = [(ordinal, name) for ordinal, name in enumerate(EXPORTS[arch], 1)]
    actual = exports(dump)
    if actual != expected:
        problems.append(f'exports {actual} are not {expected}')
    for field, value in HEADER_VERSIONS.items():
        m = re.search(rf'^{field}\s+(\S+)', dump, re.M)
        if not m or m.group(1) != value:
            problems.append(f'{field} is {m.group(1) if m else "missing"}, not {value}')
    if allowed_path:
        table = allowed(allowed_path)
        for dll, functions in imports(dump).items():
            if dll.lower() not in table:
                problems.append(f'imports from {dll}, which is not a system DLL of every target')
                continue
            for function in functions:
                if function not in table[dll.lower()]:
                    problems.append(f'imports {dll}!{function}, missing on Windows 95 or NT 4.0')
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--objdump', required=True)
    parser.add_argument('--arch', choices=sorted(EXPORTS), required=True)
    parser.add_argument('--allowed')
    parser.add_argument('module')
    args = parser.parse_args()
    dump = subprocess.run([args.objdump, '-p', args.module], check=True, capture_output=True, text=True).stdout
    problems = check(dump, args.arch, args.allowed)
    for problem in problems:
        print(f'{args.module}: {problem}', file=sys.stderr)
    if not problems:
        listed = sum(len(f) for f in imports(dump).values())
        print(f'{args.module}: 6 exports, header 4.0, {listed} imports checked')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
