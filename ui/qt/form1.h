#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <string>

#include "desktop_services.h"
#include "hardware_scan.h"
#include "scan_sink.h"

class QCloseEvent;
class QEvent;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QUrl;
class QWebEngineDownloadRequest;
class QWebEngineProfile;
class QWebEngineView;

namespace tavrix {

class ManagementProvider;

// The main window: the scanned hardware in five panels, the module lists, the chat invitation and
// the copy button, and the retailer's compatible-memory page in WB. Creating it is cheap: the
// controls are created and Form_Load runs on the first use of a control, a ScanSink call or show().
class Form1 : public QWidget, public ScanSink {
    Q_OBJECT
public:
    explicit Form1(ManagementProvider& provider,
                   ui::DesktopServices services = ui::systemDesktopServices(),
                   QWidget* parent = nullptr);
    ~Form1() override;

    // Creates the controls and runs Form_Load, once.
    void load();
    bool isLoaded() const { return Frame1_ != nullptr; }

    // Runs the hardware scan with this window as its sink; returns "Success" or throws ScanError
    // at the failing step.
    QString getTavrix();
    ScanValues& values() { return scan_.values(); }
    // The lookup address the last scan composed.
    const std::string& lookupAddress() const { return scan_.lookupAddress(); }

    // The lookup address as WB is given it: kept as composed, blanks travelling as %20.
    static QUrl lookupUrl(const std::string& address);

    // Controls by name, as the layout names them (loads the window first).
    QWidget* control(const QString& name);
    QLabel* valueLabel(ValueLabel label);
    QListWidget* list(ModuleList which);
    QWebEngineView* WB();
    QPushButton* clipboardCmd();
    QLabel* Image1();
    QLabel* Label39();

    void clearList(ModuleList which) override;
    void appendRow(ModuleList which, const std::string& row) override;
    void setCaption(ValueLabel label, const std::string& caption) override;
    void navigate(const std::string& address) override;

signals:
    // The user closed the window.
    void closed();

protected:
    void setVisible(bool visible) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createBrowser(QWidget* frame);
    void connectHandlers();

    void Form_Load();
    void clipboardCmd_Click();
    void Image1_Click() { launchChat(); }
    void Label39_Click() { launchChat(); }
    void memoryLst_Click();
    void slotsLst_Click();
    void speedLst_Click();
    void launchChat();
    // Starts the user's browser; a failure to start it gives the message "Browser Not found!!!".
    void startBrowser(const QString& program, const QStringList& arguments);
    // A page's link or script asked for a new window: an http or https address opens in the
    // user's browser, anything else is dropped.
    void openNewWindow(const QUrl& address);
    // Asks where to save a download; cancelling the dialog cancels the download.
    void saveDownload(QWebEngineDownloadRequest* download);

    ui::DesktopServices services_;
    HardwareScan scan_;
    QHash<QString, QWidget*> controls_;
    QObject* pressed_ = nullptr;  // Image1 or Label39 while the left button went down on it
    QGroupBox* Frame1_ = nullptr;
    std::array<QLabel*, valueLabelCount> valueLabels_{};
    QListWidget* slotsLst_ = nullptr;
    QListWidget* memoryLst_ = nullptr;
    QListWidget* speedLst_ = nullptr;
    QLabel* Image1_ = nullptr;
    QLabel* Label39_ = nullptr;
    QPushButton* clipboardCmd_ = nullptr;
    QWebEngineProfile* profile_ = nullptr;
    QWebEngineView* WB_ = nullptr;
};

}  // namespace tavrix
