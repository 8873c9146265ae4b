// Loading a 100 MiB spellbook list of short lines from a file, and the first keystroke after
// it: the time of the load, its peak memory against the file's size, and the time of the
// keystroke's recompute with the loaded gestures and the default names.

#include "ShortLinesFile.h"
#include "combo/ComboEngine.h"
#include "spellbook/DefaultSpellbook.h"
#include "ui/Error.h"
#include "ui/ListModel.h"
#include "ui/TextPane.h"
#include "ui/TextSplit.h"

#include <QFile>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace quorvane;

namespace {

using bench::shortLinesFile;
constexpr qint64 FileSize = bench::ShortLinesFileSize;

// The process's peak resident size so far, in KiB.
long peakKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// The load's peak memory, measured first (before any large heap exists to be reused) in a
// child process, as the peak growth
// of its resident size over the file's size.
void BM_LoadPeakMemory(benchmark::State& state) {
    const QString& path = shortLinesFile();
    double ratio = 0;
    for (auto _ : state) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) {
            state.SkipWithError("pipe failed");
            return;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            const long before = peakKiB();
            {
                ListModel list;
                list.loadFromFile(path);
                benchmark::DoNotOptimize(list.count());
            }
            const long grown = peakKiB() - before;
            (void)!::write(pipeFds[1], &grown, sizeof grown);
            ::_exit(0);
        }
        ::close(pipeFds[1]);
        long grown = -1;
        (void)!::read(pipeFds[0], &grown, sizeof grown);
        ::close(pipeFds[0]);
        ::waitpid(child, nullptr, 0);
        ratio = double(grown) * 1024 / double(FileSize);
        state.counters["peak MiB"] = double(grown) / 1024;
    }
    state.counters["x file size"] = ratio;
}
BENCHMARK(BM_LoadPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LoadFromFile(benchmark::State& state) {
    const QString& path = shortLinesFile();
    qsizetype rows = 0;
    for (auto _ : state) {
        ListModel list;
        list.loadFromFile(path);
        rows = list.count();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = double(rows);
    state.counters["file MiB"] = double(FileSize) / (1 << 20);
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor of any load: reading the file's bytes in the same pieces, keeping nothing.
void BM_ReadOnly(benchmark::State& state) {
    std::vector<char> piece(std::size_t(1) << 20);
    for (auto _ : state) {
        QFile file(shortLinesFile());
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot open");
            return;
        }
        qint64 total = 0;
        for (qint64 got; (got = file.read(piece.data(), qint64(piece.size()))) > 0;)
            total += got;
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ReadOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

// The first keystroke after the load: the engine's index of the spellbook is built anew for
// the new lists, then the recompute runs. With the file as the gestures, a matching row
// beyond the default names raises the out-of-bounds error, as the window's error box would
// show it; without a match every row is tried. "?S" and "??S" let a wildcard pass most rows'
// first gesture, so those rows are read in full. With the file as both lists every row has
// a name, so the engine indexes all of them.
const char* const Histories[] = {"Q", "SD", "?S", "??S"};
enum class Loaded { AsGestures, AsNames, AsBoth };

void BM_FirstKeystrokeAfterLoad(benchmark::State& state) {
    const auto loaded = Loaded(state.range(0));
    const QString history = QString::fromLatin1(Histories[state.range(1)]);
    ListModel file;
    file.loadFromFile(shortLinesFile());
    const ListModel gestures =
        loaded != Loaded::AsNames ? file : ListModel(spellbook::defaultGesturesText());
    const ListModel names =
        loaded != Loaded::AsGestures
            ? file
            : ListModel(spellbook::defaultNamesText(spellbook::Language::English));
    qsizetype lines = 0;
    bool raised = false;
    for (auto _ : state) {
        combo::ComboEngine engine; // a fresh one has no index yet, as after a load
        TextPane pane;
        try {
            engine.recompute(history, gestures, names, pane);
        } catch (const Error&) {
            raised = true;
        }
        lines = pane.lineCount();
    }
    state.counters["pane lines"] = double(lines);
    state.counters["raised"] = raised ? 1 : 0;
    const std::string as[] = {"as gestures, ", "as names, ", "as both lists, "};
    state.SetLabel(as[int(loaded)] + history.toStdString());
}
BENCHMARK(BM_FirstKeystrokeAfterLoad)
    ->ArgsProduct({{int(Loaded::AsGestures)}, {0, 1, 2, 3}})
    ->Args({int(Loaded::AsNames), 1})
    ->Args({int(Loaded::AsBoth), 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The keystrokes after that, with the index kept.
void BM_LaterKeystroke(benchmark::State& state) {
    ListModel gestures;
    gestures.loadFromFile(shortLinesFile());
    const ListModel names(spellbook::defaultNamesText(spellbook::Language::English));
    combo::ComboEngine engine;
    TextPane pane;
    try {
        engine.recompute(QStringLiteral("S"), gestures, names, pane);
    } catch (const Error&) {
    }
    for (auto _ : state) {
        try {
            engine.recompute(QStringLiteral("SD"), gestures, names, pane);
        } catch (const Error&) {
        }
    }
}
BENCHMARK(BM_LaterKeystroke)->Unit(benchmark::kMillisecond)->Iterations(5);

// The first keystroke after loading one line of 50 MiB as the gestures: the line matches,
// so the pane gets a line of that length.
void BM_FirstKeystrokeOneLongLine(benchmark::State& state) {
    const ListModel gestures(QString(50 * 1024 * 1024, QLatin1Char('D')));
    const ListModel names(spellbook::defaultNamesText(spellbook::Language::English));
    for (auto _ : state) {
        combo::ComboEngine engine;
        TextPane pane;
        engine.recompute(QStringLiteral("SD"), gestures, names, pane);
        benchmark::DoNotOptimize(pane.lineCount());
    }
}
BENCHMARK(BM_FirstKeystrokeOneLongLine)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
