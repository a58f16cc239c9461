#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <stdexcept>
#include <vector>

#include "ui/qt/clipboard_service.h"
#include "ui/qt/desktop_services.h"
#include "ui/qt/message_service.h"
#include "ui/qt/page_browser.h"
#include "ui/qt/process_launcher.h"
#include "ui/qt/web_engine_browser.h"

// Stand-ins for the platform operations the main window's commands use; each records its calls.
struct FakeDesktop {
    enum class Launch { Succeeds, ReturnsFalse, Throws };

    struct Clipboard : tavrix::qt::ClipboardService {
        QStringList calls;
        void clear() override { calls << QStringLiteral("clear"); }
        void setText(const QString& text) override { calls << QStringLiteral("setText:") + text; }
    };
    struct Launcher : tavrix::qt::ProcessLauncher {
        Launch outcome = Launch::Succeeds;
        std::vector<QStringList> started;  // program, then its arguments
        bool startDetached(const QString& program, const QStringList& arguments) override {
            started.push_back(QStringList{program} + arguments);
            if (outcome == Launch::Throws) throw std::runtime_error("no such program");
            return outcome == Launch::Succeeds;
        }
    };
    // The real browser, linked in; it records the addresses and loads them only through forward.
    struct Browser : tavrix::qt::PageBrowser {
        std::vector<QUrl> addresses;
        std::function<void(QWidget&, const QUrl&)> forward;
        QWidget* create(QWidget* frame, tavrix::qt::PageEvents events) override {
            return tavrix::qt::webEngineBrowser().create(frame, std::move(events));
        }
        void navigate(QWidget& view, const QUrl& address) override {
            addresses.push_back(address);
            if (forward) forward(view, address);
        }
        std::unique_ptr<QObject> warmUp() override { return tavrix::qt::webEngineBrowser().warmUp(); }
    };
    struct MessageBox : tavrix::qt::MessageService {
        QStringList shown;
        void show(const QString& text) override { shown << text; }
    };

    Clipboard clipboard;
    Launcher launcher;
    Browser browser;
    MessageBox messageBox;

    tavrix::qt::DesktopServices services() { return {clipboard, launcher, browser, messageBox}; }
};
