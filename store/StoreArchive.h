// The store archive: the plaintext byte layout of one saved collection; a store file
// (.cfg) holds it in the file cipher's enciphered form. Existing stores were written by
// the Windows serialisation of a string-to-object map holding CMapStringToString
// objects; this is that layout, byte for byte.
//
//   Count                 number of entries                     (Count/String: Archive.h)
//   per entry, in the writer's enumeration order:
//     String              entry name
//     WORD tag            0x0000  no field map; nothing else follows for the entry
//                         0xFFFF  new class: class header, then the field map body
//                         0x8001  reference to class 1, then the field map body
//   class header (22 bytes, only after 0xFFFF):
//     WORD 0x0000         schema
//     WORD 0x0012         length of the class name
//     18 bytes            "CMapStringToString"
//   field map body:
//     Count               number of fields
//     String key, String value   per field, in the field map's enumeration order
//
// Running index: classes and field maps are numbered from 1 in file order; the class
// header takes 1, each field map the next number; null tags take none. A writer
// therefore puts 0xFFFF and the class header at the first entry with a field map, in
// file order, and 0x8001 at every later one. An empty collection is the two bytes
// 00 00; a file of zero bytes is malformed.
//
// Reading refuses what no store contains (the format error names the byte offset):
// 16-bit strings, references back to an earlier field map (tags 0x0001 to 0x7FFF),
// class references to an index that holds no class, a class other than
// CMapStringToString or a schema other than 0, and data that ends early.
#pragma once

#include <cstdint>

#include "EntryMap.h"
#include "files/Archive.h"

namespace store {

constexpr WORD kNullTag = 0x0000;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTagBit = 0x8000;
constexpr WORD kFirstClassReference = kClassTagBit | 1;  // 0x8001
constexpr WORD kFieldMapSchema = 0x0000;
constexpr char kFieldMapClassName[] = "CMapStringToString";
constexpr WORD kFieldMapClassNameLength = sizeof(kFieldMapClassName) - 1;  // 18

// Writes every entry of entries, in their enumeration order, onto a store archive.
// Throws what the archive and the file throw.
void WriteStoreArchive(CArchive& ar, const EntryMap& entries);

// Reads one store archive from a load archive and merges it into entries: an entry
// is put in as soon as it has been read whole; a name already present keeps its place
// and gets the field map read (the old one is destroyed); other entries stay. A fault
// throws CArchiveException and leaves the entries read before it merged. Bytes after
// the last entry are not read (AtEnd() on the archive tells whether there are any).
// Allocation stays within a small multiple of the bytes actually read.
void ReadStoreArchive(CArchive& ar, EntryMap& entries);

}  // namespace store
