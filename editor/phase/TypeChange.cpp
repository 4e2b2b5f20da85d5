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
    // A drawn duration is held within the limits an apply checks: raised to
    // the shortest allowed, and kept from being carried past the longest by
    // float rounding near the top of the range.
    const Range range = FlowDurationRange(hawaiian ? Hawaiian : Peleean, flow, flowLength);
    const float low = static_cast<float>(range.low);
    if (d < low)
        d = low;
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
        // scarp; mass flux and bursts take what their fields make of a 0,
        // their lower limit.
        working.VentLocation = 0;
        working.Strength = 0;
        working.Wind = 0;
        SetParamValue(working, Param::MassFlux, EditField(Param::MassFlux, NonEruptive, 0).stored);
        SetParamValue(working, Param::BurstCount, EditField(Param::BurstCount, NonEruptive, 0).stored);
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
