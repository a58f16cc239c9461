#include "forms/window_description.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tavrix::forms {

bool ControlDescription::isLabel() const {
    return kind == ControlKind::CaptionLabel || kind == ControlKind::ValueLabel || kind == ControlKind::LinkLabel;
}

bool ControlDescription::takesFocus() const {
    return tabIndex >= 0 && kind != ControlKind::Frame && kind != ControlKind::Picture && !isLabel();
}

const ControlDescription& WindowDescription::control(std::string_view controlName) const {
    for (const ControlDescription& c : controls)
        if (controlName == c.name) return c;
    throw std::out_of_range(std::string(name) + " has no control " + std::string(controlName));
}

std::vector<const ControlDescription*> WindowDescription::tabOrder() const {
    std::vector<const ControlDescription*> order;
    for (const ControlDescription& c : controls)
        if (c.takesFocus()) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [](const ControlDescription* a, const ControlDescription* b) {
        return a->tabIndex < b->tabIndex;
    });
    return order;
}

TwipsRect WindowDescription::placeInClientArea(const ControlDescription& c) const {
    TwipsRect place = c.place;
    for (const ControlDescription* up = &c; *up->container;) {
        up = &control(up->container);
        place.left += up->place.left;
        place.top += up->place.top;
    }
    return place;
}

std::vector<const ControlDescription*> WindowDescription::topToBottom() const {
    std::vector<const ControlDescription*> order = tabOrder();
    for (const bool frames : {false, true}) {
        for (std::size_t i = controls.size(); i-- > 0;) {
            const ControlDescription& control = controls[i];
            if (!control.takesFocus() && (control.kind == ControlKind::Frame) == frames) order.push_back(&control);
        }
    }
    return order;
}

}  // namespace tavrix::forms
