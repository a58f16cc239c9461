#pragma once

#include <QMargins>
#include <QStyle>
#include <QWidget>

class QStyleOptionTitleBar;

namespace tavrix::qt {

// Whether this program draws its windows' title bars and borders itself: on Wayland, where the
// compositor leaves them to the client (weston; GNOME's mutter) and Qt's own title bar would offer
// minimize and maximize on every window.
bool drawsOwnTitleBar();

// The border and title bar of a window that draws its own, in the style's look (the classic
// Windows one): the icon, the title and exactly the buttons it is given (close with the system
// menu, minimize; never maximize). It lies under the window's client area. A press on
// the caption lets the compositor move the window; a click on a button closes or minimizes it;
// nothing else (a double click, the right button, the edges) does anything.
class WindowDecoration : public QWidget {
    Q_OBJECT
public:
    // Covers the window as it is now; frame is the room around its client area, buttons the
    // title-bar flags of the buttons it shows.
    WindowDecoration(QWidget& window, QMargins frame, Qt::WindowFlags buttons);

    // The room the border and the title bar take around the client area, in the style given.
    static QMargins margins(const QStyle* style);

    // The title bar's options as the style draws and hit-tests them.
    QStyleOptionTitleBar titleBarOption() const;
    // The title bar's part at the point (in this widget), counting only the buttons the window has.
    QStyle::SubControl partAt(QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRect titleBarRect() const;

    QMargins frame_;
    Qt::WindowFlags buttons_;
    QStyle::SubControl pressed_ = QStyle::SC_None;
};

}  // namespace tavrix::qt
