#!/usr/bin/env python3
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

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_file import PeFile  # noqa: E402


class Refused(Exception):
    pass


def symbol_addresses(nm, module):
    output = subprocess.run([nm, module], check=True, capture_output=True, text=True).stdout
    return {m.group(2): int(m.group(1), 16) for m in re.finditer(r'^([0-9a-f]+) \S (\S+)$', output, re.M)}


def refuse_run_time_initialisation(nm, module):
    image = PeFile.read(module)
    addresses = symbol_addresses(nm, module)
    problems = []
    for table in ('__CTOR_LIST__', '__DTOR_LIST__'):
        if table not in addresses:
            problems.append(f'no {table} symbol to check')
            continue
        first_entry = addresses[table] - image.image_base + image.pointer_size
        if image.pointer_at(first_entry) != 0:
            kind = 'constructor' if table == '__CTOR_LIST__' else 'destructor'
            problems.append(f'a global needs a {kind} at run time ({table} is not empty), '
                            'which nothing runs in this module: make it constant-initialised')
    for section in image.sections:
        if section.name in ('.init_array', '.fini_array'):
            problems.append(f'section {section.name}: run-time initialisation that nothing runs')
    if problems:
        raise Refused('\n'.join(f'{module}: {p}' for p in problems))


def stamp(path, time_stamp):
    """The time stamps, then the checksum over them."""
    image = PeFile.read(path)
    image.set_time_stamps(time_stamp)
    image.set_checksum()
    image.write(path)


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
