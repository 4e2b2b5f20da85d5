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
    // Read back, the record writes the same bytes again: the writer gives
    // every value the fewest digits that read back to it, so any value, the
    // name, the scale or a flow lost or changed on the way shows here.
    ReadResult again = ParseRecord(text.bytes);
    if (!again.ok() || RecordText(again.record).bytes != text.bytes)
        std::abort();
    // The checks (which may correct scarps in place) on every accepted record.
    tolva::phase::CheckPhases(again.record.Phases, again.record.Scale);
    return 0;
}
