#pragma once

#include <array>

#include "forms/window_description.h"
#include "scan/scan_sink.h"

namespace tavrix::forms {

// The main window Form1: Frame1 holding Frame2 to Frame9 and their labels, lists, picture, copy
// button and the browser WB.
const WindowDescription& form1Form();

// The caption every value label has until Form_Load blanks it.
inline constexpr char valueLabelPlaceholder[] = "Label21";

// The chat page on the retailer's web server.
inline constexpr char chatAddress[] = "http://www.quorvane.com/support/UserPreChat.aspx?ref=CustomerScanWindow";
// The browser that shows it on Windows: the command line is this path, one blank and the address.
inline constexpr char chatBrowserPath[] = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
// What the chat launch says when the browser cannot be started.
inline constexpr char browserNotFound[] = "Browser Not found!!!";
// What a screen reader calls the chat picture, which has no caption.
inline constexpr char chatPictureName[] = "Live chat";
// What a screen reader hears once the copy button has put the report on the clipboard.
inline constexpr char copyConfirmation[] = "System info copied to the clipboard";
// The one line WB shows instead of the page when the program runs as root with no user to run the
// browser as: the browser's sandbox does not run as root, and without it the page is not shown.
inline constexpr char browserRefusedAsRoot[] =
    "The memory page is not shown: Tavrix runs as root. Start it as yourself, or through sudo or pkexec.";

}  // namespace tavrix::forms
