#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrix {

// The characters that a text of ours never holds as they are: a machine file refuses them, the
// writer will not save them and a path shown in a message escapes them.
//
// Control characters: U+0000 to U+001F (the machine file allows the tab as a blank), U+007F to
// U+009F.
bool isControlCharacter(char32_t c);

// Invisible characters, which show nothing yet change how the text around them is laid out,
// broken, joined or read: the soft hyphen U+00AD, the Arabic letter mark U+061C, the Mongolian
// vowel separator U+180E, the zero-width space, joiners and direction marks U+200B to U+200F,
// the line and paragraph separators and bidirectional embeddings and overrides U+2028 to U+202E,
// the word joiner and invisible operators U+2060 to U+2064, the bidirectional isolates and
// deprecated format characters U+2066 to U+206F, U+FEFF (allowed only as a file's byte-order
// mark), the interlinear annotation characters U+FFF9 to U+FFFB and the tag characters U+E0000
// to U+E007F.
bool isInvisibleCharacter(char32_t c);

// One character of UTF-8 text.
struct Utf8Character {
    char32_t value = 0;
    std::size_t length = 0;  // 0: the bytes at that position are not well-formed UTF-8
};

// Decodes the character that starts at text[at] (at < text.size()); overlong forms, surrogates
// and values past U+10FFFF are not well-formed.
Utf8Character decodeUtf8(std::string_view text, std::size_t at);

// Appends the character (at most U+10FFFF, no surrogate) to out as UTF-8.
void appendUtf8(std::string& out, char32_t c);

// "U+00AD", "U+E0001": a character as messages name it.
std::string codePointName(char32_t c);

}  // namespace tavrix
