// Writing a record file: the whole file is built in memory first, so that a
// name the file cannot hold is refused before anything touches the disk, and
// then written through a temporary file that replaces the target only once it
// is complete.

#include "RecordFile.h"

#include "Cp1252.h"

#include <QFileInfo>
#include <QSaveFile>

#include <charconv>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace tolva::record {

namespace {

void AppendInt(std::string& out, int v)
{
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, res.ptr);
}

void Append(std::string& out, float v) { out += FormatSingle(v); }
void Append(std::string& out, qint16 v) { AppendInt(out, v); }

void EndLine(std::string& out) { out += "\r\n"; }

template <typename... Values>
void Line(std::string& out, Values... values)
{
    bool first = true;
    ((out += first ? "" : ",", first = false, Append(out, values)), ...);
    EndLine(out);
}

} // namespace

std::string FormatSingle(float value)
{
    // The shortest form that reads back to the same float, in scientific
    // notation, then spelled out without the exponent.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    std::string_view s(buf, static_cast<size_t>(res.ptr - buf));
    std::string sign;
    if (!s.empty() && s.front() == '-') {
        sign = "-";
        s.remove_prefix(1);
    }
    const size_t e = s.find('e');
    std::string digits;
    for (char c : s.substr(0, e))
        if (c != '.')
            digits += c;
    const int exponent = std::atoi(std::string(s.substr(e + 1)).c_str());
    // The decimal point goes after digit number (exponent + 1).
    const int point = exponent + 1;
    std::string out;
    if (point <= 0)
        out = "0." + std::string(static_cast<size_t>(-point), '0') + digits;
    else if (point >= static_cast<int>(digits.size()))
        out = digits + std::string(static_cast<size_t>(point) - digits.size(), '0');
    else
        out = digits.substr(0, static_cast<size_t>(point)) + "." + digits.substr(static_cast<size_t>(point));
    return sign + out;
}

std::optional<QString> StratigraphicNameProblem(const QString& name)
{
    if (const std::optional<QString> c = FirstUnencodable(name))
        return QStringLiteral("The stratigraphic file name cannot be stored in a record file: "
                              "it holds the character \"%1\". Choose a file whose name has none.")
            .arg(*c);
    if (name.contains(QLatin1Char('"')) || name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n')))
        return QStringLiteral("The stratigraphic file name cannot be stored in a record file: "
                              "it holds a double quote or a line break. Choose a file whose name has none.");
    return std::nullopt;
}

RecordBytes RecordText(const RecordFile& record)
{
    RecordBytes result;
    if (const std::optional<QString> problem = StratigraphicNameProblem(record.StratigraphicFile)) {
        result.refusal = *problem;
        return result;
    }
    const QByteArray name = *EncodeCp1252(record.StratigraphicFile);
    const PhaseList& phases = record.Phases;

    std::string out;
    out.reserve(96 + static_cast<size_t>(phases.count) * 160);
    out += "\"Stratigraphic file:\",\"";
    out.append(name.constData(), static_cast<size_t>(name.size()));
    out += "\"";
    EndLine(out);
    out += "\"Recorded phases\",";
    AppendInt(out, phases.count);
    out += ",";
    AppendInt(out, record.Scale);
    EndLine(out);

    for (int p = 1; p <= phases.count; ++p) {
        const PhaseRecord& ph = phases.phases[p];
        EndLine(out);
        out += "\"Record Phase: \",";
        AppendInt(out, p);
        EndLine(out);
        Line(out, ph.VentLocation, ph.EruptionType, ph.Strength, ph.Wind);
        Line(out, ph.MassFlux, ph.Caldera, ph.Directed, ph.CalderaStyle);
        Line(out, ph.ScarpTop, ph.ScarpBase, ph.BurstCount, ph.ExplosiveBursts);
        Line(out, ph.EventKind, ph.FaultMagnitude, ph.FaultDip, ph.DownSide, ph.ErosionDuration);
        Line(out, ph.FlowLength, ph.CraterSize, ph.Position3D, ph.VentPosition, ph.Growth, ph.Speed);
        Line(out, ph.MidRadius, ph.DepositAngle, ph.LeftAngle, ph.RightAngle);
        const int flows = std::min(phase::StoredFlowCount(ph), phase::kMaxFlows);
        for (int n = 1; n <= flows; ++n)
            Line(out, phases.durations[p][n]);
    }
    result.bytes = QByteArray(out.data(), static_cast<qsizetype>(out.size()));
    return result;
}

SaveResult SaveRec(const RecordFile& record, const QString& path)
{
    const RecordBytes text = RecordText(record);
    if (!text.refusal.isEmpty())
        return {false, text.refusal, {}};

    auto failed = [](const QString& detail) { return SaveResult{false, kSaveError, detail}; };

    const QFileInfo target(path);
    if (path.isEmpty())
        return failed(QStringLiteral("no file name"));
    if (target.exists() && !target.isFile())
        return failed(QStringLiteral("%1 is not a file").arg(path));
    if (target.exists() && !target.isWritable())
        return failed(QStringLiteral("%1 is write-protected").arg(path));

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    if (file.write(text.bytes) != text.bytes.size() || !file.flush())
        return failed(file.errorString()); // the temporary file is removed, the target untouched
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0) {
        file.cancelWriting();
        file.commit();
        return failed(QStringLiteral("the file could not be flushed to the disk"));
    }
#endif
    if (!file.commit())
        return failed(file.errorString());
    return {true, {}, {}};
}

} // namespace tolva::record
