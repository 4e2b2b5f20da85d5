#include "phase/ApplyChecks.h"

#include "phase/EruptionTypes.h"
#include "phase/Parameters.h"

#include <cmath>
#include <limits>

namespace tolva::phase {

namespace {

using Failure = std::optional<CheckFailure>;

Failure Fail(const char* message, int flow = 0)
{
    return CheckFailure{0, flow, QString::fromLatin1(message)};
}

// A failure whose message shows the bound it was checked against: "%1" in
// the message stands for the bound with the given number of decimals, so
// that the text always names the limit that the check applied.
Failure FailAt(const char* message, double bound, int decimals)
{
    return CheckFailure{0, 0, QString::fromLatin1(message).arg(FormatShown(bound, decimals))};
}

// The limits of a parameter for the phase's type; every caller checks a
// parameter that its type is held to.
Range Limits(Param param, const PhaseRecord& p)
{
    return *ApplyRange(param, p.EruptionType);
}

// Moves from the float nearest to the bound's position towards the inside of
// the pixel range until the value lies in it, then outwards as far as it
// still does.
float ScarpCorrection(const Range& pixels, bool upper, int scale)
{
    scale = EffectiveScale(scale);
    const auto onMap = [&](float v) { return pixels.contains(Pixel(v, scale)); };
    const float inf = std::numeric_limits<float>::infinity();
    const float inward = (upper == (scale > 0)) ? -inf : inf;
    float f = static_cast<float>((upper ? pixels.high : pixels.low) * scale / 1000.0);
    while (!onMap(f))
        f = std::nextafter(f, inward);
    for (float g = std::nextafter(f, -inward); onMap(g); g = std::nextafter(g, -inward))
        f = g;
    return f;
}

// Brings a scarp position that lies off its pixel range onto it; true when
// it did. The value moves to the outermost float that is still in range, so
// that the next apply passes.
bool CorrectScarp(Param scarp, float& v, int scale)
{
    const Range pixels = *ApplyRange(scarp, SectorCollapse);
    bool corrected = false;
    if (Pixel(v, scale) < pixels.low) {
        v = ScarpCorrection(pixels, false, scale);
        corrected = true;
    }
    if (Pixel(v, scale) > pixels.high) {
        v = ScarpCorrection(pixels, true, scale);
        corrected = true;
    }
    return corrected;
}

// The mid radius limit of the type, with the trailing blank of the message.
Failure CheckMidRadius(const PhaseRecord& p)
{
    const double high = Limits(Param::MidRadius, p).high;
    if (p.MidRadius > high)
        return FailAt(" Mid radius must be <= %1 ", high, 0);
    return std::nullopt;
}

// The mid radius and deposit angle checks shared by the explosive types.
Failure CheckMapping(const PhaseRecord& p)
{
    if (auto f = CheckMidRadius(p))
        return f;
    const Range angle = Limits(Param::DepositAngle, p);
    if (p.DepositAngle < angle.low)
        return FailAt(" Deposit angle must be >= %1", angle.low, 0);
    if (p.DepositAngle > angle.high)
        return FailAt(" Deposit angle must be <= %1", angle.high, 0);
    return std::nullopt;
}

Failure CheckCalderaStyle(const PhaseRecord& p)
{
    if (p.Caldera == 1 && p.CalderaStyle == 0)
        return Fail(" Must select caldera style.");
    return std::nullopt;
}

Failure CheckFlows(const PhaseRecord& p, const FlowDurations& durations)
{
    const double maxBursts = Limits(Param::BurstCount, p).high;
    if (p.BurstCount > maxBursts)
        return FailAt(" Number of bursts must be <= %1", maxBursts, 0);
    for (int n = 1; n <= p.BurstCount; ++n) {
        const Range limits = FlowDurationRange(p.EruptionType, n, p.FlowLength);
        if (durations[n] < limits.low)
            return Fail(" Flow Duration too short.", n);
        if (durations[n] > limits.high)
            return Fail(" Flow Duration too long.", n);
    }
    if (auto f = CheckMidRadius(p))
        return f;
    // All four angle tests run; the last one that fails names the fault, so
    // a right-angle message wins over a left-angle one.
    const Range left = Limits(Param::LeftAngle, p);
    const Range right = Limits(Param::RightAngle, p);
    Failure last;
    if (p.LeftAngle < left.low) last = FailAt(" Left angle must be >= %1", left.low, 0);
    if (p.LeftAngle > left.high) last = FailAt(" Left angle must be <= %1", left.high, 0);
    if (p.RightAngle < right.low) last = FailAt(" Right angle must be >= %1", right.low, 0);
    if (p.RightAngle > right.high) last = FailAt(" Right angle must be <= %1", right.high, 0);
    return last;
}

Failure CheckTypeRules(PhaseRecord& p, const FlowDurations& durations, int scale)
{
    // The strength messages differ by type: some name the bound, with one
    // or two decimals, and the Fumarolic/Phreatic one tests its floor first.
    switch (p.EruptionType) {
    case Vulcanian: {
        const Range strength = Limits(Param::Strength, p);
        if (p.Strength > strength.high) return FailAt(" Maximum Strength (%1) exceeded.", strength.high, 1);
        if (p.Strength < strength.low) return FailAt(" Minimum Strength (%1) not met.", strength.low, 2);
        if (auto f = CheckCalderaStyle(p)) return f;
        return CheckMapping(p);
    }
    case Strombolian: {
        const Range strength = Limits(Param::Strength, p);
        if (p.Strength > strength.high) return FailAt(" Maximum Strength (%1) exceeded.", strength.high, 2);
        if (p.Strength < strength.low) return FailAt(" Minimum Strength (%1) not met.", strength.low, 2);
        return CheckMapping(p);
    }
    case Hawaiian:
    case Peleean:
        return CheckFlows(p, durations);
    case Plinian: {
        const Range strength = Limits(Param::Strength, p);
        if (p.Strength > strength.high) return FailAt(" Maximum Plinian strength (%1) exceeded.", strength.high, 2);
        if (p.Strength < strength.low) return FailAt(" Minimum Strength (%1) not met.", strength.low, 2);
        if (auto f = CheckCalderaStyle(p)) return f;
        return CheckMapping(p);
    }
    case SectorCollapse:
        if (CorrectScarp(Param::ScarpTop, p.ScarpTop, scale)) return Fail(" Scarp top reset");
        if (CorrectScarp(Param::ScarpBase, p.ScarpBase, scale)) return Fail(" Scarp base reset");
        if (p.ScarpTop == p.ScarpBase) return Fail(" Scarp base and top cannot be equal");
        return CheckMapping(p);
    case Fumarolic: {
        const Range strength = Limits(Param::Strength, p);
        if (p.Strength < strength.low) return Fail(" Fumarolic strength too low.");
        if (p.Strength > strength.high) return Fail(" Maximum Fumarolic strength exceeded.");
        return CheckMapping(p);
    }
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<CheckFailure> CheckPhase(int number, PhaseRecord& p, const FlowDurations& durations, int scale)
{
    Failure failure = [&]() -> Failure {
        if (const auto location = ApplyRange(Param::VentLocation, p.EruptionType)) {
            const double px = Pixel(p.VentLocation, scale);
            if (px < location->low) return Fail(" Location too small");
            if (px > location->high) return Fail(" Location too large");
        }
        const Range wind = Limits(Param::Wind, p);
        if (p.Wind < wind.low) return Fail(" Wind speed too negative");
        if (p.Wind > wind.high) return Fail(" Wind speed too high");
        if (IsFaulting(p) && p.FaultDip == 0 && p.DownSide != 1 && p.DownSide != 2)
            return Fail(" Must select down side");
        return CheckTypeRules(p, durations, scale);
    }();
    if (failure)
        failure->phase = number;
    return failure;
}

std::optional<CheckFailure> CheckPhases(PhaseList& phases, int scale)
{
    for (int p = 1; p <= phases.count && p <= kMaxPhases; ++p)
        if (auto failure = CheckPhase(p, phases.phases[p], phases.durations[p], scale))
            return failure;
    return std::nullopt;
}

} // namespace tolva::phase
