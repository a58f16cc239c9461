#pragma once

class QCursor;
class QIcon;
class QPixmap;

namespace tavrix::qt {

// The program's pictures, embedded in the program.
QIcon programIcon();
// The chat banner at its natural size of 152 by 68 pixels, from its 32-bit image.
QPixmap chatPicture();
// The hand cursor, with the hot spot its file gives.
QCursor handCursor();

}  // namespace tavrix::qt
