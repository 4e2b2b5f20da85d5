#pragma once
// One eruption phase as the record file stores it, its flow durations, and the
// fixed-slot phase lists that the editor keeps (the committed and the working
// copy). Plain values: copying a list copies every slot.

#include <QtGlobal>

#include <array>
#include <vector>

namespace tolva::phase {

// Storage limits of a record: phases are numbered 1 to 500 and a Hawaiian or
// Peléean phase has at most 100 flows. Slot 0 of each list is never used, so
// that phase p and flow n are found at index p and n.
inline constexpr int kMaxPhases = 500;
inline constexpr int kMaxFlows = 100;

// The 27 stored values of a phase, in the order of the file. Integers are
// 16-bit and Singles 32-bit floats, as the simulator reads them.
struct PhaseRecord {
    float VentLocation = 0;
    qint16 EruptionType = 0;
    float Strength = 0;
    float Wind = 0;
    float MassFlux = 0;
    qint16 Caldera = 0;
    qint16 Directed = 0;
    qint16 CalderaStyle = 0;
    float ScarpTop = 0;
    float ScarpBase = 0;
    qint16 BurstCount = 0;
    qint16 ExplosiveBursts = 0;
    qint16 EventKind = 0;
    qint16 FaultMagnitude = 0;
    qint16 FaultDip = 0;
    qint16 DownSide = 0;
    qint16 ErosionDuration = 0;
    qint16 FlowLength = 0;
    qint16 CraterSize = 0;
    qint16 Position3D = 0;
    qint16 VentPosition = 0;
    qint16 Growth = 0;
    qint16 Speed = 0;
    float MidRadius = 0;
    float DepositAngle = 0;
    float LeftAngle = 0;
    float RightAngle = 0;

    bool operator==(const PhaseRecord&) const = default;
};

// Flow durations of one phase, flow n at index n (1 to 100).
using FlowDurations = std::array<float, kMaxFlows + 1>;

// A phase that the user has just added: no type yet, the advanced sliders at
// their middle, everything else 0.
PhaseRecord NewPhase();

// True for the types whose phases carry flow durations (Hawaiian, Peléean).
inline bool HasFlowDurations(int eruptionType) { return eruptionType == 3 || eruptionType == 4; }

// The number of flow durations that belong to a phase: its burst count for a
// Hawaiian or Peléean phase (never below 0), none for the others.
int StoredFlowCount(const PhaseRecord& phase);

// The phases of a record in fixed slots 0 to 500; only 1 to count are
// meaningful. Slots beyond the count keep what they held, as the window's
// add and delete commands rely on.
struct PhaseList {
    int count = 0;
    std::vector<PhaseRecord> phases = std::vector<PhaseRecord>(kMaxPhases + 1);
    std::vector<FlowDurations> durations = std::vector<FlowDurations>(kMaxPhases + 1, FlowDurations{});

    // Every slot back to zero and no phases.
    void clear();
};

} // namespace tolva::phase
