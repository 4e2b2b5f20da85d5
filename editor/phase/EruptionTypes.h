#pragma once
// The eruption types: their codes, the names the type list shows and the
// order of that list. A code is always found from a name, never from a
// position in the list.

#include "phase/PhaseRecord.h"

#include <QString>

#include <optional>
#include <vector>

namespace tolva::phase {

// Codes of EruptionType. The two non-eruptive kinds share code 0 and are told
// apart by EventKind.
enum TypeCode : int {
    NoType = -1,
    NonEruptive = 0,
    Vulcanian = 1,
    Strombolian = 2,
    Hawaiian = 3,
    Peleean = 4,
    Plinian = 5,
    SectorCollapse = 6,
    Fumarolic = 7,
};

enum EventKindCode : int { Faulting = 1, Erosion = 2 };

struct EruptionTypeEntry {
    QString name;       // exact text of the type list entry
    int code;           // EruptionType
    int eventKind;      // EventKind it sets, 0 when it leaves EventKind as it is
};

// The entries in the order of the type list ("Hawaiian" first).
const std::vector<EruptionTypeEntry>& TypeList();

// The entry whose name equals the text exactly, if any.
std::optional<EruptionTypeEntry> FindType(const QString& name);

// What the type box shows when no type is chosen.
inline const QString kNoTypeText = QStringLiteral("Select Parameters");

// The type box text for a phase: its type's name, "Faulting" or "Erosion"
// (every EventKind but 1 is Erosion), or "Select Parameters" for a phase
// without a known type.
QString TypeName(const PhaseRecord& phase);

// The ShownType of a phase: -1 none, 0 Faulting or Erosion, 1 to 7 the
// eruption types. Unknown codes are shown as no type.
int ShownTypeOf(const PhaseRecord& phase);

// True for a non-eruptive phase that is a fault (the others are Erosion).
inline bool IsFaulting(const PhaseRecord& phase)
{
    return phase.EruptionType == NonEruptive && phase.EventKind == Faulting;
}

} // namespace tolva::phase
