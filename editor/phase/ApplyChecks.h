#pragma once
// The checks a record must pass before it is applied and saved: every phase
// against the limits of its eruption type, in phase order, stopping at the
// first failure with the message that the editor shows ("Phase 3 Location too
// small"). A scarp position outside the map is corrected in place.

#include "phase/PhaseRecord.h"

#include <QString>

#include <optional>

namespace tolva::phase {

struct CheckFailure {
    int phase = 0;    // the failing phase, numbered from 1
    int flow = 0;     // for a flow duration failure the failing flow, else 0
    QString message;  // the check's message; it begins with a blank

    // "Phase " + number + message, as the user reads it.
    QString text() const { return QStringLiteral("Phase ") + QString::number(phase) + message; }
    bool operator==(const CheckFailure&) const = default;
};

// Runs the checks of one phase (number `number`) in their order and returns
// the first failure. A Sector Collapse scarp off the map is moved onto it,
// to the outermost 32-bit float that is still on the map so that the next
// apply passes; the correction stays in `phase` although it is reported.
std::optional<CheckFailure> CheckPhase(int number, PhaseRecord& phase, const FlowDurations& durations, int scale);

// Checks phases 1 to count in order and returns the first failure; nothing
// when every phase passes.
std::optional<CheckFailure> CheckPhases(PhaseList& phases, int scale);

} // namespace tolva::phase
