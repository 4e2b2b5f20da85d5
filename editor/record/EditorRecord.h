#pragma once
// The record as the editor holds it: the committed copy (what was read or
// last applied, and what is saved) and the working copy (what the window's
// controls edit), with the open file's path, the phase shown and the
// stratigraphic file chosen since the last apply. The window's handlers call
// these operations and then show the result.

#include "phase/ApplyChecks.h"
#include "common/Platform.h"
#include "record/RecordFile.h"

#include <QString>

#include <optional>

namespace tolva::record {

using phase::CheckFailure;

struct EditorRecord {
    // The committed copy: StratigraphicFile, Scale (shared by both copies)
    // and the committed phases with their flow durations.
    RecordFile Committed;
    // The working copy of the phases and their flow durations.
    PhaseList Working;
    QString RecordPath;                // empty for a new, never saved record
    int CurrentPhase = 0;              // the phase shown, 0 when there is none
    QString PendingStratigraphicFile;  // chosen or typed since the last apply

    // Reads the record file at `path`. On success it becomes the committed
    // copy, RecordPath becomes `path` and ReadData runs. On failure nothing
    // changes and the failure (line and reason) is returned.
    std::optional<ReadFailure> Open(const QString& path);

    // Refreshes the working copy from the committed one: the working copy is
    // cleared and the committed phases copied in, a record without scale gets
    // the Normal scale, the pending stratigraphic file becomes the committed
    // one and phase 1 (or none) becomes the current phase.
    void ReadData();

    // Checks every working phase in order. On the first failure that phase
    // becomes CurrentPhase and the failure is returned; only scarp corrections
    // change the working copy. When every phase passes, the working copy and
    // the pending stratigraphic file are committed and nothing is returned.
    std::optional<CheckFailure> ApplyParams();

    // Writes the committed copy to `path`; on success RecordPath becomes
    // `path`. On failure RecordPath and the file on disk stay as they were.
    SaveResult SaveRec(const QString& path);

    // The user picked `typeName` in the type list for the current phase: the
    // working phase changes as TypeChange describes, taking back the flow
    // durations last applied to the same phase number. Returns the new
    // ShownType, or nothing when there is no current phase or no such type.
    std::optional<int> TypeChange(const QString& typeName, RandomSource& random);

    // Inserts a new phase (NewPhase values) after the current one, which
    // becomes the new current phase; the phases after it move up with all
    // their values. The new phase keeps the mapping values and flow durations
    // that its slot held, those of the phase that moved up. Refused (false)
    // when the record already holds 500 phases.
    bool AddPhase();

    // Removes the current phase; the phases after it move down. When the last
    // phase was removed, the one before it becomes current; when none is
    // left, the working copy is cleared and there is no current phase.
    void DeletePhase();

    // Empties the committed record (a new record's reset), then ReadData.
    void ClearRecord();

    // The user chose a stratigraphic file in the dialog: its full path is
    // pending. Returns the text the box shows (its display form).
    QString ChooseStratigraphicFile(const QString& fullPath);

    // The text of the stratigraphic file box changed (typed, or set by the
    // window). An empty text or "none" in any case removes the file ("(None)"
    // is pending); the display form of the pending file keeps the pending full
    // path; any other text is the pending name. Returns the text the box
    // shows.
    QString EditStratigraphicBox(const QString& text);
};

// True for a stratigraphic file value that means "none attached": empty,
// "(None)" or "none" in any case.
bool IsNoStratigraphicFile(const QString& name);

// A path as the window shows it: its file name without the folder; longer
// than 40 characters, "..." and its last 37 characters.
QString DisplayForm(const QString& path);

// The demonstration record in the data folder is never replaced by a save.
// Paths are compared cleaned and absolute (so "./TolvaDemo.rec" is caught),
// with letter case as it is.
inline const QString kDemoRecordName = QStringLiteral("TolvaDemo.rec");
bool IsDemoRecord(const QString& path, const QString& dataFolder);
MessageReport DemoRecordReport();

// The message boxes that report these outcomes, titled "TolvaEdit".
MessageReport ApplyFailureReport(const CheckFailure& failure);
MessageReport SaveFailureReport(const SaveResult& result);
MessageReport ReadFailureReport(const QString& path, const ReadFailure& failure);

} // namespace tolva::record
