#include <QWidget>

#include "ui/qt/window_hints.h"

namespace tavrix::qt {

void applyWindowManagerHints(QWidget&, const forms::WindowDescription&) {}

}  // namespace tavrix::qt
