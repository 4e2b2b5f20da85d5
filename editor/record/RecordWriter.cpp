// Writing a record file: the whole file is built in memory first, so that a
// name the file cannot hold is refused before anything touches the disk, and
// then written through a temporary file that replaces the target only once it
// is complete.

#include "record/RecordFile.h"

#include "record/Cp1252.h"
#include "record/RecordLayout.h"

#include "common/SafeSave.h"

#include <charconv>
#include <algorithm>
#include <cmath>

namespace tolva::record {

namespace {

// Most values in a record are short decimals (12.5, 0.25, 1200): the fewest
// decimals, 0 to 6, whose text reads back to the same float. Much faster
// than the general conversion below; false when no such text exists.
bool AppendShortDecimal(std::string& out, float value)
{
    const double v = value;
    if (!(std::fabs(v) < 1e7))
        return false;
    double scale = 1;
    for (int decimals = 0; decimals <= 6; ++decimals, scale *= 10) {
        const double k = std::nearbyint(v * scale);
        if (static_cast<float>(k / scale) != value)
            continue;
        char buf[32];
        char* p = buf;
        if (std::signbit(v))
            *p++ = '-';
        auto magnitude = static_cast<unsigned long long>(std::fabs(k));
        char digits[24];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0 || count <= decimals);
        for (int i = count - 1; i >= 0; --i) {
            *p++ = digits[i];
            if (i == decimals && decimals > 0)
                *p++ = '.';
        }
        // The decimal text may round to another float than the double
        // quotient did (a tie between two floats): make sure it reads back.
        float back = 0;
        const auto res = std::from_chars(buf, p, back);
        if (res.ec != std::errc{} || back != value)
            return false;
        out.append(buf, p);
        return true;
    }
    return false;
}

// Appends nothing for an infinity or a NaN, which no record may hold.
void AppendSingle(std::string& out, float value)
{
    if (!std::isfinite(value) || AppendShortDecimal(out, value))
        return;
    // The shortest form that reads back to the same float, in scientific
    // notation ("-1.2345e+02"), then spelled out without the exponent.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const char* s = buf;
    if (*s == '-') {
        out += '-';
        ++s;
    }
    const char* const end = res.ptr;
    const char* e = std::find(s, end, 'e');
    char digits[32];
    int count = 0;
    for (const char* c = s; c != e; ++c)
        if (*c != '.')
            digits[count++] = *c;
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
    // The decimal point goes after digit number (exponent + 1).
    const int point = exponent + 1;
    if (point <= 0) {
        out += "0.";
        out.append(static_cast<size_t>(-point), '0');
        out.append(digits, static_cast<size_t>(count));
    } else if (point >= count) {
        out.append(digits, static_cast<size_t>(count));
        out.append(static_cast<size_t>(point - count), '0');
    } else {
        out.append(digits, static_cast<size_t>(point));
        out += '.';
        out.append(digits + point, static_cast<size_t>(count - point));
    }
}


void AppendInt(std::string& out, int v)
{
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, res.ptr);
}

void EndLine(std::string& out) { out += "\r\n"; }

// The text of a file as it grows; it notes a Single that cannot be written.
struct Writer {
    std::string out;
    bool finite = true;

    void item(float v)
    {
        finite = finite && std::isfinite(v);
        AppendSingle(out, v);
    }
    void item(qint16 v) { AppendInt(out, v); }

    // One line of comma-separated items.
    template <typename... Values>
    void line(const Values&... values)
    {
        const char* separator = "";
        ((out += separator, separator = ",", item(values)), ...);
        EndLine(out);
    }
};

} // namespace

std::string FormatSingle(float value)
{
    std::string out;
    AppendSingle(out, value);
    return out;
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
    // No file system allows a NUL in a name, and a record with one near its
    // start would read back as UTF-16 text.
    if (name.contains(QChar(u'\0')))
        return QStringLiteral("The stratigraphic file name cannot be stored in a record file: "
                              "it holds a NUL character, which no file name has.");
    return std::nullopt;
}

RecordBytes RecordText(const RecordFile& record)
{
    auto refused = [](const QString& why) { return RecordBytes{{}, why}; };
    if (const std::optional<QString> problem = StratigraphicNameProblem(record.StratigraphicFile))
        return refused(*problem);
    const QByteArray name = *EncodeCp1252(record.StratigraphicFile);
    const PhaseList& phases = record.Phases;
    // The file could not be read back beyond the storage of a record.
    if (phases.count < 0 || phases.count > phase::kMaxPhases)
        return refused(QStringLiteral("A record holds at most %1 phases.").arg(phase::kMaxPhases));

    Writer w;
    std::string& out = w.out;
    // Room for the longest lines, so that the text never moves while it grows.
    size_t flowLines = 0;
    for (int p = 1; p <= phases.count; ++p)
        flowLines += static_cast<size_t>(phase::StoredFlowCount(phases.phases[p]));
    out.reserve(128 + static_cast<size_t>(name.size()) + static_cast<size_t>(phases.count) * 320 + flowLines * 16);
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
        const int flows = phase::StoredFlowCount(ph);
        if (flows > phase::kMaxFlows)
            return refused(QStringLiteral("Phase %1 has more than %2 flows and cannot be saved.").arg(p).arg(phase::kMaxFlows));
        EndLine(out);
        out += "\"Record Phase: \",";
        AppendInt(out, p);
        EndLine(out);
        ForEachPhaseLine(ph, [&w](const auto&... fields) { w.line(fields...); });
        for (int n = 1; n <= flows; ++n)
            w.line(phases.durations[p][n]);
        if (!w.finite)
            return refused(QStringLiteral("Phase %1 holds a value that is not a number and cannot be saved.").arg(p));
    }
    return {QByteArray(out.data(), static_cast<qsizetype>(out.size())), {}};
}

SaveResult SaveRec(const RecordFile& record, const QString& path)
{
    const RecordBytes text = RecordText(record);
    if (!text.refusal.isEmpty())
        return {false, text.refusal, {}};
    if (const std::optional<QString> failure = SaveWhole(path, text.bytes))
        return {false, kSaveError, *failure};
    return {true, {}, {}};
}

} // namespace tolva::record
