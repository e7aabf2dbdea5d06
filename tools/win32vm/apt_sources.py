#!/usr/bin/env python3
"""Finds, in this machine's apt configuration, where its Debian packages come
from, so that the guest is built from the same mirrors (a proxy or a local
mirror included) and no address is written into the repository.

    apt_sources.py [--root DIR] SUITE

Prints "main URI" for the first enabled source of SUITE's main component and
"security URI" for the first of SUITE-security, if there is one. Reads
etc/apt/sources.list and etc/apt/sources.list.d/*.list and *.sources below
DIR (default /). Exits 1, with a message, when SUITE has no source.
"""
import argparse
import pathlib
import sys
import urllib.parse

# URI schemes that debootstrap and apt in the guest can fetch from.
FETCHABLE = {"http", "https", "file"}


def one_line_entries(text):
    """Entries of the one-line format: deb [options] URI SUITE COMPONENT..."""
    for line in text.splitlines():
        words = line.split("#", 1)[0].split()
        if not words or words[0] != "deb":
            continue
        words = words[1:]
        if words and words[0].startswith("["):
            while words and not words[0].endswith("]"):
                words.pop(0)
            words = words[1:]
        if len(words) >= 3:
            yield [words[0]], [words[1]], words[2:]


def deb822_entries(text):
    """Entries of the deb822 format: stanzas of Types, URIs, Suites, Components."""
    for stanza in text.split("\n\n"):
        fields = {}
        for line in stanza.splitlines():
            if line.startswith("#") or line[:1].isspace() or ":" not in line:
                continue
            name, value = line.split(":", 1)
            fields[name.strip().lower()] = value.split()
        if "deb" not in fields.get("types", []) or fields.get("enabled", ["yes"]) == ["no"]:
            continue
        yield fields.get("uris", []), fields.get("suites", []), fields.get("components", [])


def entries(root):
    apt = root / "etc/apt"
    files = [apt / "sources.list"] + sorted((apt / "sources.list.d").glob("*"))
    for path in files:
        if not path.is_file():
            continue
        text = path.read_text(errors="replace")
        if path.name.endswith((".list", "sources.list")):
            yield from one_line_entries(text)
        elif path.name.endswith(".sources"):
            yield from deb822_entries(text)


def find_mirror(root, suite):
    for uris, suites, components in entries(root):
        if suite in suites and "main" in components:
            for uri in uris:
                if urllib.parse.urlsplit(uri).scheme in FETCHABLE:
                    return uri.rstrip("/")
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--root", type=pathlib.Path, default=pathlib.Path("/"))
    parser.add_argument("suite")
    args = parser.parse_args()
    main_uri = find_mirror(args.root, args.suite)
    if not main_uri:
        sys.exit(f"apt_sources.py: {args.root / 'etc/apt'} names no source of '{args.suite} main'; "
                 "set QUORVEL_VM_MIRROR to a Debian mirror")
    print("main", main_uri)
    security_uri = find_mirror(args.root, args.suite + "-security")
    if security_uri:
        print("security", security_uri)


if __name__ == "__main__":
    main()
