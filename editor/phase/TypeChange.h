#pragma once
// What happens to a phase when the user picks another eruption type, and the
// random flow durations that a Hawaiian or Peléean phase receives.

#include "phase/PhaseRecord.h"
#include "common/Platform.h"

#include <QString>

#include <optional>

namespace tolva::phase {

// A duration for flow n of a phase of the given type (3 Hawaiian, any other
// Peléean), drawn from the random source and scaled by the flow length, in
// 32-bit float arithmetic. It always lies within the limits that an apply
// demands of that flow for the same flow length.
float RandomFlowDuration(int eruptionType, int flow, int flowLength, RandomSource& random);

// The working phase after the user picked the type list entry `pickedName`:
// the type (and for "Faulting" and "Erosion" the EventKind) is set; a
// non-eruptive phase gets its eruption values reset (mass flux and bursts to
// their lower limit 1), a fault of magnitude 0 gets magnitude 1; a
// Hawaiian or Peléean phase gets back the durations last applied to the same
// phase when it was applied as that type, or else random ones. Every other
// value stays. `committed` and `committedDurations` are the last applied
// state of the same phase number.
//
// Returns the new ShownType, or nothing (and changes nothing) when the name
// is not an entry of the type list.
std::optional<int> TypeChange(PhaseRecord& working, FlowDurations& workingDurations, const PhaseRecord& committed,
                              const FlowDurations& committedDurations, const QString& pickedName,
                              RandomSource& random);

} // namespace tolva::phase
