#!/usr/bin/env python3
"""Reads the string catalogue from its resource scripts, checks it, and writes
it out as a C++ table for the builds that cannot use the compiled resources
(the native stand-in) and for the tests that compare served bytes.

    catalog.py CATALOG_RC [--table OUT.cpp] [--locales OUT.inc] [--variant-locales]
                          [--fingerprints OUT.txt] [--pseudo-rc OUT.rc] [--dump]

A variant is a resource script strings/NAME.rc that CATALOG_RC includes; its
LANGUAGE statement gives its language, and the table of Windows languages
(catalog/windows_languages.txt) its ANSI code page and the locale
it is tested in. Nothing else names a variant.

The checks stop the build with the ID, the variant and the reason when a
variant lacks an ID or holds one outside the catalogue's ranges, when a text
shared by all variants differs between them, or when a text would not fit the
loader's fixed first buffer in its variant's ANSI code page; and name the
variant or script when a variant's language has no locale in the table, or
when CATALOG_RC does not include a variant's script.

--locales writes the table of locales, variants and IDs that the quorvel
program and the tests share (C++);
--variant-locales prints each variant's locale, one a line, for CMake.
--fingerprints rewrites the committed fingerprints that the tests compare what
the module serves against; run it after a deliberate change of a text.
--pseudo-rc writes the pseudo-localized test build's resource script: every
text of every variant in its pseudo form (pseudo_text), generated from the
checked catalogue. Pseudo texts may outgrow the loader's first buffer: the
module's path for long texts then serves them.
"""
import argparse
import collections
import glob
import hashlib
import os
import re
import sys

# The catalogue's IDs: the one place their ranges are written. The last range
# holds the names that Windows itself shows, which each variant words its own
# way; every other text is the same in every variant.
RANGES = ((1, 37), (101, 118), (1001, 1005), (20001, 20011))
LOCALIZED = range(RANGES[-1][0], RANGES[-1][1] + 1)
# The variant whose texts the others share.
REFERENCE = 0x0409
# The loader's first buffer is 256 bytes, and a count within two bytes of it
# is taken as possibly cut: 253 bytes is the longest single-load text.
MAX_SINGLE_LOAD = 253
LANGUAGES_TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'windows_languages.txt')

# The pseudo forms of each code page that a variant runs in: the letters that
# are swapped, their look-alikes, and the padding that lengthens a text. Every
# character is one of the code page's own, so a host sees it rather than "?".
# The double-byte code pages get full-width letters, and padding whose second
# bytes fall in the ASCII range: 0x5C, the backslash, in each of 932's.
ASCII_LETTERS = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz'
FULL_WIDTH_LETTERS = ''.join(chr(0xFF21 + i) for i in range(26)) + ''.join(chr(0xFF41 + i) for i in range(26))
PSEUDO_FORMS = {
    1252: ('ACDEINOSUYZacdefinosuyz', 'ÅÇÐÉÎÑÖŠÜÝŽåçðéƒîñöšüýž', '·ÀÉÎÕÜ€Ÿ'),
    932: (ASCII_LETTERS, FULL_WIDTH_LETTERS, 'ソ表十能'),
    936: (ASCII_LETTERS, FULL_WIDTH_LETTERS, '開關說這誠'),
    949: (ASCII_LETTERS, FULL_WIDTH_LETTERS, '똠햏쓔갂'),
}
# A placeholder token, which expansion looks for byte for byte: kept as it is,
# and a text that is one token (1001 to 1005) is not bracketed either.
TOKEN = re.compile(r'<[^<>]*>')

Locale = collections.namedtuple('Locale', 'language name code_page')


class CatalogError(Exception):
    pass


def catalog_ids():
    return [i for lo, hi in RANGES for i in range(lo, hi + 1)]


def windows_locales(path=LANGUAGES_TABLE):
    """The table of Windows languages, in its order."""
    with open(path, encoding='utf-8') as f:
        rows = [line.split() for line in f if line.strip() and not line.startswith('#')]
    return [Locale(int(language, 16), name, int(code_page)) for language, name, code_page in rows]


def variant_locale(language, locales):
    """The locale that stands for a variant: the row of its language, or for
    the neutral sublanguage the first row of its primary language."""
    for locale in locales:
        if locale.language == language or (language < 0x400 and locale.language & 0x3FF == language):
            return locale
    return None


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
        self.scripts = []           # every file read, in order

    def value(self, token, where):
        token = token.strip()
        m = re.fullmatch(STRING, token)
        if m:
            return unescape(m.group(1), where)
        if token in self.macros:
            return self.macros[token]
        raise CatalogError(f'{where}: unknown text {token!r}')

    def parse_file(self, path):
        self.scripts.append(os.path.abspath(path))
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


def check(reader, catalog_rc, locales):
    """Checks the catalogue; returns each variant's locale."""
    variants = reader.variants
    problems = []
    for script in sorted(glob.glob(os.path.join(os.path.dirname(os.path.abspath(catalog_rc)), 'strings', '*.rc'))):
        if script not in reader.scripts:
            problems.append(f'{os.path.basename(script)}: a variant\'s script that '
                            f'{os.path.basename(catalog_rc)} does not include')
    wanted = set(catalog_ids())
    variant_locales = {}
    for language, entries in sorted(variants.items()):
        name = f'variant 0x{language:04X}'
        locale = variant_locale(language, locales)
        if locale is None:
            problems.append(f'{name}: its language has no locale in {os.path.basename(LANGUAGES_TABLE)}')
            continue
        variant_locales[language] = locale
        for string_id in sorted(wanted - set(entries)):
            problems.append(f'ID {string_id}, {name}: missing')
        for string_id in sorted(set(entries) - wanted):
            problems.append(f'ID {string_id}, {name}: outside the catalogue\'s ranges')
        code_page = f'cp{locale.code_page}'
        for string_id, text in sorted(entries.items()):
            try:
                size = len(text.encode(code_page))
            except UnicodeEncodeError as e:
                problems.append(f'ID {string_id}, {name}: not representable in {code_page} ({e.reason})')
                continue
            if size > MAX_SINGLE_LOAD:
                problems.append(f'ID {string_id}, {name}: {size} bytes in {code_page}, more than {MAX_SINGLE_LOAD}')
    reference = variants.get(REFERENCE, {})
    for language, entries in sorted(variants.items()):
        for string_id, text in sorted(entries.items()):
            if string_id not in LOCALIZED and string_id in reference and text != reference[string_id]:
                problems.append(f'ID {string_id}, variant 0x{language:04X}: differs from the text shared by '
                                f'all variants ({text!r} against {reference[string_id]!r})')
    if problems:
        raise CatalogError('\n'.join(problems))
    return variant_locales


def pseudo_text(text, code_page):
    """The pseudo form: "[", the text with its letters swapped, padding of
    40 % of its length (one character at least), "]"."""
    if TOKEN.fullmatch(text):
        return text
    letters, look_alikes, padding = PSEUDO_FORMS[code_page]
    swap = str.maketrans(letters, look_alikes)
    pieces = TOKEN.split(text)
    tokens = TOKEN.findall(text) + ['']
    count = max(1, (2 * len(text) + 4) // 5)
    return '[' + ''.join(piece.translate(swap) + token for piece, token in zip(pieces, tokens)) + \
        (padding * count)[:count] + ']'


def write_pseudo_rc(variants, variant_locales, path):
    lines = ['#pragma code_page(65001)',
             '/* The pseudo-localized test build\'s catalogue, generated by catalog/catalog.py',
             '   from the catalogue\'s resource scripts. Never shipped. */']
    problems = []
    for language, entries in sorted(variants.items()):
        code_page = variant_locales[language].code_page
        if code_page not in PSEUDO_FORMS:
            problems.append(f'variant 0x{language:04X}: no pseudo form for code page {code_page}')
            continue
        lines += ['', f'LANGUAGE 0x{language & 0x3FF:02X}, 0x{language >> 10:02X}', 'STRINGTABLE', 'BEGIN']
        for string_id, text in sorted(entries.items()):
            escaped = pseudo_text(text, code_page).replace('"', '""').replace('\n', '\\n')
            lines.append(f'    {string_id}, "{escaped}"')
        lines.append('END')
    if problems:
        raise CatalogError('\n'.join(problems))
    write_if_changed(path, lines)


def cpp_literal(text):
    return 'u"' + ''.join(c if c.isascii() and c.isprintable() and c not in '"\\?' else f'\\u{ord(c):04X}'
                          for c in text) + '"'


def write_if_changed(path, lines):
    """Writes the file unless it holds these lines already, so that nothing built from it is rebuilt."""
    content = '\n'.join(lines) + '\n'
    if os.path.exists(path) and open(path, encoding='utf-8').read() == content:
        return
    with open(path, 'w', encoding='utf-8') as f:
        f.write(content)


def write_table(variants, path):
    lines = ['// Generated from the catalogue\'s resource scripts by catalog/catalog.py.',
             '#include "catalog/catalog_table.h"', '', 'namespace quorvel::catalog {', '',
             'const Entry kEntries[] = {']
    for language, entries in sorted(variants.items()):
        for string_id, text in sorted(entries.items()):
            lines.append(f'    {{0x{language:04X}, {string_id}, {cpp_literal(text)}}},')
    lines += ['};', '', 'const std::size_t kEntryCount = sizeof kEntries / sizeof kEntries[0];', '',
              '}  // namespace quorvel::catalog']
    write_if_changed(path, lines)


def cpp_locale(locale):
    return f'{{"{locale.name}", 0x{locale.language:04X}, {locale.code_page}}}'


def write_locales(locales, variant_locales, path):
    """The tables of tools/machine/locales.h."""
    ids = catalog_ids()
    lines = ['// Generated by catalog/catalog.py from its table of Windows languages',
             '// and the catalogue\'s resource scripts; included by tools/machine/locales.h.',
             'inline constexpr Locale kLocales[] = {']
    lines += [f'    {cpp_locale(locale)},' for locale in locales]
    lines += ['};', 'inline constexpr Variant kVariants[] = {']
    lines += [f'    {{0x{language:04X}, {cpp_locale(locale)}}},' for language, locale in sorted(variant_locales.items())]
    lines += ['};', 'inline constexpr unsigned kCatalogIds[] = {']
    lines += ['    ' + ' '.join(f'{i},' for i in ids[at:at + 16]) for at in range(0, len(ids), 16)]
    lines += ['};', f'inline constexpr unsigned kFirstLocalizedId = {LOCALIZED[0]};',
              'inline constexpr PseudoForm kPseudoForms[] = {']
    lines += [f'    {{{code_page}, {cpp_literal(letters)}, {cpp_literal(look_alikes)}, {cpp_literal(padding)}}},'
              for code_page, (letters, look_alikes, padding) in sorted(PSEUDO_FORMS.items())]
    lines += ['};']
    write_if_changed(path, lines)


FINGERPRINTS_HEADER = """\
# What each language variant of the catalogue serves, one line per variant and
# ID, sorted: the SHA-256 of the ID's text in the variant's ANSI code page,
# without its NUL. The texts themselves live only in catalog/. After a
# deliberate change of a text, or a variant added, rewrite this file in the
# same commit:
#   catalog/catalog.py catalog/catalog.rc --fingerprints tests/catalog/fingerprints.txt
# variant    ID SHA-256"""


def write_fingerprints(variants, variant_locales, path):
    lines = [FINGERPRINTS_HEADER]
    for language, entries in sorted(variants.items()):
        code_page = f'cp{variant_locales[language].code_page}'
        for string_id in catalog_ids():
            digest = hashlib.sha256(entries[string_id].encode(code_page)).hexdigest()
            lines.append(f'0x{language:04X} {string_id:>5} {digest}')
    with open(path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines) + '\n')


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('catalog_rc')
    parser.add_argument('--table', help='write the C++ table here')
    parser.add_argument('--locales', help='write the table of locales, variants and IDs here')
    parser.add_argument('--variant-locales', action='store_true', help='print each variant\'s locale')
    parser.add_argument('--fingerprints', help='rewrite the committed fingerprints here')
    parser.add_argument('--pseudo-rc', help='write the pseudo-localized resource script here')
    parser.add_argument('--dump', action='store_true', help='print every text')
    args = parser.parse_args()
    try:
        locales = windows_locales()
        reader = Parser()
        reader.parse_file(args.catalog_rc)
        variant_locales = check(reader, args.catalog_rc, locales)
        if args.pseudo_rc:
            write_pseudo_rc(reader.variants, variant_locales, args.pseudo_rc)
    except CatalogError as e:
        print(f'catalogue error:\n{e}', file=sys.stderr)
        return 1
    if args.table:
        write_table(reader.variants, args.table)
    if args.locales:
        write_locales(locales, variant_locales, args.locales)
    if args.variant_locales:
        for language, locale in sorted(variant_locales.items()):
            print(locale.name)
    if args.fingerprints:
        write_fingerprints(reader.variants, variant_locales, args.fingerprints)
    if args.dump:
        for language, entries in sorted(reader.variants.items()):
            for string_id, text in sorted(entries.items()):
                print(f'0x{language:04X}\t{string_id}\t{text!r}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
