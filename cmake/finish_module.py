#!/usr/bin/python3
"""Turns the linked Quorvel.dll into the one that ships, in place:

    finish_module.py --nm NM --objcopy OBJCOPY --time-stamp SECONDS Quorvel.dll

1. Refuses a module whose globals need constructors or destructors at run
   time: the module has no C runtime start-up code, so nothing would run
   them. The linker's __CTOR_LIST__ and __DTOR_LIST__ must hold no entry
   between their -1 and 0 markers, and no .init_array/.fini_array may exist.
   A refused module is deleted, so that the build stays failed.
2. Moves the debug information into Quorvel.dll.debug beside it, linked by a
   .gnu_debuglink section, and strips the module.
3. Writes the given time (the commit's) into the file header and the export
   directory of both files instead of the time of the build, then their PE
   checksums.
"""
import argparse
import os
import re
import subprocess
import sys

import pefile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe_extras  # noqa: E402


class Refused(Exception):
    pass


def symbol_addresses(nm, module):
    output = subprocess.run([nm, module], check=True, capture_output=True, text=True).stdout
    return {m.group(2): int(m.group(1), 16) for m in re.finditer(r'^([0-9a-f]+) \S (\S+)$', output, re.M)}


def refuse_run_time_initialisation(nm, module):
    pe = pe_extras.load(module, fast_load=True)
    addresses = symbol_addresses(nm, module)
    pe32_plus = pe.PE_TYPE == pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS
    pointer_size, pointer_at = (8, pe.get_qword_at_rva) if pe32_plus else (4, pe.get_dword_at_rva)
    problems = []
    for table in ('__CTOR_LIST__', '__DTOR_LIST__'):
        if table not in addresses:
            problems.append(f'no {table} symbol to check')
            continue
        first_entry = addresses[table] - pe.OPTIONAL_HEADER.ImageBase + pointer_size
        if pointer_at(first_entry) != 0:
            kind = 'constructor' if table == '__CTOR_LIST__' else 'destructor'
            problems.append(f'a global needs a {kind} at run time ({table} is not empty), '
                            'which nothing runs in this module: make it constant-initialised')
    for name in pe_extras.section_names(pe):
        if name in ('.init_array', '.fini_array'):
            problems.append(f'section {name}: run-time initialisation that nothing runs')
    if problems:
        raise Refused('\n'.join(f'{module}: {p}' for p in problems))


def stamp(path, time_stamp):
    """The time stamps, then the checksum over them. A debug file keeps the
    section headers but not their contents: pefile finds no export directory
    there, and only the file header is stamped."""
    pe = pe_extras.load(path, fast_load=True)
    pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY['IMAGE_DIRECTORY_ENTRY_EXPORT']])
    pe.FILE_HEADER.TimeDateStamp = time_stamp
    if hasattr(pe, 'DIRECTORY_ENTRY_EXPORT'):
        pe.DIRECTORY_ENTRY_EXPORT.struct.TimeDateStamp = time_stamp
    pe.OPTIONAL_HEADER.CheckSum = pe.generate_checksum()
    pe.write(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--nm', required=True)
    parser.add_argument('--objcopy', required=True)
    parser.add_argument('--time-stamp', type=int, required=True)
    parser.add_argument('module')
    args = parser.parse_args()

    try:
        refuse_run_time_initialisation(args.nm, args.module)
    except Refused as e:
        os.remove(args.module)
        print(e, file=sys.stderr)
        return 1

    directory, name = os.path.split(os.path.abspath(args.module))
    debug = name + '.debug'

    def objcopy(*options):
        subprocess.run([args.objcopy, *options], check=True, cwd=directory)

    objcopy('--only-keep-debug', name, debug)
    # The link's CRC covers the debug file, so that file is stamped first.
    stamp(os.path.join(directory, debug), args.time_stamp)
    objcopy('--strip-all', f'--add-gnu-debuglink={debug}', name)
    stamp(args.module, args.time_stamp)
    return 0


if __name__ == '__main__':
    sys.exit(main())
