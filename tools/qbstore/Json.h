// A small JSON reader and string writer for qbstore: enough for the store's JSON form,
// strict about everything else.
//
// Strings are kept as code points. A \uXXXX escape of a lone surrogate is kept as that
// code point (qbstore uses U+DC80..U+DCFF for bytes that are not text); raw text must
// be valid UTF-8. Numbers are kept as their text.
//
// Thread: any (no shared state).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace json {

struct Member;

struct Value {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    std::string number;
    std::u32string string;
    std::vector<Value> items;     // Array
    std::vector<Member> members;  // Object, in order
    std::size_t offset = 0;       // where the value starts in the text

    const char* TypeName() const;
};

struct Member {
    std::string name;  // UTF-8
    Value value;
};

// A syntax error, with the byte offset in the text.
class ParseError : public std::runtime_error {
  public:
    ParseError(const std::string& what, std::size_t offset);
    std::size_t offset;
};

// Parses one JSON text (whitespace around it allowed, nothing else after it).
Value Parse(std::string_view text);

// Appends code points as a JSON string literal (quotes included) in UTF-8. Quote,
// backslash and control characters are escaped; so is every surrogate code point
// (\uDCxx), which raw UTF-8 cannot carry.
void AppendString(std::string& out, std::u32string_view codePoints);

}  // namespace json
