// Drawing the combos pane of a very large spellbook at the window's size: a refresh of the
// view and a repaint, with the pane scrolled to its top and to its middle, a page of
// scrolling, and a whole keystroke (recompute of the pane, refresh, repaint). A keystroke
// has to fit well inside one frame of the display.

#include "GeneratedSpellbook.h"
#include "combo/ComboEngine.h"
#include "support/PaintCounter.h"
#include "ui/ListModel.h"
#include "ui/TextPane.h"
#include "ui/TextPaneView.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QImage>
#include <QScrollBar>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace quorvane;
using namespace Qt::StringLiterals;

namespace {

constexpr int SpellbookRows = 100000;

struct Scene {
    Scene() {
        const bench::GeneratedSpellbook book = bench::generateSpellbook(SpellbookRows);
        gestures.setText(book.gestures);
        names.setText(book.names);
        QFont font(u"MS Sans Serif"_s);
        font.setPixelSize(13);
        view.setFont(font);
        view.setHideSelection(true);
        view.setModel(&pane);
        view.resize(257, 289);
        view.show();
        // Until the window is exposed a repaint draws nothing.
        for (int i = 0; i < 1000 && !(view.windowHandle() && view.windowHandle()->isExposed()); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::processEvents();
    }
    void recompute(const QString& history) { engine.recompute(history, gestures, names, pane); }
    void redraw() {
        view.refresh();
        view.repaint();
    }

    ListModel gestures;
    ListModel names;
    TextPane pane;
    combo::ComboEngine engine;
    TextPaneView view;
};

Scene* scene = nullptr;

enum class Place { Top, Middle };

void refreshRepaint(benchmark::State& state, const QString& history, Place place) {
    scene->recompute(history);
    scene->view.refresh();
    QScrollBar* v = scene->view.verticalScrollBar();
    v->setValue(place == Place::Top ? 0 : v->maximum() / 2);
    for (auto _ : state)
        scene->redraw();
    state.counters["lines"] = double(scene->pane.lineCount());
}

void refreshRender(benchmark::State& state, const QString& history) {
    scene->recompute(history);
    scene->view.verticalScrollBar()->setValue(0);
    QImage image(scene->view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        scene->view.refresh();
        scene->view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["lines"] = double(scene->pane.lineCount());
}

void scrollPage(benchmark::State& state, const QString& history) {
    scene->recompute(history);
    scene->view.refresh();
    QScrollBar* v = scene->view.verticalScrollBar();
    v->setValue(0);
    for (auto _ : state) {
        v->triggerAction(QAbstractSlider::SliderPageStepAdd);
        if (v->value() == v->maximum())
            v->setValue(0);
        scene->view.repaint();
    }
}

void keystroke(benchmark::State& state, const QString& history) {
    scene->view.verticalScrollBar()->setValue(0);
    for (auto _ : state) {
        scene->recompute(history);
        scene->redraw();
    }
    state.counters["lines"] = double(scene->pane.lineCount());
}

void recomputeOnly(benchmark::State& state, const QString& history) {
    for (auto _ : state)
        scene->recompute(history);
    state.counters["lines"] = double(scene->pane.lineCount());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Scene s;
    scene = &s;
    {
        PaintCounter counter;
        s.view.viewport()->installEventFilter(&counter);
        s.recompute(u"SD"_s);
        s.redraw();
        s.view.viewport()->removeEventFilter(&counter);
        if (counter.paints == 0) {
            std::fprintf(stderr, "the view was not painted\n");
            return 1;
        }
    }

    for (const char* h : {"SD", "?"}) {
        const QString history = QString::fromLatin1(h);
        const std::string tag = std::string("/") + h;
        benchmark::RegisterBenchmark(("refresh+repaint/top" + tag).c_str(), refreshRepaint, history,
                                     Place::Top)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("refresh+repaint/middle" + tag).c_str(), refreshRepaint,
                                     history, Place::Middle)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("refresh+render/top" + tag).c_str(), refreshRender, history)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("scroll page+repaint" + tag).c_str(), scrollPage, history)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("recompute" + tag).c_str(), recomputeOnly, history)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("recompute+refresh+repaint" + tag).c_str(), keystroke,
                                     history)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    scene = nullptr;
    return 0;
}
