#include "phase/Parameters.h"

#include "phase/EruptionTypes.h"

#include <algorithm>
#include <cmath>

namespace tolva::phase {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kInt16Max = 32767;

ParamInfo Row(Param p, const char* name, Storage s, Group g, const char* control, const char* label,
              const char* toolTip, int decimals, Entry entry, double low = -kInf, double high = kInf)
{
    return {p, QString::fromLatin1(name), s, g, QString::fromLatin1(control), QString::fromLatin1(label),
            QString::fromLatin1(toolTip), decimals, entry, low, high};
}

} // namespace

const std::vector<ParamInfo>& Parameters()
{
    using enum Param;
    const Storage I = Storage::Integer, S = Storage::Single;
    const Group P = Group::Primary, A = Group::Advanced, M = Group::Mapping;
    static const std::vector<ParamInfo> table = {
        Row(VentLocation, "VentLocation", S, P, "txtLoc", "Vent location:", "Edit the vent location", 2, Entry::Plain),
        Row(Strength, "Strength", S, P, "txtStr", "Strength:", "Edit the eruption strength", 2, Entry::Plain),
        Row(Wind, "Wind", S, P, "txtWind", "Wind:", "Edit the wind direction (+/-) and speed", 0, Entry::Plain),
        Row(MassFlux, "MassFlux", S, P, "txtPart", "Mass Flux:", "Edit the number of erupted particles", 0,
            Entry::LimitedReal, 1, 50),
        Row(BurstCount, "BurstCount", I, P, "txtBurst", "Number of bursts:", "Edit the number of bursts in this phase", 0,
            Entry::AtLeastOne, 1, kInt16Max),
        Row(Caldera, "Caldera", I, P, "chkCald", "Caldera:", "Check to make a caldera", -1, Entry::Choice),
        Row(CalderaStyle, "CalderaStyle", I, P, "cmbStyle", "", "Select the caldera style", -1, Entry::Choice),
        Row(Directed, "Directed", I, P, "chkDirected", "Directed:", "Check to make a directed blast", -1, Entry::Choice),
        Row(ExplosiveBursts, "ExplosiveBursts", I, P, "chkBurst", "Explosive bursts:", "Edit the number of bursts", -1,
            Entry::Choice),
        Row(ScarpTop, "ScarpTop", S, P, "txtCtop", "Scarp top:", "Edit the top location of the collapse scarp", 2,
            Entry::Plain),
        Row(ScarpBase, "ScarpBase", S, P, "txtCbase", "Scarp base:", "Edit the base location of the collapse scarp", 2,
            Entry::Plain),
        Row(FaultMagnitude, "FaultMagnitude", I, P, "txtMag", "Fault magnitude:", "Edit the fault magnitude (0-5)", 0,
            Entry::LimitedWhole, 0, 20),
        Row(FaultDip, "FaultDip", I, P, "txtDip", "Fault dip:", "Edit the dip direction (+/-) and slope (0 = vertical)", 0,
            Entry::LimitedWhole, -10, 10),
        Row(DownSide, "DownSide", I, P, "cmbDown", "", "Select the fault side to be thrown down", -1, Entry::Choice),
        Row(ErosionDuration, "ErosionDuration", I, P, "txtErode", "Erosion duration:", "Edit the number of erosive cycles",
            0, Entry::AtLeastOne, 1, kInt16Max),
        Row(FlowDurations, "FlowDurations", S, P, "txtLava", "", "", 1, Entry::FlowDuration),
        Row(FlowLength, "FlowLength", I, A, "txtSlide1", "Flow length:", "Edit the average length of lava flows (1-11)", 0,
            Entry::LimitedWhole, 1, 11),
        Row(CraterSize, "CraterSize", I, A, "txtSlide2", "Crater Size:", "Edit the crater size (1-11)", 0,
            Entry::LimitedWhole, 1, 11),
        Row(Position3D, "Position3D", I, A, "txtSlide3", "3D Position:", "Edit the 3D position (0-40)", 0,
            Entry::LimitedWhole, 0, 40),
        Row(VentPosition, "VentPosition", I, A, "txtSlide4", "Vent Position:",
            "Edit the caldera vent position/phreatic explosion frequency (1-11)", 0, Entry::LimitedWhole, 1, 11),
        Row(Growth, "Growth", I, A, "txtSlide5", "Growth:", "Edit the period over which the explosive eruption grows", 0,
            Entry::LimitedWhole, 0, 9),
        Row(Speed, "Speed", I, A, "txtSlide6", "Speed:", "Edit the simulation speed for this phase", 0,
            Entry::LimitedWhole, 1, 11),
        Row(MidRadius, "MidRadius", S, M, "txtMap1", "Mid Radius:", "Edit the average deposit radius", 0, Entry::Plain),
        Row(DepositAngle, "DepositAngle", S, M, "txtMap2", "Deposit Angle:", "Edit the pyroclastic deposit skewness", 2,
            Entry::Plain),
        Row(LeftAngle, "LeftAngle", S, M, "txtMap3", "Left Angle:", "Edit the lava flow left skewness", 2, Entry::Plain),
        Row(RightAngle, "RightAngle", S, M, "txtMap4", "Right Angle:", "Edit the lava flow right skewness", 2,
            Entry::Plain),
    };
    return table;
}

const ParamInfo& Info(Param param)
{
    // The table lists the parameters in the order of the enumeration.
    return Parameters()[static_cast<size_t>(param)];
}

double ParamValue(const PhaseRecord& p, Param param)
{
    switch (param) {
    case Param::VentLocation: return p.VentLocation;
    case Param::Strength: return p.Strength;
    case Param::Wind: return p.Wind;
    case Param::MassFlux: return p.MassFlux;
    case Param::BurstCount: return p.BurstCount;
    case Param::Caldera: return p.Caldera;
    case Param::CalderaStyle: return p.CalderaStyle;
    case Param::Directed: return p.Directed;
    case Param::ExplosiveBursts: return p.ExplosiveBursts;
    case Param::ScarpTop: return p.ScarpTop;
    case Param::ScarpBase: return p.ScarpBase;
    case Param::FaultMagnitude: return p.FaultMagnitude;
    case Param::FaultDip: return p.FaultDip;
    case Param::DownSide: return p.DownSide;
    case Param::ErosionDuration: return p.ErosionDuration;
    case Param::FlowDurations: return 0;
    case Param::FlowLength: return p.FlowLength;
    case Param::CraterSize: return p.CraterSize;
    case Param::Position3D: return p.Position3D;
    case Param::VentPosition: return p.VentPosition;
    case Param::Growth: return p.Growth;
    case Param::Speed: return p.Speed;
    case Param::MidRadius: return p.MidRadius;
    case Param::DepositAngle: return p.DepositAngle;
    case Param::LeftAngle: return p.LeftAngle;
    case Param::RightAngle: return p.RightAngle;
    }
    return 0;
}

void SetParamValue(PhaseRecord& p, Param param, double v)
{
    const float f = static_cast<float>(v);
    const qint16 i = RoundHalfEven(v);
    switch (param) {
    case Param::VentLocation: p.VentLocation = f; break;
    case Param::Strength: p.Strength = f; break;
    case Param::Wind: p.Wind = f; break;
    case Param::MassFlux: p.MassFlux = f; break;
    case Param::BurstCount: p.BurstCount = i; break;
    case Param::Caldera: p.Caldera = i; break;
    case Param::CalderaStyle: p.CalderaStyle = i; break;
    case Param::Directed: p.Directed = i; break;
    case Param::ExplosiveBursts: p.ExplosiveBursts = i; break;
    case Param::ScarpTop: p.ScarpTop = f; break;
    case Param::ScarpBase: p.ScarpBase = f; break;
    case Param::FaultMagnitude: p.FaultMagnitude = i; break;
    case Param::FaultDip: p.FaultDip = i; break;
    case Param::DownSide: p.DownSide = i; break;
    case Param::ErosionDuration: p.ErosionDuration = i; break;
    case Param::FlowDurations: break;
    case Param::FlowLength: p.FlowLength = i; break;
    case Param::CraterSize: p.CraterSize = i; break;
    case Param::Position3D: p.Position3D = i; break;
    case Param::VentPosition: p.VentPosition = i; break;
    case Param::Growth: p.Growth = i; break;
    case Param::Speed: p.Speed = i; break;
    case Param::MidRadius: p.MidRadius = f; break;
    case Param::DepositAngle: p.DepositAngle = f; break;
    case Param::LeftAngle: p.LeftAngle = f; break;
    case Param::RightAngle: p.RightAngle = f; break;
    }
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
        // General number form: as few digits as the value needs ("12.5").
        const QString text = QString::number(held, 'g', 15);
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

bool UsesParameter(const PhaseRecord& p, Param param)
{
    using enum Param;
    if (param == Speed)
        return true;
    auto in = [param](std::initializer_list<Param> list) {
        return std::find(list.begin(), list.end(), param) != list.end();
    };
    switch (p.EruptionType) {
    case NonEruptive:
        if (p.EventKind != Faulting)
            return param == ErosionDuration;
        return in({VentLocation, FaultMagnitude, FaultDip}) || (param == DownSide && p.FaultDip == 0);
    case Vulcanian:
        return in({VentLocation, Strength, Wind, MassFlux, BurstCount, Directed, Caldera, CraterSize, Position3D,
                   Growth, MidRadius, DepositAngle})
            || (p.Caldera == 1 && in({CalderaStyle, VentPosition}));
    case Strombolian:
        return in({VentLocation, Strength, Wind, MassFlux, BurstCount, CraterSize, Position3D, Growth, MidRadius,
                   DepositAngle})
            || (param == Caldera && p.Strength < 0.3f);
    case Hawaiian:
    case Peleean:
        return in({VentLocation, Wind, BurstCount, FlowDurations, FlowLength, Position3D, MidRadius, LeftAngle,
                   RightAngle});
    case Plinian:
        return in({VentLocation, Strength, Wind, MassFlux, BurstCount, Caldera, CraterSize, Position3D, Growth,
                   MidRadius, DepositAngle})
            || (p.Caldera == 1 && in({CalderaStyle, VentPosition}));
    case SectorCollapse:
        return in({Strength, BurstCount, ScarpTop, ScarpBase, Position3D, MidRadius, DepositAngle});
    case Fumarolic:
        return in({VentLocation, Strength, Wind, MassFlux, BurstCount, ExplosiveBursts, Position3D, Growth, MidRadius,
                   DepositAngle})
            || (p.ExplosiveBursts == 1 && in({CraterSize, VentPosition}));
    default:
        return false;
    }
}

} // namespace tolva::phase
