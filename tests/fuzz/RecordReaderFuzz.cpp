// The record reader on any bytes: it must never crash, hang or run out of
// memory, and whatever it accepts must be checked and written back to the
// same record.
#include "phase/ApplyChecks.h"
#include "record/RecordFile.h"

#include <cstdint>
#include <cstdlib>

using namespace tolva::record;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ReadResult read = ParseRecord(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!read.ok())
        return 0;
    const RecordBytes text = RecordText(read.record);
    if (!text.refusal.isEmpty())
        return 0; // a name the file cannot hold (a quote, a line break)
    ReadResult again = ParseRecord(text.bytes);
    if (!again.ok())
        std::abort();
    const PhaseList& a = read.record.Phases;
    const PhaseList& b = again.record.Phases;
    if (again.record.StratigraphicFile != read.record.StratigraphicFile || again.record.Scale != read.record.Scale
        || a.count != b.count)
        std::abort();
    for (int p = 1; p <= a.count; ++p) {
        if (!(a.phases[p] == b.phases[p]))
            std::abort();
        for (int n = 1; n <= tolva::phase::StoredFlowCount(a.phases[p]); ++n)
            if (a.durations[p][n] != b.durations[p][n])
                std::abort();
    }
    // The checks (which may correct scarps in place) on every accepted record.
    tolva::phase::CheckPhases(again.record.Phases, again.record.Scale);
    return 0;
}
