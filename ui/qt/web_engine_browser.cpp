#include "ui/qt/web_engine_browser.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace tavrix::qt {

namespace {

// Constructed without a storage name, a profile is off the record: nothing goes to disk.
class OffTheRecordPage : public QObject {
public:
    OffTheRecordPage() : profile_(new QWebEngineProfile), page_(new QWebEnginePage(profile_)) {}
    // The page goes before the profile it uses.
    ~OffTheRecordPage() override {
        delete page_;
        delete profile_;
    }
    QWebEnginePage* page() const { return page_; }

private:
    QWebEngineProfile* profile_;
    QWebEnginePage* page_;
};

// WB. Its profile belongs to the window, which deletes WB (and with it the page) first.
class PageView : public QWebEngineView {
public:
    PageView(QWidget* frame, PageEvents events) : QWebEngineView(frame), events_(std::move(events)) {
        auto* profile = new QWebEngineProfile(frame->window());
        setPage(new QWebEnginePage(profile, this));
        connect(this, &QWebEngineView::loadFinished, this, [this] {
            if (events_.loadFinished) events_.loadFinished();
        });
        connect(page(), &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest& request) {
            if (events_.newWindow) events_.newWindow(request.requestedUrl());
        });
        connect(profile, &QWebEngineProfile::downloadRequested, this, &PageView::saveDownload);
    }

private:
    void saveDownload(QWebEngineDownloadRequest* download) {
        const QString path =
            events_.saveAs ? events_.saveAs(QDir(download->downloadDirectory()).filePath(download->downloadFileName()))
                           : QString();
        if (path.isEmpty()) {
            download->cancel();
            return;
        }
        const QFileInfo file(path);
        download->setDownloadDirectory(file.absolutePath());
        download->setDownloadFileName(file.fileName());
        download->accept();
    }

    PageEvents events_;
};

class WebEngineBrowser final : public PageBrowser {
public:
    QWidget* create(QWidget* frame, PageEvents events) override { return new PageView(frame, std::move(events)); }
    void navigate(QWidget& view, const QUrl& address) override { static_cast<QWebEngineView&>(view).load(address); }
    std::unique_ptr<QObject> warmUp() override {
        auto blank = std::make_unique<OffTheRecordPage>();
        blank->page()->load(QUrl(QStringLiteral("about:blank")));
        return blank;
    }
};

}  // namespace

PageBrowser& webEngineBrowser() {
    static WebEngineBrowser browser;
    return browser;
}

}  // namespace tavrix::qt

tavrix::qt::PageBrowser* tavrix_page_browser() { return &tavrix::qt::webEngineBrowser(); }
