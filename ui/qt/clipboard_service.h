#pragma once

class QString;

namespace tavrix::qt {

// The system clipboard as the copy command uses it.
class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    // Removes everything the clipboard holds, in every format.
    virtual void clear() = 0;
    // Stores one text in the clipboard's standard text format.
    virtual void setText(const QString& text) = 0;
};

}  // namespace tavrix::qt
