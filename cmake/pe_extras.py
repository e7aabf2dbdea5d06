"""What the build and its checks need of a PE image beyond pefile's own
reading: a plain error for a file that is no PE image, sections by their full
names, the imports by name and the checksum compared."""
import sys

import pefile


def load(path, fast_load=False):
    """The image of `path`, read into memory so that it may be written back
    over the same file. Every caller is a command-line tool: a file that is
    no PE image ends it with the file's name and pefile's reason, not with a
    traceback."""
    with open(path, 'rb') as f:
        data = f.read()
    try:
        return pefile.PE(data=data, fast_load=fast_load)
    except pefile.PEFormatError as e:
        sys.exit(f'{path}: not a PE image: {e.value}')


def section_name(pe, section):
    """A section's full name. pefile leaves a name longer than eight
    characters as '/OFFSET', its place in the COFF string table that follows
    the symbol table (which a stripped image keeps for these names alone)."""
    name = section.Name.rstrip(b'\0').decode('ascii', 'replace')
    symbols = pe.FILE_HEADER.PointerToSymbolTable
    if not name.startswith('/') or not symbols:
        return name
    start = symbols + 18 * pe.FILE_HEADER.NumberOfSymbols + int(name[1:])
    return pe.get_string_from_data(start, pe.__data__).decode('ascii', 'replace')


def section_names(pe):
    return [section_name(pe, section) for section in pe.sections]


def find_section(pe, name):
    """The section of that full name, or None."""
    return next((s for s in pe.sections if section_name(pe, s) == name), None)


def imports(pe):
    """{dll: [function]} from the import directory, a DLL named twice merged;
    a function imported by ordinal stands as '#ORDINAL', so that no list of
    names can take it for one of its own."""
    found = {}
    for entry in getattr(pe, 'DIRECTORY_ENTRY_IMPORT', []):
        functions = found.setdefault(entry.dll.decode('ascii'), [])
        functions.extend(i.name.decode('ascii') if i.name else f'#{i.ordinal}' for i in entry.imports)
    return found


def checksum_error(pe):
    """What is wrong with the stored PE checksum, or None when it is the one
    the loader computes."""
    stored, computed = pe.OPTIONAL_HEADER.CheckSum, pe.generate_checksum()
    if stored == computed:
        return None
    return f'PE checksum 0x{stored:08X}, should be 0x{computed:08X}'
