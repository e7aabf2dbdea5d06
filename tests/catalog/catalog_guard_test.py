#!/usr/bin/env python3
"""The catalogue guard (catalog/catalog.py) as the build runs it:
each test copies the catalogue into a temporary directory, where the copy as
it stands must pass; broken the way a translator might break it, the guard
must stop with exactly the ID, variant and reason of each problem, and write
no table and no pseudo-localized script."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
GUARD = os.path.join(ROOT, 'catalog', 'catalog.py')
CATALOG = os.path.join(ROOT, 'catalog')
sys.path.insert(0, os.path.dirname(GUARD))
import catalog  # noqa: E402

READER = catalog.Parser()
READER.parse_file(os.path.join(CATALOG, 'catalog.rc'))
LANGUAGES = sorted(READER.variants)
CATALOG_RC = os.path.join(os.pardir, 'catalog.rc')  # named from the scripts' folder


class CatalogueCopy(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.mkdtemp(prefix='catalogue-')
        shutil.copytree(CATALOG, os.path.join(self.directory, 'catalog'))
        self.strings = os.path.join(self.directory, 'catalog', 'strings')
        self.catalog_rc = os.path.join(self.directory, 'catalog', 'catalog.rc')
        self.table = os.path.join(self.directory, 'table.cpp')
        self.pseudo_rc = os.path.join(self.directory, 'pseudo.rc')

    def tearDown(self):
        shutil.rmtree(self.directory)

    # ---- helpers ----

    def path(self, name):
        return os.path.join(self.strings, name)

    def read(self, name):
        with open(self.path(name), encoding='utf-8') as f:
            return f.read()

    def write(self, name, text):
        with open(self.path(name), 'w', encoding='utf-8') as f:
            f.write(text)

    def replace_entry(self, name, string_id, new_line):
        """Replaces the line of `string_id` in a script; '' deletes it."""
        text, count = re.subn(rf'(?m)^[ \t]*{string_id}[ \t]*,.*\n', lambda _: new_line, self.read(name))
        self.assertEqual(count, 1, f'ID {string_id} in {name}')
        self.write(name, text)

    def add_entry(self, name, line):
        """Adds a line at the end of the script's STRINGTABLE."""
        text = self.read(name)
        end = text.rindex('\nEND')
        self.write(name, text[:end] + '\n' + line + text[end:])

    def shared_text(self, string_id):
        m = re.search(rf'(?m)^[ \t]*{string_id}[ \t]*,[ \t]*"(.*)"[ \t]*$', self.read('common.rc.inc'))
        return m.group(1)

    def guard(self):
        for output in (self.table, self.pseudo_rc):
            if os.path.exists(output):
                os.remove(output)
        return subprocess.run([sys.executable, GUARD, self.catalog_rc, '--table', self.table,
                               '--pseudo-rc', self.pseudo_rc], capture_output=True, text=True)

    def assertStops(self, *problems):
        """The guard fails, lists exactly these problems, and writes no table."""
        result = self.guard()
        self.assertEqual(result.returncode, 1, result.stderr)
        lines = result.stderr.splitlines()
        self.assertEqual(lines[0], 'catalogue error:')
        self.assertCountEqual(lines[1:], problems)
        self.assertFalse(os.path.exists(self.table), 'a table was written for a broken catalogue')
        self.assertFalse(os.path.exists(self.pseudo_rc), 'a pseudo script was written for a broken catalogue')

    def assertPasses(self):
        result = self.guard()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, '')
        return result

    def test_unbroken_copy_passes_and_writes_every_text(self):
        self.assertPasses()
        with open(self.table, encoding='utf-8') as f:
            entries = re.findall(r'(?m)^    \{0x([0-9A-F]{4}), (\d+), u"', f.read())
        self.assertEqual(len(entries), len(LANGUAGES) * len(catalog.catalog_ids()))
        self.assertEqual(sorted({int(language, 16) for language, _ in entries}), LANGUAGES)

    # ---- a variant lacks an ID ----

    def test_localized_id_missing_in_one_variant(self):
        self.replace_entry('german.rc', 20005, '')
        self.assertStops('ID 20005, variant 0x0007: missing')

    def test_shared_id_missing_everywhere(self):
        # The shared texts are written once and included by every variant.
        self.replace_entry('common.rc.inc', 101, '')
        self.assertStops(*(f'ID 101, variant 0x{language:04X}: missing' for language in LANGUAGES))

    # ---- a variant half added ----

    def test_script_not_included(self):
        self.write(CATALOG_RC, self.read(CATALOG_RC).replace('#include "strings/korean.rc"\n', ''))
        self.assertStops("korean.rc: a variant's script that catalog.rc does not include")

    def test_new_variant_takes_its_code_page_from_the_table(self):
        language = next(locale.language & 0x3FF for locale in catalog.windows_locales()
                        if locale.code_page == 1252 and locale.language & 0x3FF not in LANGUAGES)
        self.write('new.rc', self.read('dutch.rc').replace('LANGUAGE 0x13', f'LANGUAGE 0x{language:02X}')
                   .replace('"Iedereen"', '"\u2603"'))
        self.write(CATALOG_RC, self.read(CATALOG_RC) + '#include "strings/new.rc"\n')
        self.assertStops(f'ID 20001, variant 0x{language:04X}: not representable in cp1252 '
                         '(character maps to <undefined>)')

    def test_language_without_locale(self):
        self.write('dutch.rc', self.read('dutch.rc').replace('LANGUAGE 0x13, 0x00', 'LANGUAGE 0x13, 0x05'))
        self.assertStops('variant 0x1413: its language has no locale in windows_languages.txt')

    # ---- an ID outside the ranges ----

    def test_ids_next_to_each_range(self):
        french = self.read('french.rc')
        for string_id in [i for lo, hi in catalog.RANGES for i in (lo - 1, hi + 1)]:
            with self.subTest(id=string_id):
                self.add_entry('french.rc', f'    {string_id}, "Texte"')
                self.assertStops(f"ID {string_id}, variant 0x000C: outside the catalogue's ranges")
                self.write('french.rc', french)

    # ---- a shared text differs between variants ----

    def test_shared_text_changed_in_one_variant(self):
        original = self.shared_text(2)
        changed = re.sub(r'(?m)^([ \t]*2[ \t]*,[ \t]*)".*"', r'\1"Errore"', self.read('common.rc.inc'))
        self.write('common_italian.rc.inc', changed)
        self.write('italian.rc', self.read('italian.rc').replace('#include "common.rc.inc"',
                                                                 '#include "common_italian.rc.inc"'))
        self.assertStops(f"ID 2, variant 0x0010: differs from the text shared by all variants "
                         f"('Errore' against {original!r})")

    def test_shared_text_with_one_character_more(self):
        original = self.shared_text(9)
        self.write('dutch.rc', self.read('dutch.rc').replace('#include "common.rc.inc"',
                                                             '#include "common_dutch.rc.inc"'))
        self.write('common_dutch.rc.inc', self.read('common.rc.inc').replace(f'"{original}"', f'"{original} "'))
        self.assertStops(f"ID 9, variant 0x0013: differs from the text shared by all variants "
                         f"({original + ' '!r} against {original!r})")

    # ---- a text too long for its code page ----

    def test_longest_text_of_each_kind_of_code_page(self):
        """The limit holds for the catalogue, not for its pseudo forms, which
        the module's path for long texts serves."""
        for script, string_id, variant, code_page, fits, too_long in [
            ('german.rc', 20005, '0x0007', 'cp1252', 'ü' * 253, 'ü' * 254),  # though 506 bytes in UTF-8
            ('japanese.rc', 20004, '0x0411', 'cp932', 'ア' * 126 + 'x', 'ア' * 127),  # two bytes each
            ('spanish.rc', 20008, '0x000A', 'cp1252', 'a\\n' * 126 + 'b', 'a\\n' * 127),  # a line feed is one
        ]:
            with self.subTest(script=script):
                original = self.read(script)
                self.replace_entry(script, string_id, f'    {string_id}, "{fits}"\n')
                self.assertPasses()
                pseudo = catalog.Parser()
                pseudo.parse_file(self.pseudo_rc)
                self.assertGreater(len(pseudo.variants[int(variant, 16)][string_id].encode(code_page)), 350)
                self.replace_entry(script, string_id, f'    {string_id}, "{too_long}"\n')
                self.assertStops(f'ID {string_id}, variant {variant}: 254 bytes in {code_page}, more than 253')
                self.write(script, original)

    def test_text_outside_the_code_page(self):
        self.replace_entry('korean.rc', 20010, '    20010, "Ελληνικά"\n')
        self.assertStops('ID 20010, variant 0x0412: not representable in cp949 (illegal multibyte sequence)')

    # ---- several problems at once ----

    def test_every_problem_is_listed(self):
        self.replace_entry('portuguese.rc', 20003, '')
        self.add_entry('chinese.rc', '    40, "x"')
        self.assertStops('ID 20003, variant 0x0016: missing',
                         "ID 40, variant 0x0004: outside the catalogue's ranges")


if __name__ == '__main__':
    unittest.main()
