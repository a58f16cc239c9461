#pragma once

#include "ui/qt/page_browser.h"

namespace tavrix::qt {

// The browser in Qt WebEngine: what the page module hands the program, and what tests link.
PageBrowser& webEngineBrowser();

}  // namespace tavrix::qt

// The page module's one entry point, found by name once the module is loaded.
extern "C" tavrix::qt::PageBrowser* tavrix_page_browser();
