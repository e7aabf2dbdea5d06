"""The few parts of a PE image that the build and its checks read or write:
the section table, the time stamps, the checksum, the data directories."""
import struct


class PeError(Exception):
    pass


class Section:
    def __init__(self, name, virtual_address, virtual_size, raw_pointer, raw_size):
        self.name, self.virtual_address, self.virtual_size = name, virtual_address, virtual_size
        self.raw_pointer, self.raw_size = raw_pointer, raw_size


class PeFile:
    """A PE image held in memory; `image` is a bytearray that may be changed
    in place and written back."""

    def __init__(self, image):
        self.image = bytearray(image)
        if self.image[:2] != b'MZ':
            raise PeError('not an MZ image')
        self.pe = struct.unpack_from('<I', self.image, 0x3C)[0]
        if self.image[self.pe:self.pe + 4] != b'PE\0\0':
            raise PeError('no PE signature')
        count, self.symbol_table, symbols, optional_size = struct.unpack_from('<H4xIIH', self.image, self.pe + 6)
        self.string_table = self.symbol_table + 18 * symbols if self.symbol_table else 0
        self.optional = self.pe + 24
        self.pe32_plus = struct.unpack_from('<H', self.image, self.optional)[0] == 0x20B
        self.pointer_size = 8 if self.pe32_plus else 4
        self.image_base = struct.unpack_from('<Q' if self.pe32_plus else '<I', self.image,
                                             self.optional + (24 if self.pe32_plus else 28))[0]
        self.directories = self.optional + (112 if self.pe32_plus else 96)
        self.sections = []
        table = self.optional + optional_size
        for i in range(count):
            header = table + 40 * i
            name = self.section_name(self.image[header:header + 8].rstrip(b'\0').decode('ascii', 'replace'))
            virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from('<IIII', self.image, header + 8)
            self.sections.append(Section(name, virtual_address, virtual_size, raw_pointer, raw_size))

    @classmethod
    def read(cls, path):
        with open(path, 'rb') as f:
            return cls(f.read())

    def write(self, path):
        with open(path, 'wb') as f:
            f.write(self.image)

    def section_name(self, short):
        """Names longer than eight characters stand in the string table as '/OFFSET'."""
        if not short.startswith('/') or not self.string_table:
            return short
        start = self.string_table + int(short[1:])
        return self.image[start:self.image.index(b'\0', start)].decode('ascii', 'replace')

    def directory(self, index):
        """(rva, size) of data directory `index` (0 exports, 2 resources, 9 TLS...)."""
        return struct.unpack_from('<II', self.image, self.directories + 8 * index)

    def offset(self, rva):
        for s in self.sections:
            if s.virtual_address <= rva < s.virtual_address + max(s.virtual_size, s.raw_size):
                if rva - s.virtual_address >= s.raw_size:
                    raise PeError(f'RVA 0x{rva:X} is in the uninitialised part of {s.name}')
                return s.raw_pointer + rva - s.virtual_address
        raise PeError(f'RVA 0x{rva:X} is in no section')

    def pointer_at(self, rva):
        return struct.unpack_from('<Q' if self.pe32_plus else '<I', self.image, self.offset(rva))[0]

    # ---- time stamps and checksum ----

    def set_time_stamps(self, stamp):
        """The file header's and, where the image holds one, the export directory's."""
        struct.pack_into('<I', self.image, self.pe + 8, stamp)
        rva, size = self.directory(0)
        if rva and size:
            try:
                struct.pack_into('<I', self.image, self.offset(rva) + 4, stamp)
            except PeError:
                pass  # a debug file keeps the section headers, not their contents

    @property
    def checksum_offset(self):
        return self.optional + 64

    def stored_checksum(self):
        return struct.unpack_from('<I', self.image, self.checksum_offset)[0]

    def computed_checksum(self):
        """The loader's algorithm: 16-bit one's-complement-style sum of the
        file with the checksum field taken as zero, plus the file's length."""
        data = bytes(self.image[:self.checksum_offset]) + b'\0\0\0\0' + bytes(self.image[self.checksum_offset + 4:])
        if len(data) % 2:
            data += b'\0'
        total = sum(struct.unpack(f'<{len(data) // 2}H', data))
        while total >> 16:
            total = (total & 0xFFFF) + (total >> 16)
        return total + len(self.image)

    def set_checksum(self):
        struct.pack_into('<I', self.image, self.checksum_offset, self.computed_checksum())
