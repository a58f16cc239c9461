#include "ui/qt/desktop_services.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "ui/qt/chat_launcher.h"
#include "ui/qt/clipboard_service.h"
#include "ui/qt/message_box.h"
#include "ui/qt/message_service.h"
#include "ui/qt/module_browser.h"
#include "ui/qt/module_loader.h"
#include "ui/qt/page_browser.h"
#include "ui/qt/process_launcher.h"

namespace tavrix::qt {

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

class SystemMessageBox final : public MessageService {
public:
    void show(const QString& text) override { showMessageBox(text); }
};

}  // namespace

DesktopServices systemDesktopServices() {
    static SystemClipboard clipboard;
    static SystemLauncher launcher;
    static ModuleBrowser browser(besideProgram(TAVRIX_PAGE_MODULE));
    static SystemMessageBox messageBox;
    return {clipboard, launcher, browser, messageBox};
}

}  // namespace tavrix::qt
