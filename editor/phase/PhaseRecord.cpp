#include "phase/PhaseRecord.h"

#include <algorithm>

namespace tolva::phase {

PhaseRecord NewPhase()
{
    PhaseRecord p;
    p.EruptionType = -1;
    p.FlowLength = 6;
    p.CraterSize = 6;
    p.Position3D = 20;
    p.VentPosition = 6;
    p.Growth = 6;
    return p;
}

int StoredFlowCount(const PhaseRecord& phase)
{
    if (!HasFlowDurations(phase.EruptionType))
        return 0;
    return std::max<int>(0, phase.BurstCount);
}

void PhaseList::clear()
{
    count = 0;
    std::fill(phases.begin(), phases.end(), PhaseRecord{});
    std::fill(durations.begin(), durations.end(), FlowDurations{});
}

} // namespace tolva::phase
