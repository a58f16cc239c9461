#include "ui/qt/desktop_services.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <unistd.h>

#include <cstdio>

#include "forms/form1_form.h"
#include "ui/qt/chat_launcher.h"
#include "ui/qt/clipboard_service.h"
#include "ui/qt/message_box.h"
#include "ui/qt/message_service.h"
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

// The page module's browser, the module loaded on first use. Never as root: the browser must not
// run as root, so the module is not even loaded.
class ModuleBrowser final : public PageBrowser {
public:
    QWidget* create(QWidget* frame, PageEvents events) override {
        PageBrowser* engine = loaded();
        return engine ? engine->create(frame, std::move(events)) : nullptr;
    }
    void navigate(QWidget& view, const QUrl& address) override {
        if (PageBrowser* engine = loaded()) engine->navigate(view, address);
    }
    std::unique_ptr<QObject> warmUp() override {
        PageBrowser* engine = loaded();
        return engine ? engine->warmUp() : nullptr;
    }
    QString failure() const override { return failure_; }

private:
    PageBrowser* loaded() {
        if (!tried_) load();
        return engine_;
    }
    void load() {
        tried_ = true;
        if (geteuid() == 0) {
            failure_ = QString::fromLatin1(forms::browserRefusedAsRoot);
            return;
        }
        const ModuleSymbol entry = loadModuleSymbol(besideProgram(TAVRIX_PAGE_MODULE), "tavrix_page_browser");
        if (entry.address) {
            engine_ = reinterpret_cast<PageBrowser* (*)()>(entry.address)();
            return;
        }
        failure_ = QStringLiteral("The page cannot be shown: its browser did not load (%1).")
                       .arg(QString::fromLocal8Bit(entry.failure.c_str()));
        std::fprintf(stderr, "tavrix: %s\n", failure_.toLocal8Bit().constData());
    }

    bool tried_ = false;
    PageBrowser* engine_ = nullptr;
    QString failure_;
};

class SystemMessageBox final : public MessageService {
public:
    void show(const QString& text) override { showMessageBox(text); }
};

}  // namespace

DesktopServices systemDesktopServices() {
    static SystemClipboard clipboard;
    static SystemLauncher launcher;
    static ModuleBrowser browser;
    static SystemMessageBox messageBox;
    return {clipboard, launcher, browser, messageBox};
}

}  // namespace tavrix::qt
