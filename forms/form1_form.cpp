#include "forms/form1_form.h"

#include "forms/program_texts.h"

namespace tavrix::forms {

namespace {

using K = ControlKind;
using C = ControlDescription;

constexpr int row = 255;  // the height of a caption label and its value label

// A titled frame inside Frame1, bold.
constexpr C frame(const char* name, const char* caption, TwipsRect place) {
    return {name, K::Frame, "Frame1", caption, place, defaultBoldFont};
}
// A bold label with a fixed caption.
constexpr C captionLabel(const char* name, const char* frame, const char* caption, TwipsRect place) {
    return {name, K::CaptionLabel, frame, caption, place, defaultBoldFont};
}
// A blue label the scan writes, "Label21" until Form_Load blanks it.
constexpr C valueLabel(const char* name, const char* frame, TwipsRect place) {
    return {name, K::ValueLabel, frame, valueLabelPlaceholder, place, defaultFont, pureBlue};
}

// Frame1 starts 120 twips above the client area; frames stacked above one another overlap by 15
// twips, side by side they stand 105 apart. Columns: name, kind, container, caption, place, font,
// text colour, tab index, pointer, what a screen reader is told beyond kind and caption.
// clang-format off
constexpr std::array controls{
    C{"Frame1", K::Frame, "", "", {0, -120, 11775, 10695}},
    frame("Frame2", "System", {120, 120, 6015, 2055}),
    frame("Frame3", "Processor", {120, 2160, 6015, 1695}),
    frame("Frame4", "Motherboard", {6240, 120, 5415, 975}),
    frame("Frame5", "Bios", {6240, 1080, 5415, 975}),
    frame("Frame6", "Memory", {6240, 2160, 5415, 1695}),
    frame("Frame7", "Installed Memory Details", {120, 3840, 7335, 2175}),
    frame("Frame8", "", {7560, 3840, 4095, 2175}),
    frame("Frame9", "Compatible Memory Upgrade", {120, 6000, 11535, 4575}),

    captionLabel("Label1", "Frame2", "Manufacturer", {240, 240, 1215, row}),
    valueLabel("Label21", "Frame2", {1560, 240, 4215, row}),
    captionLabel("Label2", "Frame2", "Model", {240, 600, 1095, row}),
    valueLabel("Label22", "Frame2", {1560, 600, 4215, row}),
    captionLabel("Label4", "Frame2", "Version", {240, 960, 1095, row}),
    valueLabel("Label24", "Frame2", {1560, 960, 4215, row}),
    captionLabel("Label5", "Frame2", "Identifying No", {240, 1320, 1455, row}),
    valueLabel("Label25", "Frame2", {1560, 1320, 4215, row}),
    captionLabel("Label9", "Frame2", "Type", {240, 1680, 1095, row}),
    valueLabel("Label26", "Frame2", {1560, 1680, 4335, row}),

    captionLabel("Label6", "Frame3", "Name", {240, 240, 1095, row}),
    valueLabel("Label27", "Frame3", {1560, 240, 4335, row}),
    captionLabel("Label7", "Frame3", "Manufacturer", {240, 600, 1215, row}),
    valueLabel("Label28", "Frame3", {1560, 600, 4215, row}),
    captionLabel("Label40", "Frame3", "Speed", {240, 960, 1095, row}),
    valueLabel("Label41", "Frame3", {1560, 960, 3375, row}),
    captionLabel("Label8", "Frame3", "FSB", {240, 1320, 1095, row}),
    valueLabel("Label29", "Frame3", {1560, 1320, 4335, row}),

    captionLabel("Label10", "Frame4", "Manufacturer", {240, 240, 1215, row}),
    valueLabel("Label30", "Frame4", {1560, 240, 3375, row}),
    captionLabel("Label11", "Frame4", "Model", {240, 600, 1095, row}),
    valueLabel("Label31", "Frame4", {1560, 600, 3375, row}),

    captionLabel("Label12", "Frame5", "Manufacturer", {240, 240, 1215, row}),
    valueLabel("Label32", "Frame5", {1560, 240, 3735, row}),
    captionLabel("Label13", "Frame5", "Version", {240, 600, 1095, row}),
    valueLabel("Label33", "Frame5", {1560, 600, 3735, row}),

    captionLabel("Label14", "Frame6", "Manufacturer", {240, 240, 1215, row}),
    valueLabel("Label34", "Frame6", {1560, 240, 3375, row}),
    captionLabel("Label15", "Frame6", "Installed RAM", {240, 600, 1335, row}),
    valueLabel("Label35", "Frame6", {1560, 600, 3375, row}),
    captionLabel("Label16", "Frame6", "Maximum RAM", {240, 960, 1335, row}),
    valueLabel("Label36", "Frame6", {1560, 960, 3375, row}),
    captionLabel("Label17", "Frame6", "No Of Slots", {240, 1320, 1335, row}),
    valueLabel("Label37", "Frame6", {1560, 1320, 3375, row}),

    captionLabel("Label18", "Frame7", "Slots", {1800, 240, 495, row}),
    captionLabel("Label19", "Frame7", "Memory Size", {4200, 240, 1095, row}),
    captionLabel("Label20", "Frame7", "Memory Speed", {5640, 240, 1335, row}),
    C{"slotsLst", K::ListBox, "Frame7", "", {120, 480, 3855, 1620}, defaultFont, {}, 0, {}, {"Label18"}},
    C{"memoryLst", K::ListBox, "Frame7", "", {3960, 480, 1575, 1620}, defaultFont, {}, 3, {}, {"Label19"}},
    C{"speedLst", K::ListBox, "Frame7", "", {5520, 480, 1575, 1620}, defaultFont, {}, 4, {}, {"Label20"}},

    C{"Image1", K::Picture, "Frame8", "", {1200, 360, 2280, 1020}, defaultFont, {}, -1, Pointer::Hand,
      {.name = chatPictureName, .link = true}},
    C{"Label39", K::LinkLabel, "Frame8",
      "Click Here to Chat with Our Customer Representative",
      {120, 1440, 3855, 375}, defaultFont, pureBlue, -1, Pointer::Hand, {.link = true}},
    C{"clipboardCmd", K::Button, "Frame8", "Copy System Info To Clipboard", {960, 1680, 2415, 375}, defaultFont, {}, 1},

    C{"WB", K::Browser, "Frame9", "", {0, 240, 11535, 4335}, defaultFont, {}, 2},
};
// clang-format on

constexpr WindowDescription form1{
    .name = "Form1",
    .title = applicationTitle,
    .clientArea = {1845, 330, 11775, 10590},
    .centred = false,
    .border = Border::FixedSingle,
    .titleBar = true,
    .systemMenu = true,
    .minimizeButton = true,
    .maximizeButton = false,
    .inTaskbar = true,
    .controls = controls,
};

}  // namespace

const WindowDescription& form1Form() { return form1; }

}  // namespace tavrix::forms
