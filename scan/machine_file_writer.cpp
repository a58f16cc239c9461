#include "scan/machine_file_writer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "scan/file_replacement.h"
#include "scan/machine_file.h"
#include "scan/regular_file.h"
#include "scan/scan_error.h"
#include "scan/text_characters.h"

namespace tavrix {

namespace {

const std::string fileHeader =
    "# A computer's hardware as its seven management queries answered, for tavrix-report --machine\n";

std::string where(const PropertyRow& row, std::string_view name) {
    return std::string(row.className()) + " property \"" + std::string(name) + "\"";
}

std::string lineOf(std::string_view name, const ProviderValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) return std::string(name) + "=" + std::to_string(*number);
    return std::string(name) + "=" + std::get<std::string>(value);
}

// Refuses a text that holds a control character (the tab aside, which the reader refuses in a
// value with a message of its own) or an invisible character.
void rejectHiddenCharacters(const PropertyRow& row, std::string_view name, const ProviderValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    if (text == nullptr) return;
    for (std::size_t i = 0; i < text->size();) {
        const Utf8Character c = decodeUtf8(*text, i);
        if (c.length == 0) return;  // the read-back check names invalid UTF-8
        const char* kind = c.value != '\t' && isControlCharacter(c.value) ? "control"
                           : isInvisibleCharacter(c.value)                 ? "invisible"
                                                                           : nullptr;
        if (kind != nullptr) {
            throw ScanError("cannot save " + where(row, name) + " in a machine file: its value holds the " + kind +
                            " character " + codePointName(c.value));
        }
        i += c.length;
    }
}

// Whether reading back the file gives the same value, or a number and a text that every use turns
// into the same text and the same number.
bool readsBackAs(const ProviderValue& written, const ProviderValue& read) {
    if (written == read) return true;
    const auto* number = std::get_if<std::int64_t>(&written);
    const auto* text = std::get_if<std::string>(&read);
    if (number == nullptr) number = std::get_if<std::int64_t>(&read), text = std::get_if<std::string>(&written);
    return number != nullptr && text != nullptr && std::to_string(*number) == *text;
}

std::string shown(const ProviderValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) return "the number " + std::to_string(*number);
    if (const auto* text = std::get_if<std::string>(&value)) return "the text " + shownValue(*text);
    return "absent";
}

// The row's lines: its header and each property that is not absent.
std::string rowText(const PropertyRow& row) {
    std::string text = "[" + row.className() + "]\n";
    for (const auto& [name, value] : row.properties()) {
        if (isAbsent(value)) continue;
        rejectHiddenCharacters(row, name, value);
        text += lineOf(name, value) + "\n";
    }
    return text;
}

// What line `line` of a row's check text holds: the header is line 2, its properties follow.
std::string ownerOf(const PropertyRow& row, std::size_t line) {
    if (line == 2) return "the class name \"" + row.className() + "\"";
    std::size_t at = 3;
    for (const auto& [name, value] : row.properties()) {
        if (isAbsent(value)) continue;
        if (at++ == line) return where(row, name);
    }
    return "the machine";
}

// Reads the row's text back alone, after an empty line as it stands in the file, and throws when
// anything reads back differently, naming the class or the property. One row at a time, so that
// saving a large machine holds no second copy of it.
void checkReadsBack(const PropertyRow& row, const std::string& text) {
    constexpr const char* checkName = "machine";
    MachineDescription readBack;
    try {
        readBack = MachineFile::parse("\n" + text, checkName);
    } catch (const ScanError& failure) {
        const std::string message = failure.what();
        const std::size_t lineStart = std::strlen(checkName) + 1;
        const std::size_t lineEnd = message.find(": ", lineStart);
        std::size_t line = 0;
        if (lineEnd != std::string::npos)
            line = std::strtoul(message.substr(lineStart, lineEnd - lineStart).c_str(), nullptr, 10);
        const std::string reason = lineEnd == std::string::npos ? message : message.substr(lineEnd + 2);
        throw ScanError("cannot save " + ownerOf(row, line) + " in a machine file: " + reason);
    }
    const auto& readRows = readBack.rows();
    if (readRows.size() != 1) throw ScanError("cannot save the machine: it reads back with more rows");
    if (readRows[0].className() != row.className()) {
        throw ScanError("cannot save the class name \"" + row.className() + "\" in a machine file: it reads back differently");
    }
    for (const auto& [name, value] : row.properties()) {
        if (isAbsent(value)) continue;
        const ProviderValue read = readRows[0].readProperty(name);
        if (!readsBackAs(value, read)) {
            throw ScanError("cannot save " + where(row, name) + " in a machine file: " + shown(value) +
                            " would read back as " + shown(read));
        }
    }
}

}  // namespace

std::string MachineFileWriter::text(const MachineDescription& machine) {
    std::string out = fileHeader;
    for (const PropertyRow& row : machine.rows()) {
        const std::string text = rowText(row);
        checkReadsBack(row, text);
        out += "\n" + text;
    }
    return out;
}

void MachineFileWriter::save(const MachineDescription& machine, const std::string& path) {
    const std::string why = replaceFile(path, text(machine));
    if (!why.empty()) throw ScanError(shownPath(path) + ": " + why);
}

}  // namespace tavrix
