#pragma once
// The six value lines of a phase, in the order of the file (they follow the
// empty line and the "Record Phase: " heading). The reader and the writer walk
// this one list, so that they agree item for item and type for type.

#include "phase/PhaseRecord.h"

namespace tolva::record {

// The line of the six that holds BurstCount (counted from 1).
inline constexpr int kBurstCountLine = 3;

// Calls line(fields...) once per line with references to the fields of `ph`
// (a PhaseRecord, or a const one for writing).
template <typename Phase, typename Line>
void ForEachPhaseLine(Phase& ph, Line&& line)
{
    line(ph.VentLocation, ph.EruptionType, ph.Strength, ph.Wind);
    line(ph.MassFlux, ph.Caldera, ph.Directed, ph.CalderaStyle);
    line(ph.ScarpTop, ph.ScarpBase, ph.BurstCount, ph.ExplosiveBursts);
    line(ph.EventKind, ph.FaultMagnitude, ph.FaultDip, ph.DownSide, ph.ErosionDuration);
    line(ph.FlowLength, ph.CraterSize, ph.Position3D, ph.VentPosition, ph.Growth, ph.Speed);
    line(ph.MidRadius, ph.DepositAngle, ph.LeftAngle, ph.RightAngle);
}

} // namespace tolva::record
