// A full record (500 Hawaiian phases of 100 flows each, the largest a record
// may be): reading, the apply checks and writing, apart and together.
#include "phase/ApplyChecks.h"
#include "phase/EruptionTypes.h"
#include "record/EditorRecord.h"
#include "record/RecordFile.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

using namespace tolva::record;
using namespace tolva::phase;

namespace {

RecordFile FullRecord()
{
    RecordFile r;
    r.StratigraphicFile = QStringLiteral("C:\\Strata\\Benchmark.str");
    r.Scale = 20;
    r.Phases.count = kMaxPhases;
    for (int p = 1; p <= kMaxPhases; ++p) {
        PhaseRecord& ph = r.Phases.phases[p];
        ph = NewPhase();
        ph.EruptionType = Hawaiian;
        ph.VentLocation = 12.25f;
        ph.Wind = -12.5f;
        ph.BurstCount = kMaxFlows;
        ph.MidRadius = 150;
        ph.LeftAngle = -1.75f;
        ph.RightAngle = 2.3f;
        for (int n = 1; n <= kMaxFlows; ++n)
            r.Phases.durations[p][n] = 20.0f + static_cast<float>((p * 7919 + n * 104729) % 11800) / 10.0f;
    }
    return r;
}

void BM_RecordParse(benchmark::State& state)
{
    const QByteArray bytes = RecordText(FullRecord()).bytes;
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseRecord(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_RecordParse)->Unit(benchmark::kMillisecond);

void BM_RecordChecks(benchmark::State& state)
{
    RecordFile r = FullRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckPhases(r.Phases, r.Scale));
}
BENCHMARK(BM_RecordChecks)->Unit(benchmark::kMillisecond);

void BM_RecordText(benchmark::State& state)
{
    const RecordFile r = FullRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(RecordText(r));
}
BENCHMARK(BM_RecordText)->Unit(benchmark::kMillisecond);

// The core's whole pass over a full record, in memory: read, check, write.
void BM_RecordReadCheckWrite(benchmark::State& state)
{
    const QByteArray bytes = RecordText(FullRecord()).bytes;
    for (auto _ : state) {
        ReadResult read = ParseRecord(bytes);
        if (!read.ok() || CheckPhases(read.record.Phases, read.record.Scale)) {
            state.SkipWithError("the full record did not pass");
            return;
        }
        benchmark::DoNotOptimize(RecordText(read.record));
    }
}
BENCHMARK(BM_RecordReadCheckWrite)->Unit(benchmark::kMillisecond);

// What the editor does for a full record: open it, apply (every check and
// the commit) and save it through the temporary file, flushed to the disk.
void BM_RecordOpenApplySave(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.rec"));
    if (!SaveRec(FullRecord(), path).ok) {
        state.SkipWithError("cannot write the record");
        return;
    }
    EditorRecord e; // the editor holds one record state for its lifetime
    for (auto _ : state) {
        if (e.Open(path) || e.ApplyParams() || !e.SaveRec(path).ok) {
            state.SkipWithError("the full record did not pass");
            return;
        }
    }
}
BENCHMARK(BM_RecordOpenApplySave)->Unit(benchmark::kMillisecond);

} // namespace
