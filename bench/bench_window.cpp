// The window's speed as a person meets it, on the offscreen platform:
// - a keystroke in the move-history field up to the combos pane painted, with the default
//   spellbook and with a generated one of 100,000 rows;
// - a 100 MiB file of short lines loaded into the gesture list, up to the list painted, and
//   the first keystroke after it;
// - start-up: this program started again in a mode that builds the whole window and quits
//   at its first paint, side by side with a minimal window of the same size holding one line
//   edit; wall time and peak memory of each start, reported as ratios.

#include "GeneratedSpellbook.h"
#include "ShortLinesFile.h"
#include "app/TForm1.h"
#include "ui/EntryField.h"
#include "ui/ListBoxView.h"
#include "ui/TextPaneView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <string>

using namespace quorvane;

namespace {

enum class Book { Default, Generated };

// Types the history's last character after the rest, and measures up to the pane painted.
void keystroke(benchmark::State& state, Book book, const char* history) {
    app::TForm1 form(QStringLiteral("Quorvane"));
    form.FormCreate();
    if (book == Book::Generated) {
        const bench::GeneratedSpellbook generated = bench::generateSpellbook(100000);
        form.ListBox1Items.setText(generated.gestures);
        form.ListBox1->refresh();
        form.ListBox2Items.setText(generated.names);
        form.ListBox2->refresh();
    }
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        state.SkipWithError("the window was not shown");
    const QString text = QString::fromLatin1(history);
    const QChar last = text.back();
    for (auto _ : state) {
        state.PauseTiming();
        form.Edit1->setText(text.chopped(1));
        QCoreApplication::processEvents();
        state.ResumeTiming();
        QTest::keyClick(form.Edit1, last.toLatin1());
        form.RichEdit1->viewport()->repaint();
    }
    state.counters["lines"] = double(form.RichEdit1Text.lineCount());
}

// What the gestures load command does once its dialog has given the file: the list read,
// the list box refreshed, here up to the list box painted. With `keystroke`, the load is
// left out of the time and the first keystroke after it is measured instead, up to the
// combos pane painted: "Q", which no row matches, so that every row is tried.
void bigLoad(benchmark::State& state, bool keystroke) {
    const QString& path = bench::shortLinesFile();
    app::TForm1 form(QStringLiteral("Quorvane"));
    form.FormCreate();
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        state.SkipWithError("the window was not shown");
    for (auto _ : state) {
        state.PauseTiming();
        form.ListBox1Items.setText(QString());
        form.ListBox1->refresh();
        form.Edit1->clear();
        QCoreApplication::processEvents();
        if (keystroke) {
            form.ListBox1Items.loadFromFile(path);
            form.ListBox1->refresh();
            form.ListBox1->viewport()->repaint();
        }
        state.ResumeTiming();
        if (keystroke) {
            QTest::keyClick(form.Edit1, 'Q');
            form.RichEdit1->viewport()->repaint();
        } else {
            form.ListBox1Items.loadFromFile(path);
            form.ListBox1->refresh();
            form.ListBox1->viewport()->repaint();
        }
    }
    state.counters["rows"] = double(form.ListBox1Items.count());
}

// The process's own peak memory, in KiB, as the kernel counts it.
long peakKiB() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1)
            break;
    std::fclose(status);
    return kib;
}

// Quits at the first paint of the window it is given, and tells its peak memory on stdout.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            QMetaObject::invokeMethod(
                qApp,
                [] {
                    std::printf("%ld\n", peakKiB());
                    QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool done_ = false;
};

int firstPaint(int argc, char** argv, bool whole) {
    QApplication app(argc, argv);
    FirstPaint quitter;
    if (whole) {
        app::TForm1 form(QStringLiteral("Quorvane"));
        form.FormCreate();
        form.installEventFilter(&quitter);
        form.show();
        return QApplication::exec();
    }
    QWidget window;
    window.setFixedSize(521, 549);
    QLineEdit edit(&window);
    edit.setGeometry(80, 8, 185, 28);
    window.installEventFilter(&quitter);
    window.show();
    return QApplication::exec();
}

// Starts this program in a first-paint mode; wall time, and the peak memory it reports.
void startUp(benchmark::State& state, const char* self, const char* mode) {
    long peak = 0;
    const std::string command = std::string("'") + self + "' " + mode;
    for (auto _ : state) {
        FILE* child = popen(command.c_str(), "r");
        long kib = -1;
        if (!child || std::fscanf(child, "%ld", &kib) != 1 || pclose(child) != 0) {
            state.SkipWithError("the child did not start");
            break;
        }
        peak = std::max(peak, kib);
    }
    state.counters["peak_MiB"] = double(peak) / 1024.0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 2 && std::strcmp(argv[1], "--first-paint-window") == 0)
        return firstPaint(argc, argv, true);
    if (argc == 2 && std::strcmp(argv[1], "--first-paint-minimal") == 0)
        return firstPaint(argc, argv, false);

    QApplication app(argc, argv);
    for (const char* history : {"SD", "?", "WFPSFW"}) {
        benchmark::RegisterBenchmark((std::string("keystroke/default/") + history).c_str(),
                                     keystroke, Book::Default, history)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("keystroke/100000 rows/") + history).c_str(),
                                     keystroke, Book::Generated, history)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("load/100 MiB of short lines as gestures", bigLoad, false)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("load/first keystroke after it", bigLoad, true)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("startup/minimal window", startUp, argv[0],
                                 "--first-paint-minimal")
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::RegisterBenchmark("startup/whole window", startUp, argv[0], "--first-paint-window")
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
