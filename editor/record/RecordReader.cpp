// Reading a record file: line by line, each line split into its items, every
// item checked against its type and range before the record is handed back.

#include "record/RecordFile.h"

#include "record/Cp1252.h"
#include "record/RecordLayout.h"

#include "common/LeadingNumber.h"
#include "common/ReadWhole.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tolva::record {

using phase::kMaxFlows;
using phase::kMaxPhases;

QString ReadFailure::text() const
{
    if (line <= 0)
        return reason;
    return QStringLiteral("line %1: %2").arg(line).arg(reason);
}

namespace {

// A record holds at most 500 phases of 108 short lines: anything far beyond
// that is not a record, and is refused before it is read into memory.
constexpr qint64 kMaxRecordBytes = 16 * 1024 * 1024;

struct Item {
    std::string_view text;
    bool quoted = false;
};

// An error on the current line; thrown only inside the parser and turned into
// a ReadFailure at its edge.
struct LineError {
    QString reason;
};

// The start of a phase's heading line, "Record Phase: ".
constexpr std::string_view kHeadingLabel = "\"Record Phase:";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The item as it may be shown in a reason: short and printable.
QString Shown(std::string_view s)
{
    QString text = DecodeCp1252(s.substr(0, 24));
    for (QChar& c : text)
        if (!c.isPrint())
            c = QLatin1Char('?');
    if (s.size() > 24)
        text += QStringLiteral("...");
    return QStringLiteral("\"") + text + QStringLiteral("\"");
}

class Parser {
public:
    explicit Parser(std::string_view data) : m_data(data) {}

    // Fills `record`, which the caller has just made, so that a full record
    // is never built twice. What follows the last phase is not part of the
    // record and is not read.
    void parse(RecordFile& record)
    {
        items(2, QStringLiteral("the stratigraphic file line"));
        record.StratigraphicFile = DecodeCp1252(m_items[1].text);

        items(3, QStringLiteral("the phase count line"));
        const int count = value<qint16>(1);
        if (count < 0 || count > kMaxPhases)
            fail(QStringLiteral("the phase count %1 must be from 0 to %2").arg(count).arg(kMaxPhases));
        record.Scale = value<qint16>(2);

        for (int p = 1; p <= count; ++p)
            readPhase(p, record.Phases.phases[p], record.Phases.durations[p]);
        record.Phases.count = count;
    }

    int lineNumber() const { return m_line; }

private:
    void readPhase(int p, PhaseRecord& ph, phase::FlowDurations& durations)
    {
        const QString which = QStringLiteral("phase %1").arg(p);
        // The line before a phase is meant to be empty; text on it is not
        // used. Only a heading in its place means that the line is missing.
        std::string_view before;
        if (!nextLine(before)) {
            ++m_line;
            fail(QStringLiteral("the file ends early"));
        }
        if (Trim(before).substr(0, kHeadingLabel.size()) == kHeadingLabel)
            fail(QStringLiteral("an empty line is expected before phase %1").arg(p));
        items(2, QStringLiteral("the heading of ") + which);

        int line = 0;
        ForEachPhaseLine(ph, [&](auto&... fields) {
            items(sizeof...(fields));
            size_t i = 0;
            ((fields = value<std::remove_reference_t<decltype(fields)>>(i++)), ...);
            if (++line == kBurstCountLine && phase::StoredFlowCount(ph) > kMaxFlows)
                fail(QStringLiteral("phase %1 has %2 flows, at most %3 are allowed")
                         .arg(p).arg(ph.BurstCount).arg(kMaxFlows));
        });

        for (int n = 1; n <= phase::StoredFlowCount(ph); ++n) {
            items(1);
            durations[n] = value<float>(0);
        }
    }

    [[noreturn]] void fail(const QString& reason) { throw LineError{reason}; }

    // CR LF, LF and CR alone all end a line.
    bool nextLine(std::string_view& line)
    {
        if (m_pos >= m_data.size())
            return false;
        const size_t end = std::min(m_data.find_first_of("\r\n", m_pos), m_data.size());
        line = m_data.substr(m_pos, end - m_pos);
        m_pos = end;
        if (m_pos < m_data.size() && m_data[m_pos++] == '\r' && m_pos < m_data.size() && m_data[m_pos] == '\n')
            ++m_pos;
        ++m_line;
        return true;
    }

    // Reads the next line and splits it into exactly `expected` items. Items
    // beyond those are only counted, so that a line of a million commas costs
    // no memory.
    void items(size_t expected, const QString& what = {})
    {
        std::string_view line;
        if (!nextLine(line)) {
            ++m_line;
            fail(QStringLiteral("the file ends early"));
        }
        m_items.clear();
        size_t found = 0;
        size_t i = 0;
        for (;;) {
            while (i < line.size() && IsBlank(line[i])) ++i;
            Item item;
            if (i < line.size() && line[i] == '"') {
                const size_t close = line.find('"', i + 1);
                if (close == std::string_view::npos)
                    fail(QStringLiteral("a quoted text has no closing quote"));
                item = {line.substr(i + 1, close - i - 1), true};
                i = close + 1;
                while (i < line.size() && IsBlank(line[i])) ++i;
                if (i < line.size() && line[i] != ',')
                    fail(QStringLiteral("unexpected text after a closing quote"));
            } else {
                const size_t comma = std::min(line.find(',', i), line.size());
                item = {Trim(line.substr(i, comma - i)), false};
                i = comma;
            }
            if (++found <= expected)
                m_items.push_back(item);
            if (i >= line.size())
                break;
            ++i; // the comma
        }
        if (found != expected) {
            QString reason = QStringLiteral("expected %1 item%2, found %3")
                                 .arg(expected).arg(expected == 1 ? "" : "s").arg(found);
            if (!what.isEmpty())
                reason += QStringLiteral(" in ") + what;
            fail(reason);
        }
    }

    // Checks the number syntax: optional sign, digits with an optional
    // decimal point (".5" and "5." included), optional exponent. Returns the
    // text without a leading '+', which std::from_chars does not take.
    std::string_view number(size_t index)
    {
        const Item& item = m_items[index];
        std::string_view s = item.text;
        size_t i = 0;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t digits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
        if (i < s.size() && s[i] == '.') {
            ++i;
            while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
        }
        bool ok = digits > 0 && !item.quoted;
        if (ok && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
            ++i;
            if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
            size_t expDigits = 0;
            while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++expDigits;
            ok = expDigits > 0;
        }
        if (!ok || i != s.size())
            fail(QStringLiteral("item %1 (%2) is not a number").arg(index + 1).arg(Shown(s)));
        if (s.front() == '+')
            s.remove_prefix(1);
        return s;
    }

    // Item `index` as an Integer (a whole number within 16 bits, "1e2" and
    // "100.0" included) or a Single (any finite 32-bit float, rounded once
    // from the text).
    template <typename T>
    T value(size_t index)
    {
        constexpr bool whole = std::is_same_v<T, qint16>;
        const std::string_view s = number(index);
        std::conditional_t<whole, double, float> v = 0;
        auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if constexpr (!whole) {
            // Too small for a Single: the nearest Single is a zero, the value
            // the lenient number reader gives the same text.
            if (ec == std::errc::result_out_of_range) {
                const float lenient = LeadingNumber(QString::fromLatin1(s.data(), qsizetype(s.size())));
                if (std::fabs(lenient) < 1.0f) {
                    v = lenient;
                    ec = std::errc{};
                    end = s.data() + s.size();
                }
            }
        }
        bool fits = ec == std::errc{} && end == s.data() + s.size() && std::isfinite(v);
        if constexpr (whole)
            fits = fits && v == std::trunc(v) && v >= -32768 && v <= 32767;
        if (!fits)
            fail(QStringLiteral("item %1 (%2) %3")
                     .arg(index + 1)
                     .arg(Shown(m_items[index].text),
                          whole ? QStringLiteral("is not a whole number from -32768 to 32767")
                                : QStringLiteral("does not fit a 32-bit number")));
        return static_cast<T>(v);
    }

    std::string_view m_data;
    size_t m_pos = 0;
    int m_line = 0;
    std::vector<Item> m_items;
};

// UTF-16 text starts with its byte order mark or, without one, has a zero
// byte in every other place of its first (Latin) characters; 8-bit text
// has no zero bytes at all.
bool IsUtf16(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    return bytes.first(std::min<qsizetype>(bytes.size(), 64)).contains('\0');
}

ReadResult Unreadable(const QString& reason)
{
    ReadResult result;
    result.failure = ReadFailure{0, reason};
    return result;
}

} // namespace

ReadResult ParseRecord(QByteArrayView bytes)
{
    if (bytes.size() > kMaxRecordBytes)
        return Unreadable(QStringLiteral("the file is too large to be a record"));
    if (IsUtf16(bytes))
        return Unreadable(QStringLiteral("the file is UTF-16 text; a record is ANSI text"));
    ReadResult result;
    Parser parser(std::string_view(bytes.data(), static_cast<size_t>(bytes.size())));
    try {
        parser.parse(result.record);
    } catch (const LineError& e) {
        result.failure = ReadFailure{parser.lineNumber(), e.reason};
    }
    return result;
}

ReadResult ReadRecordFile(const QString& path)
{
    const WholeFile file = ReadWhole(path, kMaxRecordBytes);
    if (!file.ok())
        return Unreadable((file.opened ? QStringLiteral("the file cannot be read (%1)")
                                       : QStringLiteral("the file cannot be opened (%1)")).arg(file.error));
    if (file.beyond(kMaxRecordBytes))
        return Unreadable(QStringLiteral("the file is too large to be a record"));
    return ParseRecord(file.bytes);
}

} // namespace tolva::record
