// Creating the main window with its browser and running the scan of a six-module machine file,
// until the window is ready to show.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QUrl>

#include <cstdlib>

#include <unistd.h>
#include <memory>

#include "scan/machine_file.h"
#include "tests/ui/qt/fake_desktop.h"
#include "ui/qt/form1.h"
#include "ui/qt/tavrix_application.h"
#include "ui/qt/web_engine_browser.h"

namespace {

void CreateAndScanForm1(benchmark::State& state) {
    auto provider = tavrix::makeMachineFileProvider(TAVRIX_SOURCE_DIR "/tests/data/machines/server.machine");
    // The real browser, linked in, sent to a closed loopback port instead of the retailer's server.
    FakeDesktop desktop;
    desktop.browser.forward = [](QWidget& view, const QUrl& address) {
        QUrl local = address;
        local.setHost(QStringLiteral("127.0.0.1"));
        local.setPort(9);
        tavrix::qt::webEngineBrowser().navigate(view, local);
    };
    const tavrix::qt::DesktopServices services = desktop.services();
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
