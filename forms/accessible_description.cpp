#include "forms/accessible_description.h"

#include <stdexcept>

#include "scan/value_table.h"

namespace tavrix::forms {

namespace {

using K = ControlKind;

AccessibleRole roleOf(const ControlDescription& control) {
    if (control.accessible.link) return AccessibleRole::Link;
    switch (control.kind) {
        case K::Frame: return AccessibleRole::Grouping;
        case K::CaptionLabel:
        case K::ValueLabel: return AccessibleRole::Label;
        case K::LinkLabel: return AccessibleRole::Link;
        case K::TextBox: return AccessibleRole::Text;
        case K::ListBox: return AccessibleRole::List;
        case K::Picture: return AccessibleRole::Picture;
        case K::Button: return AccessibleRole::Button;
        case K::Browser: return AccessibleRole::Browser;
    }
    throw std::logic_error("unknown control kind");
}

// The caption of the value a value label shows, from the table of the values.
std::string valueCaption(const ControlDescription& value) {
    for (const ValueEntry& entry : valueTable())
        if (entry.labelName == value.name) return std::string(entry.caption);
    throw std::logic_error(std::string("no value shown in ") + value.name);
}

}  // namespace

AccessibleDescription accessibleDescription(const WindowDescription& window, const ControlDescription& control) {
    AccessibleDescription description{roleOf(control), control.caption};
    description.textIsValue = control.kind == K::ValueLabel || control.kind == K::TextBox;
    description.clickable = description.role == AccessibleRole::Link;
    if (control.kind == K::ValueLabel) description.name = valueCaption(control);
    if (*control.accessible.labelledBy) description.name = window.control(control.accessible.labelledBy).caption;
    if (*control.accessible.name) description.name = control.accessible.name;
    return description;
}

AccessibleDescription accessibleDescription(const WindowDescription& window) {
    if (*window.announced) return {AccessibleRole::Alert, window.control(window.announced).caption};
    return {AccessibleRole::Window, window.title};
}

std::string moduleReading(const std::string& slot, const std::string& size, const std::string& speed) {
    std::string reading;
    for (const std::string* column : {&slot, &size, &speed}) {
        if (column->empty()) continue;
        if (!reading.empty()) reading += ", ";
        reading += *column;
    }
    return reading;
}

}  // namespace tavrix::forms
