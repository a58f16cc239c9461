#pragma once

#include <QString>

#include <string>

#include "ui/qt/page_browser.h"

namespace tavrix::qt {

// The page module's browser, the module loaded on first use. A module that cannot be loaded
// leaves no browser: failure() says why, and standard error says it once.
class ModuleBrowser final : public PageBrowser {
public:
    explicit ModuleBrowser(std::string modulePath) : modulePath_(std::move(modulePath)) {}

    QWidget* create(QWidget* frame, PageEvents events) override;
    void navigate(QWidget& view, const QUrl& address) override;
    std::unique_ptr<QObject> warmUp() override;
    QString failure() const override { return failure_; }

private:
    PageBrowser* loaded();

    std::string modulePath_;
    PageBrowser* engine_ = nullptr;
    QString failure_;
};

}  // namespace tavrix::qt
