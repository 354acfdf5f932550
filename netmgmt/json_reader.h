// A small JSON reader for the reports of Samba's tools: the whole document
// becomes a tree of values. Objects keep their members in document order.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace json {

struct ParseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Value {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    Type type() const { return type_; }
    bool is_object() const { return type_ == Type::Object; }

    // Member of an object, or nullptr when absent or this is not an object.
    const Value* find(const std::string& key) const;
    const std::vector<std::pair<std::string, Value>>& members() const { return members_; }
    const std::vector<Value>& elements() const { return elements_; }

    // Text of a string, or the literal text of a number ("" for others).
    const std::string& text() const { return text_; }
    bool boolean() const { return type_ == Type::Bool && text_ == "true"; }

private:
    friend class Parser;
    Type type_ = Type::Null;
    std::string text_;
    std::vector<std::pair<std::string, Value>> members_;
    std::vector<Value> elements_;
};

// Parses a whole document; throws ParseError on malformed input.
Value parse(const std::string& text);

// Convenience for reports: the member's string or number text, "" if absent.
std::string text_of(const Value& object, const std::string& key);
// The member as an unsigned number, written as a JSON number or a decimal
// string; `fallback` when absent or not a plain decimal within range.
std::uint64_t unsigned_of(const Value& object, const std::string& key, std::uint64_t fallback = 0);

}  // namespace json
