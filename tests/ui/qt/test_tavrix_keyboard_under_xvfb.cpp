// The real program on a display of its own without a window manager, with the retailer's page
// loaded in WB, driven from outside with xdotool and checked with xdotool, xprop and screenshots:
// which window has the input focus and what it tells a window manager, where Tab and Enter go, the
// module lists' selections, the chat controls' clicks, the page's new windows and downloads, and
// the drawn frames and lists.
//
// The program runs in a private mount namespace whose /sys/firmware/dmi/tables hold a test table
// with three modules, one of them in a slot with a long name. Its browser reaches the "retailer"
// through QtWebEngine's standard proxy switch (QTWEBENGINE_CHROMIUM_FLAGS=--proxy-server=...): a
// loopback server in the test answers every address, so the program runs unchanged. xdg-open is a
// script on PATH that records what it was asked to open.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "tests/providers/smbios/smbios_writer.h"
#include "tests/ui/qt/xvfb/tavrix_process_test.h"

namespace {

using namespace tavrix_under_xvfb;

constexpr QSize splashSize(246, 82);  // the client area and the splash's own 2-pixel border
const std::string host = "http://www.quorvane.com";

// The page WB shows: a link that opens a new window, an element whose click calls window.open, a
// download link (none of them a Tab stop), and a script that reports each key the page gets.
const std::string page = R"html(<html><body style="margin:0" onload="fetch('/loaded')">
<a tabindex="-1" href="http://www.quorvane.com/new-window" target="_blank"
   style="position:absolute;left:10px;top:10px;width:200px;height:30px;background:#ccf">new window</a>
<span tabindex="-1" onclick="window.open('http://www.quorvane.com/opened')"
   style="position:absolute;left:10px;top:50px;width:200px;height:30px;background:#cfc">window.open</span>
<a tabindex="-1" href="/memory-list.txt"
   style="position:absolute;left:10px;top:90px;width:200px;height:30px;background:#fcc">download</a>
<script>document.addEventListener('keydown', function (e) { fetch('/key?' + e.key); });</script>
</body></html>)html";
const std::string download = "memory list\n";

// The retailer's server on loopback, used by the browser as its HTTP proxy: the lookup page for
// the lookup address, a file to download, an empty answer for anything else. It keeps the path
// and query of every address asked for.
class RetailerServer {
public:
    RetailerServer() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(listener_, 16) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("cannot listen on loopback");
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] {
            for (int client; (client = accept(listener_, nullptr, nullptr)) >= 0;) {
                const std::lock_guard lock(mutex_);
                clients_.emplace_back(client, std::thread([this, client] { serve(client); }));
            }
        });
    }
    ~RetailerServer() {
        shutdown(listener_, SHUT_RDWR);
        acceptor_.join();
        for (auto& [client, thread] : clients_) {
            shutdown(client, SHUT_RDWR);
            thread.join();
            close(client);
        }
        close(listener_);
    }

    int port() const { return port_; }

    // How many addresses asked for so far start with the prefix (a path and query).
    int count(const std::string& prefix) {
        const std::lock_guard lock(mutex_);
        return static_cast<int>(std::count_if(requests_.begin(), requests_.end(),
                                              [&](const std::string& request) { return request.starts_with(prefix); }));
    }

private:
    void serve(int client) {
        timeval wait{10, 0};
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) return;
            request.append(buffer, static_cast<std::size_t>(got));
        }
        // "GET http://www.quorvane.com/path?query HTTP/1.1", as a browser asks its proxy.
        const std::size_t from = request.find(' ') + 1;
        std::string target = request.substr(from, request.find(' ', from) - from);
        if (target.starts_with(host)) target.erase(0, host.size());
        std::string head = "HTTP/1.1 200 OK\r\nConnection: close\r\n", body;
        if (target.starts_with("/mc/tavrix.asp")) {
            head += "Content-Type: text/html\r\n";
            body = page;
        } else if (target == "/memory-list.txt") {
            head += "Content-Type: text/plain\r\nContent-Disposition: attachment; filename=\"memory-list.txt\"\r\n";
            body = download;
        } else {
            head = "HTTP/1.1 204 No Content\r\nConnection: close\r\n";
        }
        {
            const std::lock_guard lock(mutex_);
            requests_.push_back(target);
        }
        const std::string answer = head + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
        shutdown(client, SHUT_WR);
    }

    int listener_ = -1;
    int port_ = 0;
    std::thread acceptor_;
    std::mutex mutex_;
    std::vector<std::pair<int, std::thread>> clients_;  // each socket and the thread that serves it
    std::vector<std::string> requests_;
};

// A computer with three modules in slots A1 (a long name), B2 and C3: 1024, 2048 and 4096 MB at
// 533, 667 and 800 MHz. Every row of each list starts with its own character.
std::string threeModuleTable() {
    tavrix::testing::SmbiosWriter w;
    w.structure(0, 0x18, 0x00).string(0x04, "Test BIOS").string(0x05, "T1.0");
    w.structure(1, 0x1B, 0x01).string(0x04, "Test Systems").string(0x05, "Model K");
    w.structure(2, 0x0F, 0x02).string(0x04, "Board Co").string(0x05, "KB-1");
    w.structure(16, 0x17, 0x10).byte(0x05, 0x03).dword(0x07, 16u << 20).word(0x0D, 4);
    const char* locators[] = {"A1 Channel A DIMM 0 on the riser card at the back of the case", "B2", "C3"};
    const int sizes[] = {1024, 2048, 4096}, speeds[] = {533, 667, 800};
    for (int i = 0; i < 3; ++i)
        w.structure(17, 0x22, static_cast<std::uint16_t>(0x20 + i))
            .word(0x04, 0x10)
            .word(0x0C, sizes[i])
            .string(0x10, locators[i])
            .byte(0x12, 0x1A)
            .word(0x15, speeds[i]);
    return w.table();
}

// The row a list shows selected (a band drawn in the highlight colour across much of its width,
// its text's gaps bridged): -1 for none, -2 for more than one.
int selectedRow(const QImage& screen, const QRect& list, int* rowHeight = nullptr) {
    std::vector<std::pair<int, int>> bands;  // top, height
    for (int y = list.top() + 2; y < list.bottom() - 1; ++y) {
        int highlighted = 0;
        for (int x = list.left() + 3; x < list.right() - 2; ++x) {
            const QColor pixel = screen.pixelColor(x, y);
            highlighted += pixel.blue() > 150 && pixel.red() < 100 && pixel.blue() > pixel.green() + 30;
        }
        if (highlighted * 4 < list.width()) continue;
        if (!bands.empty() && bands.back().first + bands.back().second >= y - 3)
            bands.back().second = y - bands.back().first + 1;
        else
            bands.emplace_back(y, 1);
    }
    if (bands.empty()) return -1;
    if (bands.size() > 1) return -2;
    if (rowHeight) *rowHeight = bands.front().second;
    return (bands.front().first - list.top() - 2 + bands.front().second / 2) / bands.front().second;
}

// The rows of a frame's etched top line (a dark line over a light one) in a column, searched from
// one pixel below the frame's top for 15 pixels; nullopt when there is none.
std::optional<int> etchedTopLine(const QImage& screen, int x, int frameTop) {
    for (int y = frameTop + 1; y <= frameTop + 15; ++y) {
        const QColor dark = screen.pixelColor(x, y), light = screen.pixelColor(x, y + 1);
        if (dark.red() > 96 && dark.red() < 176 && dark.red() == dark.green() && dark.green() == dark.blue() &&
            light.red() >= 240 && light.green() >= 240 && light.blue() >= 240)
            return y;
    }
    return std::nullopt;
}

// Whether the strip along a list's bottom edge shows only the list's white background (no
// horizontal scroll bar).
bool bottomStripBlank(const QImage& screen, const QRect& list) {
    for (int y = list.bottom() - 15; y <= list.bottom() - 3; ++y)
        for (int x = list.left() + 3; x <= list.right() - 3; ++x)
            if (screen.pixelColor(x, y) != QColor(Qt::white)) return false;
    return true;
}

// Whether the xprop line of _MOTIF_WM_HINTS ("... = 0x3, 0x26, 0x1e, 0x0, 0x0") offers resizing,
// as a function or as resize handles. Without the hints, or without their functions or
// decorations part, everything is offered; "all" offers everything except the bits set.
bool motifAllowsResizing(const QString& line) {
    const QStringList values = line.section(QLatin1Char('='), 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (values.size() < 3) return true;
    bool ok = true;
    const unsigned flags = values[0].trimmed().toUInt(&ok, 16), functions = values[1].trimmed().toUInt(&ok, 16),
                   decorations = values[2].trimmed().toUInt(&ok, 16);
    auto offered = [](unsigned bits, unsigned resizeBit) {
        return (bits & 1) ? !(bits & resizeBit) : bool(bits & resizeBit);
    };
    return !(flags & 1) || !(flags & 2) || offered(functions, 2) || offered(decorations, 4);
}

// Writes the bytes to the file; false when it cannot.
bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

class TavrixWithAPage : public TavrixProcessTest {
protected:
    RetailerServer server;
    QTemporaryDir files;
    std::string table = threeModuleTable();

    QString openedLog() const { return files.filePath("opened.txt"); }

    void SetUp() override {
        ASSERT_TRUE(files.isValid());
        // The program reads the tables as root and then runs as the sudo user (nobody), who must
        // reach the opener, its log and the download's folder.
        QFile::setPermissions(files.path(), QFileDevice::Permissions(0x7777));
        QProcess probe;
        probe.start("unshare", {"--mount", "true"});
        if (!probe.waitForFinished(10000) || probe.exitCode() != 0)
            GTEST_SKIP() << "needs a private mount namespace (unshare --mount), which needs root";
        QDir(files.path()).mkpath("tables");
        QDir(files.path()).mkpath("bin");
        const QString opener = files.filePath("bin/xdg-open");
        ASSERT_TRUE(writeFile(files.filePath("tables/DMI"), QByteArray::fromStdString(table)));
        ASSERT_TRUE(writeFile(opener, QStringLiteral("#!/bin/sh\necho \"$@\" >> '%1'\n").arg(openedLog()).toUtf8()));
        QFile::setPermissions(opener, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                          QFileDevice::ReadOther | QFileDevice::ExeOther);
    }

    // Starts the program as sudo would for the user nobody: it reads the test table as root, then
    // gives up root before any window, so the browser runs with its sandbox.
    void start() {
        ASSERT_TRUE(writeFile(files.filePath("tables/smbios_entry_point"),
                              QByteArray::fromStdString(tavrix::testing::SmbiosWriter::entryPoint3(table.size()))));
        QProcessEnvironment environment = x.environment();
        environment.insert("PATH", files.filePath("bin") + ':' + environment.value("PATH"));
        environment.insert("QTWEBENGINE_CHROMIUM_FLAGS", QStringLiteral("--proxy-server=http://127.0.0.1:%1").arg(server.port()));
        for (const auto& [name, value] : {std::pair<QString, QString>{"HOME", files.path()}, {"SUDO_UID", "65534"},
                                          {"SUDO_GID", "65534"}, {"SUDO_USER", "nobody"}})
            environment.insert(name, value);
        environment.remove("QTWEBENGINE_DISABLE_SANDBOX");
        tavrix.setProcessEnvironment(environment);
        tavrix.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QString script = QStringLiteral(
            "mount -t tmpfs tavrix-test /sys/firmware && mkdir -p /sys/firmware/dmi/tables && "
            "mount --bind \"$0\" /sys/firmware/dmi/tables && exec \"$@\"");
        tavrix.start("unshare", {"--mount", "--propagation", "private", "sh", "-c", script, files.filePath("tables"),
                                 TAVRIX_BINARY});
        ASSERT_TRUE(tavrix.waitForStarted(10000));
        parkThePointer();
    }

    // Keys go to the window with the input focus, never to one that is merely under the pointer.
    void parkThePointer() { x.xdotool({"mousemove", "1279", "1023"}); }

    void keys(const QStringList& names) { x.xdotool(QStringList{"key", "--delay", "80"} + names); }

    void doubleClick(QPoint at) {
        x.xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "--repeat", "2",
                   "--delay", "100", "1"});
    }

    // What xdg-open was asked to open, one line a call.
    QStringList opened() {
        QFile log(openedLog());
        if (!log.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    // The row each of the main window's three lists shows selected (see selectedRow).
    std::vector<int> selectedRows(const XvfbSession::MappedWindow& form1) {
        const QImage screen = x.screenshot();
        std::vector<int> rows;
        for (const char* list : {"slotsLst", "memoryLst", "speedLst"})
            rows.push_back(selectedRow(screen, form1Place(list).translated(form1.geometry.topLeft())));
        return rows;
    }

    // Goes through the disclaimer with OK and waits for the main window and its page.
    std::optional<XvfbSession::MappedWindow> mainWindowWithItsPage() {
        start();
        const auto form1 = okToTheMainWindow();
        if (!form1 || !eventually([&] { return server.count("/loaded") > 0; }, 60s)) return std::nullopt;
        std::this_thread::sleep_for(500ms);  // the page painted, WB's inner widget in place
        parkThePointer();
        return form1;
    }
};

// Each window, when shown, has the input focus (with no window manager to give it), and carries
// the hints of its layout: which are kept out of the taskbar and no resizing (the splash, gone as
// soon as the scan from memory ends, is checked in-process). In the disclaimer Enter and Esc do
// nothing in the text box; Enter on a focused button chooses it.
TEST_F(TavrixWithAPage, EachWindowIsFocusedWhenShownAndTellsTheWindowManagerItsBorderAndTaskbarRule) {
    auto checkWindow = [&](const XvfbSession::MappedWindow& window, const char* name, bool skipsTaskbar) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(eventually([&] { return x.focusedWindow() == window.id; }))
            << "focus is on " << x.focusedWindow() << ", not on " << window.id;
        const QString state = x.property(window.id, "_NET_WM_STATE");
        EXPECT_EQ(state.contains("_NET_WM_STATE_SKIP_TASKBAR"), skipsTaskbar) << state.toStdString();
        const QString motif = x.property(window.id, "_MOTIF_WM_HINTS");
        EXPECT_FALSE(motifAllowsResizing(motif)) << motif.toStdString();
    };

    start();
    const auto dialog = x.waitForMapped(title, dialogSize, 30s);
    ASSERT_TRUE(dialog) << "no disclaimer appeared";
    checkWindow(*dialog, "Dialog", true);

    keys({"Return", "Escape"});
    EXPECT_FALSE(x.waitForMapped(std::nullopt, splashSize, 1500ms)) << "Enter or Esc in the text box chose OK";
    EXPECT_EQ(tavrix.state(), QProcess::Running) << "Enter or Esc in the text box chose Cancel";

    keys({"Tab", "Tab", "Return"});
    const auto form1 = x.waitForMapped(title, form1Size, 60s);
    ASSERT_TRUE(form1) << "no main window appeared";
    checkWindow(*form1, "Form1", false);
    x.requestClose(form1->id);
    EXPECT_EQ(exitStatus(30s), 0);

    // Tab, then Enter on Cancel.
    start();
    ASSERT_TRUE(x.waitForMapped(title, dialogSize, 30s));
    std::this_thread::sleep_for(500ms);
    keys({"Tab", "Return"});
    EXPECT_EQ(exitStatus(30s), 0) << "Enter on Cancel did not end the program";
}

// The main window with its page: nothing selected and no row current at first (Down picks the
// first row); Tab and Shift+Tab go slotsLst, clipboardCmd, WB, memoryLst, speedLst and round again,
// each stop shown by what a key does there (a list's type-ahead selects a row, Enter on the button
// copies the report, the page hears the key); the three lists always show the same selection.
TEST_F(TavrixWithAPage, TabGoesThroughTheMainWindowsControlsInLayoutOrderWithThePageLoaded) {
    const auto form1 = mainWindowWithItsPage();
    ASSERT_TRUE(form1) << "no main window with its page";
    ASSERT_TRUE(eventually([&] { return x.focusedWindow() == form1->id; })) << "the main window has no focus";
    EXPECT_EQ(selectedRows(*form1), std::vector<int>(3, -1)) << "a row is selected before the user chose one";
    x.setClipboard("stale");

    struct Stop {
        const char* key;  // the key that moves there
        const char* control;
        const char* probe;  // the key pressed there
        int row;            // the row the probe selects in all three lists; -1: the probe is not for a list
    };
    const Stop stops[] = {
        {nullptr, "slotsLst", "Down", 0},  // the first row: no row was current, not even unselected
        {nullptr, "slotsLst", "b", 1},
        {"Tab", "clipboardCmd", "Return", -1},
        {"Tab", "WB", "x", -1},
        {"Tab", "memoryLst", "4", 2},
        {"Tab", "speedLst", "5", 0},
        {"Tab", "slotsLst", "c", 2},
        {"shift+Tab", "speedLst", "6", 1},
        {"shift+Tab", "memoryLst", "1", 0},
        {"shift+Tab", "WB", "y", -1},
        {"shift+Tab", "clipboardCmd", "Return", -1},
    };
    for (const Stop& stop : stops) {
        SCOPED_TRACE(std::string(stop.key ? stop.key : "(start)") + " to " + stop.control);
        if (stop.key) keys({QString::fromLatin1(stop.key)});
        std::this_thread::sleep_for(300ms);
        keys({QString::fromLatin1(stop.probe)});
        if (stop.row >= 0) {
            eventually([&] { return selectedRows(*form1) == std::vector<int>(3, stop.row); }, 5s);
            EXPECT_EQ(selectedRows(*form1), std::vector<int>(3, stop.row));
        } else if (std::string(stop.control) == "WB") {
            EXPECT_TRUE(eventually([&] { return server.count(std::string("/key?") + stop.probe) > 0; }, 5s)) << "the page did not get the key";
        } else {
            EXPECT_TRUE(eventually([&] { return x.clipboard().contains("Model K"); }, 5s)) << "no report copied";
            x.setClipboard("stale");
        }
    }
    x.requestClose(form1->id);
    EXPECT_EQ(exitStatus(30s), 0);
}

// The drawn window: in each row of frames the top lines line up, the caption-less Frame8 with
// the captioned Frame7 too, and no list has a horizontal scroll bar, not even for a long slot name.
// The mouse: a click selects a row in all three lists and Ctrl+click on it clears it in all three;
// Image1 and Label39 start the chat once for a click and for a double click, and not at all for a
// press released beside them.
TEST_F(TavrixWithAPage, FramesAndListsAreDrawnAlikeAndTheMouseActsOnceForOneClick) {
    const auto form1 = mainWindowWithItsPage();
    ASSERT_TRUE(form1) << "no main window with its page";
    const QPoint corner = form1->geometry.topLeft();
    auto place = [&](const char* name) { return form1Place(name).translated(corner); };

    const QImage screen = x.screenshot();
    for (const auto& [left, right] : {std::pair{"Frame2", "Frame4"}, {"Frame3", "Frame6"}, {"Frame7", "Frame8"}}) {
        const auto leftLine = etchedTopLine(screen, place(left).right() - 20, place(left).top());
        const auto rightLine = etchedTopLine(screen, place(right).right() - 20, place(right).top());
        EXPECT_TRUE(leftLine && rightLine && *leftLine == *rightLine)
            << left << " " << leftLine.value_or(-1) << ", " << right << " " << rightLine.value_or(-1);
    }
    for (const char* list : {"slotsLst", "memoryLst", "speedLst"})
        EXPECT_TRUE(bottomStripBlank(screen, place(list))) << list << " has a horizontal scroll bar";

    int rowHeight = 0;
    x.click(place("slotsLst").topLeft() + QPoint(20, 6));
    ASSERT_TRUE(eventually([&] { return selectedRow(x.screenshot(), place("slotsLst"), &rowHeight) == 0; }, 5s));
    ASSERT_GT(rowHeight, 8);

    struct ListClick {
        const char* list;
        int row;
        bool control;
        int selected;  // in all three lists afterwards; -1: none
    };
    const ListClick clicks[] = {
        {"slotsLst", 1, false, 1}, {"slotsLst", 1, true, -1},  {"memoryLst", 2, false, 2}, {"speedLst", 2, true, -1},
        {"speedLst", 0, false, 0}, {"memoryLst", 0, true, -1}, {"memoryLst", 1, false, 1},
    };
    for (const ListClick& click : clicks) {
        SCOPED_TRACE(std::string(click.control ? "Ctrl+click on " : "click on ") + click.list + " row " +
                     std::to_string(click.row));
        const QPoint at = place(click.list).topLeft() + QPoint(20, 2 + rowHeight * click.row + rowHeight / 2);
        QStringList arguments{"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"};
        if (click.control) arguments = QStringList{"keydown", "ctrl"} + arguments + QStringList{"keyup", "ctrl"};
        std::this_thread::sleep_for(700ms);  // not the second half of a double click
        x.xdotool(arguments);
        eventually([&] { return selectedRows(*form1) == std::vector<int>(3, click.selected); }, 5s);
        EXPECT_EQ(selectedRows(*form1), std::vector<int>(3, click.selected));
    }

    const QPoint image = place("Image1").center(), label = place("Label39").center();
    struct ChatClick {
        const char* what;
        std::function<void()> act;
        int starts;
    };
    const ChatClick chatClicks[] = {
        {"a double click on Image1", [&] { doubleClick(image); }, 1},
        {"a press on Image1 released beside it",
         [&] {
             x.press(image);
             x.xdotool({"mousemove", QString::number(image.x()), QString::number(place("Image1").bottom() + 30)});
             x.release();
         },
         0},
        {"a click on Label39", [&] { x.click(label); }, 1},
        {"a double click on Label39", [&] { doubleClick(label); }, 1},
    };
    int expected = 0;
    for (const ChatClick& click : chatClicks) {
        SCOPED_TRACE(click.what);
        click.act();
        expected += click.starts;
        eventually([&] { return opened().size() >= expected; }, 5s);
        std::this_thread::sleep_for(1s);
        EXPECT_EQ(opened().size(), expected);
    }
    for (const QString& line : opened()) EXPECT_EQ(line.toStdString(), tavrix::forms::chatAddress);
    x.requestClose(form1->id);
    EXPECT_EQ(exitStatus(30s), 0);
}

// The page's links: a new window (a link with target=_blank, or window.open) opens in the user's
// browser and the page stays; a download asks where to save it, and saves it there.
TEST_F(TavrixWithAPage, ThePagesNewWindowsOpenInTheUsersBrowserAndDownloadsAskWhereToSave) {
    const auto form1 = mainWindowWithItsPage();
    ASSERT_TRUE(form1) << "no main window with its page";
    const QPoint pageCorner = form1->geometry.topLeft() + form1Place("WB").topLeft();

    struct NewWindow {
        const char* what;
        QPoint at;  // in the page
        const char* address;
    };
    const NewWindow newWindows[] = {
        {"a link with target=_blank", {110, 25}, "http://www.quorvane.com/new-window"},
        {"window.open", {110, 65}, "http://www.quorvane.com/opened"},
    };
    int expected = 0;
    for (const NewWindow& window : newWindows) {
        SCOPED_TRACE(window.what);
        x.click(pageCorner + window.at);
        ++expected;
        EXPECT_TRUE(eventually([&] { return opened().size() >= expected; }, 10s));
        EXPECT_EQ(opened().value(expected - 1).toStdString(), window.address);
    }
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(opened().size(), expected);
    EXPECT_EQ(server.count("/new-window") + server.count("/opened"), 0) << "the program loaded a new window itself";

    x.skipPendingEvents();
    x.click(pageCorner + QPoint(110, 105));
    const auto save = x.waitForMapped("Save As", std::nullopt, 20s);
    ASSERT_TRUE(save) << "no save dialog for the download";
    EXPECT_TRUE(eventually([&] { return x.focusedWindow() == save->id; })) << "the save dialog has no focus";
    const QString target = files.filePath("saved-list.txt");
    keys({"ctrl+a"});
    x.xdotool({"type", "--delay", "20", target});
    keys({"Return"});
    EXPECT_TRUE(eventually(
        [&] {
            QFile saved(target);
            return saved.open(QIODevice::ReadOnly) && saved.readAll().toStdString() == download;
        },
        20s))
        << "the download was not saved where the dialog said";
    x.requestClose(form1->id);
    EXPECT_EQ(exitStatus(30s), 0);
}

}  // namespace
