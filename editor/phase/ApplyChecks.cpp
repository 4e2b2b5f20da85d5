#include "phase/ApplyChecks.h"

#include "phase/EruptionTypes.h"
#include "phase/Parameters.h"

#include <cmath>
#include <limits>

namespace tolva::phase {

namespace {

using Failure = std::optional<CheckFailure>;

Failure Fail(const QString& message, int flow = 0)
{
    return CheckFailure{0, flow, message};
}

Failure Fail(const char* message, int flow = 0)
{
    return Fail(QString::fromLatin1(message), flow);
}

bool OnMap(float v, int scale)
{
    const double px = Pixel(v, scale);
    return px >= kMinPixel && px <= kMaxPixel;
}

// Moves from the float nearest to the bound's position towards the inside of
// the map until the value passes, then outwards as far as it still passes.
float ScarpCorrection(double pixelBound, int scale)
{
    scale = EffectiveScale(scale);
    const float inf = std::numeric_limits<float>::infinity();
    const bool lowerBound = pixelBound == kMinPixel;
    const float inward = (lowerBound == (scale > 0)) ? inf : -inf;
    float f = static_cast<float>(pixelBound * scale / 1000.0);
    while (!OnMap(f, scale))
        f = std::nextafter(f, inward);
    for (float g = std::nextafter(f, -inward); OnMap(g, scale); g = std::nextafter(g, -inward))
        f = g;
    return f;
}

// Corrects a scarp position that lies off the map; true when it did.
bool CorrectScarp(float& v, int scale)
{
    bool corrected = false;
    if (Pixel(v, scale) < kMinPixel) {
        v = ScarpLowerCorrection(scale);
        corrected = true;
    }
    if (Pixel(v, scale) > kMaxPixel) {
        v = ScarpUpperCorrection(scale);
        corrected = true;
    }
    return corrected;
}

// The mid radius limit of the type: " Mid radius must be <= 640 " (or 320,
// or 128), with the trailing blank.
Failure CheckMidRadius(const PhaseRecord& p)
{
    const double high = ApplyRange(Param::MidRadius, p.EruptionType)->high;
    if (p.MidRadius > high)
        return Fail(QStringLiteral(" Mid radius must be <= %1 ").arg(high));
    return std::nullopt;
}

// The mid radius and deposit angle checks shared by the explosive types.
Failure CheckMapping(const PhaseRecord& p)
{
    if (auto f = CheckMidRadius(p))
        return f;
    if (const auto angle = ApplyRange(Param::DepositAngle, p.EruptionType)) {
        if (p.DepositAngle < angle->low)
            return Fail(" Deposit angle must be >= -1");
        if (p.DepositAngle > angle->high)
            return Fail(" Deposit angle must be <= 1");
    }
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
    if (p.BurstCount > ApplyRange(Param::BurstCount, p.EruptionType)->high)
        return Fail(" Number of bursts must be <= 100");
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
    const Range angle = *ApplyRange(Param::LeftAngle, p.EruptionType);
    Failure last;
    if (p.LeftAngle < angle.low) last = Fail(" Left angle must be >= -4");
    if (p.LeftAngle > angle.high) last = Fail(" Left angle must be <= 4");
    if (p.RightAngle < angle.low) last = Fail(" Right angle must be >= -4");
    if (p.RightAngle > angle.high) last = Fail(" Right angle must be <= 4");
    return last;
}

Failure CheckTypeRules(PhaseRecord& p, const FlowDurations& durations, int scale)
{
    switch (p.EruptionType) {
    case Vulcanian:
        if (p.Strength > 1.0) return Fail(" Maximum Strength (1.0) exceeded.");
        if (p.Strength < 0.2) return Fail(" Minimum Strength (0.20) not met.");
        if (auto f = CheckCalderaStyle(p)) return f;
        return CheckMapping(p);
    case Strombolian:
        if (p.Strength > 2.0) return Fail(" Maximum Strength (2.00) exceeded.");
        if (p.Strength < 0.1) return Fail(" Minimum Strength (0.10) not met.");
        return CheckMapping(p);
    case Hawaiian:
    case Peleean:
        return CheckFlows(p, durations);
    case Plinian:
        if (p.Strength > 1.0) return Fail(" Maximum Plinian strength (1.00) exceeded.");
        if (p.Strength < 0.1) return Fail(" Minimum Strength (0.10) not met.");
        if (auto f = CheckCalderaStyle(p)) return f;
        return CheckMapping(p);
    case SectorCollapse:
        if (CorrectScarp(p.ScarpTop, scale)) return Fail(" Scarp top reset");
        if (CorrectScarp(p.ScarpBase, scale)) return Fail(" Scarp base reset");
        if (p.ScarpTop == p.ScarpBase) return Fail(" Scarp base and top cannot be equal");
        return CheckMapping(p);
    case Fumarolic:
        if (p.Strength < 0.1) return Fail(" Fumarolic strength too low.");
        if (p.Strength > 1.0) return Fail(" Maximum Fumarolic strength exceeded.");
        return CheckMapping(p);
    default:
        return std::nullopt;
    }
}

} // namespace

float ScarpLowerCorrection(int scale)
{
    return ScarpCorrection(kMinPixel, scale);
}

float ScarpUpperCorrection(int scale)
{
    return ScarpCorrection(kMaxPixel, scale);
}

std::optional<CheckFailure> CheckPhase(int number, PhaseRecord& p, const FlowDurations& durations, int scale)
{
    Failure failure = [&]() -> Failure {
        if (ApplyRange(Param::VentLocation, p.EruptionType)) {
            const double px = Pixel(p.VentLocation, scale);
            if (px < kMinPixel) return Fail(" Location too small");
            if (px > kMaxPixel) return Fail(" Location too large");
        }
        if (p.Wind < -50) return Fail(" Wind speed too negative");
        if (p.Wind > 50) return Fail(" Wind speed too high");
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
