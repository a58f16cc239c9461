#include "desktop_services.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWebEngineView>

#include "chat_launcher.h"
#include "clipboard_service.h"
#include "message_box.h"
#include "message_service.h"
#include "page_browser.h"
#include "process_launcher.h"

namespace tavrix::ui {

namespace {

class SystemClipboard final : public ClipboardService {
public:
    void clear() override { QGuiApplication::clipboard()->clear(); }
    void setText(const QString& text) override { QGuiApplication::clipboard()->setText(text); }
};

class SystemLauncher final : public ProcessLauncher {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override {
        return startDetachedProcess(program, arguments);
    }
};

class WebEngineBrowser final : public PageBrowser {
public:
    void navigate(QWebEngineView& view, const QUrl& address) override { view.load(address); }
};

class SystemMessageBox final : public MessageService {
public:
    void show(const QString& text) override { showMessageBox(text); }
};

}  // namespace

DesktopServices systemDesktopServices() {
    static SystemClipboard clipboard;
    static SystemLauncher launcher;
    static WebEngineBrowser browser;
    static SystemMessageBox messageBox;
    return {clipboard, launcher, browser, messageBox};
}

}  // namespace tavrix::ui
