#pragma once

class QApplication;

// The one QApplication of a widget test binary, on Qt's offscreen platform unless QT_QPA_PLATFORM
// names another; created on first use with the program's fonts.
QApplication& offscreenApplication();
