#pragma once

#include <QGroupBox>

class QPaintEvent;

namespace tavrix::qt {

// A frame with the platform's etched border. Without a caption its top line stays where a caption
// would centre it, half the font's height down, as a Windows group box draws it, so that the top
// lines of captioned and caption-less frames side by side line up. (Qt draws a caption-less group
// box's top line at its very top.)
class GroupBox : public QGroupBox {
    Q_OBJECT
public:
    GroupBox(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tavrix::qt
