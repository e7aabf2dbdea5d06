#!/usr/bin/env python3
"""Reads the resources back out of a built Quorvel.dll and checks them: the
version resource states the project's version and names the module, and the
string tables hold exactly the catalogue, every text of every variant.

    check_resources.py QUORVEL.DLL --version X.Y.Z[.T] --catalog CATALOG_RC

Exits 1 and names each difference when something is wrong.
"""
import argparse
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools', 'catalog'))
import catalog  # noqa: E402
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools', 'pe'))
from pe_file import PeError, PeFile  # noqa: E402

RT_STRING = 6
RT_VERSION = 16
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD
VFT_DLL = 2


class Resources:
    """The resource tree of a PE image: {type: {name: {language: bytes}}}."""

    def __init__(self, image):
        self.pe = PeFile(image)
        self.image = self.pe.image
        self.rva, size = self.pe.directory(2)
        if not self.rva or not size:
            raise PeError('no resource directory')
        self.base = self.pe.offset(self.rva)
        self.tree = self.directory(0, 3)

    def offset(self, rva):
        return self.pe.offset(rva)

    def directory(self, at, levels):
        named, numbered = struct.unpack_from('<HH', self.image, self.base + at + 12)
        entries = {}
        for i in range(named + numbered):
            name, target = struct.unpack_from('<II', self.image, self.base + at + 16 + 8 * i)
            if name & 0x80000000:
                length = struct.unpack_from('<H', self.image, self.base + (name & 0x7FFFFFFF))[0]
                start = self.base + (name & 0x7FFFFFFF) + 2
                name = self.image[start:start + 2 * length].decode('utf-16-le')
            if target & 0x80000000:
                if levels == 1:
                    raise PeError('resource tree deeper than type, name, language')
                entries[name] = self.directory(target & 0x7FFFFFFF, levels - 1)
            else:
                data_rva, size = struct.unpack_from('<II', self.image, self.base + target)
                start = self.offset(data_rva)
                entries[name] = self.image[start:start + size]
        return entries


def string_tables(resources):
    """{language: {id: text}} from the RT_STRING blocks; empty slots left out."""
    tables = {}
    for block, languages in resources.get(RT_STRING, {}).items():
        for language, data in languages.items():
            entries = tables.setdefault(language, {})
            at = 0
            for slot in range(16):
                length = struct.unpack_from('<H', data, at)[0]
                text = data[at + 2:at + 2 + 2 * length].decode('utf-16-le')
                at += 2 + 2 * length
                if length:
                    entries[(block - 1) * 16 + slot] = text
    return tables


def version_block(data, at):
    """One node of VS_VERSIONINFO: (key, value, children, end)."""
    length, value_length, value_type = struct.unpack_from('<HHH', data, at)
    end = at + length
    key_start = at + 6
    key_end = key_start
    while data[key_end:key_end + 2] != b'\0\0':
        key_end += 2
    key = data[key_start:key_end].decode('utf-16-le')
    value_at = (key_end + 2 + 3) & ~3
    if value_type == 1:
        value = data[value_at:value_at + 2 * value_length].decode('utf-16-le').rstrip('\0')
        value_size = 2 * value_length
    else:
        value = data[value_at:value_at + value_length]
        value_size = value_length
    children = []
    child = (value_at + value_size + 3) & ~3
    while child < end:
        node = version_block(data, child)
        children.append(node)
        child = (node[3] + 3) & ~3
    return key, value, children, end


def version_numbers(text):
    parts = [int(p) for p in text.split('.')]
    return (parts + [0, 0, 0, 0])[:4]


def check_version(resources, version, problems):
    blocks = resources.get(RT_VERSION, {})
    if len(blocks) != 1 or 1 not in blocks:
        problems.append(f'version resource: expected one, named 1, found {sorted(blocks)}')
        return
    languages = blocks[1]
    if len(languages) != 1:
        problems.append(f'version resource: in {len(languages)} languages, expected one')
        return
    key, fixed, children, _ = version_block(next(iter(languages.values())), 0)
    if key != 'VS_VERSION_INFO' or len(fixed) != 52:
        problems.append(f'version resource: root {key!r} with {len(fixed)} bytes of fixed information')
        return
    (signature, _, file_ms, file_ls, product_ms, product_ls, _, flags, file_os, file_type,
     _, _, _) = struct.unpack('<13I', fixed)
    major, minor, patch, tweak = version_numbers(version)
    expected = ((major << 16) | minor, (patch << 16) | tweak)
    if signature != VS_FIXEDFILEINFO_SIGNATURE:
        problems.append(f'version resource: fixed information signature 0x{signature:08X}')
    if (file_ms, file_ls) != expected:
        problems.append(f'version resource: FILEVERSION {file_ms >> 16}.{file_ms & 0xFFFF}.'
                        f'{file_ls >> 16}.{file_ls & 0xFFFF}, expected {version}')
    if (product_ms, product_ls) != expected:
        problems.append(f'version resource: PRODUCTVERSION {product_ms >> 16}.{product_ms & 0xFFFF}.'
                        f'{product_ls >> 16}.{product_ls & 0xFFFF}, expected {version}')
    if file_type != VFT_DLL:
        problems.append(f'version resource: FILETYPE {file_type}, expected VFT_DLL')
    if flags != 0:
        problems.append(f'version resource: FILEFLAGS 0x{flags:X} (debug, pre-release or patched)')
    if file_os & 0xFFFF != 0x4:
        problems.append(f'version resource: FILEOS 0x{file_os:X}, not 32-bit Windows')

    sections = {node[0]: node for node in children}
    translations = []
    if 'VarFileInfo' in sections:
        for var in sections['VarFileInfo'][2]:
            if var[0] == 'Translation':
                translations = [struct.unpack_from('<HH', var[1], i) for i in range(0, len(var[1]), 4)]
    if 'StringFileInfo' not in sections or len(sections['StringFileInfo'][2]) != 1:
        problems.append('version resource: expected one string table under StringFileInfo')
        return
    table_key, _, strings, _ = sections['StringFileInfo'][2][0]
    if [f'{language:04X}{code_page:04X}' for language, code_page in translations] != [table_key.upper()]:
        problems.append(f'version resource: Translation {translations} does not name string table {table_key}')
    values = {node[0]: node[1] for node in strings}
    wanted = {'FileVersion': version, 'ProductVersion': version, 'OriginalFilename': 'Quorvel.dll'}
    for name, value in wanted.items():
        if values.get(name) != value:
            problems.append(f'version resource: {name} is {values.get(name)!r}, expected {value!r}')
    for name in ('CompanyName', 'FileDescription', 'ProductName', 'InternalName'):
        if not values.get(name):
            problems.append(f'version resource: {name} missing or empty')


def check_strings(resources, catalog_rc, problems):
    reader = catalog.Parser()
    reader.parse_file(catalog_rc)
    served = string_tables(resources)
    for language in sorted(set(served) | set(reader.variants)):
        name = f'variant 0x{language:04X}'
        if language not in reader.variants:
            problems.append(f'string table {name}: not in the catalogue')
            continue
        if language not in served:
            problems.append(f'string table {name}: missing from the module')
            continue
        want, have = reader.variants[language], served[language]
        for string_id in sorted(set(want) | set(have)):
            if string_id not in have:
                problems.append(f'ID {string_id}, {name}: missing from the module')
            elif string_id not in want:
                problems.append(f'ID {string_id}, {name}: in the module, not in the catalogue')
            elif have[string_id] != want[string_id]:
                problems.append(f'ID {string_id}, {name}: module has {have[string_id]!r}, '
                                f'catalogue {want[string_id]!r}')


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('module')
    parser.add_argument('--version', required=True)
    parser.add_argument('--catalog', required=True, help='catalog/catalog.rc')
    args = parser.parse_args()
    with open(args.module, 'rb') as f:
        resources = Resources(f.read()).tree
    problems = []
    check_version(resources, args.version, problems)
    check_strings(resources, args.catalog, problems)
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        return 1
    texts = sum(len(entries) for entries in string_tables(resources).values())
    print(f'{args.module}: version {args.version}, {texts} catalogue texts intact')
    return 0


if __name__ == '__main__':
    sys.exit(main())
