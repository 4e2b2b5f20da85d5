#include "phase/Presentation.h"

#include "phase/EruptionTypes.h"

#include "common/LeadingNumber.h"

#include <QRegularExpression>

#include <algorithm>

namespace tolva::phase {

namespace {

const QString kMazama = QStringLiteral("Mazama Type");
const QString kValles = QStringLiteral("Valles Type");
const QString kLeftDown = QStringLiteral("Left side down");
const QString kRightDown = QStringLiteral("Right side down");

int NumberedEntry(const QString& text, const QString& before, const QString& after, int count)
{
    for (int n = 1; n <= count; ++n)
        if (text == before + QString::number(n) + after)
            return n;
    return 0;
}

} // namespace

QStringList CalderaStyleList() { return {kValles, kMazama}; }

QString CalderaStyleText(int style)
{
    return style == 1 ? kMazama : style == 2 ? kValles : kNoStyleText;
}

int CalderaStyleCode(const QString& entry) { return entry == kValles ? 2 : 1; }

QStringList DownSideList() { return {kLeftDown, kRightDown}; }

QString DownSideText(int side)
{
    return side == 1 ? kLeftDown : side == 2 ? kRightDown : kNoDownSideText;
}

int DownSideCode(const QString& entry)
{
    return entry == kLeftDown ? 1 : entry == kRightDown ? 2 : 0;
}

QString FlowEntry(int flow) { return QStringLiteral("Flow ") + QString::number(flow) + QStringLiteral(" Duration"); }

int FlowOfEntry(const QString& text, int count)
{
    return NumberedEntry(text, QStringLiteral("Flow "), QStringLiteral(" Duration"), std::min(count, kMaxFlows));
}

QString PhaseEntry(int phase) { return QStringLiteral("Phase ") + QString::number(phase); }

int PhaseOfEntry(const QString& text, int count)
{
    return NumberedEntry(text, QStringLiteral("Phase "), QString(), std::min(count, kMaxPhases));
}

bool Presentation::enables(Param p) const
{
    return std::find(enabled.begin(), enabled.end(), p) != enabled.end();
}

Presentation PresentPhase(const PhaseRecord& phase, int shownType, float shownStrength, bool calderaTicked,
                          bool burstsTicked)
{
    using enum Param;
    Presentation r;
    auto add = [&r](std::initializer_list<Param> list) { r.enabled.insert(r.enabled.end(), list); };
    auto calderaOptions = [&] {
        add({CalderaStyle, VentPosition});
        r.showStyle = true;
        r.ventPositionCaption = kVentPositionCaption;
    };
    switch (shownType) {
    case NonEruptive:
        if (phase.EventKind != Faulting) {
            add({ErosionDuration});
        } else {
            add({VentLocation, FaultMagnitude, FaultDip});
            if (phase.FaultDip == 0)
                add({DownSide});
        }
        break;
    case Vulcanian:
        add({VentLocation, Strength, Wind, MassFlux, BurstCount, Directed, Caldera, CraterSize, Position3D, Growth,
             MidRadius, DepositAngle});
        if (shownStrength >= 0.6f && calderaTicked)
            calderaOptions();
        if (shownStrength <= 0.3f)
            r.calderaCaption = kDiatremeCaption;
        break;
    case Strombolian:
        add({VentLocation, Strength, Wind, MassFlux, BurstCount, CraterSize, Position3D, Growth, MidRadius,
             DepositAngle});
        if (phase.Strength < 0.3f) {
            add({Caldera});
            r.calderaCaption = kDiatremeCaption;
        }
        break;
    case Hawaiian:
    case Peleean:
        add({VentLocation, Wind, BurstCount, FlowLength, Position3D, MidRadius, LeftAngle, RightAngle, FlowDuration});
        break;
    case Plinian:
        add({VentLocation, Strength, Wind, MassFlux, BurstCount, Caldera, CraterSize, Position3D, Growth, MidRadius,
             DepositAngle});
        if (calderaTicked)
            calderaOptions();
        break;
    case SectorCollapse:
        add({Strength, BurstCount, ScarpTop, ScarpBase, Position3D, MidRadius, DepositAngle});
        break;
    case Fumarolic:
        add({VentLocation, Strength, Wind, MassFlux, BurstCount, ExplosiveBursts, Position3D, Growth, MidRadius,
             DepositAngle});
        r.ventPositionCaption = kBurstFrequencyCaption;
        if (burstsTicked)
            add({CraterSize, VentPosition});
        break;
    default:
        break;
    }
    return r;
}

std::optional<QString> LiveCalderaCaption(int eruptionType, float strength)
{
    switch (eruptionType) {
    case Strombolian:
        if (strength <= 0.3f)
            return kDiatremeCaption;
        break;
    case Plinian:
        if (strength >= 0.5f)
            return kCalderaCaption;
        break;
    case Vulcanian:
        if (strength <= 0.4f)
            return kDiatremeCaption;
        if (strength >= 0.6f)
            return kCalderaCaption;
        break;
    default:
        break;
    }
    return std::nullopt;
}

bool KeepsTypedText(const QString& text, double held)
{
    static const QRegularExpression plainDecimal(QStringLiteral("^[+-]?[0-9]*\\.?[0-9]*$"));
    return plainDecimal.match(text).hasMatch() && static_cast<double>(LeadingNumber(text)) == held;
}

} // namespace tolva::phase
