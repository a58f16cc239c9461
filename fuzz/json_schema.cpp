#include "fuzz/json_schema.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "scan/text_characters.h"

namespace tavrix {

namespace {

using Kind = JsonValue::Kind;

// A strict reader of RFC 8259 JSON: one value, no trailing text, no lone surrogate.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    JsonValue document() {
        JsonValue value = read();
        skipBlanks();
        if (at_ != text_.size()) fail("text after the document");
        return value;
    }

private:
    [[noreturn]] void fail(const std::string& why) const {
        throw std::runtime_error("byte " + std::to_string(at_) + ": " + why);
    }
    void skipBlanks() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
    }
    bool take(char c) {
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == c) return ++at_, true;
        return false;
    }
    void expect(char c) {
        if (!take(c)) fail(std::string("expected '") + c + "'");
    }
    bool takeWord(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }

    JsonValue read() {
        skipBlanks();
        if (at_ == text_.size()) fail("the document ends early");
        JsonValue value;
        const char c = text_[at_];
        if (c == '{') {
            value.kind = Kind::object;
            ++at_;
            if (take('}')) return value;
            do {
                skipBlanks();
                if (at_ == text_.size() || text_[at_] != '"') fail("expected a member name");
                value.names.push_back(string());
                expect(':');
                value.items.push_back(read());
            } while (take(','));
            expect('}');
        } else if (c == '[') {
            value.kind = Kind::array;
            ++at_;
            if (take(']')) return value;
            do value.items.push_back(read());
            while (take(','));
            expect(']');
        } else if (c == '"') {
            value.kind = Kind::string;
            value.text = string();
        } else if (takeWord("true") || takeWord("false")) {
            value.kind = Kind::boolean;
            value.text = c == 't' ? "true" : "false";
        } else if (takeWord("null")) {
            value.kind = Kind::null;
        } else {
            value.kind = Kind::number;
            value.text = number();
        }
        return value;
    }

    std::string number() {
        const std::size_t begin = at_;
        const auto digits = [this] {
            const std::size_t first = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
            return at_ - first;
        };
        if (at_ < text_.size() && text_[at_] == '-') ++at_;
        const std::size_t integerStart = at_;
        const std::size_t integerDigits = digits();
        if (integerDigits == 0) fail("expected a value");
        if (integerDigits > 1 && text_[integerStart] == '0') fail("a number with a leading zero");
        if (at_ < text_.size() && text_[at_] == '.' && (++at_, digits() == 0)) fail("a fraction without digits");
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
            if (digits() == 0) fail("an exponent without digits");
        }
        return std::string(text_.substr(begin, at_ - begin));
    }

    unsigned hexUnit() {
        if (at_ + 4 > text_.size()) fail("a short \\u escape");
        unsigned unit = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[at_++];
            const int digit = h >= '0' && h <= '9'   ? h - '0'
                              : h >= 'a' && h <= 'f' ? h - 'a' + 10
                              : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                     : -1;
            if (digit < 0) fail("a bad \\u escape");
            unit = unit * 16 + static_cast<unsigned>(digit);
        }
        return unit;
    }

    std::string string() {
        ++at_;  // the opening quote
        std::string out;
        for (;;) {
            if (at_ == text_.size()) fail("a string without its closing quote");
            const char c = text_[at_];
            if (c == '"') return ++at_, out;
            if (static_cast<unsigned char>(c) < 0x20) fail("a raw control character in a string");
            if (c != '\\') {
                out += c;
                ++at_;
                continue;
            }
            if (++at_ == text_.size()) fail("a string ends in a backslash");
            const char e = text_[at_++];
            switch (e) {
                case '"':
                case '\\':
                case '/': out += e; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    char32_t c32 = hexUnit();
                    if (c32 >= 0xDC00 && c32 <= 0xDFFF) fail("a lone low surrogate");
                    if (c32 >= 0xD800 && c32 <= 0xDBFF) {
                        if (!takeWord("\\u")) fail("a lone high surrogate");
                        const unsigned low = hexUnit();
                        if (low < 0xDC00 || low > 0xDFFF) fail("a lone high surrogate");
                        c32 = 0x10000 + ((c32 - 0xD800) << 10) + (low - 0xDC00);
                    }
                    appendUtf8(out, c32);
                    break;
                }
                default: fail("an unknown escape");
            }
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

bool isIntegerLiteral(const std::string& literal) { return literal.find_first_of(".eE") == std::string::npos; }

// Whether the number a is below (-1), equal to (0) or above (1) the number b: integer literals by
// their digits, so that 2^64 and 2^64 - 1 differ; others as long doubles.
int compareNumbers(const std::string& a, const std::string& b) {
    if (isIntegerLiteral(a) && isIntegerLiteral(b)) {
        const bool aNegative = a[0] == '-', bNegative = b[0] == '-';
        if (aNegative != bNegative) return aNegative ? -1 : 1;
        const std::string_view x = std::string_view(a).substr(aNegative), y = std::string_view(b).substr(bNegative);
        int order = x.size() != y.size() ? (x.size() < y.size() ? -1 : 1) : x.compare(y) < 0 ? -1 : x.compare(y) > 0;
        return aNegative ? -order : order;
    }
    const long double x = std::strtold(a.c_str(), nullptr), y = std::strtold(b.c_str(), nullptr);
    return x < y ? -1 : x > y ? 1 : 0;
}

bool isInteger(const JsonValue& value) {
    if (value.kind != Kind::number) return false;
    if (isIntegerLiteral(value.text)) return true;
    const long double x = std::strtold(value.text.c_str(), nullptr);
    return std::isfinite(x) && x == std::truncl(x);
}

bool hasType(const JsonValue& value, const std::string& type) {
    static const char* const names[] = {"null", "boolean", "number", "string", "array", "object"};
    if (type == "integer") return isInteger(value);
    return type == names[static_cast<int>(value.kind)];
}

bool equal(const JsonValue& a, const JsonValue& b) {
    if (a.kind != b.kind || a.names != b.names || a.items.size() != b.items.size()) return false;
    if (a.kind == Kind::number ? compareNumbers(a.text, b.text) != 0 : a.text != b.text) return false;
    for (std::size_t i = 0; i < a.items.size(); ++i) {
        if (!equal(a.items[i], b.items[i])) return false;
    }
    return true;
}

const JsonValue* memberOf(const JsonValue& object, std::string_view name) {
    for (std::size_t i = 0; i < object.names.size(); ++i) {
        if (object.names[i] == name) return &object.items[i];
    }
    return nullptr;
}

std::string shown(const JsonValue& value) {
    if (value.kind == Kind::string) return "\"" + value.text + "\"";
    if (value.kind == Kind::null) return "null";
    if (value.kind == Kind::array) return "an array";
    if (value.kind == Kind::object) return "an object";
    return value.text;
}

std::string where(const std::string& at) { return at.empty() ? "/" : at; }

}  // namespace

JsonSchema JsonSchema::load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    if (!file) throw std::runtime_error(path + ": cannot read");
    return JsonSchema(JsonReader(text.str()).document());
}

std::string JsonSchema::violation(std::string_view document) const {
    for (std::size_t i = 0; i < document.size();) {
        const Utf8Character c = decodeUtf8(document, i);
        if (c.length == 0) return "byte " + std::to_string(i) + ": invalid UTF-8";
        i += c.length;
    }
    try {
        return check(root_, JsonReader(document).document(), "");
    } catch (const std::runtime_error& error) {
        return error.what();
    }
}

std::string JsonSchema::check(const JsonValue& schema, const JsonValue& value, const std::string& at) const {
    for (std::size_t k = 0; k < schema.names.size(); ++k) {
        const std::string& keyword = schema.names[k];
        const JsonValue& rule = schema.items[k];
        std::string why;
        if (keyword == "$schema" || keyword == "$id" || keyword == "title" || keyword == "description" ||
            keyword == "$defs") {
            continue;
        } else if (keyword == "type") {
            bool matches = false;
            if (rule.kind == Kind::string) matches = hasType(value, rule.text);
            for (const JsonValue& type : rule.items) matches |= hasType(value, type.text);
            if (!matches) why = shown(value) + " is not of the type the schema gives";
        } else if (keyword == "const") {
            if (!equal(value, rule)) why = shown(value) + " is not " + shown(rule);
        } else if (keyword == "minimum" || keyword == "maximum") {
            const int order = value.kind == Kind::number ? compareNumbers(value.text, rule.text) : 0;
            if (keyword == "minimum" ? order < 0 : order > 0)
                why = value.text + " is beyond the " + keyword + " " + rule.text;
        } else if (keyword == "required") {
            for (const JsonValue& name : rule.items) {
                if (value.kind == Kind::object && memberOf(value, name.text) == nullptr)
                    why = "no member \"" + name.text + "\"";
            }
        } else if (keyword == "properties") {
            for (std::size_t i = 0; i < value.names.size() && value.kind == Kind::object && why.empty(); ++i) {
                if (const JsonValue* member = memberOf(rule, value.names[i]))
                    why = check(*member, value.items[i], at + "/" + value.names[i]);
            }
            if (!why.empty()) return why;
        } else if (keyword == "additionalProperties") {
            const JsonValue* listed = memberOf(schema, "properties");
            for (std::size_t i = 0; i < value.names.size() && value.kind == Kind::object && why.empty(); ++i) {
                if (listed != nullptr && memberOf(*listed, value.names[i]) != nullptr) continue;
                if (rule.kind == Kind::boolean) {
                    if (rule.text == "false") why = "the member \"" + value.names[i] + "\" is not in the schema";
                } else {
                    if (!(why = check(rule, value.items[i], at + "/" + value.names[i])).empty()) return why;
                }
            }
        } else if (keyword == "items") {
            for (std::size_t i = 0; i < value.items.size() && value.kind == Kind::array; ++i) {
                if (!(why = check(rule, value.items[i], at + "/" + std::to_string(i))).empty()) return why;
            }
        } else if (keyword == "$ref") {
            const JsonValue* definitions = memberOf(root_, "$defs");
            const std::string prefix = "#/$defs/";
            const JsonValue* target = rule.text.rfind(prefix, 0) == 0 && definitions != nullptr
                                          ? memberOf(*definitions, rule.text.substr(prefix.size()))
                                          : nullptr;
            if (target == nullptr)
                why = "the schema's reference " + rule.text + " is not one this checker follows";
            else if (!(why = check(*target, value, at)).empty())
                return why;
        } else {
            why = "the schema's keyword " + keyword + " is not one this checker knows";
        }
        if (!why.empty()) return where(at) + ": " + why;
    }
    return {};
}

}  // namespace tavrix
