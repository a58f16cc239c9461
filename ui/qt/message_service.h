#pragma once

class QString;

namespace tavrix::qt {

// A message box with an OK button only, under the application title.
class MessageService {
public:
    virtual ~MessageService() = default;
    // Returns when the user has closed the box.
    virtual void show(const QString& text) = 0;
};

}  // namespace tavrix::qt
