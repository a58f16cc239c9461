#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tavrix::forms {

// A place in a container, in twips (1/1440 inch); left and top from the container's corner.
struct TwipsRect {
    int left, top, width, height;
    friend constexpr bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// Twips to pixels on a screen of that many dots per inch (1440 twips an inch, so 15 twips a pixel
// at 96), rounded to the nearest pixel, halves away from zero: the one rule of every front end.
constexpr int pixelsOfTwips(int twips, int dpi = 96) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((720 - scaled) / 1440));
}

struct Rgb {
    unsigned char red, green, blue;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb pureBlue{0, 0, 255};

// A font as the layouts give it: face, size in points, weight (400 regular, 700 bold).
struct FontDescription {
    const char* face;
    double points;
    int weight;
    bool bold() const { return weight >= 700; }
};

// The platform's default dialog font, regular and bold.
inline constexpr FontDescription defaultFont{"MS Sans Serif", 8.25, 400};
inline constexpr FontDescription defaultBoldFont{"MS Sans Serif", 8.25, 700};

// What a control is. Caption, value and link labels are all labels; the kind says which role the
// window gives them (value labels are written by the scan, links start the chat).
enum class ControlKind { Frame, CaptionLabel, ValueLabel, LinkLabel, TextBox, ListBox, Picture, Button, Browser };

enum class Pointer { Default, Hand };

// What a screen reader is told about a control beyond its kind and caption.
struct AccessibleHints {
    const char* labelledBy = "";  // the control whose caption names it (a list's heading); empty: none
    const char* name = "";        // a name of its own, for a control without a caption; empty: none
    bool link = false;            // read as a link whose default action clicks it
};

// One frame or control of a window.
struct ControlDescription {
    const char* name;
    ControlKind kind;
    const char* container;  // the frame holding it; empty: the window's client area
    const char* caption;    // the text it is created with; empty: none
    TwipsRect place;
    FontDescription font = defaultFont;
    std::optional<Rgb> textColour = {};  // absent: the system's text colour
    int tabIndex = -1;                   // place in the Tab order; -1: none
    Pointer pointer = Pointer::Default;
    AccessibleHints accessible = {};

    // Whether Tab stops on it: controls with a tab index, except frames, labels and pictures,
    // which never take the focus.
    bool takesFocus() const;
    bool isLabel() const;
};

enum class Border { FixedDialog, FixedSingle };

// A window: its frame and title bar, its client area and its controls, containers first.
struct WindowDescription {
    const char* name;
    const char* title;     // empty: no caption
    TwipsRect clientArea;  // left and top on the screen, unless centred
    bool centred;
    Border border;
    bool titleBar;    // false: no caption and no control box, so no title bar is drawn
    bool systemMenu;  // the system menu with its close box
    bool minimizeButton;
    bool maximizeButton;
    bool inTaskbar;
    std::span<const ControlDescription> controls;
    // The control whose caption a screen reader announces when the window appears; empty: none.
    const char* announced = "";

    // The control of that name; throws std::out_of_range when the window has none.
    const ControlDescription& control(std::string_view name) const;
    // The controls that take the focus, in Tab order; the first gets the focus when shown.
    std::vector<const ControlDescription*> tabOrder() const;
    // The control's place in the client area: its own place plus its containers' corners.
    TwipsRect placeInClientArea(const ControlDescription& control) const;
    // Every control from the top of the stack to the bottom: those that take the focus in Tab
    // order, then the other controls, a later one over an earlier one (the value of "Identifying
    // No" lies over the end of its caption), then the frames, a later one over an earlier one.
    std::vector<const ControlDescription*> topToBottom() const;
};

}  // namespace tavrix::forms
