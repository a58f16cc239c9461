#include "scan/machine_file.h"

#include <array>
#include <charconv>

#include "scan/ascii_text.h"
#include "scan/hardware_scan.h"
#include "scan/regular_file.h"
#include "scan/scan_error.h"
#include "scan/text_characters.h"

namespace tavrix {

namespace {

constexpr std::size_t maximumFileSize = 16 * 1024 * 1024;
// WMI's classes have at most about a hundred properties; a row of thousands is no computer's.
constexpr std::size_t maximumRowProperties = 4096;

// Properties that WMI types as whole numbers; the rest arrive as text.
constexpr std::array<std::string_view, 6> wholeNumberProperties = {
    "MaxCapacity", "MemoryDevices", "MemoryType", "Speed", "CurrentClockSpeed", "ExtClock",
};

// The message as a view: a literal stays whole in the binary, not rebuilt from pieces.
[[noreturn]] void fail(const std::string& fileName, std::size_t line, std::string_view message) {
    throw ScanError(fileName + ":" + std::to_string(line) + ": " + std::string(message));
}

// UTF-16LE (after its byte-order mark) to UTF-8; an unpaired surrogate is an error on its line.
std::string utf16ToUtf8(std::string_view bytes, const std::string& fileName) {
    if (bytes.size() % 2 != 0) fail(fileName, 1, "UTF-16 text with an odd number of bytes");
    std::string out;
    out.reserve(bytes.size() / 2);
    std::size_t line = 1;
    auto unit = [&bytes](std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 2 >= bytes.size() || unit(i + 2) < 0xDC00 || unit(i + 2) > 0xDFFF) {
                fail(fileName, line, "invalid UTF-16 (unpaired surrogate)");
            }
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            fail(fileName, line, "invalid UTF-16 (unpaired surrogate)");
        }
        if (c == '\n') ++line;
        appendUtf8(out, c);
    }
    return out;
}

std::string_view trimBlanks(std::string_view text) {
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    const auto end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// Why the line cannot be read as it stands, or empty: invalid UTF-8, a control character other
// than the tab, or an invisible character.
std::string characterFault(std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
        if (const auto byte = static_cast<unsigned char>(line[i]); (byte >= 0x20 && byte < 0x7F) || byte == '\t') {
            ++i;  // printable ASCII, most of any file
            continue;
        }
        const Utf8Character c = decodeUtf8(line, i);
        if (c.length == 0) return "invalid UTF-8";
        if (c.value != '\t' && isControlCharacter(c.value)) return "control character in the line";
        if (isInvisibleCharacter(c.value)) return "invisible character " + codePointName(c.value) + " in the line";
        i += c.length;
    }
    return {};
}

// A whole-number property's decimal digits as a number, leading zeros allowed; anything else, and
// digits beyond the largest 64-bit number (which no WMI property of these holds), as text.
ProviderValue typedValue(std::string_view name, std::string_view value) {
    bool wholeNumberProperty = false;
    for (const auto property : wholeNumberProperties) wholeNumberProperty |= equalsIgnoringCase(name, property);
    std::int64_t number = 0;
    if (wholeNumberProperty && !value.empty() && value.find_first_not_of("0123456789") == std::string_view::npos) {
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (error == std::errc() && end == value.data() + value.size()) return number;
    }
    return std::string(value);
}

// The text of a file, its byte-order mark gone and UTF-16LE turned into UTF-8; fails on the
// encodings it cannot read, saying what the file looks like. converted holds any new text.
std::string_view decodedText(std::string_view bytes, const std::string& fileName, std::string& converted) {
    const auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    std::string_view text = bytes;
    if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
        text = converted = utf16ToUtf8(bytes.substr(2), fileName);
    } else if (bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) {
        fail(fileName, 1, "UTF-16 big-endian text is not supported: save it as UTF-8 or UTF-16LE");
    } else if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    } else if (bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0')) {
        fail(fileName, 1,
             std::string("looks like UTF-16") + (bytes[1] == '\0' ? "LE" : " big-endian") +
                 " without its byte-order mark: save it as UTF-8, or as UTF-16LE with its byte-order mark");
    }
    if (text.find('\r') != std::string_view::npos && text.find('\n') == std::string_view::npos) {
        fail(fileName, 1, "lines end in CR alone: save the file with LF or CR LF line ends");
    }
    return text;
}

// Builds the description line by line. With a list of classes to keep, rows of other classes and
// properties not listed are checked like the rest and then dropped, so that they cost no memory.
class Parser {
public:
    Parser(const std::string& fileName, const std::vector<ClassProperties>* kept)
        : fileName_(fileName), kept_(kept), keptRows_(kept ? kept->size() : 0, 0) {}

    void header(std::size_t line, std::string_view className) {
        if (className.empty()) fail(fileName_, line, "empty class name in [ ]");
        className_ = className;
        rowProperties_ = 0;
        keptClass_ = nullptr;
        current_ = nullptr;
        if (kept_ != nullptr) {
            keptClass_ = findClass(*kept_, className);
            if (keptClass_ == nullptr) return;
            if (++keptRows_[keptClass_ - kept_->data()] > maximumClassRows) {
                fail(fileName_, line, "more than " + std::to_string(maximumClassRows) + " " + std::string(className) + " rows");
            }
        }
        current_ = &machine_.addRow(className);
    }

    void property(std::size_t line, std::string_view name, std::string_view value) {
        if (className_.empty()) fail(fileName_, line, "property before the first [Class] header");
        if (++rowProperties_ > maximumRowProperties) {
            fail(fileName_, line, "more than " + std::to_string(maximumRowProperties) + " properties in one " +
                                      className_ + " row");
        }
        if (current_ == nullptr) return;
        if (keptClass_ != nullptr && keptClass_->spelling(name).empty()) return;
        current_->set(name, typedValue(name, value));
    }

    MachineDescription machine_;

private:
    const std::string& fileName_;
    const std::vector<ClassProperties>* kept_;
    std::vector<std::size_t> keptRows_;  // rows so far of each kept class
    const ClassProperties* keptClass_ = nullptr;
    PropertyRow* current_ = nullptr;     // the row being filled; nullptr while a row is dropped
    std::string className_;              // the class of the row being read, kept or not
    std::size_t rowProperties_ = 0;
};

MachineDescription parseLines(std::string_view bytes, const std::string& fileName,
                              const std::vector<ClassProperties>* kept) {
    std::string converted;
    std::string_view text = decodedText(bytes, fileName, converted);
    Parser parser(fileName, kept);
    std::size_t lineNumber = 0;
    while (!text.empty() || lineNumber == 0) {
        ++lineNumber;
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (const std::string fault = characterFault(line); !fault.empty()) fail(fileName, lineNumber, fault);
        const std::string_view trimmed = trimBlanks(line);
        if (trimmed.empty() || trimmed.front() == '#') continue;
        if (trimmed.front() == '[' && trimmed.back() == ']' && trimmed.size() >= 2) {
            parser.header(lineNumber, trimBlanks(trimmed.substr(1, trimmed.size() - 2)));
            continue;
        }
        const auto equals = line.find('=');
        const std::string_view name = equals == std::string_view::npos ? std::string_view() : trimBlanks(line.substr(0, equals));
        if (name.empty()) fail(fileName, lineNumber, "expected [Class] or Name=value");
        const std::string_view value = line.substr(equals + 1);
        if (value.find('\t') != std::string_view::npos) fail(fileName, lineNumber, "tab in the value");
        parser.property(lineNumber, name, value);
    }
    return std::move(parser.machine_);
}

}  // namespace

MachineDescription MachineFile::parse(std::string_view bytes, const std::string& fileName) {
    return parseLines(bytes, fileName, nullptr);
}

MachineDescription MachineFile::parse(std::string_view bytes, const std::string& fileName,
                                      const std::vector<ClassProperties>& kept) {
    return parseLines(bytes, fileName, &kept);
}

MachineDescription MachineFile::read(const std::string& path) {
    const std::string shown = shownPath(path);
    const RegularFile file = RegularFile::read(path, maximumFileSize);
    if (!file.bytes) {
        throw ScanError(shown + ": " + file.why + (file.why.starts_with("larger") ? ", not a machine file" : ""));
    }
    return parse(*file.bytes, shown, scannedClasses());
}

std::unique_ptr<ManagementProvider> makeMachineFileProvider(const std::string& path) {
    return std::make_unique<DescriptionProvider>(MachineFile::read(path));
}

}  // namespace tavrix
