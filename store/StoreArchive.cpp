#include "StoreArchive.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace store {
namespace {

// The fewest bytes an entry can take: a one-byte name and a tag. It bounds what the
// entry count may make us reserve.
constexpr std::uint64_t kMinEntryBytes = 3;

void WriteClassHeader(CArchive& ar) {
    ar.WriteWord(kFieldMapSchema);
    ar.WriteWord(kFieldMapClassNameLength);
    ar.Write(kFieldMapClassName, kFieldMapClassNameLength);
}

void WriteFieldMap(CArchive& ar, const CMapStringToString& fields) {
    ar.WriteCount(fields.GetCount());
    POSITION pos = fields.GetStartPosition();
    std::string_view key;
    std::string_view value;
    while (fields.GetNextAssoc(pos, key, value)) {
        ar.WriteString(key);
        ar.WriteString(value);
    }
}

// Numbers classes and field maps as they are read (see the running index).
class ObjectIndex {
  public:
    void AddClass() { classes_.push_back(next_++); }
    void AddFieldMap() { ++next_; }
    bool IsClass(std::uint32_t index) const {
        return std::binary_search(classes_.begin(), classes_.end(), index);
    }

  private:
    std::uint32_t next_ = 1;
    std::vector<std::uint32_t> classes_;  // ascending; one per class header (24 bytes each)
};

void ReadClassHeader(CArchive& ar) {
    const std::uint64_t schemaAt = ar.GetPosition();
    const WORD schema = ar.ReadWord();
    if (schema != kFieldMapSchema) {
        throw CArchiveException(
            CArchiveException::badSchema, schemaAt, ar.FileName(),
            "the field map class has schema " + std::to_string(schema) + " instead of 0");
    }
    const std::uint64_t nameAt = ar.GetPosition();
    const WORD length = ar.ReadWord();
    char name[kFieldMapClassNameLength] = {};
    if (length == kFieldMapClassNameLength) {
        ar.ReadExact(name, length);
    }
    if (length != kFieldMapClassNameLength ||
        std::memcmp(name, kFieldMapClassName, kFieldMapClassNameLength) != 0) {
        throw CArchiveException(CArchiveException::badClass, nameAt, ar.FileName(),
                                "the class is not CMapStringToString");
    }
}

// The strings of one field map body, read before the map is made so that the map
// can be sized exactly (one allocation for its nodes, one for its text). Reused from
// map to map.
struct FieldScratch {
    std::string text;
    std::vector<std::size_t> ends;  // end of each key and value in text
};

FieldMapPtr ReadFieldMap(CArchive& ar, FieldScratch& scratch) {
    const DWORD count = ar.ReadCount();
    scratch.text.clear();
    scratch.ends.clear();
    for (DWORD i = 0; i < count; ++i) {
        ar.ReadStringAppend(scratch.text);  // key
        scratch.ends.push_back(scratch.text.size());
        ar.ReadStringAppend(scratch.text);  // value
        scratch.ends.push_back(scratch.text.size());
    }
    auto fields = std::make_unique<CMapStringToString>();
    fields->Reserve(count, scratch.text.size());
    const std::string_view text = scratch.text;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < scratch.ends.size(); i += 2) {
        const std::size_t keyEnd = scratch.ends[i];
        const std::size_t valueEnd = scratch.ends[i + 1];
        // A repeated key keeps the later value.
        fields->SetAt(text.substr(begin, keyEnd - begin), text.substr(keyEnd, valueEnd - keyEnd));
        begin = valueEnd;
    }
    return fields;
}

// Reads the tag and what follows it; nullptr for an entry without field map.
FieldMapPtr ReadValueSlot(CArchive& ar, ObjectIndex& index, FieldScratch& scratch) {
    const std::uint64_t tagAt = ar.GetPosition();
    const WORD tag = ar.ReadWord();
    if (tag == kNullTag) {
        return nullptr;
    }
    if (tag == kNewClassTag) {
        ReadClassHeader(ar);
        index.AddClass();
    } else if ((tag & kClassTagBit) == 0) {
        throw CArchiveException(CArchiveException::badIndex, tagAt, ar.FileName(),
                                "tag " + std::to_string(tag) +
                                    " refers back to an earlier field map, which stores never do");
    } else if (!index.IsClass(static_cast<std::uint32_t>(tag & ~kClassTagBit))) {
        throw CArchiveException(CArchiveException::badIndex, tagAt, ar.FileName(),
                                "tag " + std::to_string(tag) + " refers to no class");
    }
    index.AddFieldMap();
    return ReadFieldMap(ar, scratch);
}

}  // namespace

void WriteStoreArchive(CArchive& ar, const EntryMap& entries) {
    ar.WriteCount(entries.GetCount());
    bool classWritten = false;
    POSITION pos = entries.GetStartPosition();
    std::string_view name;
    const FieldMapPtr* fields = nullptr;
    while (entries.GetNextAssoc(pos, name, fields)) {
        ar.WriteString(name);
        if (!*fields) {
            ar.WriteWord(kNullTag);
            continue;
        }
        if (!classWritten) {
            ar.WriteWord(kNewClassTag);
            WriteClassHeader(ar);
            classWritten = true;
        } else {
            ar.WriteWord(kFirstClassReference);
        }
        WriteFieldMap(ar, **fields);
    }
}

void ReadStoreArchive(CArchive& ar, EntryMap& entries) {
    if (ar.AtEnd()) {
        throw CArchiveException(CArchiveException::endOfFile, 0, ar.FileName(),
                                "the file is empty; an empty store holds the two bytes 00 00");
    }
    const DWORD count = ar.ReadCount();
    entries.Reserve(entries.GetCount() + static_cast<std::size_t>(std::min<std::uint64_t>(
                                             count, ar.BytesRemaining() / kMinEntryBytes)));
    ObjectIndex index;
    FieldScratch scratch;
    std::string name;
    for (DWORD i = 0; i < count; ++i) {
        ar.ReadString(name);
        FieldMapPtr fields = ReadValueSlot(ar, index, scratch);
        entries.SetAt(name, std::move(fields));
    }
}

}  // namespace store
