#include "record/EditorRecord.h"

#include "common/Messages.h"
#include "common/PathTools.h"
#include "phase/Parameters.h"
#include "phase/TypeChange.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tolva::record {

using phase::HasFlowDurations;
using phase::kMaxFlows;

namespace {

// Copies a phase's fields, and for a Hawaiian or Peléean phase its flow
// durations 1 to its burst count; durations beyond stay as they were.
void CopyPhase(const PhaseList& from, PhaseList& to, int p)
{
    const PhaseRecord& ph = from.phases[p];
    to.phases[p] = ph;
    if (HasFlowDurations(ph.EruptionType)) {
        const int flows = std::min<int>(ph.BurstCount, kMaxFlows);
        std::copy(from.durations[p].begin() + 1, from.durations[p].begin() + 1 + std::max(0, flows),
                  to.durations[p].begin() + 1);
    }
}

} // namespace

std::optional<ReadFailure> EditorRecord::Open(const QString& path)
{
    ReadResult read = ReadRecordFile(path);
    if (read.failure)
        return read.failure;
    Committed = std::move(read.record);
    RecordPath = path;
    ReadData();
    return std::nullopt;
}

void EditorRecord::ReadData()
{
    Working.clear();
    if (Committed.Scale == 0)
        Committed.Scale = phase::NormalScale;
    PendingStratigraphicFile = Committed.StratigraphicFile;
    Working.count = std::clamp(Committed.Phases.count, 0, phase::kMaxPhases);
    for (int p = 1; p <= Working.count; ++p)
        CopyPhase(Committed.Phases, Working, p);
    CurrentPhase = Working.count > 0 ? 1 : 0;
}

std::optional<CheckFailure> EditorRecord::ApplyParams()
{
    if (std::optional<CheckFailure> failure = phase::CheckPhases(Working, Committed.Scale)) {
        CurrentPhase = failure->phase;
        return failure;
    }
    // Any chosen file, also one chosen after a removal, is committed as
    // chosen; a removal leaves the record with "(None)". A record that had no
    // file keeps the way it said so: an empty name is saved empty again.
    if (!IsNoStratigraphicFile(PendingStratigraphicFile))
        Committed.StratigraphicFile = PendingStratigraphicFile;
    else if (!IsNoStratigraphicFile(Committed.StratigraphicFile))
        Committed.StratigraphicFile = kNoStratigraphicFile;
    Committed.Phases.count = Working.count;
    for (int p = 1; p <= Working.count; ++p)
        CopyPhase(Working, Committed.Phases, p);
    return std::nullopt;
}

SaveResult EditorRecord::SaveRec(const QString& path)
{
    SaveResult result = record::SaveRec(Committed, path);
    if (result.ok)
        RecordPath = path;
    return result;
}

std::optional<int> EditorRecord::TypeChange(const QString& typeName, RandomSource& random)
{
    const int p = CurrentPhase;
    if (p < 1 || p > Working.count)
        return std::nullopt;
    return phase::TypeChange(Working.phases[p], Working.durations[p], Committed.Phases.phases[p],
                             Committed.Phases.durations[p], typeName, random);
}

bool EditorRecord::AddPhase()
{
    if (Working.count >= phase::kMaxPhases)
        return false;
    ++Working.count;
    CurrentPhase = std::clamp(CurrentPhase, 0, Working.count - 1) + 1;
    for (int i = Working.count; i > CurrentPhase; --i) {
        Working.phases[i] = Working.phases[i - 1];
        Working.durations[i] = Working.durations[i - 1];
    }
    PhaseRecord& added = Working.phases[CurrentPhase];
    const PhaseRecord slot = added;
    added = phase::NewPhase();
    added.MidRadius = slot.MidRadius;
    added.DepositAngle = slot.DepositAngle;
    added.LeftAngle = slot.LeftAngle;
    added.RightAngle = slot.RightAngle;
    return true;
}

void EditorRecord::DeletePhase()
{
    if (Working.count < 1)
        return;
    const int removed = std::clamp(CurrentPhase, 1, Working.count);
    --Working.count;
    if (Working.count == 0) {
        Working.clear();
        CurrentPhase = 0;
        return;
    }
    for (int i = removed; i <= Working.count; ++i) {
        Working.phases[i] = Working.phases[i + 1];
        Working.durations[i] = Working.durations[i + 1];
    }
    CurrentPhase = std::min(removed, Working.count);
}

void EditorRecord::ClearRecord()
{
    Committed.Phases.count = 0;
    Committed.StratigraphicFile.clear();
    Committed.Scale = 0;
    ReadData();
}

QString EditorRecord::ChooseStratigraphicFile(const QString& fullPath)
{
    PendingStratigraphicFile = fullPath;
    return DisplayForm(fullPath);
}

QString EditorRecord::EditStratigraphicBox(const QString& text)
{
    if (IsNoStratigraphicFile(text)) {
        PendingStratigraphicFile = kNoStratigraphicFile;
        return kNoStratigraphicFile;
    }
    // The box shows the pending file in its short form; that form must never
    // replace the full name.
    if (!IsNoStratigraphicFile(PendingStratigraphicFile) && text == DisplayForm(PendingStratigraphicFile))
        return text;
    PendingStratigraphicFile = text;
    return text;
}

bool IsNoStratigraphicFile(const QString& name)
{
    return name.isEmpty() || name.compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0
        || name.compare(kNoStratigraphicFile, Qt::CaseInsensitive) == 0;
}

QString DisplayForm(const QString& path)
{
    const QString title = PathTools::FileTitle(path);
    if (title.size() > 40)
        return QStringLiteral("...") + title.right(37);
    return title;
}

bool IsDemoRecord(const QString& path, const QString& dataFolder)
{
    if (path.isEmpty() || dataFolder.isEmpty())
        return false;
    const QString demo = QDir::cleanPath(QDir(dataFolder).absoluteFilePath(kDemoRecordName));
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath()) == demo;
}

MessageReport DemoRecordReport()
{
    return {QStringLiteral("Cannot replace TOLVA Demonstration file"), kEditorTitle, MessageIcon::Critical};
}

MessageReport ApplyFailureReport(const CheckFailure& failure)
{
    return {failure.text(), kEditorTitle, MessageIcon::Information};
}

MessageReport SaveFailureReport(const SaveResult& result)
{
    return {result.message, kEditorTitle, MessageIcon::Exclamation};
}

MessageReport ReadFailureReport(const QString& path, const ReadFailure& failure)
{
    return {QStringLiteral("The record file %1 cannot be opened:\n%2").arg(DisplayForm(path), failure.text()),
            kEditorTitle, MessageIcon::Exclamation};
}

} // namespace tolva::record
