#!/usr/bin/env python3
"""Reads back what `quorvel catalogue` writes in csv or json, with Python's
own parsers, and checks the texts that a format could mangle.

    catalogue_parse_back.py csv|json COLUMNS -- COMMAND...

COLUMNS is the number of text columns: 1, or with --all-languages the number
of variants, whose columns are headed by their language IDs."""
import csv
import io
import json
import re
import subprocess
import sys

IDS = 71
# The German and the Portuguese variant's own names, by language ID.
LOCALIZED = {('20005', '0x0007'): 'Netzwerk- und DFÜ-Verbindungen',
             ('20011', '0x0016'): 'Assistente para adicionar novo hardware'}


def read_csv(output):
    # RFC 4180: every record ends in CRLF; line feeds inside texts stay bare.
    records = list(csv.reader(io.StringIO(output.decode('utf-8'), newline=''), strict=True))
    assert output.count(b'\r\n') == len(records), 'a record does not end in CRLF'
    return records[0], records[1:]


def read_json(output):
    objects = json.loads(output.decode('utf-8'))
    heading = list(objects[0])
    assert all(list(o) == heading and type(o['id']) is int for o in objects), 'objects differ in their keys'
    return heading, [[str(o['id'])] + [o[key] for key in heading[1:]] for o in objects]


def main():
    form, columns, dashes, command = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4:]
    assert dashes == '--' and command, __doc__
    output = subprocess.run(command, stdout=subprocess.PIPE, check=True).stdout
    heading, rows = (read_csv if form == 'csv' else read_json)(output)
    texts = {row[0]: dict(zip(heading[1:], row[1:])) for row in rows}

    assert heading[0] == 'id' and len(heading) == columns + 1, f'heading {heading}'
    if columns == 1:
        assert heading[1] == 'text', f'heading {heading}'
    else:
        assert all(re.fullmatch('0x[0-9A-F]{4}', h) for h in heading[1:]), f'heading {heading}'
        for (id, column), text in LOCALIZED.items():
            assert texts[id][column] == text, f'{id} in {column}: {texts[id][column]!r}'
    assert len(rows) == IDS == len(texts), f'{len(rows)} rows'
    for column, text in texts['25'].items():
        assert text.count('\n') == 5, f'25 in {column}: {text!r}'
    for column, text in texts['29'].items():
        assert ' the "ReadMe.txt" file in the "98FEUSB" folder ' in text, f'29 in {column}: {text!r}'


if __name__ == '__main__':
    try:
        main()
    except AssertionError as problem:
        sys.exit(f'catalogue_parse_back.py: {problem}')
