#include "cli/report_json.h"

#include <charconv>
#include <cstdio>

#include "scan/ascii_text.h"
#include "scan/text_characters.h"
#include "scan/value_table.h"

namespace tavrix {

namespace {

std::string unicodeEscape(char32_t c) {
    char buffer[16];
    if (c > 0xFFFF) {
        const char32_t v = c - 0x10000;
        std::snprintf(buffer, sizeof buffer, "\\u%04X\\u%04X", static_cast<unsigned>(0xD800 + (v >> 10)),
                      static_cast<unsigned>(0xDC00 + (v & 0x3FF)));
    } else {
        std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
    }
    return buffer;
}

std::string jsonValue(const ProviderValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
    if (const auto* text = std::get_if<std::string>(&value)) return jsonString(*text);
    return "null";
}

// A whole number of bytes given as a number or as decimal digits with blanks around them, up to
// 2^64 - 1; null otherwise (absent, a sign, a fraction, more digits than that).
std::string jsonWholeNumber(const ProviderValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) return *number < 0 ? "null" : std::to_string(*number);
    const auto* text = std::get_if<std::string>(&value);
    if (text == nullptr) return "null";
    const std::size_t begin = text->find_first_not_of(' ');
    if (begin == std::string::npos) return "null";
    const std::string_view digits = std::string_view(*text).substr(begin, text->find_last_not_of(' ') - begin + 1);
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size()) return "null";
    return std::to_string(number);
}

std::string jsonNumber(double number) {
    if (number == 0) return "0";
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, 15);
    if (error != std::errc()) return "null";
    return std::string(buffer, end);
}

// One object of members, written with two blanks per level.
class JsonObject {
public:
    explicit JsonObject(int depth) : depth_(depth) {}
    JsonObject& member(std::string_view name, const std::string& json) {
        text_ += first_ ? "{\n" : ",\n";
        first_ = false;
        text_.append(2 * (depth_ + 1), ' ').append(jsonString(name)).append(": ").append(json);
        return *this;
    }
    // The object's text, handed over rather than copied: a machine's modules can make it large.
    std::string close() {
        if (first_) return "{}";
        text_.append("\n").append(2 * depth_, ' ').append("}");
        return std::move(text_);
    }

private:
    int depth_;
    bool first_ = true;
    std::string text_;
};

// The items, each turned into JSON by toJson, as an array written with two blanks per level.
template <typename Items, typename ToJson>
std::string jsonArray(Items& items, int depth, ToJson toJson) {
    if (items.empty()) return "[]";
    std::string text = "[\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        text.append(2 * (depth + 1), ' ').append(toJson(items[i])).append(i + 1 < items.size() ? ",\n" : "\n");
    }
    return text.append(2 * depth, ' ').append("]");
}


// The last row of the class, as the scan keeps the last row's values; nullptr when there is none.
const PropertyRow* lastRowOf(const MachineDescription& answered, std::string_view className) {
    const PropertyRow* last = nullptr;
    for (const PropertyRow& row : answered.rows()) {
        if (equalsIgnoringCase(row.className(), className)) last = &row;
    }
    return last;
}

ProviderValue valueOf(const PropertyRow* row, std::string_view name) {
    return row == nullptr ? ProviderValue() : row->readProperty(name);
}

// The named properties of the class's last row, as read: a text, a whole number or null.
std::string classObject(const MachineDescription& answered, std::string_view className,
                        std::initializer_list<std::pair<std::string_view, std::string_view>> members) {
    const PropertyRow* row = lastRowOf(answered, className);
    JsonObject object(1);
    for (const auto& [member, property] : members) object.member(member, jsonValue(valueOf(row, property)));
    return object.close();
}

// Each module row in table order: as read, and as the window's lists show it.
std::vector<std::string> moduleObjects(const RecordingSink& sink, const MachineDescription& answered) {
    std::vector<std::string> modules;
    std::size_t index = 0;
    const auto& sizes = sink.rows(ModuleList::memoryLst);
    const auto& speeds = sink.rows(ModuleList::speedLst);
    for (const PropertyRow& row : answered.rows()) {
        if (!equalsIgnoringCase(row.className(), "Win32_PhysicalMemory")) continue;
        const ProviderValue capacity = row.readProperty("Capacity");
        JsonObject module(2);
        module.member("slot", jsonValue(row.readProperty("DeviceLocator")))
            .member("capacity", jsonValue(capacity))
            .member("sizeBytes", jsonWholeNumber(capacity))
            .member("size", jsonString(index < sizes.size() ? sizes[index] : std::string()))
            .member("memoryType", jsonValue(row.readProperty("MemoryType")))
            .member("speed", jsonValue(row.readProperty("Speed")))
            .member("speedText", jsonString(index < speeds.size() ? speeds[index] : std::string()));
        modules.push_back(module.close());
        ++index;
    }
    return modules;
}

// What the window shows: the seventeen labels by meaning, then the three lists' rows.
std::string windowObject(const RecordingSink& sink) {
    JsonObject window(1);
    for (const ValueEntry& entry : valueTable()) window.member(entry.jsonMember, jsonString(sink.caption(entry.label)));
    window.member("slotsLst", jsonArray(sink.rows(ModuleList::slotsLst), 2, jsonString))
        .member("memoryLst", jsonArray(sink.rows(ModuleList::memoryLst), 2, jsonString))
        .member("speedLst", jsonArray(sink.rows(ModuleList::speedLst), 2, jsonString));
    return window.close();
}

}  // namespace

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Character c = decodeUtf8(text, i);
        if (c.length == 0) {
            out += "\\uFFFD";
            ++i;
            continue;
        }
        switch (c.value) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (isControlCharacter(c.value) || isInvisibleCharacter(c.value)) {
                out += unicodeEscape(c.value);
            } else {
                out.append(text.substr(i, c.length));
            }
        }
        i += c.length;
    }
    return out + "\"";
}

std::string reportJson(const HardwareScan& scan, const RecordingSink& sink, const MachineDescription& answered,
                       std::string_view programVersion) {
    const ScanValues& v = scan.values();
    std::vector<std::string> modules = moduleObjects(sink, answered);

    JsonObject figures(1);
    figures.member("installedMemoryGB", jsonNumber(v.totalMemoryGB))
        .member("maximumMemoryGB", jsonNumber(v.maxMemoryGB))
        .member("moduleCount", std::to_string(v.moduleCount));

    JsonObject document(0);
    document.member("format", std::to_string(reportJsonFormat))
        .member("programVersion", jsonString(programVersion))
        .member("system", classObject(answered, "Win32_ComputerSystem",
                                      {{"manufacturer", "Manufacturer"},
                                       {"model", "Model"},
                                       {"totalPhysicalMemory", "TotalPhysicalMemory"},
                                       {"systemType", "SystemType"}}))
        .member("product", classObject(answered, "Win32_ComputerSystemProduct",
                                       {{"identifyingNumber", "IdentifyingNumber"}, {"version", "Version"}}))
        .member("processor", classObject(answered, "Win32_Processor",
                                         {{"name", "Name"},
                                          {"manufacturer", "Manufacturer"},
                                          {"currentClockSpeed", "CurrentClockSpeed"},
                                          {"extClock", "ExtClock"}}))
        .member("motherboard",
                classObject(answered, "Win32_Baseboard", {{"manufacturer", "Manufacturer"}, {"product", "Product"}}))
        .member("bios",
                classObject(answered, "Win32_Bios", {{"manufacturer", "Manufacturer"}, {"version", "SMBIOSBIOSVersion"}}))
        .member("memoryArray", classObject(answered, "Win32_PhysicalMemoryArray",
                                           {{"manufacturer", "Manufacturer"},
                                            {"maxCapacity", "MaxCapacity"},
                                            {"memoryDevices", "MemoryDevices"}}))
        .member("modules", jsonArray(modules, 1, [](std::string& module) { return std::move(module); }))
        .member("window", windowObject(sink))
        .member("figures", figures.close())
        .member("lookupAddress", jsonString(scan.lookupAddress()));
    return document.close().append("\n");
}

}  // namespace tavrix
