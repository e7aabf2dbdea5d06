#!/usr/bin/env python3
"""Fails when a product source includes a header of a layer above its own, or
a tool a test's.

    check_layers.py SOURCE_ROOT [--stamp FILE]

The layers, top first; each may include its own folder and any folder of a
layer below it, never a sibling of its own layer:

    module/              the six exports, DllMain, the stand-in's entry
    requests/            the string requests, placeholder expansion, the boxes
    catalog/ probes/     values: a text, a release code, a name
    text/                8-bit text logic without Windows
    platform/            the Windows services (win32/) and their stand-in (standin/)

Besides: <windows.h> only in platform/win32/, and the stand-in's headers only
in platform/standin/ and the stand-in's entry. Beside the module, tools/ never
includes tests/: the tests may use the tools' code, not the other way round.
"""
import argparse
import os
import re
import sys

LAYERS = [['module'], ['requests'], ['catalog', 'probes'], ['text'], ['platform']]
PUBLIC_HEADERS = 'include'  # the host's headers, which the exports implement
STANDIN = 'platform/standin/'
STANDIN_USERS = (STANDIN, 'module/standin_entry.cpp')
WINDOWS_USERS = ('platform/win32/',)

# Folders beside the module, and the folder each may not include.
BESIDE = {'tools': 'tests'}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer_of(folder):
    for level, folders in enumerate(LAYERS):
        if folder in folders:
            return level
    return None


def included_file(root, source, name):
    """The source-root path of a quoted include, or None when it is no product file."""
    beside = os.path.normpath(os.path.join(os.path.dirname(source), name))
    for candidate in (beside, name, os.path.join(PUBLIC_HEADERS, name)):
        if os.path.isfile(os.path.join(root, candidate)):
            return candidate.replace(os.sep, '/')
    return None


def includes_of(root, source):
    """Each quoted include that names a file of the tree: where, and the file."""
    with open(os.path.join(root, source), encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            target = m and m.group(1) == '"' and included_file(root, source, m.group(2))
            if target:
                yield f'{source}:{number}', target


def problems_beside(root, source):
    forbidden = BESIDE[source.split('/')[0]]
    for where, target in includes_of(root, source):
        if target.split('/')[0] == forbidden:
            yield f'{where}: {target} is in {forbidden}/, which {source.split("/")[0]}/ may not include'


def problems_of(root, source):
    folder = source.split('/')[0]
    if folder in BESIDE:
        yield from problems_beside(root, source)
        return
    level = layer_of(folder)
    with open(os.path.join(root, source), encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            where = f'{source}:{number}'
            if m.group(1) == '<':
                if m.group(2).lower() == 'windows.h' and not source.startswith(WINDOWS_USERS):
                    yield f'{where}: <windows.h> outside platform/win32/'
                continue
            target = included_file(root, source, m.group(2))
            if target is None:
                continue
            if target.startswith(STANDIN) and not source.startswith(STANDIN_USERS):
                yield f'{where}: {target} belongs to the stand-in and its entry'
            target_folder = target.split('/')[0]
            if target_folder == folder:
                continue
            if target_folder == PUBLIC_HEADERS:
                if folder != 'module':
                    yield f'{where}: {target} is the host\'s header, for module/ only'
                continue
            target_level = layer_of(target_folder)
            if target_level is None:
                yield f'{where}: {target} is outside the product\'s layers'
            elif target_level < level:
                yield f'{where}: {target} is in a layer above {folder}/'
            elif target_level == level:
                yield f'{where}: {target} is in {target_folder}/, a sibling of {folder}/'


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('root')
    parser.add_argument('--stamp', help='touch this file when every include is allowed')
    args = parser.parse_args()
    if not os.path.isdir(args.root):
        parser.error(f'no such folder: {args.root}')

    problems = []
    for folder in [folder for folders in LAYERS for folder in folders] + list(BESIDE):
        for directory, _, names in os.walk(os.path.join(args.root, folder)):
            for name in sorted(names):
                if name.endswith(('.h', '.cpp', '.c')):
                    path = os.path.relpath(os.path.join(directory, name), args.root).replace(os.sep, '/')
                    problems.extend(problems_of(args.root, path))
    if problems:
        print('Includes against the layers (see the README\'s Layout):', file=sys.stderr)
        for problem in problems:
            print('  ' + problem, file=sys.stderr)
        return 1
    if args.stamp:
        with open(args.stamp, 'w'):
            pass
    return 0


if __name__ == '__main__':
    sys.exit(main())
