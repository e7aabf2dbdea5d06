#!/usr/bin/python3
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

import pefile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'catalog'))
import catalog  # noqa: E402
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'cmake'))
import pe_extras  # noqa: E402

RT_STRING = pefile.RESOURCE_TYPE['RT_STRING']
RT_VERSION = pefile.RESOURCE_TYPE['RT_VERSION']
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD
VFT_DLL = 2


def entry_key(entry):
    """A resource's number, or its name where it has one."""
    return entry.id if entry.name is None else entry.name.decode('utf-8')


def resource_tree(pe):
    """{type: {name: {language: bytes}}} from pefile's parse of the resource
    directory, which keeps the levels apart but reads no data."""
    root = getattr(pe, 'DIRECTORY_ENTRY_RESOURCE', None)
    if root is None:
        sys.exit('no resource directory')
    tree = {}
    for kind in root.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                if not hasattr(language, 'data'):
                    sys.exit('resource tree deeper than type, name, language')
                data = language.data.struct
                names = tree.setdefault(entry_key(kind), {})
                names.setdefault(entry_key(name), {})[language.id] = pe.get_data(data.OffsetToData, data.Size)
    return tree


def string_tables(resources):
    """{language: {id: text}} from the RT_STRING blocks; empty slots left out.
    pefile's own reading of them merges the languages of a block."""
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


def version_numbers(text):
    parts = [int(p) for p in text.split('.')]
    return (parts + [0, 0, 0, 0])[:4]


def dotted(ms, ls):
    return f'{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}'


def translation(var_file_info):
    """The string table that VarFileInfo's Translation names ('040904B0'),
    or what stands there instead. pefile keeps only the last language and
    code page of the value: its length tells whether there was just one."""
    for var in getattr(var_file_info, 'Var', []):
        value = getattr(var, 'entry', {}).get(b'Translation')
        if value:
            if var.ValueLength != 4:
                return f'{var.ValueLength // 4} languages and code pages'
            return value.replace('0x', '').replace(' ', '').upper()
    return None


def check_version(pe, resources, version, problems):
    """The one version resource, as pefile parses it: pefile keeps a block
    only when its root is VS_VERSION_INFO."""
    blocks = resources.get(RT_VERSION, {})
    if len(blocks) != 1 or 1 not in blocks:
        problems.append(f'version resource: expected one, named 1, found {sorted(blocks)}')
        return
    languages = blocks[1]
    if len(languages) != 1:
        problems.append(f'version resource: in {len(languages)} languages, expected one')
        return
    root = getattr(pe, 'VS_VERSIONINFO', [None])[0]
    if root is None or root.ValueLength != 52 or not hasattr(pe, 'VS_FIXEDFILEINFO'):
        found = f'{root.ValueLength} bytes of fixed information' if root else 'another root'
        problems.append(f'version resource: VS_VERSION_INFO with 52 bytes of fixed information expected, '
                        f'found {found}')
        return
    fixed = pe.VS_FIXEDFILEINFO[0]
    major, minor, patch, tweak = version_numbers(version)
    expected = ((major << 16) | minor, (patch << 16) | tweak)
    if fixed.Signature != VS_FIXEDFILEINFO_SIGNATURE:
        problems.append(f'version resource: fixed information signature 0x{fixed.Signature:08X}')
    if (fixed.FileVersionMS, fixed.FileVersionLS) != expected:
        problems.append(f'version resource: FILEVERSION {dotted(fixed.FileVersionMS, fixed.FileVersionLS)}, '
                        f'expected {version}')
    if (fixed.ProductVersionMS, fixed.ProductVersionLS) != expected:
        problems.append(f'version resource: PRODUCTVERSION '
                        f'{dotted(fixed.ProductVersionMS, fixed.ProductVersionLS)}, expected {version}')
    if fixed.FileType != VFT_DLL:
        problems.append(f'version resource: FILETYPE {fixed.FileType}, expected VFT_DLL')
    if fixed.FileFlags != 0:
        problems.append(f'version resource: FILEFLAGS 0x{fixed.FileFlags:X} (debug, pre-release or patched)')
    if fixed.FileOS & 0xFFFF != 0x4:
        problems.append(f'version resource: FILEOS 0x{fixed.FileOS:X}, not 32-bit Windows')
    check_version_strings(pe, version, problems)


def check_version_strings(pe, version, problems):
    sections = {entry.Key.decode('utf-8'): entry for entry in getattr(pe, 'FileInfo', [[]])[0]}
    tables = getattr(sections.get('StringFileInfo'), 'StringTable', [])
    if len(tables) != 1:
        problems.append('version resource: expected one string table under StringFileInfo')
        return
    table_key = tables[0].LangID.decode('utf-8')
    named = translation(sections.get('VarFileInfo'))
    if named != table_key.upper():
        problems.append(f'version resource: Translation {named} does not name string table {table_key}')
    values = {key.decode('utf-8'): value.decode('utf-8') for key, value in tables[0].entries.items()}
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
    pe = pe_extras.load(args.module)
    resources = resource_tree(pe)
    problems = []
    check_version(pe, resources, args.version, problems)
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
