"""Reads what the Windows tests check in an executable: machine, subsystem,
imported DLLs and resources. Just enough of the PE format for that."""

import struct


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError("not an executable")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE header")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", d, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", d, optional)[0]
        self.is_64 = magic == 0x20B
        self.subsystem = struct.unpack_from("<H", d, optional + 68)[0]
        directories = optional + (112 if self.is_64 else 96)
        self.directories = [struct.unpack_from("<II", d, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, va, rawsize, rawptr = struct.unpack_from("<8sIIII", d, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode(), va, max(vsize, rawsize), rawptr))

    def _offset(self, rva):
        for _, va, size, rawptr in self.sections:
            if va <= rva < va + size:
                return rawptr + rva - va
        raise ValueError("address outside every section")

    def _string(self, rva):
        start = self._offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode()

    def imported_dlls(self):
        rva, _ = self.directories[1]
        names = []
        offset = self._offset(rva)
        while True:
            entry = struct.unpack_from("<IIIII", self.data, offset)
            if entry == (0, 0, 0, 0, 0):
                return names
            names.append(self._string(entry[3]))
            offset += 20

    def resources(self):
        """Every resource as (type, name, language, bytes); ids only."""
        rva, _ = self.directories[2]
        if rva == 0:
            return []
        base = self._offset(rva)

        def entries(offset):
            named, ids = struct.unpack_from("<HH", self.data, base + offset + 12)
            for i in range(named + ids):
                ident, target = struct.unpack_from("<II", self.data, base + offset + 16 + 8 * i)
                yield ident, target

        found = []
        for type_id, type_dir in entries(0):
            for name_id, name_dir in entries(type_dir & 0x7FFFFFFF):
                for language, leaf in entries(name_dir & 0x7FFFFFFF):
                    data_rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self._offset(data_rva)
                    found.append((type_id, name_id, language, self.data[start:start + size]))
        return found
