#pragma once
// A whole eruption record as the file stores it, and reading and writing it.
//
// The file is comma-separated 8-bit text, one record per file:
//   "Stratigraphic file:","<name>"
//   "Recorded phases",<phase count>,<scale>
// then per phase an empty line, "Record Phase: ",<number>, six lines of its
// values and, for a Hawaiian or Peléean phase, one line per flow duration.
// Lines end with CR LF; files edited elsewhere with LF or CR alone read as
// well. The line before a phase is meant to be empty; text on it is ignored.

#include "phase/PhaseRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <string>

namespace tolva::record {

using phase::PhaseList;
using phase::PhaseRecord;

// The text that means "no stratigraphic file attached"; an empty name means
// the same.
inline const QString kNoStratigraphicFile = QStringLiteral("(None)");

struct RecordFile {
    QString StratigraphicFile;  // path or name, empty or "(None)" for none
    qint16 Scale = 0;           // 4 Small, 20 Normal, 100 Large; 0 is shown as 20
    PhaseList Phases;           // PhaseCount is Phases.count
};

// Why a record could not be read: the line (from 1; 0 when the file could not
// be opened) and a short reason.
struct ReadFailure {
    int line = 0;
    QString reason;

    // "line 5: expected 4 items, found 3", or the reason alone for line 0.
    QString text() const;
    bool operator==(const ReadFailure&) const = default;
};

struct ReadResult {
    RecordFile record;                  // meaningful only when there is no failure
    std::optional<ReadFailure> failure;
    bool ok() const { return !failure; }
};

// Reads the bytes of a record file. Every item must fit its type and range;
// anything else is a failure with its line number. A Single too small for 32
// bits reads as its nearest Single (a zero), as LeadingNumber reads it. UTF-16
// text is refused as a whole (line 0). Lines after the last
// phase are not part of the record and are not read.
ReadResult ParseRecord(QByteArrayView bytes);

// Reads the record file at `path`, or a pipe, whole; then as ParseRecord.
ReadResult ReadRecordFile(const QString& path);

// A Single in plain decimal form with a period, no exponent, and the fewest
// digits that read back to the same 32-bit value ("0.1", "-12.5", "1200").
std::string FormatSingle(float value);

// The file's bytes for a record, or the reason why the record cannot be
// written so that it reads back: a stratigraphic file name that the file's
// text cannot hold, more than 500 phases or 100 flows, or a Single that is an
// infinity or not a number.
struct RecordBytes {
    QByteArray bytes;
    QString refusal;  // empty when bytes holds the file
};
RecordBytes RecordText(const RecordFile& record);

// Why a name cannot be stored as a text item, or nothing when it can.
std::optional<QString> StratigraphicNameProblem(const QString& name);

inline const QString kSaveError = QStringLiteral("Recorder file save error");

struct SaveResult {
    bool ok = false;
    QString message;  // "Recorder file save error", or why the record cannot be written
    QString detail;   // why the write failed ("No space left on device"), for a log or a tool tip
};

// Writes the record to `path` through SaveWhole: any failure leaves an
// existing file as it was, and a target that is not a regular file is refused.
SaveResult SaveRec(const RecordFile& record, const QString& path);

} // namespace tolva::record
