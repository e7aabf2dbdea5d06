#!/usr/bin/env python3
"""Checks a built Quorvel.dll without running it: its export names and
ordinals, its header's OS and subsystem versions, that it stands alone (no
TLS directory, no C runtime sections; with --imports, an import table of
exactly the functions listed there), and that it ships stripped, with its
symbol file linked and a correct PE checksum.

    check_pe_image.py --objdump OBJDUMP --arch i686|x86_64 [--imports FILE] Quorvel.dll
"""
import argparse
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_file import PeFile  # noqa: E402

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
# Sections of MinGW's start-up code, whose initialisers nothing would run.
RUNTIME_SECTIONS = {'.CRT', '.tls'}
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


def sections(dump):
    return re.findall(r'^\s+\d+ (\S+)\s+[0-9a-f]{8}\s', dump, re.M)


def listed_imports(path):
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


def check_imports(dump, listed_path, problems):
    table = listed_imports(listed_path)
    found = {dll.lower(): (dll, functions) for dll, functions in imports(dump).items()}
    for key in sorted(set(found) | set(table)):
        dll, functions = found.get(key, (key, []))
        if key not in table:
            problems.append(f'imports from {dll}, which is none of the DLLs in {listed_path}')
            continue
        for function in sorted(set(functions) ^ table[key]):
            if function in table[key]:
                problems.append(f'does not import {dll}!{function}: take it off {listed_path}')
            else:
                problems.append(f'imports {dll}!{function}, which is not in {listed_path}')


def check_stands_alone(dump, image, problems):
    tls = re.search(r'^Entry 9 ([0-9a-f]+) ([0-9a-f]+)', dump, re.M)
    if not tls or int(tls.group(1), 16) or int(tls.group(2), 16):
        problems.append('has a TLS directory (thread-local data or a runtime callback)')
    names = sections(dump)
    for name in names:
        if name in RUNTIME_SECTIONS:
            problems.append(f'has a {name} section: C runtime start-up code was linked in')
        if name.startswith('.debug'):
            problems.append(f'has a {name} section: not stripped')
    if '.gnu_debuglink' not in names:
        problems.append('has no .gnu_debuglink to its symbol file')
    if image.stored_checksum() != image.computed_checksum():
        problems.append(f'PE checksum 0x{image.stored_checksum():08X}, should be 0x{image.computed_checksum():08X}')


def check(dump, image, arch, imports_path):
    problems = []
    expected = [(ordinal, name) for ordinal, name in enumerate(EXPORTS[arch], 1)]
    actual = exports(dump)
    if actual != expected:
        problems.append(f'exports {actual} are not {expected}')
    for field, value in HEADER_VERSIONS.items():
        m = re.search(rf'^{field}\s+(\S+)', dump, re.M)
        if not m or m.group(1) != value:
            problems.append(f'{field} is {m.group(1) if m else "missing"}, not {value}')
    check_stands_alone(dump, image, problems)
    if imports_path:
        check_imports(dump, imports_path, problems)
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--objdump', required=True)
    parser.add_argument('--arch', choices=sorted(EXPORTS), required=True)
    parser.add_argument('--imports')
    parser.add_argument('module')
    args = parser.parse_args()
    dump = subprocess.run([args.objdump, '-p', '-h', args.module], check=True, capture_output=True, text=True).stdout
    problems = check(dump, PeFile.read(args.module), args.arch, args.imports)
    for problem in problems:
        print(f'{args.module}: {problem}', file=sys.stderr)
    if not problems:
        listed = sum(len(f) for f in imports(dump).values())
        print(f'{args.module}: 6 exports, header 4.0, stands alone, stripped, checksum right, {listed} imports')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
