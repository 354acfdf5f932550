#include "netmgmt/json_reader.h"

#include <cstdint>

#include "netmgmt/utf_text.h"

namespace json {

class Parser {
public:
    explicit Parser(const std::string& text) : s_(text) {}

    Value document() {
        Value v = value(0);
        skip_space();
        if (pos_ != s_.size())
            fail("trailing characters");
        return v;
    }

private:
    // Reports nest a few levels; the limit only guards the stack.
    static constexpr int kMaxDepth = 64;

    [[noreturn]] void fail(const char* what) const {
        throw ParseError(std::string(what) + " at offset " + std::to_string(pos_));
    }

    void skip_space() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r'))
            ++pos_;
    }

    char peek() {
        skip_space();
        if (pos_ >= s_.size())
            fail("unexpected end");
        return s_[pos_];
    }

    void expect(char c) {
        if (peek() != c)
            fail("unexpected character");
        ++pos_;
    }

    Value value(int depth) {
        if (depth > kMaxDepth)
            fail("nesting too deep");
        Value v;
        char c = peek();
        if (c == '{') {
            v.type_ = Value::Type::Object;
            ++pos_;
            if (peek() == '}') {
                ++pos_;
                return v;
            }
            for (;;) {
                if (peek() != '"')
                    fail("expected a member name");
                std::string key = string_body();
                expect(':');
                v.members_.emplace_back(std::move(key), value(depth + 1));
                if (peek() == ',') {
                    ++pos_;
                    continue;
                }
                expect('}');
                return v;
            }
        }
        if (c == '[') {
            v.type_ = Value::Type::Array;
            ++pos_;
            if (peek() == ']') {
                ++pos_;
                return v;
            }
            for (;;) {
                v.elements_.push_back(value(depth + 1));
                if (peek() == ',') {
                    ++pos_;
                    continue;
                }
                expect(']');
                return v;
            }
        }
        if (c == '"') {
            v.type_ = Value::Type::String;
            v.text_ = string_body();
            return v;
        }
        if (literal("true") || literal("false")) {
            v.type_ = Value::Type::Bool;
            v.text_ = s_[pos_ - 1] == 'e' && s_[pos_ - 2] == 'u' ? "true" : "false";
            return v;
        }
        if (literal("null"))
            return v;
        v.type_ = Value::Type::Number;
        v.text_ = number();
        return v;
    }

    bool literal(const char* word) {
        std::size_t n = std::char_traits<char>::length(word);
        if (s_.compare(pos_, n, word) != 0)
            return false;
        pos_ += n;
        return true;
    }

    std::string number() {
        std::size_t start = pos_;
        if (pos_ < s_.size() && s_[pos_] == '-')
            ++pos_;
        std::size_t digits = pos_;
        while (pos_ < s_.size() && ((s_[pos_] >= '0' && s_[pos_] <= '9') || s_[pos_] == '.' || s_[pos_] == 'e' ||
                                    s_[pos_] == 'E' || s_[pos_] == '+' || s_[pos_] == '-'))
            ++pos_;
        if (pos_ == digits || s_[digits] < '0' || s_[digits] > '9')
            fail("unexpected character");
        return s_.substr(start, pos_ - start);
    }

    unsigned hex4() {
        if (pos_ + 4 > s_.size())
            fail("short \\u escape");
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9')
                v |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                v |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                v |= static_cast<unsigned>(c - 'A' + 10);
            else
                fail("bad \\u escape");
        }
        return v;
    }

    // At an opening quote: returns the decoded string, UTF-8 bytes kept as
    // they are.
    std::string string_body() {
        ++pos_;
        std::string out;
        for (;;) {
            std::size_t run = pos_;
            while (run < s_.size() && s_[run] != '"' && s_[run] != '\\' && static_cast<unsigned char>(s_[run]) >= 0x20)
                ++run;
            out.append(s_, pos_, run - pos_);
            pos_ = run;
            if (pos_ >= s_.size())
                fail("unterminated string");
            char c = s_[pos_++];
            if (c == '"')
                return out;
            if (c != '\\')
                fail("control character in string");
            if (pos_ >= s_.size())
                fail("unterminated string");
            char e = s_[pos_++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned cp = hex4();
                if (cp >= 0xD800 && cp < 0xDC00 && s_.compare(pos_, 2, "\\u") == 0) {
                    std::size_t back = pos_;
                    pos_ += 2;
                    unsigned low = hex4();
                    if (low >= 0xDC00 && low < 0xE000)
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    else
                        pos_ = back;
                }
                // A lone surrogate cannot be written as UTF-8.
                if (cp >= 0xD800 && cp < 0xE000)
                    cp = 0xFFFD;
                utf::append_utf8(out, cp);
                break;
            }
            default:
                fail("bad escape");
            }
        }
    }

    const std::string& s_;
    std::size_t pos_ = 0;
};

const Value* Value::find(const std::string& key) const {
    for (const auto& m : members_)
        if (m.first == key)
            return &m.second;
    return nullptr;
}

Value parse(const std::string& text) { return Parser(text).document(); }

std::string text_of(const Value& object, const std::string& key) {
    const Value* v = object.find(key);
    return v ? v->text() : std::string();
}

std::uint64_t unsigned_of(const Value& object, const std::string& key, std::uint64_t fallback) {
    const Value* v = object.find(key);
    if (!v || (v->type() != Value::Type::Number && v->type() != Value::Type::String))
        return fallback;
    const std::string& t = v->text();
    if (t.empty() || t.size() > 20)
        return fallback;
    std::uint64_t n = 0;
    for (char c : t) {
        if (c < '0' || c > '9')
            return fallback;
        auto digit = static_cast<std::uint64_t>(c - '0');
        if (n > (UINT64_MAX - digit) / 10)
            return fallback;
        n = n * 10 + digit;
    }
    return n;
}

}  // namespace json
