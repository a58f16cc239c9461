#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <string>
#include <vector>

#include "behaviour/form1.h"
#include "behaviour/form1_view.h"
#include "behaviour/program_windows.h"
#include "ui/qt/desktop_services.h"

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
}  // namespace tavrix

namespace tavrix::qt {

// The main window in Qt widgets: the scanned hardware in five panels, the module lists, the chat
// invitation and the copy button, and the retailer's compatible-memory page in WB. What it does is
// behaviour::Form1's; this view shows it and maps the widgets' events to its handlers. Creating
// it is cheap: the controls are created and Form_Load runs on the first use of a control or show().
class Form1 : public QWidget, public behaviour::Form1View, public behaviour::MainWindow {
    Q_OBJECT
public:
    // browserRefusal: why no browser may be created, shown in WB's place; empty: it may.
    Form1(ManagementProvider& provider, DesktopServices services, TextForm textForm, QString browserRefusal = {},
          QWidget* parent = nullptr);
    ~Form1() override;

    // Creates the controls and runs Form_Load, once.
    void load();
    bool isLoaded() const override { return Frame1_ != nullptr; }
    void show() override { QWidget::show(); }

    // What the window does; using it loads the window, as any use of a control does.
    behaviour::Form1& behaviour() override {
        load();
        return behaviour_;
    }
    ScanValues& values() { return behaviour_.values(); }
    // The lookup address the last scan composed.
    const std::string& lookupAddress() const { return behaviour_.lookupAddress(); }

    // The lookup address as WB is given it: kept as composed, blanks travelling as %20.
    static QUrl lookupUrl(const std::string& address);

    // Controls by name, as the layout names them (loads the window first).
    QWidget* control(const QString& name);
    QLabel* valueLabel(ValueLabel label);
    QListWidget* list(ModuleList which);

    // The view, each loading the window first.
    void setCaption(ValueLabel label, const std::string& caption) override;
    void navigate(const std::string& address) override;
    void clearList(ModuleList which) override;
    void appendRow(ModuleList which, const std::string& row) override;
    void setRowReading(int row, const std::string& reading) override;
    void confirmCopy(const std::string& confirmation) override;
    std::vector<std::string> rows(ModuleList which) const override;
    int selectedRow(ModuleList which) const override;
    void selectRow(ModuleList which, int row) override;
    void showMessage(const std::string& text) override;
    void setClipboardText(const std::string& text) override;
    bool startBrowser(const std::string& address) override;

signals:
    // The user closed the window.
    void closed();

protected:
    void setVisible(bool visible) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int layoutDpi_ = 96;
    QWidget* client_ = this;  // where the controls lie: the window, or the area inside the frame it draws
    void createControls();
    void createBrowser(QWidget* frame);
    void connectHandlers();
    // A list with the focus makes its selected row current; one without it has no current row.
    void followFocus(QListWidget* shown, bool focused);

    // Asks where to save a download; cancelling the dialog cancels the download.
    void saveDownload(QWebEngineDownloadRequest* download);

    DesktopServices services_;
    QString browserRefusal_;
    behaviour::Form1 behaviour_;
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

}  // namespace tavrix::qt
