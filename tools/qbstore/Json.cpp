#include "Json.h"

#include <cstdio>

#include "text/CodePage.h"

namespace json {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
    out += text::FromCodePoints(std::u32string_view(&c, 1), text::CodePage::Utf8);
}

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    Value ParseDocument() {
        Value v = ParseValue(0);
        SkipSpace();
        if (pos_ != text_.size()) {
            Fail("unexpected text after the end of the JSON value");
        }
        return v;
    }

  private:
    static constexpr int kMaxDepth = 64;

    [[noreturn]] void Fail(const std::string& what) const { throw ParseError(what, pos_); }

    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r')) {
            ++pos_;
        }
    }

    bool Eat(char c) {
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    void Expect(char c) {
        if (!Eat(c)) {
            Fail(std::string("expected '") + c + "'");
        }
    }

    bool EatWord(std::string_view word) {
        if (text_.substr(pos_, word.size()) == word) {
            pos_ += word.size();
            return true;
        }
        return false;
    }

    Value ParseValue(int depth) {
        if (depth > kMaxDepth) {
            Fail("the JSON is nested too deeply");
        }
        SkipSpace();
        Value v;
        v.offset = pos_;
        if (pos_ >= text_.size()) {
            Fail("unexpected end of the JSON text");
        }
        const char c = text_[pos_];
        if (c == '{') {
            ++pos_;
            v.type = Value::Type::Object;
            if (!Eat('}')) {
                do {
                    SkipSpace();
                    std::string name;
                    for (char32_t cp : ParseString()) {
                        AppendUtf8(name, cp);
                    }
                    Expect(':');
                    v.members.push_back(Member{std::move(name), ParseValue(depth + 1)});
                } while (Eat(','));
                Expect('}');
            }
        } else if (c == '[') {
            ++pos_;
            v.type = Value::Type::Array;
            if (!Eat(']')) {
                do {
                    v.items.push_back(ParseValue(depth + 1));
                } while (Eat(','));
                Expect(']');
            }
        } else if (c == '"') {
            v.type = Value::Type::String;
            v.string = ParseString();
        } else if (EatWord("null")) {
            v.type = Value::Type::Null;
        } else if (EatWord("true") || EatWord("false")) {
            v.type = Value::Type::Bool;
            v.boolean = text_[v.offset] == 't';
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            v.type = Value::Type::Number;
            while (pos_ < text_.size() && std::string_view("+-.eE0123456789").find(text_[pos_]) !=
                                              std::string_view::npos) {
                ++pos_;
            }
            v.number = std::string(text_.substr(v.offset, pos_ - v.offset));
        } else {
            Fail("expected a JSON value");
        }
        return v;
    }

    unsigned Hex4() {
        if (pos_ + 4 > text_.size()) {
            Fail("a \\u escape needs four hex digits");
        }
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[pos_++];
            v <<= 4;
            if (h >= '0' && h <= '9') {
                v |= static_cast<unsigned>(h - '0');
            } else if (h >= 'a' && h <= 'f') {
                v |= static_cast<unsigned>(h - 'a' + 10);
            } else if (h >= 'A' && h <= 'F') {
                v |= static_cast<unsigned>(h - 'A' + 10);
            } else {
                --pos_;
                Fail("a \\u escape needs four hex digits");
            }
        }
        return v;
    }

    // Takes the run of non-ASCII bytes at the position; it must be valid UTF-8, which
    // is exactly the text that survives a decode and encode unchanged.
    std::u32string Utf8Run() {
        std::size_t end = pos_;
        while (end < text_.size() && static_cast<unsigned char>(text_[end]) >= 0x80) {
            ++end;
        }
        const std::string_view run = text_.substr(pos_, end - pos_);
        std::u32string cps = text::ToCodePoints(run, text::CodePage::Utf8);
        if (text::FromCodePoints(cps, text::CodePage::Utf8) != run) {
            Fail("the JSON text is not valid UTF-8");
        }
        pos_ = end;
        return cps;
    }

    std::u32string ParseString() {
        if (pos_ >= text_.size() || text_[pos_] != '"') {
            Fail("expected a string");
        }
        ++pos_;
        std::u32string out;
        for (;;) {
            if (pos_ >= text_.size()) {
                Fail("a string is not closed");
            }
            const auto c = static_cast<unsigned char>(text_[pos_]);
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (c < 0x20) {
                Fail("a control character must be escaped in a string");
            }
            if (c >= 0x80) {
                out += Utf8Run();
                continue;
            }
            ++pos_;
            if (c != '\\') {
                out += static_cast<char32_t>(c);
                continue;
            }
            if (pos_ >= text_.size()) {
                Fail("a string is not closed");
            }
            const char e = text_[pos_++];
            switch (e) {
                case '"':
                    out += U'"';
                    break;
                case '\\':
                    out += U'\\';
                    break;
                case '/':
                    out += U'/';
                    break;
                case 'b':
                    out += U'\b';
                    break;
                case 'f':
                    out += U'\f';
                    break;
                case 'n':
                    out += U'\n';
                    break;
                case 'r':
                    out += U'\r';
                    break;
                case 't':
                    out += U'\t';
                    break;
                case 'u': {
                    char32_t cp = Hex4();
                    // A high surrogate followed by a low one is one character.
                    if (cp >= 0xD800 && cp <= 0xDBFF && text_.substr(pos_, 2) == "\\u") {
                        const std::size_t save = pos_;
                        pos_ += 2;
                        const char32_t low = Hex4();
                        if (low >= 0xDC00 && low <= 0xDFFF) {
                            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                        } else {
                            pos_ = save;
                        }
                    }
                    out += cp;
                    break;
                }
                default:
                    --pos_;
                    Fail("unknown escape in a string");
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

const char* Value::TypeName() const {
    switch (type) {
        case Type::Null:
            return "null";
        case Type::Bool:
            return "a boolean";
        case Type::Number:
            return "a number";
        case Type::String:
            return "a string";
        case Type::Array:
            return "an array";
        case Type::Object:
            return "an object";
    }
    return "?";
}

ParseError::ParseError(const std::string& what, std::size_t at)
    : std::runtime_error(what + " (at byte " + std::to_string(at) + ")"), offset(at) {}

Value Parse(std::string_view text) {
    return Parser(text).ParseDocument();
}

void AppendString(std::string& out, std::u32string_view codePoints) {
    out += '"';
    for (const char32_t c : codePoints) {
        switch (c) {
            case U'"':
                out += "\\\"";
                continue;
            case U'\\':
                out += "\\\\";
                continue;
            case U'\n':
                out += "\\n";
                continue;
            case U'\r':
                out += "\\r";
                continue;
            case U'\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
            out += buf;
        } else {
            AppendUtf8(out, c);
        }
    }
    out += '"';
}

}  // namespace json
