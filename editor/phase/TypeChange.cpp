#include "phase/TypeChange.h"

#include "phase/EruptionTypes.h"
#include "phase/Parameters.h"

#include <algorithm>
#include <cmath>

namespace tolva::phase {

float RandomFlowDuration(int eruptionType, int flow, int flowLength, RandomSource& random)
{
    const bool hawaiian = eruptionType == Hawaiian;
    const float r = static_cast<float>(random.next());
    float d = hawaiian ? 1200.0f * r : (10.0f * static_cast<float>(flow) + 200.0f) * r;
    d = static_cast<float>(flowLength - 6) * d / 10.0f + d;
    const float low = hawaiian ? 20.0f : 10.0f;
    if (d < low)
        d = low;
    // Float rounding near the top of the range must not carry a drawn value
    // past the limit an apply checks.
    const Range range = FlowDurationRange(hawaiian ? Hawaiian : Peleean, flow, flowLength);
    while (d > range.high && d > low)
        d = std::nextafter(d, -std::numeric_limits<float>::infinity());
    return d;
}

std::optional<int> TypeChange(PhaseRecord& working, FlowDurations& workingDurations, const PhaseRecord& committed,
                              const FlowDurations& committedDurations, const QString& pickedName,
                              RandomSource& random)
{
    const std::optional<EruptionTypeEntry> entry = FindType(pickedName);
    if (!entry)
        return std::nullopt;

    working.EruptionType = static_cast<qint16>(entry->code);
    if (entry->eventKind != 0)
        working.EventKind = static_cast<qint16>(entry->eventKind);
    const int shown = entry->code;

    if (working.EruptionType == NonEruptive) {
        // A fault or an erosion has no vent, strength, wind, flux, bursts or
        // scarp; mass flux and bursts stop at their lower limit of 1.
        working.VentLocation = 0;
        working.Strength = 0;
        working.Wind = 0;
        working.MassFlux = 1;
        working.BurstCount = 1;
        working.ScarpBase = 0;
        working.ScarpTop = 0;
        if (working.EventKind == Faulting && working.FaultMagnitude == 0)
            working.FaultMagnitude = 1;
    }

    if (HasFlowDurations(shown)) {
        const bool sameAsApplied = committed.EruptionType == shown;
        const int flows = std::min<int>(working.BurstCount, kMaxFlows);
        for (int n = 1; n <= flows; ++n)
            workingDurations[n] = sameAsApplied ? committedDurations[n]
                                                : RandomFlowDuration(shown, n, working.FlowLength, random);
    }
    return shown;
}

} // namespace tolva::phase
