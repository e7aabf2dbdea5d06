#!/usr/bin/python3
"""Checks a built Quorvel.dll without running it: its export names and
ordinals, its header's OS and subsystem versions, that it stands alone (no
TLS directory, no C runtime sections; with --imports, an import table of
exactly the functions listed there), and that it ships stripped, with its
symbol file linked and a correct PE checksum.

    check_pe_image.py --arch i686|x86_64 [--imports FILE] Quorvel.dll
"""
import argparse
import os
import sys

import pefile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'cmake'))
import pe_extras  # noqa: E402

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
HEADER_VERSIONS = {'MajorOperatingSystemVersion': 4, 'MinorOperatingSystemVersion': 0,
                   'MajorSubsystemVersion': 4, 'MinorSubsystemVersion': 0}


def exports(pe):
    """[(ordinal, name)] from the export directory, in ordinal order; a
    function exported by ordinal alone has the name None."""
    directory = getattr(pe, 'DIRECTORY_ENTRY_EXPORT', None)
    if directory is None:
        return []
    return [(symbol.ordinal, symbol.name.decode('ascii') if symbol.name else None) for symbol in directory.symbols]


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


def check_imports(pe, listed_path, problems):
    table = listed_imports(listed_path)
    found = {dll.lower(): (dll, functions) for dll, functions in pe_extras.imports(pe).items()}
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


def check_stands_alone(pe, problems):
    tls = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY['IMAGE_DIRECTORY_ENTRY_TLS']]
    if tls.VirtualAddress or tls.Size:
        problems.append('has a TLS directory (thread-local data or a runtime callback)')
    names = pe_extras.section_names(pe)
    for name in names:
        if name in RUNTIME_SECTIONS:
            problems.append(f'has a {name} section: C runtime start-up code was linked in')
        if name.startswith('.debug'):
            problems.append(f'has a {name} section: not stripped')
    if '.gnu_debuglink' not in names:
        problems.append('has no .gnu_debuglink to its symbol file')
    checksum = pe_extras.checksum_error(pe)
    if checksum:
        problems.append(checksum)


def check(pe, arch, imports_path):
    problems = []
    expected = [(ordinal, name) for ordinal, name in enumerate(EXPORTS[arch], 1)]
    actual = exports(pe)
    if actual != expected:
        problems.append(f'exports {actual} are not {expected}')
    for field, wanted in HEADER_VERSIONS.items():
        value = getattr(pe.OPTIONAL_HEADER, field)
        if value != wanted:
            problems.append(f'{field} is {value}, not {wanted}')
    check_stands_alone(pe, problems)
    if imports_path:
        check_imports(pe, imports_path, problems)
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--arch', choices=sorted(EXPORTS), required=True)
    parser.add_argument('--imports')
    parser.add_argument('module')
    args = parser.parse_args()
    pe = pe_extras.load(args.module)
    problems = check(pe, args.arch, args.imports)
    for problem in problems:
        print(f'{args.module}: {problem}', file=sys.stderr)
    if not problems:
        listed = sum(len(f) for f in pe_extras.imports(pe).values())
        print(f'{args.module}: 6 exports, header 4.0, stands alone, stripped, checksum right, {listed} imports')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
