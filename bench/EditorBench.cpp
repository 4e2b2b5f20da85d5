// The editor window with the largest record (500 Hawaiian phases of 100 flows):
// opening it until phase 1 is shown, showing another phase, and Save (the
// checks, the commit and the write).
#include "BenchMessages.h"
#include "phase/EruptionTypes.h"
#include "record/RecordFile.h"
#include "window/RecordEdit.h"

#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <deque>

using namespace tolva;
using namespace tolva::phase;

namespace {

class Answers : public FileDialogs {
public:
    std::optional<QString> openFile(const FileDialogRequest&) override { return path; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return path; }
    QString path;
};

class Fixed : public RandomSource {
public:
    double next() override { return 0.5; }
};

struct Editor {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("full.rec"));
    Answers files;
    bench::CountedMessages messages;
    Fixed random;
    std::unique_ptr<editor::RecordEdit> form;

    Editor()
    {
        record::RecordFile r;
        r.Scale = 20;
        r.Phases.count = kMaxPhases;
        for (int p = 1; p <= kMaxPhases; ++p) {
            PhaseRecord& ph = r.Phases.phases[static_cast<size_t>(p)];
            ph = NewPhase();
            ph.EruptionType = Hawaiian;
            ph.VentLocation = 12.25f;
            ph.Wind = -12;
            ph.BurstCount = kMaxFlows;
            ph.Speed = 5;
            ph.MidRadius = 150;
            for (int n = 1; n <= kMaxFlows; ++n)
                r.Phases.durations[static_cast<size_t>(p)][static_cast<size_t>(n)] =
                    20.0f + static_cast<float>((p * 7919 + n * 104729) % 11800) / 10.0f;
        }
        record::SaveRec(r, path);
        Platform platform;
        platform.files = &files;
        platform.messages = &messages;
        platform.random = &random;
        form = std::make_unique<editor::RecordEdit>(platform, dir.path());
        files.path = path;
    }
};

void BM_EditorOpenFullRecord(benchmark::State& state)
{
    Editor e;
    auto* open = e.form->findChild<QPushButton*>(QStringLiteral("cmdOpen"));
    for (auto _ : state)
        open->click();
    if (e.messages.shown || e.form->record().Working.count != kMaxPhases)
        state.SkipWithError("the record was not opened");
}
BENCHMARK(BM_EditorOpenFullRecord)->Unit(benchmark::kMillisecond);

void BM_EditorSelectPhase(benchmark::State& state)
{
    Editor e;
    e.form->OpenRecord(e.path);
    auto* phases = e.form->findChild<QComboBox*>(QStringLiteral("cmbPhase"));
    int next = 1;
    for (auto _ : state) {
        next = next == 1 ? 250 : 1;
        phases->setCurrentIndex(next - 1);
        emit phases->activated(next - 1);
    }
}
BENCHMARK(BM_EditorSelectPhase)->Unit(benchmark::kMicrosecond);

void BM_EditorSave(benchmark::State& state)
{
    Editor e;
    e.form->OpenRecord(e.path);
    e.files.path = e.dir.filePath(QStringLiteral("saved.rec"));
    auto* save = e.form->findChild<QPushButton*>(QStringLiteral("Command2"));
    for (auto _ : state)
        emit save->clicked(false);  // the button is disabled after each save
    if (e.messages.shown)
        state.SkipWithError("the record was not saved");
}
BENCHMARK(BM_EditorSave)->Unit(benchmark::kMillisecond);

} // namespace
