#pragma once

#include <array>
#include <string>
#include <string_view>

#include "forms/window_description.h"

namespace tavrix::forms {

// The disclaimer window Dialog: Frame1 holding Text1, CancelButton and OKButton.
const WindowDescription& dialogForm();

// The four paragraphs of the disclaimer, plain ASCII.
extern const std::array<std::string_view, 4> disclaimerParagraphs;

// The disclaimer as Form_Load assembles it: the paragraphs with CR LF CR LF between them and no
// line break at the end (920 characters).
std::string disclaimerText();

}  // namespace tavrix::forms
