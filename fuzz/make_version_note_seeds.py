#!/usr/bin/env python3
"""Writes the seed corpus of version_note_fuzzer: small ELF files in both classes and byte
orders that carry the version note in a note section, only in a note segment, behind extended
numbering, or not at all. Run from anywhere; it rewrites corpus/version_note_fuzzer/*.elf."""

import pathlib
import struct

OUT = pathlib.Path(__file__).resolve().parent / "corpus" / "version_note_fuzzer"


def note(owner, kind, descriptor, order, align=4):
    # The descriptor and the next note start on the alignment, counted from the note's start.
    owner_bytes = owner + b"\0"
    pad = lambda data: data + b"\0" * (-len(data) % align)
    head = pad(struct.pack(order + "III", len(owner_bytes), len(descriptor), kind) + owner_bytes)
    return head + pad(descriptor)


def version_note(major, minor, release, build, order, align=4):
    words = struct.pack(order + "II", major << 16 | minor, release << 16 | build)
    return note(b"Plumo", 1, words, order, align)


def elf64(order, notes, align, in_sections=True, in_segment=True, extended=False):
    header_size, phent, shent = 64, 56, 64
    notes_offset = header_size + (phent if in_segment else 0)
    sections_offset = notes_offset + len(notes)
    ident = b"\x7fELF" + bytes([2, 1 if order == "<" else 2, 1]) + b"\0" * 9
    section_count = 2 if in_sections else 0
    shnum = 0 if extended else section_count
    phnum = 0xFFFF if extended else (1 if in_segment else 0)
    header = ident + struct.pack(order + "HHIQQQIHHHHHH", 2, 62, 1, 0,
                                 header_size if in_segment else 0,
                                 sections_offset if in_sections else 0, 0, header_size, phent,
                                 phnum, shent, shnum, 0)
    segment = struct.pack(order + "IIQQQQQQ", 4, 4, notes_offset, 0, 0, len(notes), len(notes),
                          align) if in_segment else b""
    first = struct.pack(order + "IIQQQQIIQQ", 0, 0, 0, 0, 0,
                        section_count if extended else 0, 0, 1 if extended else 0, 0, 0)
    note_section = struct.pack(order + "IIQQQQIIQQ", 0, 7, 2, 0, notes_offset, len(notes), 0, 0,
                               align, 0)
    sections = first + note_section if in_sections else b""
    return header + segment + notes + sections


def elf32(order, notes, in_sections=True):
    header_size, phent, shent = 52, 32, 40
    notes_offset = header_size + phent
    sections_offset = notes_offset + len(notes)
    ident = b"\x7fELF" + bytes([1, 1 if order == "<" else 2, 1]) + b"\0" * 9
    header = ident + struct.pack(order + "HHIIIIIHHHHHH", 2, 8, 1, 0, header_size,
                                 sections_offset if in_sections else 0, 0, header_size, phent, 1,
                                 shent, 2 if in_sections else 0, 0)
    segment = struct.pack(order + "IIIIIIII", 4, notes_offset, 0, 0, len(notes), len(notes), 4, 4)
    sections = b""
    if in_sections:
        sections = struct.pack(order + "10I", *[0] * 10) + struct.pack(
            order + "10I", 0, 7, 2, 0, notes_offset, len(notes), 0, 0, 4, 0)
    return header + segment + notes + sections


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    gnu = note(b"GNU", 3, bytes(range(20)), "<")
    seeds = {
        "elf64-le-section-and-segment.elf":
            elf64("<", gnu + version_note(1, 0, 0, 0, "<"), 4),
        "elf64-be-segment-only.elf":
            elf64(">", version_note(2, 15, 3, 7, ">"), 4, in_sections=False),
        "elf64-le-align8-extended-numbering.elf":
            elf64("<", version_note(65535, 65535, 65535, 65535, "<", 8), 8, extended=True),
        "elf32-be-section.elf":
            elf32(">", note(b"GNU", 1, b"abcd", ">") + version_note(7, 15, 300, 40000, ">")),
        "elf32-le-other-notes-only.elf":
            elf32("<", note(b"Plumo", 2, b"12345678", "<") + note(b"Plum", 1, b"12345678", "<")),
    }
    for name, data in seeds.items():
        (OUT / name).write_bytes(data)


if __name__ == "__main__":
    main()
