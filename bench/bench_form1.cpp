// Creating the main window with its browser and running the scan of a six-module machine file,
// until the window is ready to show.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QUrl>
#include <QWebEngineView>

#include <cstdlib>

#include <unistd.h>
#include <memory>

#include "scan/machine_file.h"
#include "ui/qt/clipboard_service.h"
#include "ui/qt/desktop_services.h"
#include "ui/qt/form1.h"
#include "ui/qt/page_browser.h"
#include "ui/qt/tavrix_application.h"

namespace {

// The real browser, sent to a closed loopback port instead of the retailer's server.
class LoopbackBrowser : public tavrix::qt::PageBrowser {
public:
    void navigate(QWebEngineView& view, const QUrl& address) override {
        QUrl local = address;
        local.setHost(QStringLiteral("127.0.0.1"));
        local.setPort(9);
        tavrix::qt::systemDesktopServices().browser.navigate(view, local);
    }
};

void CreateAndScanForm1(benchmark::State& state) {
    auto provider = tavrix::makeMachineFileProvider(TAVRIX_SOURCE_DIR "/tests/data/machines/server.machine");
    const tavrix::qt::DesktopServices system = tavrix::qt::systemDesktopServices();
    LoopbackBrowser browser;
    const tavrix::qt::DesktopServices services{system.clipboard, system.launcher, browser, system.messageBox};
    for (auto _ : state) {
        auto form = std::make_unique<tavrix::qt::Form1>(*provider, services, tavrix::TextForm::fromCurrentLocale());
        benchmark::DoNotOptimize(form->behaviour().getTavrix());
        QCoreApplication::processEvents();
        state.PauseTiming();
        form.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(CreateAndScanForm1)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(25)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // These tests host the browser in their own process, as root on CI: without its sandbox, on
    // local pages only. The program itself never runs the browser as root.
    if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    const auto app = tavrix::qt::TavrixApplication::start(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
