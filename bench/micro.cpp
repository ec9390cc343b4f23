// Micro-benchmarks of the calendar's hot paths, each through its public entry point: the
// year view's paint and the runs it shows, one week's grid fill, and saving and reading the
// events file.
// Run by scripts/bench.sh; CI runs each once so that they keep working.
#include "BenchEntries.h"
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/calCanvas.h"
#include "data/EventsFile.h"
#include "data/WeekGrid.h"
#include "data/YearDayTag.h"
#include "framework/Date.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int FirstYear = 2025;

using CM = CustomizationModule;

// The sample branding's colours and layout, without pictures: what the year view paints.
void setUpBranding()
{
    CM::calendarStartYear = FirstYear;
    CM::yearImageStartYear = FirstYear;
    CM::TitleAreaHeightPercent = 0.07;
    CM::CalendarAreaHeightPercent = 0.66;
    CM::leftMargin_pct = 0.08;
    CM::topMargin_pct = 0.012;
    CM::monthNamesFont = QStringLiteral("Arial");
    CM::monthNamesBold = true;
    CM::yearColor = QColor(112, 146, 182);
    CM::monthNamesColor = QColor(18, 61, 106);
    CM::dayHeaderColor = QColor(26, 128, 136);
    CM::daysColor = QColor(40, 52, 66);
    CM::calendarBackgroundColor = QColor(18, 48, 82);
    App().selectedDate = Date(FirstYear + 1, 6, 15, 10, 30, 0);
    App().currentDate = Date(FirstYear + 1, 6, 10, 9, 0, 0);
    App().showCoundownCalendar = false;
}

// The whole year-view canvas of a calendar window over the screen (1920 x 1200 in the
// benchmark program), painted into an image; range(0) entries in the store.
void BM_YearViewPaint(benchmark::State& state)
{
    setUpBranding();
    App().eventDict.Clear();
    FillBenchEntries(App().eventDict, int(state.range(0)), FirstYear);
    CalendarWindow* window = CalendarWindow::Instance();
    calCanvas* canvas = window->Calendar;
    QImage image(canvas->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(CM::calendarBackgroundColor);
        canvas->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(QStringLiteral("%1x%2").arg(canvas->width()).arg(canvas->height()).toStdString());
    window->CloseWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    App().eventDict.Clear();
}
BENCHMARK(BM_YearViewPaint)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond);

// The cells of one week (mid-June of the middle year) with range(0) entries in the store.
void BM_WeekGridFill(benchmark::State& state)
{
    Dictionary store;
    FillBenchEntries(store, int(state.range(0)), FirstYear);
    const Date selected(FirstYear + 1, 6, 17, 12, 0, 0);
    for (auto _ : state) {
        WeekGrid::Fill fill = WeekGrid::Compute(store, selected, 8);
        benchmark::DoNotOptimize(fill.tags.constData());
    }
}
BENCHMARK(BM_WeekGridFill)->Arg(100000)->Unit(benchmark::kMillisecond);

// Writing the events file of range(0) entries (formatting and the atomic write). Each save
// ticks or unticks a to-do item: a change that keeps the file's size, so that the save also
// reads the file back to see that it changed (an unchanged file is not written).
void BM_EventsFileSave(benchmark::State& state)
{
    Dictionary store;
    FillBenchEntries(store, int(state.range(0)), FirstYear);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Calendar.tpc"));
    const QStringList todo[] = {{EventsFile::TodoLine(true, QStringLiteral("Pay the rent"))},
                                {EventsFile::TodoLine(false, QStringLiteral("Pay the rent"))}};
    QString message;
    int save = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(EventsFile::Write(path, todo[save++ % 2], store, message));
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_EventsFileSave)->Arg(100000)->Unit(benchmark::kMillisecond);

// Reading the events file of range(0) entries into an empty store.
void BM_EventsFileRead(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Calendar.tpc"));
    {
        Dictionary store;
        FillBenchEntries(store, int(state.range(0)), FirstYear);
        QString message;
        EventsFile::Write(path, {}, store, message);
    }
    for (auto _ : state) {
        Dictionary store;
        QStringList todo;
        Date countdown(FirstYear, 1, 1);
        QString message;
        benchmark::DoNotOptimize(EventsFile::Load(path, store, todo, countdown, message));
        benchmark::DoNotOptimize(store.Count());
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_EventsFileRead)->Arg(100000)->Unit(benchmark::kMillisecond);

// The year view's runs of every day of the three years with range(0) entries in the store:
// the work between reading the events file and the first paint of the year view.
void BM_BuildYears(benchmark::State& state)
{
    Dictionary store;
    FillBenchEntries(store, int(state.range(0)), FirstYear);
    for (auto _ : state) {
        auto y = YearDayTag::BuildYears(store, FirstYear, 3);
        benchmark::DoNotOptimize(y.days.constData());
    }
}
BENCHMARK(BM_BuildYears)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    // An offscreen screen of 1920 x 1200, unless the caller chose a platform.
    QTemporaryDir config;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        const QString path = config.filePath(QStringLiteral("screen.json"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920, "height": 1200,
                           "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        file.close();
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).toUtf8());
    }
    app application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
