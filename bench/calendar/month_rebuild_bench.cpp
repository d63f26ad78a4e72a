// Speed of the calendar's month change as the user sees it: one step of the month
// up-down (the month's cells, the background with the picture blended in) and the
// repaint of the calendar window. Runs on the offscreen platform unless told otherwise.

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>

#include "calendar/chn_calendar_picker.h"
#include "calendar/month_window.h"

namespace {

using namespace plumo;

// The calendar window as the companion shows it: a 313 x 253 picture at 30 per cent.
struct ShownCalendar {
    QTemporaryDir folder;
    std::unique_ptr<TmonFrm> window;

    ShownCalendar() {
        QDir(folder.path()).mkpath(QStringLiteral("skin"));
        QImage picture(TChnCalendar::kWidth, TChnCalendar::kHeight, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
        picture.save(folder.path() + QStringLiteral("/skin/bg.bmp"), "BMP");
        window = std::make_unique<TmonFrm>(folder.path() + QLatin1Char('/'), nullptr);
        window->show();
        QApplication::processEvents();
    }
    TChnCalendar& calendar() { return *window->m; }
    TUpDown& monthUpDown() { return *calendar().findChild<TUpDown*>(QStringLiteral("udMonth")); }
    void toFirstMonth() { calendar().SelectDate(encodeDate(1901, 1, 15)); }
    bool atLastMonth() {
        const DateParts parts = decodeDate(calendar().DateTimeValue());
        return parts.year == 2050 && parts.month == 12;
    }
    // One month up and the window painted.
    void nextMonth() {
        monthUpDown().stepBy(1);
        window->repaint();
    }
};

// One month step; the median over repetitions is the figure to read.
void BM_MonthRebuild(benchmark::State& state) {
    ShownCalendar shown;
    shown.toFirstMonth();
    for (auto _ : state) {
        if (shown.atLastMonth()) {
            state.PauseTiming();
            shown.toFirstMonth();
            state.ResumeTiming();
        }
        shown.nextMonth();
    }
}
BENCHMARK(BM_MonthRebuild)->Unit(benchmark::kMicrosecond);

double threadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

// Paging through all 1,800 months: every single step timed, the slowest one reported in
// wall time and in the UI thread's own processor time (which a busy machine does not
// inflate).
void BM_PageThroughAllMonths(benchmark::State& state) {
    ShownCalendar shown;
    double worst = 0, worstCpu = 0, total = 0;
    int steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        shown.toFirstMonth();
        shown.window->repaint();
        state.ResumeTiming();
        while (!shown.atLastMonth()) {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = threadCpuMicroseconds();
            shown.nextMonth();
            const std::chrono::duration<double, std::micro> took =
                std::chrono::steady_clock::now() - start;
            worstCpu = std::max(worstCpu, threadCpuMicroseconds() - cpuStart);
            worst = std::max(worst, took.count());
            total += took.count();
            ++steps;
        }
    }
    state.counters["worst_month_us"] = worst;
    state.counters["worst_month_cpu_us"] = worstCpu;
    state.counters["mean_month_us"] = total / std::max(steps, 1);
    state.counters["months"] = steps / double(state.iterations()) + 1;
}
BENCHMARK(BM_PageThroughAllMonths)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
