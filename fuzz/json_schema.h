#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrix {

// One parsed JSON value. Numbers keep their literal, so that integers of any size compare exactly.
struct JsonValue {
    enum class Kind { null, boolean, number, string, array, object };
    Kind kind = Kind::null;
    std::string text;                // a number's literal, a string's value, "true" or "false"
    std::vector<std::string> names;  // an object's member names, in order
    std::vector<JsonValue> items;    // an array's items, or an object's member values
};

// A JSON Schema (2020-12) as far as tavrix-report's own schema uses it: type, const, minimum,
// maximum, required, properties, additionalProperties, items and $ref into $defs; annotations
// ($schema, $id, title, description) are skipped. Any other keyword is reported as a violation,
// so that a schema that grows past what this checks is noticed rather than passed.
class JsonSchema {
public:
    // Reads the schema from a file; throws std::runtime_error when it cannot be read or parsed.
    static JsonSchema load(const std::string& path);
    // Empty when the text is one well-formed UTF-8 JSON document within the schema; otherwise the
    // first fault and where it is ("/figures/installedMemoryGB: -8 is below the minimum 0").
    std::string violation(std::string_view document) const;

private:
    explicit JsonSchema(JsonValue root) : root_(std::move(root)) {}
    std::string check(const JsonValue& schema, const JsonValue& value, const std::string& where) const;
    JsonValue root_;
};

}  // namespace tavrix
