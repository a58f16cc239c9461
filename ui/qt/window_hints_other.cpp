#include <QWidget>

#include "window_hints.h"

namespace tavrix::ui {

void applyWindowManagerHints(QWidget&, const forms::WindowDescription&) {}

}  // namespace tavrix::ui
