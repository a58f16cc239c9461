#include "forms/dialog_form.h"

#include "forms/program_texts.h"

namespace tavrix::forms {

namespace {

using K = ControlKind;
using C = ControlDescription;

// Frame1 fills the client area and cannot take the focus, so Text1 has it when the window opens.
// Columns: name, kind, container, caption, place, font, text colour, tab index.
// clang-format off
constexpr std::array controls{
    C{"Frame1", K::Frame, "", "", {0, 0, 6135, 4815}, defaultFont, {}, 0},
    C{"Text1", K::TextBox, "Frame1", "", {120, 240, 5895, 3975}, defaultFont, {}, 1},
    C{"CancelButton", K::Button, "Frame1", "Cancel", {3240, 4320, 1215, 375}, defaultFont, {}, 2},
    C{"OKButton", K::Button, "Frame1", "OK", {1920, 4320, 1215, 375}, defaultFont, {}, 3},
};
// clang-format on

constexpr WindowDescription dialog{
    .name = "Dialog",
    .title = applicationTitle,
    .clientArea = {5025, 2115, 6150, 4830},
    .centred = false,
    .border = Border::FixedDialog,
    .titleBar = true,
    .systemMenu = true,
    .minimizeButton = false,
    .maximizeButton = false,
    .inTaskbar = false,
    .controls = controls,
};

}  // namespace

const WindowDescription& dialogForm() { return dialog; }

const std::array<std::string_view, 4> disclaimerParagraphs{
    "Please read the following carefully before using the scan tool.",
    "Using the scanner DO NOT collect any personal data stored on the computer, only the system information is "
    "captured and is for one time scan use only, NO personal data is transmitted. To run the scanner just click "
    "the OK button. This scanner results are for helping you find the memory type only and we do not offer a "
    "guaranteed compatibility results.",
    "Please verify with your computer's manual to confirm that the memory you buy is the correct memory for your "
    "system. You can make use of the many tools found on the site, these tools are meant to guide you to find the "
    "memory type for you, we have the Memory Scan tool, the Memory Selector help tool, and Live Chat.",
    "If you need any help before buying memory, you can use our live customer support chat to talk to one of our "
    "representative and we will be glad to help you find the compatible memory.",
};

std::string disclaimerText() {
    constexpr std::string_view crLf = "\r\n";
    std::string buffer;
    buffer.append(disclaimerParagraphs[0]).append(crLf).append(crLf);
    buffer.append(disclaimerParagraphs[1]).append(crLf).append(crLf);
    buffer.append(disclaimerParagraphs[2]).append(crLf).append(crLf);
    buffer.append(disclaimerParagraphs[3]);
    return buffer;
}

}  // namespace tavrix::forms
