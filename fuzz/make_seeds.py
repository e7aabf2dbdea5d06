#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets (fuzz/corpus/TARGET/NAME).

Each seed is laid out the way the targets read their input: the first byte
picks the code page, and the rest goes through FuzzedDataProvider: strings from
the front (a backslash and any other byte end one; a doubled backslash is a
backslash), numbers from the back (first read, last byte). The seeds give each target a start on every path worth having:
each release of tools/machine/windows_releases.txt, tokens with and without brackets, values without NUL,
double-byte texts, buffer sizes on both sides of the limit.

    fuzz/make_seeds.py [OUTPUT_DIR]
"""
import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path[:0] = [os.path.join(ROOT, "catalog"), os.path.join(ROOT, "tools", "machine")]
import catalog  # noqa: E402
import releases  # noqa: E402


def cpp_array(path, name):
    """The numbers of the array `name` in a C++ source."""
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        body = re.search(name + r"\[\] = \{([^}]*)\}", f.read()).group(1)
    return [eval(item.rstrip("u")) for item in body.replace("\n", " ").split(",") if item.strip()]


# What the targets pick by index, from where they take it.
CODE_PAGES = cpp_array("tests/support/ansi_model.h", "kCodePages")
LANGUAGES = [locale.language for locale in catalog.windows_locales()]  # test::kLocales
IDS = cpp_array("fuzz/fuzz_support.h", "kIds")


class Input:
    def __init__(self):
        self.selector = 0  # the first byte: the code page
        self.front = bytearray()
        self.back = []  # bytes in the order they are read

    def string(self, text):
        if isinstance(text, str):
            text = text.encode("latin-1")
        self.front += text.replace(b"\\", b"\\\\") + b"\\\x01"
        return self

    def number(self, value, low, high):
        """ConsumeIntegralInRange(low, high): as many bytes as the range needs."""
        span = high - low
        count = 0
        while count < 8 and (span >> (8 * count)) > 0:
            count += 1
        offset = value - low
        for i in reversed(range(count)):
            self.back.append((offset >> (8 * i)) & 0xFF)
        return self

    def flag(self, value):
        self.back.append(1 if value else 0)
        return self

    def failure(self, nth, last):
        """The allocation that fails, 1 to `last`; None: none."""
        self.flag(nth is not None)
        return self if nth is None else self.number(nth, 1, last)

    def code_page(self, page):
        self.selector = CODE_PAGES.index(page)
        return self

    def data(self, tail=b""):
        return bytes([self.selector]) + bytes(self.front) + tail + bytes(reversed(self.back))


def replace_first():
    seeds = {}
    cases = [
        ("plain", 1252, "No <VorProviderName> MODEM FOUND", "<VorProviderName>", "Acme"),
        ("twice", 1252, "abcabc", "abc", "X"),
        ("empty_pattern", 1252, "text", "", "front "),
        ("all_empty", 1252, "", "", "r"),
        ("absent", 1252, "text", "zz", "r"),
        ("trail_byte_sjis", 932, "\x83\x41A", "A", "<>"),
        ("trail_byte_big5", 950, "\xa5\\\\", "\\", "x"),
        ("lone_lead_byte", 936, "ab\x81", "\x81", "y"),
        ("uhc_letter_trail", 949, "\x81\x41\x41", "A", "z"),
    ]
    for name, page, text, pattern, replacement in cases:
        seed = Input().code_page(page).string(text).flag(False).string(pattern).string(replacement)
        seeds[name] = seed.failure(None, 3).data()
    seeds["failure"] = Input().code_page(1252).string("abc").flag(False).string("b").string("XY").failure(2, 3).data()
    return seeds


def ansi_text():
    seeds = {}
    cases = [
        ("latin", 1252, "WIN", "Microsoft Windows 95 \xe9\xff\xb5"),
        ("sjis", 932, "A", "\x83\x41\x82\x81A\xb1"),
        ("gbk", 936, "@", "\x81\x40@\xa3\xe1"),
        ("uhc", 949, "A", "\x81\x41\xa3\xe1a"),
        ("big5", 950, "\\", "\xa5\\\\\xa2\xcf"),
        ("lone_lead", 932, "", "abc\x82"),
    ]
    for name, page, pattern, text in cases:
        seeds[name] = Input().code_page(page).string(pattern).data(text.encode("latin-1"))
    return seeds


def pick_id(seed, value):
    if value in IDS:
        seed.flag(True).number(IDS.index(value), 0, len(IDS) - 1)
    else:
        seed.flag(False).number(value, 0, 0xFFFFFFFF)


def expand_placeholder():
    seeds = {}

    def seed(page=1252, language=0x0409, message=9, token=1002, message_text=None, token_text=None,
             key=True, value=True, stored="Acme\0", changed=None, decoy="other", buffer_mode=1, delta=3,
             fail=None):
        s = Input().code_page(page).number(LANGUAGES.index(language), 0, len(LANGUAGES) - 1)
        pick_id(s, message)
        pick_id(s, token)
        s.flag(message_text is not None)
        if message_text is not None:
            s.string(message_text)
        s.flag(token_text is not None)
        if token_text is not None:
            s.string(token_text)
        s.flag(key).flag(value).string(stored).flag(changed is not None).string(changed or "").string(decoy)
        s.number(buffer_mode, 0, 3)
        if buffer_mode == 1:
            s.number(delta, 0, 6)
        return s.failure(fail, 10).data()

    seeds["provider_value"] = seed()
    seeds["provider_absent"] = seed(value=False)
    seeds["key_absent"] = seed(key=False)
    seeds["size_query"] = seed(buffer_mode=0)
    seeds["one_short"] = seed(delta=2)
    seeds["value_without_nul"] = seed(stored="Acme")
    seeds["value_empty"] = seed(stored="")
    seeds["value_grows"] = seed(stored="ab\0", changed="a much longer value\0")
    seeds["value_shrinks"] = seed(stored="a much longer value\0", changed="x\0")
    seeds["file_token"] = seed(message=35, token=1005, stored="C:\\MODEM.INF\0")
    seeds["same_entry"] = seed(message=1002, token=1002)
    seeds["no_token"] = seed(token=38)
    seeds["token_without_close"] = seed(token_text="<VorProviderName", message_text="a <VorProviderName b")
    seeds["word_before_token"] = seed(token_text="the <Name>", message_text="see the <Name> here", stored="X\0")
    seeds["empty_name"] = seed(token_text="<>", message_text="a<>b", stored="mid\0", decoy="")
    seeds["long_message"] = seed(message_text="x" * 300 + "<VorProviderName>" + "y" * 20)
    seeds["japanese"] = seed(page=932, language=0x0411, message=18)
    seeds["korean"] = seed(page=949, language=0x0412, message=10)
    seeds["chinese_traditional"] = seed(page=950, language=0x0404)
    seeds["chinese_simplified"] = seed(page=936, language=0x0804)
    seeds["double_byte_token"] = seed(page=932, token_text="\x80<\x81>", message_text="\x80\x80<\x81>\x80")
    seeds["big_id"] = seed(message=65536 + 9)
    seeds["failure"] = seed(fail=3)
    return seeds


def release_classification():
    seeds = {}

    def seed(page=1252, windows_key=True, product=None, sub=None, nt_key=False, nt=None, version_fails=False,
             platform=1, major=4, fail=None):
        s = Input().code_page(page).flag(windows_key)
        for value in (product, sub):
            s.flag(value is not None).string(value or "")
        s.flag(nt_key).flag(nt is not None).string(nt or "")
        return s.flag(version_fails).number(platform, 0, 3).number(major, 3, 6).failure(fail, 4).data()

    # A seed per release of the table, named as --windows names it.
    for release in releases.windows_releases():
        values = [None if value is None else value + "\0"
                  for value in (release.windows_product, release.sub_version, release.nt_product)]
        seeds[release.name] = seed(product=values[0], sub=values[1], nt_key=release.platform == releases.NT_PLATFORM,
                                   nt=values[2], platform=release.platform, major=release.major)
    seeds["sub_version_absent"] = seed(product="Microsoft Windows 95\0")
    seeds["sub_version_lower_case"] = seed(product="Microsoft Windows 95\0", sub="c\0")
    seeds["product_lower_case"] = seed(product="microsoft windows 98\0", sub=" A \0")
    seeds["me_with_sub_version"] = seed(product="Microsoft Windows ME\0", sub="A\0")
    seeds["nt4_version_fails"] = seed(nt_key=True, platform=2, major=4, version_fails=True)
    seeds["xp_without_nul"] = seed(nt_key=True, nt="Microsoft Windows XP", platform=2, major=5)
    seeds["nt_empty"] = seed(product="Microsoft Windows 98\0", nt_key=True, nt="", platform=2, major=4)
    seeds["no_keys"] = seed(windows_key=False)
    seeds["sjis_trail"] = seed(page=932, product="\x83Microsoft Windows 95\0")
    seeds["failure"] = seed(nt_key=True, nt="Microsoft Windows XP\0", platform=2, major=5, fail=3)
    return seeds


TARGETS = {
    "fuzz_replace_first": replace_first,
    "fuzz_ansi_text": ansi_text,
    "fuzz_expand_placeholder": expand_placeholder,
    "fuzz_release_classification": release_classification,
}


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
    for target, make in TARGETS.items():
        directory = os.path.join(root, target)
        os.makedirs(directory, exist_ok=True)
        for name, data in make().items():
            with open(os.path.join(directory, name), "wb") as seed:
                seed.write(data)


if __name__ == "__main__":
    main()
