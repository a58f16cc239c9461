#include "form1_layout.h"

#include <array>

namespace tavrix::ui {

namespace {

using K = ControlKind;

constexpr const char* value = valueLabelPlaceholder;
constexpr int row = 255;  // the height of a caption label and its value label

constexpr std::array layout{
    ControlLayout{"Frame1", K::Frame, "", "", {0, -120, 11775, 10695}},
    ControlLayout{"Frame2", K::Frame, "Frame1", "System", {120, 120, 6015, 2055}},
    ControlLayout{"Frame3", K::Frame, "Frame1", "Processor", {120, 2160, 6015, 1695}},
    ControlLayout{"Frame4", K::Frame, "Frame1", "Motherboard", {6240, 120, 5415, 975}},
    ControlLayout{"Frame5", K::Frame, "Frame1", "Bios", {6240, 1080, 5415, 975}},
    ControlLayout{"Frame6", K::Frame, "Frame1", "Memory", {6240, 2160, 5415, 1695}},
    ControlLayout{"Frame7", K::Frame, "Frame1", "Installed Memory Details", {120, 3840, 7335, 2175}},
    ControlLayout{"Frame8", K::Frame, "Frame1", "", {7560, 3840, 4095, 2175}},
    ControlLayout{"Frame9", K::Frame, "Frame1", "Compatible Memory Upgrade", {120, 6000, 11535, 4575}},

    ControlLayout{"Label1", K::CaptionLabel, "Frame2", "Manufacturer", {240, 240, 1215, row}},
    ControlLayout{"Label21", K::ValueLabel, "Frame2", value, {1560, 240, 4215, row}},
    ControlLayout{"Label2", K::CaptionLabel, "Frame2", "Model", {240, 600, 1095, row}},
    ControlLayout{"Label22", K::ValueLabel, "Frame2", value, {1560, 600, 4215, row}},
    ControlLayout{"Label4", K::CaptionLabel, "Frame2", "Version", {240, 960, 1095, row}},
    ControlLayout{"Label24", K::ValueLabel, "Frame2", value, {1560, 960, 4215, row}},
    ControlLayout{"Label5", K::CaptionLabel, "Frame2", "Identifying No", {240, 1320, 1455, row}},
    ControlLayout{"Label25", K::ValueLabel, "Frame2", value, {1560, 1320, 4215, row}},
    ControlLayout{"Label9", K::CaptionLabel, "Frame2", "Type", {240, 1680, 1095, row}},
    ControlLayout{"Label26", K::ValueLabel, "Frame2", value, {1560, 1680, 4335, row}},

    ControlLayout{"Label6", K::CaptionLabel, "Frame3", "Name", {240, 240, 1095, row}},
    ControlLayout{"Label27", K::ValueLabel, "Frame3", value, {1560, 240, 4335, row}},
    ControlLayout{"Label7", K::CaptionLabel, "Frame3", "Manufacturer", {240, 600, 1215, row}},
    ControlLayout{"Label28", K::ValueLabel, "Frame3", value, {1560, 600, 4215, row}},
    ControlLayout{"Label40", K::CaptionLabel, "Frame3", "Speed", {240, 960, 1095, row}},
    ControlLayout{"Label41", K::ValueLabel, "Frame3", value, {1560, 960, 3375, row}},
    ControlLayout{"Label8", K::CaptionLabel, "Frame3", "FSB", {240, 1320, 1095, row}},
    ControlLayout{"Label29", K::ValueLabel, "Frame3", value, {1560, 1320, 4335, row}},

    ControlLayout{"Label10", K::CaptionLabel, "Frame4", "Manufacturer", {240, 240, 1215, row}},
    ControlLayout{"Label30", K::ValueLabel, "Frame4", value, {1560, 240, 3375, row}},
    ControlLayout{"Label11", K::CaptionLabel, "Frame4", "Model", {240, 600, 1095, row}},
    ControlLayout{"Label31", K::ValueLabel, "Frame4", value, {1560, 600, 3375, row}},

    ControlLayout{"Label12", K::CaptionLabel, "Frame5", "Manufacturer", {240, 240, 1215, row}},
    ControlLayout{"Label32", K::ValueLabel, "Frame5", value, {1560, 240, 3735, row}},
    ControlLayout{"Label13", K::CaptionLabel, "Frame5", "Version", {240, 600, 1095, row}},
    ControlLayout{"Label33", K::ValueLabel, "Frame5", value, {1560, 600, 3735, row}},

    ControlLayout{"Label14", K::CaptionLabel, "Frame6", "Manufacturer", {240, 240, 1215, row}},
    ControlLayout{"Label34", K::ValueLabel, "Frame6", value, {1560, 240, 3375, row}},
    ControlLayout{"Label15", K::CaptionLabel, "Frame6", "Installed RAM", {240, 600, 1335, row}},
    ControlLayout{"Label35", K::ValueLabel, "Frame6", value, {1560, 600, 3375, row}},
    ControlLayout{"Label16", K::CaptionLabel, "Frame6", "Maximum RAM", {240, 960, 1335, row}},
    ControlLayout{"Label36", K::ValueLabel, "Frame6", value, {1560, 960, 3375, row}},
    ControlLayout{"Label17", K::CaptionLabel, "Frame6", "No Of Slots", {240, 1320, 1335, row}},
    ControlLayout{"Label37", K::ValueLabel, "Frame6", value, {1560, 1320, 3375, row}},

    ControlLayout{"Label18", K::CaptionLabel, "Frame7", "Slots", {1800, 240, 495, row}},
    ControlLayout{"Label19", K::CaptionLabel, "Frame7", "Memory Size", {4200, 240, 1095, row}},
    ControlLayout{"Label20", K::CaptionLabel, "Frame7", "Memory Speed", {5640, 240, 1335, row}},
    ControlLayout{"slotsLst", K::ListBox, "Frame7", "", {120, 480, 3855, 1620}},
    ControlLayout{"memoryLst", K::ListBox, "Frame7", "", {3960, 480, 1575, 1620}},
    ControlLayout{"speedLst", K::ListBox, "Frame7", "", {5520, 480, 1575, 1620}},

    ControlLayout{"Image1", K::Picture, "Frame8", "", {1200, 360, 2280, 1020}},
    ControlLayout{"Label39", K::LinkLabel, "Frame8",
                  "Click Here to Chat with Our Customer Representative", {120, 1440, 3855, 375}},
    ControlLayout{"clipboardCmd", K::Button, "Frame8", "Copy System Info To Clipboard",
                  {960, 1680, 2415, 375}},

    ControlLayout{"WB", K::Browser, "Frame9", "", {0, 240, 11535, 4335}},
};

}  // namespace

std::span<const ControlLayout> form1Layout() { return layout; }

}  // namespace tavrix::ui
