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
// the first failure. Scarp corrections of a Sector Collapse phase are written
// into `phase` even when they are reported.
std::optional<CheckFailure> CheckPhase(int number, PhaseRecord& phase, const FlowDurations& durations, int scale);

// Checks phases 1 to count in order and returns the first failure; nothing
// when every phase passes.
std::optional<CheckFailure> CheckPhases(PhaseList& phases, int scale);

// The values that a scarp outside the map is moved to: the smallest 32-bit
// float whose pixel is at least 50, and the largest whose pixel is at most
// 1230, so that the corrected value passes the next check.
float ScarpLowerCorrection(int scale);
float ScarpUpperCorrection(int scale);

} // namespace tolva::phase
