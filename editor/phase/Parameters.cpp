#include "phase/Parameters.h"

#include "phase/EruptionTypes.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <cmath>

namespace tolva::phase {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kInt16Max = 32767;

ParamInfo Row(Param p, const char* name, StoredField stored, Group g, const char* control, const char* toolTip,
              int decimals, Entry entry, double low = -kInf, double high = kInf)
{
    return {p, QString::fromLatin1(name), stored, g, QString::fromLatin1(control), QString::fromLatin1(toolTip),
            decimals, entry, low, high};
}

// The shortest text in general number form ("1.1", "50", "1e+06") that reads
// back to the same Single. Widening the Single to a double first would show
// its binary tail ("1.10000002384186").
QString ShortestText(float v)
{
    char text[32];
    const auto end = std::to_chars(std::begin(text), std::end(text), v, std::chars_format::general).ptr;
    return QString::fromLatin1(text, end - text);
}

} // namespace

const std::vector<ParamInfo>& Parameters()
{
    using enum Param;
    using R = PhaseRecord;
    const Group P = Group::Primary, A = Group::Advanced, M = Group::Mapping;
    static const std::vector<ParamInfo> table = {
        Row(VentLocation, "VentLocation", &R::VentLocation, P, "txtLoc", "Edit the vent location", 2,
            Entry::Plain),
        Row(Strength, "Strength", &R::Strength, P, "txtStr", "Edit the eruption strength", 2,
            Entry::Plain),
        Row(Wind, "Wind", &R::Wind, P, "txtWind", "Edit the wind direction (+/-) and speed", 0, Entry::Plain),
        Row(MassFlux, "MassFlux", &R::MassFlux, P, "txtPart", "Edit the number of erupted particles", 0,
            Entry::LimitedReal, 1, 50),
        Row(BurstCount, "BurstCount", &R::BurstCount, P, "txtBurst",
            "Edit the number of bursts in this phase", 0, Entry::AtLeastOne, 1, kInt16Max),
        Row(Caldera, "Caldera", &R::Caldera, P, "chkCald", "Check to make a caldera", -1, Entry::Choice),
        Row(CalderaStyle, "CalderaStyle", &R::CalderaStyle, P, "cmbStyle", "Select the caldera style", -1,
            Entry::Choice),
        Row(Directed, "Directed", &R::Directed, P, "chkDirected", "Check to make a directed blast", -1,
            Entry::Choice),
        Row(ExplosiveBursts, "ExplosiveBursts", &R::ExplosiveBursts, P, "chkBurst",
            "Edit the number of bursts", -1, Entry::Choice),
        Row(ScarpTop, "ScarpTop", &R::ScarpTop, P, "txtCtop",
            "Edit the top location of the collapse scarp", 2, Entry::Plain),
        Row(ScarpBase, "ScarpBase", &R::ScarpBase, P, "txtCbase",
            "Edit the base location of the collapse scarp", 2, Entry::Plain),
        Row(FaultMagnitude, "FaultMagnitude", &R::FaultMagnitude, P, "txtMag",
            "Edit the fault magnitude (0-5)", 0, Entry::LimitedWhole, 0, 20),
        Row(FaultDip, "FaultDip", &R::FaultDip, P, "txtDip",
            "Edit the dip direction (+/-) and slope (0 = vertical)", 0, Entry::LimitedWhole, -10, 10),
        Row(DownSide, "DownSide", &R::DownSide, P, "cmbDown", "Select the fault side to be thrown down", -1,
            Entry::Choice),
        Row(ErosionDuration, "ErosionDuration", &R::ErosionDuration, P, "txtErode",
            "Edit the number of erosive cycles", 0, Entry::AtLeastOne, 1, kInt16Max),
        Row(FlowDuration, "FlowDurations", {}, P, "txtLava", "", 1, Entry::FlowDuration),
        Row(FlowLength, "FlowLength", &R::FlowLength, A, "txtSlide1",
            "Edit the average length of lava flows (1-11)", 0, Entry::LimitedWhole, 1, 11),
        Row(CraterSize, "CraterSize", &R::CraterSize, A, "txtSlide2", "Edit the crater size (1-11)", 0,
            Entry::LimitedWhole, 1, 11),
        Row(Position3D, "Position3D", &R::Position3D, A, "txtSlide3", "Edit the 3D position (0-40)", 0,
            Entry::LimitedWhole, 0, 40),
        Row(VentPosition, "VentPosition", &R::VentPosition, A, "txtSlide4",
            "Edit the caldera vent position/phreatic explosion frequency (1-11)", 0, Entry::LimitedWhole, 1, 11),
        Row(Growth, "Growth", &R::Growth, A, "txtSlide5",
            "Edit the period over which the explosive eruption grows", 0, Entry::LimitedWhole, 0, 9),
        Row(Speed, "Speed", &R::Speed, A, "txtSlide6", "Edit the simulation speed for this phase", 0,
            Entry::LimitedWhole, 1, 11),
        Row(MidRadius, "MidRadius", &R::MidRadius, M, "txtMap1", "Edit the average deposit radius", 0,
            Entry::Plain),
        Row(DepositAngle, "DepositAngle", &R::DepositAngle, M, "txtMap2",
            "Edit the pyroclastic deposit skewness", 2, Entry::Plain),
        Row(LeftAngle, "LeftAngle", &R::LeftAngle, M, "txtMap3", "Edit the lava flow left skewness", 2,
            Entry::Plain),
        Row(RightAngle, "RightAngle", &R::RightAngle, M, "txtMap4", "Edit the lava flow right skewness",
            2, Entry::Plain),
    };
    return table;
}

const ParamInfo& Info(Param param)
{
    // The table lists the parameters in the order of the enumeration.
    return Parameters()[static_cast<size_t>(param)];
}

double ParamValue(const PhaseRecord& phase, Param param)
{
    const StoredField& field = Info(param).stored;
    if (field.single)
        return phase.*field.single;
    if (field.integer)
        return phase.*field.integer;
    return 0;
}

void SetParamValue(PhaseRecord& phase, Param param, double value)
{
    const StoredField& field = Info(param).stored;
    if (field.single)
        phase.*field.single = static_cast<float>(value);
    else if (field.integer)
        phase.*field.integer = RoundHalfEven(value);
}

Range TypingLimits(Param param, int eruptionType)
{
    const ParamInfo& info = Info(param);
    Range r{info.typingLow, info.typingHigh};
    if (param == Param::BurstCount && HasFlowDurations(eruptionType))
        r.high = kMaxFlows;
    return r;
}

double LimitTyped(Param param, int eruptionType, double v)
{
    const Range r = TypingLimits(param, eruptionType);
    switch (Info(param).entry) {
    case Entry::LimitedReal:
        if (v < r.low) v = r.low;
        if (v > r.high) v = r.high;
        return v;
    case Entry::LimitedWhole:
        if (v > r.high) v = r.high;
        if (v < r.low) v = r.low;
        return v;
    case Entry::AtLeastOne:
        if (v <= 0) v = 1;
        if (v > r.high) v = r.high;
        return v;
    default:
        return v;
    }
}

FieldEdit EditField(Param param, int eruptionType, double typed)
{
    const double held = LimitTyped(param, eruptionType, typed);
    switch (Info(param).entry) {
    case Entry::LimitedReal: {
        const QString text = ShortestText(static_cast<float>(held));
        return {text, text.toDouble()};
    }
    case Entry::LimitedWhole: {
        const QString text = FormatShown(held, 0);
        return {text, text.toDouble()};
    }
    case Entry::AtLeastOne:
        if (held != typed)
            return {FormatShown(held, 0), static_cast<double>(RoundHalfEven(held))};
        return {std::nullopt, static_cast<double>(RoundHalfEven(typed))};
    default:
        return {std::nullopt, typed};
    }
}

qint16 RoundHalfEven(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(std::clamp(v, -32768.0, 32767.0));
    return static_cast<qint16>(r);
}

QString FormatShown(double v, int decimals)
{
    if (!std::isfinite(v) || std::fabs(v) >= 1e15)
        return QString::number(v, 'f', decimals);
    const double scale = std::pow(10.0, decimals);
    double r = std::round(v * scale) / scale;
    if (r == 0)
        r = 0; // no "-0"
    return QString::number(r, 'f', decimals);
}

int EffectiveScale(int scale)
{
    return scale == 0 ? NormalScale : scale;
}

double Pixel(double v, int scale)
{
    return v * 1000.0 / EffectiveScale(scale);
}

std::optional<Range> ApplyRange(Param param, int t)
{
    const bool flows = HasFlowDurations(t);
    switch (param) {
    case Param::VentLocation:
        if (t == NonEruptive || t == SectorCollapse)
            return std::nullopt;
        return Range{kMinPixel, kMaxPixel};
    case Param::Wind:
        return Range{-50, 50};
    case Param::Strength:
        switch (t) {
        case Vulcanian: return Range{0.2, 1.0};
        case Strombolian: return Range{0.1, 2.0};
        case Plinian:
        case Fumarolic: return Range{0.1, 1.0};
        default: return std::nullopt;
        }
    case Param::ScarpTop:
    case Param::ScarpBase:
        if (t == SectorCollapse)
            return Range{kMinPixel, kMaxPixel};
        return std::nullopt;
    case Param::MidRadius:
        switch (t) {
        case Vulcanian:
        case Strombolian:
        case Plinian:
        case Fumarolic: return Range{-kInf, 640};
        case Hawaiian:
        case Peleean: return Range{-kInf, 320};
        case SectorCollapse: return Range{-kInf, 128};
        default: return std::nullopt;
        }
    case Param::DepositAngle:
        if (t == Vulcanian || t == Strombolian || t == Plinian || t == SectorCollapse || t == Fumarolic)
            return Range{-1, 1};
        return std::nullopt;
    case Param::LeftAngle:
    case Param::RightAngle:
        if (flows)
            return Range{-4, 4};
        return std::nullopt;
    case Param::BurstCount:
        if (flows)
            return Range{-kInf, kMaxFlows};
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

Range FlowDurationRange(int eruptionType, int flow, int flowLength)
{
    if (eruptionType == Hawaiian)
        return {20, 1200.0 + (flowLength - 6) * 120.0};
    const double base = 10.0 * flow + 200.0;
    return {10, base * (flowLength - 6) / 10.0 + base};
}

} // namespace tolva::phase
