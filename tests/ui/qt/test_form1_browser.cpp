// The main window with its real browser on an X server of its own (Xvfb): the request line the
// lookup page's server receives, and a screenshot of the filled window for people to look at.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEngineView>

#include <cstdlib>
#include <memory>

#include <unistd.h>

#include "scan/machine_file.h"
#include "tests/ui/qt/fake_desktop.h"
#include "tests/ui/qt/named_control.h"
#include "ui/qt/desktop_services.h"
#include "ui/qt/form1.h"
#include "ui/qt/frm_splash.h"
#include "ui/qt/tavrix_application.h"

namespace {

QString xDisplay;  // ":N" of the Xvfb this binary started; empty when there is none

// Starts Xvfb on a display number it picks itself; returns its process, or nullptr.
std::unique_ptr<QProcess> startXvfb() {
    auto xvfb = std::make_unique<QProcess>();
    xvfb->setStandardErrorFile(QProcess::nullDevice());
    xvfb->start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    QByteArray number;
    while (!number.contains('\n') && xvfb->waitForReadyRead(20000)) number += xvfb->readAllStandardOutput();
    if (!number.contains('\n')) return nullptr;  // no Xvfb on this machine
    xDisplay = ':' + QString::fromLatin1(number.trimmed());
    return xvfb;
}

// A loopback HTTP server that answers every request with one small page and keeps the first
// request line of each connection.
class LoopbackServer {
public:
    LoopbackServer() {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
            }
        });
    }
    quint16 port() const { return server.serverPort(); }

    QList<QByteArray> requestLines;

private:
    void answer(QTcpSocket* socket) {
        buffers[socket] += socket->readAll();
        if (!buffers[socket].contains("\r\n\r\n")) return;
        requestLines << buffers[socket].left(buffers[socket].indexOf("\r\n"));
        const QByteArray page = "<html><body style='font-family:Liberation Sans'><h2>Compatible memory "
                                "upgrades</h2><p>The retailer's page for this computer loads here.</p>"
                                "</body></html>";
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(page.size()) + "\r\n\r\n" + page);
        socket->disconnectFromHost();
    }

    QTcpServer server;
    QHash<QTcpSocket*, QByteArray> buffers;
};

// A window whose lookup page comes from the loopback server: same path and query, local host.
struct LocalWindow {
    explicit LocalWindow(const char* machine)
        : provider(tavrix::makeMachineFileProvider(std::string(TAVRIX_TEST_DATA "/machines/") + machine)) {
        desktop.browser.forward = [this](QWebEngineView& view, const QUrl& address) {
            QUrl local = address;
            local.setHost(QStringLiteral("127.0.0.1"));
            local.setPort(server.port());
            tavrix::qt::systemDesktopServices().browser.navigate(view, local);
        };
        form = std::make_unique<tavrix::qt::Form1>(*provider, desktop.services(), tavrix::TextForm());
    }

    LoopbackServer server;
    std::unique_ptr<tavrix::ManagementProvider> provider;
    FakeDesktop desktop;
    std::unique_ptr<tavrix::qt::Form1> form;
};

// The request line a browser sends for a composed address: its path and query as composed,
// with the blanks as %20.
QByteArray expectedRequestLine(const std::string& address) {
    QByteArray target = QByteArray::fromStdString(address).mid(int(sizeof "http://www.quorvane.com") - 1);
    return "GET " + target.replace(" ", "%20") + " HTTP/1.1";
}

// The tests need the Xvfb; without one they are skipped.
class OnX : public ::testing::Test {
protected:
    void SetUp() override {
        if (xDisplay.isEmpty()) GTEST_SKIP() << "Xvfb is not available";
    }
};

}  // namespace

TEST_F(OnX, TheServerReceivesTheComposedAddressForEachMachine) {
    for (const char* machine : {"server.machine", "hostile-values.machine"}) {
        SCOPED_TRACE(machine);
        LocalWindow window(machine);
        ASSERT_EQ(window.form->behaviour().getTavrix(), "Success");
        window.form->show();
        QTRY_VERIFY_WITH_TIMEOUT(!window.server.requestLines.isEmpty(), 20000);
        EXPECT_EQ(window.server.requestLines.first(), expectedRequestLine(window.form->lookupAddress()));
        window.form->close();
    }
}

TEST_F(OnX, ScreenshotOfTheFilledWindowFromAMachineWithSixModules) {
    LocalWindow window("server.machine");
    bool loaded = false;
    QObject::connect(namedControl<QWebEngineView>(*window.form, "WB"), &QWebEngineView::loadFinished, [&] { loaded = true; });
    ASSERT_EQ(window.form->behaviour().getTavrix(), "Success");
    window.form->show();
    window.form->list(tavrix::ModuleList::slotsLst)->setCurrentRow(1);
    QTRY_VERIFY_WITH_TIMEOUT(loaded, 20000);
    QTest::qWait(700);  // let the page be painted

    const QImage image = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    EXPECT_EQ(image.size(), QSize(1024, 768));
    QDir().mkpath(TAVRIX_BINARY_DIR "/screenshots");
    EXPECT_TRUE(image.save(TAVRIX_BINARY_DIR "/screenshots/form1.png"));
    // A value label's blue text is on screen: the window, not an empty root, was captured.
    const QRect label =
        QRect(window.form->valueLabel(tavrix::ValueLabel::systemManufacturer)->mapTo(window.form.get(), QPoint()),
              QSize(281, 17))
            .translated(window.form->geometry().topLeft());
    bool blueText = false;
    for (int y = label.top(); y <= label.bottom(); ++y)
        for (int x = label.left(); x <= label.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            blueText |= pixel.blue() > 200 && pixel.red() < 120 && pixel.green() < 120;
        }
    EXPECT_TRUE(blueText);
    window.form->close();
}

// The splash on a real X server: an empty name, kept out of the taskbar, no resizing offered, and
// the input focus once shown. (In the real program it is gone as soon as the scan ends.)
TEST_F(OnX, TheSplashTellsTheWindowManagerItHasNoNameNoTaskbarButtonAndNoResizingAndTakesTheFocus) {
    tavrix::qt::frmSplash splash;
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    const QString id = QString::number(splash.winId());
    auto run = [&](const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    };
    const QString properties =
        run("xprop", {"-display", xDisplay, "-id", id, "_NET_WM_NAME", "_NET_WM_STATE", "_MOTIF_WM_HINTS"});
    const QString name = properties.section('\n', 0, 0);
    EXPECT_TRUE(name.startsWith(QStringLiteral("_NET_WM_NAME(UTF8_STRING) =")) &&
                name.section('=', 1).remove('"').trimmed().isEmpty())
        << properties.toStdString();
    EXPECT_TRUE(properties.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR"))) << properties.toStdString();
    const QString motif = properties.section(QStringLiteral("_MOTIF_WM_HINTS"), 1).section('\n', 0, 0);
    const QStringList values = motif.section('=', 1).split(',', Qt::SkipEmptyParts);
    ASSERT_GE(values.size(), 3) << properties.toStdString();
    // No window manager functions and no decorations: nothing to resize with.
    EXPECT_EQ(values[1].trimmed().toUInt(nullptr, 16) & 2u, 0u) << motif.toStdString();
    EXPECT_EQ(values[2].trimmed().toUInt(nullptr, 16) & 4u, 0u) << motif.toStdString();
    QTRY_COMPARE_WITH_TIMEOUT(run("xdotool", {"getwindowfocus"}).toULongLong(),
                              static_cast<qulonglong>(splash.winId()), 5000);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const std::unique_ptr<QProcess> xvfb = GTEST_FLAG_GET(list_tests) ? nullptr : startXvfb();
    if (xvfb) setenv("DISPLAY", qPrintable(xDisplay), 1);
    setenv("QT_QPA_PLATFORM", xvfb ? "xcb" : "offscreen", 1);
    // These tests host the browser in their own process, as root on CI: without its sandbox, on
    // local pages only. The program itself never runs the browser as root.
    if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    tavrix::qt::TavrixApplication::installQuietMessages();  // as the program does
    int result = 0;
    {
        const auto app = tavrix::qt::TavrixApplication::start(argc, argv);
        result = RUN_ALL_TESTS();
    }
    if (xvfb) {
        xvfb->terminate();  // not killed: Xvfb removes its lock file as it ends
        xvfb->waitForFinished(5000);
    }
    return result;
}
