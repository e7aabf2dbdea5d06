#!/usr/bin/env python3
"""Reads the string catalogue from its resource scripts, checks it, and writes
it out as a C++ table for the builds that cannot use the compiled resources
(the native stand-in) and for the tests that compare served bytes.

    catalog.py CATALOG_RC [--table OUT.cpp] [--fingerprints OUT.txt] [--dump]

The checks stop the build with the ID, the variant and the reason when a
variant lacks an ID or holds one outside the catalogue's ranges, when a text
shared by all variants differs between them, or when a text would not fit the
loader's fixed first buffer in its variant's ANSI code page.

--fingerprints rewrites the committed fingerprints that the tests compare what
the module serves against; run it after a deliberate change of a text.
"""
import argparse
import hashlib
import os
import re
import sys

RANGES = ((1, 37), (101, 118), (1001, 1005), (20001, 20011))
LOCALIZED = range(20001, 20012)
# The ANSI code page a variant's texts are shown in.
CODE_PAGES = {0x0004: 'cp936', 0x0411: 'cp932', 0x0412: 'cp949'}
DEFAULT_CODE_PAGE = 'cp1252'
# The loader's first buffer is 256 bytes, and a count within two bytes of it
# is taken as possibly cut: 253 bytes is the longest single-load text.
MAX_SINGLE_LOAD = 253
VARIANTS = (0x0004, 0x0007, 0x000A, 0x000C, 0x0010, 0x0013, 0x0016, 0x0409, 0x0411, 0x0412)


class CatalogError(Exception):
    pass


def catalog_ids():
    return [i for lo, hi in RANGES for i in range(lo, hi + 1)]


def unescape(body, where):
    out, i = [], 0
    while i < len(body):
        c = body[i]
        if c == '"':
            if body[i + 1:i + 2] != '"':
                raise CatalogError(f'{where}: lone quotation mark inside a string')
            out.append('"')
            i += 2
        elif c == '\\':
            nxt = body[i + 1:i + 2]
            if nxt != 'n':
                raise CatalogError(f'{where}: unsupported escape \\{nxt}')
            out.append('\n')
            i += 2
        else:
            out.append(c)
            i += 1
    return ''.join(out)


STRING = r'"((?:[^"]|"")*)"'


class Parser:
    def __init__(self):
        self.macros = {}
        self.variants = {}          # language -> {id: text}
        self.language = None
        self.in_table = False

    def value(self, token, where):
        token = token.strip()
        m = re.fullmatch(STRING, token)
        if m:
            return unescape(m.group(1), where)
        if token in self.macros:
            return self.macros[token]
        raise CatalogError(f'{where}: unknown text {token!r}')

    def parse_file(self, path):
        with open(path, encoding='utf-8') as f:
            source = f.read()
        source = re.sub(r'/\*.*?\*/', lambda m: '\n' * m.group(0).count('\n'), source, flags=re.S)
        for number, line in enumerate(source.split('\n'), 1):
            self.parse_line(line.split('//')[0].strip() if '"' not in line else line.strip(), path, number)

    def parse_line(self, line, path, number):
        where = f'{os.path.basename(path)}:{number}'
        if not line or line.startswith('#pragma'):
            return
        if m := re.fullmatch(r'#include\s+"([^"]+)"', line):
            return self.parse_file(os.path.join(os.path.dirname(path), m.group(1)))
        if m := re.fullmatch(r'#define\s+(\w+)\s+(.+)', line):
            self.macros[m.group(1)] = self.value(m.group(2), where)
            return
        if m := re.fullmatch(r'#undef\s+(\w+)', line):
            self.macros.pop(m.group(1), None)
            return
        if m := re.fullmatch(r'LANGUAGE\s+(0x[0-9A-Fa-f]+|\d+)\s*,\s*(0x[0-9A-Fa-f]+|\d+)', line):
            self.language = int(m.group(1), 0) | (int(m.group(2), 0) << 10)
            self.variants.setdefault(self.language, {})
            return
        if line == 'STRINGTABLE':
            if self.language is None:
                raise CatalogError(f'{where}: STRINGTABLE before LANGUAGE')
            return
        if line == 'BEGIN':
            self.in_table = True
            return
        if line == 'END':
            self.in_table = False
            return
        if self.in_table and (m := re.fullmatch(r'(\d+)\s*,\s*(.+)', line)):
            entries = self.variants[self.language]
            string_id = int(m.group(1))
            if string_id in entries:
                raise CatalogError(f'{where}: ID {string_id} twice in variant 0x{self.language:04X}')
            entries[string_id] = self.value(m.group(2), where)
            return
        raise CatalogError(f'{where}: cannot read {line!r}')


def check(variants):
    problems = []
    wanted = set(catalog_ids())
    for language in VARIANTS:
        if language not in variants:
            problems.append(f'variant 0x{language:04X}: missing')
    for language, entries in sorted(variants.items()):
        name = f'variant 0x{language:04X}'
        if language not in VARIANTS:
            problems.append(f'{name}: not one of the catalogue\'s ten variants')
        for string_id in sorted(wanted - set(entries)):
            problems.append(f'ID {string_id}, {name}: missing')
        for string_id in sorted(set(entries) - wanted):
            problems.append(f'ID {string_id}, {name}: outside the catalogue\'s ranges')
        code_page = CODE_PAGES.get(language, DEFAULT_CODE_PAGE)
        for string_id, text in sorted(entries.items()):
            try:
                size = len(text.encode(code_page))
            except UnicodeEncodeError as e:
                problems.append(f'ID {string_id}, {name}: not representable in {code_page} ({e.reason})')
                continue
            if size > MAX_SINGLE_LOAD:
                problems.append(f'ID {string_id}, {name}: {size} bytes in {code_page}, more than {MAX_SINGLE_LOAD}')
    reference = variants.get(0x0409, {})
    for language, entries in sorted(variants.items()):
        for string_id, text in sorted(entries.items()):
            if string_id not in LOCALIZED and string_id in reference and text != reference[string_id]:
                problems.append(f'ID {string_id}, variant 0x{language:04X}: differs from the text shared by '
                                f'all variants ({text!r} against {reference[string_id]!r})')
    if problems:
        raise CatalogError('\n'.join(problems))


def cpp_literal(text):
    return 'u"' + ''.join(c if c.isascii() and c.isprintable() and c not in '"\\?' else f'\\u{ord(c):04X}'
                          for c in text) + '"'


def write_table(variants, path):
    lines = ['// Generated from the catalogue\'s resource scripts by tools/catalog/catalog.py.',
             '#include "catalog/catalog_table.h"', '', 'namespace quorvel::catalog {', '',
             'const Entry kEntries[] = {']
    for language, entries in sorted(variants.items()):
        for string_id, text in sorted(entries.items()):
            lines.append(f'    {{0x{language:04X}, {string_id}, {cpp_literal(text)}}},')
    lines += ['};', '', 'const std::size_t kEntryCount = sizeof kEntries / sizeof kEntries[0];', '',
              '}  // namespace quorvel::catalog', '']
    content = '\n'.join(lines)
    if os.path.exists(path) and open(path, encoding='utf-8').read() == content:
        return
    with open(path, 'w', encoding='utf-8') as f:
        f.write(content)


FINGERPRINTS_HEADER = """\
# What each language variant of the catalogue serves: the SHA-256 of its texts
# in ID order, each followed by its NUL, in the variant's ANSI code page; then,
# for each ID, the first 8 hex digits of the SHA-256 of its text alone, which
# name the ID whose text changed. The texts themselves live only in catalog/.
# After a deliberate change of a text, rewrite this file in the same commit:
#   tools/catalog/catalog.py catalog/catalog.rc --fingerprints tests/catalog/fingerprints.txt
"""


def write_fingerprints(variants, path):
    served = {language: [entries[i].encode(CODE_PAGES.get(language, DEFAULT_CODE_PAGE)) for i in catalog_ids()]
              for language, entries in sorted(variants.items())}
    lines = [FINGERPRINTS_HEADER.rstrip('\n')]
    for language, texts in served.items():
        digest = hashlib.sha256(b''.join(text + b'\0' for text in texts)).hexdigest()
        code_page = CODE_PAGES.get(language, DEFAULT_CODE_PAGE).removeprefix('cp')
        lines.append(f'variant 0x{language:04X} {code_page} {digest}')
    lines.append('# ID    ' + '   '.join(f'0x{language:04X}' for language in served))
    for row, string_id in enumerate(catalog_ids()):
        digests = ' '.join(hashlib.sha256(texts[row]).hexdigest()[:8] for texts in served.values())
        lines.append(f'{string_id:<7} {digests}')
    with open(path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines) + '\n')


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('catalog_rc')
    parser.add_argument('--table', help='write the C++ table here')
    parser.add_argument('--fingerprints', help='rewrite the committed fingerprints here')
    parser.add_argument('--dump', action='store_true', help='print every text')
    args = parser.parse_args()
    try:
        reader = Parser()
        reader.parse_file(args.catalog_rc)
        check(reader.variants)
    except CatalogError as e:
        print(f'catalogue error:\n{e}', file=sys.stderr)
        return 1
    if args.table:
        write_table(reader.variants, args.table)
    if args.fingerprints:
        write_fingerprints(reader.variants, args.fingerprints)
    if args.dump:
        for language, entries in sorted(reader.variants.items()):
            for string_id, text in sorted(entries.items()):
                print(f'0x{language:04X}\t{string_id}\t{text!r}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
