#include "phase/EruptionTypes.h"

namespace tolva::phase {

const std::vector<EruptionTypeEntry>& TypeList()
{
    static const std::vector<EruptionTypeEntry> list = {
        {QStringLiteral("Hawaiian"), Hawaiian, 0},
        {QStringLiteral("Pel\u00e9ean"), Peleean, 0},
        {QStringLiteral("Strombolian"), Strombolian, 0},
        {QStringLiteral("Plinian"), Plinian, 0},
        {QStringLiteral("Vulcanian/Surtseyan"), Vulcanian, 0},
        {QStringLiteral("Fumarolic/Phreatic"), Fumarolic, 0},
        {QStringLiteral("Sector Collapse"), SectorCollapse, 0},
        {QStringLiteral("Faulting"), NonEruptive, Faulting},
        {QStringLiteral("Erosion"), NonEruptive, Erosion},
    };
    return list;
}

std::optional<EruptionTypeEntry> FindType(const QString& name)
{
    for (const EruptionTypeEntry& e : TypeList())
        if (e.name == name)
            return e;
    return std::nullopt;
}

QString TypeName(const PhaseRecord& phase)
{
    if (phase.EruptionType == NonEruptive)
        return phase.EventKind == Faulting ? QStringLiteral("Faulting") : QStringLiteral("Erosion");
    for (const EruptionTypeEntry& e : TypeList())
        if (e.code == phase.EruptionType)
            return e.name;
    return kNoTypeText;
}

int ShownTypeOf(const PhaseRecord& phase)
{
    const int code = phase.EruptionType;
    return code >= NonEruptive && code <= Fumarolic ? code : static_cast<int>(NoType);
}

} // namespace tolva::phase
