// One keystroke's recompute of the combos pane (search, ordering and highlighting) by the
// engine and by the straight line-by-line procedures, side by side, for the default
// spellbook and for generated ones. The table at the end gives the ratios.

#include "GeneratedSpellbook.h"
#include "combo/ComboEngine.h"
#include "oracle/ComboOracle.h"
#include "spellbook/DefaultSpellbook.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace quorvane;

namespace {

struct Book {
    std::string label;
    ListModel gestures;
    ListModel names;
};

const std::vector<Book>& books() {
    static const std::vector<Book> all = [] {
        std::vector<Book> b;
        b.push_back({"default", ListModel(spellbook::defaultGesturesText()),
                     ListModel(spellbook::defaultNamesText(spellbook::Language::English))});
        for (int rows : {256, 10000, 100000}) {
            const bench::GeneratedSpellbook g = bench::generateSpellbook(rows);
            b.push_back(
                {std::to_string(rows) + " rows", ListModel(g.gestures), ListModel(g.names)});
        }
        return b;
    }();
    return all;
}

const char* const histories[] = {"SD", "WFPSFW", "?", "??????"};

// The procedures take minutes on 100,000 rows (a whole-text search per listed spell and
// n x n exchanges), so they are measured up to 10,000 rows.
constexpr qsizetype TranscriptionRowLimit = 10000;

enum class Implementation { Engine, Transcription };

void keystroke(benchmark::State& state, const Book* book, const QString& history,
               Implementation impl) {
    TextPane pane;
    // The window keeps one engine, whose index of the spellbook lasts until a list changes.
    combo::ComboEngine engine;
    for (auto _ : state) {
        if (impl == Implementation::Engine)
            engine.recompute(history, book->gestures, book->names, pane);
        else
            oracle::RecomputeCombos(history, book->gestures, book->names, pane);
        benchmark::DoNotOptimize(pane.lineCount());
    }
    state.counters["lines"] = double(pane.lineCount());
}

// Collects the mean time of every run for the closing table.
class TableReporter : public benchmark::ConsoleReporter {
public:
    TableReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions, the fastest one: the others only add what the rest of the machine
        // was doing meanwhile.
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            const double us =
                run.GetAdjustedRealTime() * 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            auto [at, fresh] = microseconds.try_emplace(run.run_name.function_name, us);
            if (!fresh)
                at->second = std::min(at->second, us);
        }
    }
    std::map<std::string, double> microseconds;
};

std::string name(const Book& book, const char* history, Implementation impl) {
    return "keystroke/" + book.label + "/" + history +
           (impl == Implementation::Engine ? "/engine" : "/transcription");
}

} // namespace

int main(int argc, char** argv) {
    for (const Book& book : books())
        for (const char* history : histories)
            for (Implementation impl : {Implementation::Engine, Implementation::Transcription}) {
                if (impl == Implementation::Transcription &&
                    book.gestures.count() > TranscriptionRowLimit)
                    continue;
                benchmark::RegisterBenchmark(name(book, history, impl).c_str(), keystroke, &book,
                                             QString::fromLatin1(history), impl)
                    ->Unit(benchmark::kMicrosecond)
                    ->Repetitions(impl == Implementation::Engine ? 5 : 1)
                    ->ReportAggregatesOnly(false);
            }
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf(
        "\n| spellbook | history | engine (us) | transcription (us) | transcription / engine |\n");
    std::printf("|---|---|---:|---:|---:|\n");
    for (const Book& book : books())
        for (const char* history : histories) {
            const auto engine =
                reporter.microseconds.find(name(book, history, Implementation::Engine));
            if (engine == reporter.microseconds.end())
                continue;
            const auto slow =
                reporter.microseconds.find(name(book, history, Implementation::Transcription));
            if (slow == reporter.microseconds.end())
                std::printf("| %s | %s | %.1f | not run | - |\n", book.label.c_str(), history,
                            engine->second);
            else
                std::printf("| %s | %s | %.1f | %.1f | %.0f x |\n", book.label.c_str(), history,
                            engine->second, slow->second, slow->second / engine->second);
        }
    return 0;
}
