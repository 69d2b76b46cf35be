#include "StoreJson.h"

#include <cstdio>

#include "Json.h"

namespace qbstore {
namespace {

constexpr char32_t kByteEscapeBase = 0xDC00;  // U+DC80..U+DCFF stand for bytes 80..FF

std::u32string Decode(std::string_view bytes, text::CodePage cp) {
    std::u32string cps = text::ToCodePoints(bytes, cp);
    if (cp != text::CodePage::Utf8) {
        return cps;  // every byte is a character
    }
    // The decoder gives U+FFFD for each byte that is not UTF-8; tell those from a real
    // U+FFFD (EF BF BD) and keep the byte.
    std::size_t at = 0;
    for (char32_t& c : cps) {
        if (c == 0xFFFD && bytes.compare(at, 3, "\xEF\xBF\xBD") != 0) {
            c = kByteEscapeBase + static_cast<unsigned char>(bytes[at]);
            at += 1;
        } else {
            at += text::FromCodePoints(std::u32string_view(&c, 1), cp).size();
        }
    }
    return cps;
}

[[noreturn]] void Fail(const json::Value& at, const std::string& what) {
    throw JsonFormError(what + " (at byte " + std::to_string(at.offset) + ")");
}

std::string Encode(const json::Value& v, text::CodePage cp, const char* what) {
    if (v.type != json::Value::Type::String) {
        Fail(v, std::string(what) + " must be a string, not " + v.TypeName());
    }
    std::string bytes;
    for (const char32_t c : v.string) {
        if (c >= kByteEscapeBase + 0x80 && c <= kByteEscapeBase + 0xFF) {
            bytes += static_cast<char>(c - kByteEscapeBase);
            continue;
        }
        char hex[16];
        std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(c));
        if (c == 0) {
            Fail(v, std::string(what) + " holds a NUL character, which stores never hold");
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            Fail(v, std::string(what) + " holds the lone surrogate " + hex);
        }
        const std::string one = text::FromCodePoints(std::u32string_view(&c, 1), cp);
        if (one == "?" && c != U'?') {
            Fail(v, std::string(what) + " holds " + hex + ", which code page " +
                        std::to_string(static_cast<unsigned>(cp)) + " cannot hold");
        }
        bytes += one;
    }
    return bytes;
}

const json::Value* Member(const json::Value& object, const char* name) {
    for (const json::Member& m : object.members) {
        if (m.name == name) {
            return &m.value;
        }
    }
    return nullptr;
}

void RequireMembers(const json::Value& object, std::initializer_list<const char*> names,
                    const char* what) {
    if (object.type != json::Value::Type::Object) {
        Fail(object, std::string(what) + " must be an object, not " + object.TypeName());
    }
    for (const json::Member& m : object.members) {
        bool known = false;
        for (const char* name : names) {
            known = known || m.name == name;
        }
        if (!known) {
            Fail(m.value, std::string(what) + " has an unknown member \"" + m.name + "\"");
        }
    }
    for (const char* name : names) {
        if (Member(object, name) == nullptr) {
            Fail(object, std::string(what) + " lacks the member \"" + name + "\"");
        }
    }
}

FieldMapPtr FieldsFromJson(const json::Value& fields, text::CodePage cp) {
    if (fields.type == json::Value::Type::Null) {
        return nullptr;
    }
    if (fields.type != json::Value::Type::Array) {
        Fail(fields, std::string("\"fields\" must be null or an array, not ") + fields.TypeName());
    }
    auto map = std::make_unique<CMapStringToString>();
    for (const json::Value& pair : fields.items) {
        if (pair.type != json::Value::Type::Array || pair.items.size() != 2) {
            Fail(pair, "a field must be an array of a key and a value");
        }
        map->SetAt(Encode(pair.items[0], cp, "a field key"),
                   Encode(pair.items[1], cp, "a field value"));
    }
    return map;
}

}  // namespace

std::string ToJson(const EntryMap& entries, text::CodePage cp) {
    std::string out = "{\"entries\":[";
    POSITION pos = entries.GetStartPosition();
    std::string_view name;
    const FieldMapPtr* fields = nullptr;
    bool firstEntry = true;
    while (entries.GetNextAssoc(pos, name, fields)) {
        out += firstEntry ? "{\"name\":" : ",{\"name\":";
        firstEntry = false;
        json::AppendString(out, Decode(name, cp));
        out += ",\"fields\":";
        if (!*fields) {
            out += "null}";
            continue;
        }
        out += '[';
        POSITION fieldPos = (*fields)->GetStartPosition();
        std::string_view key;
        std::string_view value;
        bool firstField = true;
        while ((*fields)->GetNextAssoc(fieldPos, key, value)) {
            out += firstField ? "[" : ",[";
            firstField = false;
            json::AppendString(out, Decode(key, cp));
            out += ',';
            json::AppendString(out, Decode(value, cp));
            out += ']';
        }
        out += "]}";
    }
    out += "]}";
    return out;
}

void FromJson(const std::string& text, EntryMap& entries, text::CodePage cp) {
    const json::Value doc = json::Parse(text);
    RequireMembers(doc, {"entries"}, "the document");
    const json::Value& list = *Member(doc, "entries");
    if (list.type != json::Value::Type::Array) {
        Fail(list, std::string("\"entries\" must be an array, not ") + list.TypeName());
    }
    for (const json::Value& entry : list.items) {
        RequireMembers(entry, {"name", "fields"}, "an entry");
        std::string name = Encode(*Member(entry, "name"), cp, "a name");
        entries.SetAt(name, FieldsFromJson(*Member(entry, "fields"), cp));
    }
}

}  // namespace qbstore
