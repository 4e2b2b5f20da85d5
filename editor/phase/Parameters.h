#pragma once
// The parameters of a phase: how each is stored, shown and edited, the limits
// a field holds while the user types, the limits an apply demands, and which
// eruption type uses which parameter. The editor window reads its controls'
// behaviour from here; the apply checks take their bounds from here.

#include "phase/PhaseRecord.h"

#include <QString>

#include <limits>
#include <optional>
#include <vector>

namespace tolva::phase {

enum class Param {
    VentLocation, Strength, Wind, MassFlux, BurstCount, Caldera, CalderaStyle, Directed,
    ExplosiveBursts, ScarpTop, ScarpBase, FaultMagnitude, FaultDip, DownSide, ErosionDuration,
    FlowDuration, // the duration of the flow picked in the flow list
    FlowLength, CraterSize, Position3D, VentPosition, Growth, Speed,
    MidRadius, DepositAngle, LeftAngle, RightAngle,
};

enum class Group { Primary, Advanced, Mapping };

// How a field treats what is typed into it.
enum class Entry {
    Plain,         // stores the number as typed
    LimitedReal,   // held within its limits, written back in general number form
    LimitedWhole,  // held within its limits, written back as a whole number
    AtLeastOne,    // 0 or less becomes 1; stored rounded, halves to even
    FlowDuration,  // stores into the selected flow
    Choice,        // a check box or a list, no typing
};

// Where a parameter lives in a phase: a Single or an Integer field. Flow
// durations are kept beside the phase, so their parameter has neither.
struct StoredField {
    constexpr StoredField() = default;
    constexpr StoredField(float PhaseRecord::*field) : single(field) {}
    constexpr StoredField(qint16 PhaseRecord::*field) : integer(field) {}
    float PhaseRecord::*single = nullptr;
    qint16 PhaseRecord::*integer = nullptr;
};

struct ParamInfo {
    Param param;
    QString name;      // the stored field's name
    StoredField stored;
    Group group;
    QString control;   // the editing control's object name
    QString toolTip;   // empty when it has none
    int decimals;      // shown format: 2 "0.00", 1 "0.0", 0 "0"; -1 for a choice
    Entry entry;
    double typingLow;  // limits while typing (LimitedReal, LimitedWhole, AtLeastOne)
    double typingHigh;
};

// Every parameter, in the order of the form's frames.
const std::vector<ParamInfo>& Parameters();
const ParamInfo& Info(Param param);

// A parameter's stored value as a number, and storing a number into it
// (Integers rounded to nearest, halves to even, and held within 16 bits).
// FlowDuration is not a field of the phase: it reads as 0 and is never stored
// here.
double ParamValue(const PhaseRecord& phase, Param param);
void SetParamValue(PhaseRecord& phase, Param param, double value);

// The typing limits of a field for a phase of the given type. The burst count
// of a Hawaiian or Peléean phase stops at 100, the storage for its flows;
// other whole-number fields stop at the 16-bit range.
struct Range {
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
    bool contains(double v) const { return v >= low && v <= high; }
};
Range TypingLimits(Param param, int eruptionType);

// What a field holds after the user typed v: the field's limits applied in
// the field's own order. Plain and flow fields keep v.
double LimitTyped(Param param, int eruptionType, double v);

// What a text field does when the user typed a text that reads as `typed`
// (LeadingNumber): the text it rewrites itself to (nothing when it keeps the
// typed text) and the value it stores. Limited fields are held in their
// limits and show the held value: a real one as the Single it stores, in the
// shortest general form that reads back to that Single ("1.1", "33.3"), a
// whole-number one as a whole number, and it stores what it shows; a burst
// or erosion count of 0 or less becomes 1 and is stored rounded, halves to
// even.
struct FieldEdit {
    std::optional<QString> text;
    double stored = 0;
};
FieldEdit EditField(Param param, int eruptionType, double typed);

// Nearest whole number, halves to the even neighbour (2.5 gives 2, 3.5 gives 4),
// held within 16 bits.
qint16 RoundHalfEven(double v);

// v in a fixed-decimal format ("0.00" is 2 decimals), halves away from zero,
// with a period and never "-0".
QString FormatShown(double v, int decimals);

// Scale codes of a record and the map pixels of a position.
enum ScaleCode : int { SmallScale = 4, NormalScale = 20, LargeScale = 100 };
inline constexpr double kMinPixel = 50;
inline constexpr double kMaxPixel = 1230;
// A record without a scale (0) is shown and checked on the Normal scale.
int EffectiveScale(int scale);
// pixel = v x 1000 / scale, in double precision.
double Pixel(double v, int scale);

// Limits an apply demands of a parameter for a phase of the given type, or
// nothing when that type has no such check. Locations and scarps are in map
// pixels (see Pixel); the burst count limit applies to flows only.
std::optional<Range> ApplyRange(Param param, int eruptionType);
// Limits of flow n's duration in a Hawaiian (3) or Peléean (any other) phase.
Range FlowDurationRange(int eruptionType, int flow, int flowLength);

} // namespace tolva::phase
