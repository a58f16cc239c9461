#pragma once

#include <QFont>

#include "forms/window_description.h"

class QString;

namespace tavrix::qt {

// The faces the window layouts name, mapped to the metric-compatible free faces shipped with the
// program: "MS Sans Serif" to Liberation Sans, "Times New Roman" to Liberation Serif. Any other
// face is used as named.
QString substituteFamily(const QString& layoutFamily);

// Pixels for a point size at 96 dpi, as the layouts were drawn (8.25 pt is 11 px), or at the
// lower dpi of a window laid out smaller to fit its screen.
int pixelsForPoints(qreal points, int dpi = 96);

// The font a layout gives a control: face, point size and weight.
QFont layoutFont(const QString& layoutFamily, qreal points, bool bold = false, int dpi = 96);

// The font a window description gives a control.
QFont layoutFont(const forms::FontDescription& font, int dpi = 96);

// The windows' default font, "MS Sans Serif" 8.25 pt, regular or bold.
QFont defaultLayoutFont(bool bold = false, int dpi = 96);

}  // namespace tavrix::qt
