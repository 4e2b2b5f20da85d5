// The record file: its exact layout, the round trip of every value, every
// read failure with its line, the 8-bit text and the save failure paths.
#include "common/LeadingNumber.h"
#include "record/Cp1252.h"
#include "record/RecordFile.h"
#include "support/Files.h"
#include "support/FileNodes.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <bit>
#include <csignal>
#include <functional>
#include <limits>

#include <sys/resource.h>

using namespace tolva::record;
using tolva::phase::FlowDurations;
using tolva::phase::NewPhase;
using namespace tolva::testing;

namespace {

using Limits = std::numeric_limits<float>;

// A record with every kind of value: a Hawaiian phase of 100 flows whose
// durations sweep the float range (subnormals and the largest included),
// negative, fractional and extreme fields, a typeless phase with bursts and
// a Peléean phase without flows.
RecordFile Sample()
{
    RecordFile r{.StratigraphicFile = QString::fromUtf8("C:\\Strata\\Caf\xc3\xa9 \xe2\x82\xac, \xc5\x92uvre.str"),
                 .Scale = 100, .Phases = {.count = 3}};
    r.Phases.phases[1] = {.VentLocation = 12.345f, .EruptionType = 3, .Wind = -17.25f, .BurstCount = 100,
                          .FaultDip = -7, .FlowLength = 6, .MidRadius = Limits::max(),
                          .DepositAngle = Limits::denorm_min(), .LeftAngle = -Limits::min(), .RightAngle = 0.1f};
    uint32_t bits = 1;
    for (int n = 1; n <= 100; ++n, bits = bits * 2654435761u + 12345u)
        r.Phases.durations[1][n] = std::bit_cast<float>(bits & 0xFF7FFFFFu); // no infinities or NaNs
    r.Phases.durations[1][2] = -0.0f;
    r.Phases.phases[2] = {.EruptionType = -1, .Strength = 1.0f / 3.0f, .ScarpTop = -32768, .BurstCount = 5,
                          .Growth = -32768, .Speed = 32767};
    r.Phases.phases[3].EruptionType = 4;
    return r;
}

QByteArray CrLfLines(const QList<QByteArray>& lines) { return lines.join("\r\n") + "\r\n"; }

bool SameBits(float a, float b) { return std::bit_cast<quint32>(a) == std::bit_cast<quint32>(b); }

// A folder holding the old record "r.rec".
struct OldFile {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("r.rec"));
    OldFile() { EXPECT_TRUE(WriteBytes(path, "old")); }
    bool untouched() const
    {
        return ReadBytes(path) == "old" && QDir(dir.path()).entryList(QDir::Files) == QStringList{"r.rec"};
    }
};

TEST(RecordFile, ExactLayout)
{
    RecordFile r{.StratigraphicFile = kNoStratigraphicFile, .Phases = {}};
    EXPECT_EQ(RecordText(r).bytes, QByteArray("\"Stratigraphic file:\",\"(None)\"\r\n\"Recorded phases\",0,0\r\n"));

    r = {.StratigraphicFile = "", .Scale = 20, .Phases = {.count = 1}};
    PhaseRecord& p = r.Phases.phases[1] = NewPhase();
    p.EruptionType = 4;
    p.VentLocation = 2.5f;
    p.Wind = -3;
    p.BurstCount = 2;
    r.Phases.durations[1][1] = 10.5f;
    r.Phases.durations[1][2] = 200;
    EXPECT_EQ(RecordText(r).bytes, CrLfLines({"\"Stratigraphic file:\",\"\"", "\"Recorded phases\",1,20", "",
                                              "\"Record Phase: \",1", "2.5,4,0,-3", "0,0,0,0", "0,0,2,0",
                                              "0,0,0,0,0", "6,6,20,6,6,0", "0,0,0,0", "10.5", "200"}));
}

TEST(RecordFile, SinglesArePlainDecimalWithTheFewestDigits)
{
    // Plainer values are ExactLayout's.
    for (const auto& [value, text] : {std::pair{0.1f, "0.1"}, {1e-7f, "0.0000001"}, {1.5e10f, "15000000000"},
                                      {Limits::max(), "340282350000000000000000000000000000000"}})
        EXPECT_EQ(FormatSingle(value), text) << text;
    EXPECT_EQ(FormatSingle(Limits::denorm_min()).size(), 47u); // "0." and 45 digits
}

// Saved over an old file (SafeSave's tests check that no temporary file is
// left beside it) and read back. The header's name, count and scale are
// written as read, so the last comparison checks them.
TEST(RecordFile, RoundTripKeepsEveryValueAndByte)
{
    OldFile f;
    const RecordFile r = Sample();
    ASSERT_TRUE(SaveRec(r, f.path).ok);
    const ReadResult back = ReadRecordFile(f.path);
    ASSERT_TRUE(back.ok()) << back.failure->text().toStdString();
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(back.record.Phases.phases[p], r.Phases.phases[p]) << p;
    for (int n = 1; n <= 100; ++n)
        EXPECT_TRUE(SameBits(back.record.Phases.durations[1][n], r.Phases.durations[1][n])) << n;
    // A typeless phase with bursts, and a Peléean phase with none, have no flow lines.
    EXPECT_EQ(back.record.Phases.durations[2], FlowDurations{});
    EXPECT_EQ(RecordText(back.record).bytes, ReadBytes(f.path));
}

TEST(RecordFile, TextItemsAreWindows1252ByteForByte)
{
    QByteArray all;
    for (int b = 0x20; b < 0x100; ++b)
        if (b != '"')
            all.append(static_cast<char>(b));
    const QString text = DecodeCp1252(std::string_view(all.constData(), all.size()));
    EXPECT_EQ(text[0x80 - 0x21], QChar(0x20AC)); // 0x20 to 0x7F less the double quote
    EXPECT_EQ(*EncodeCp1252(text), all);
    EXPECT_FALSE(EncodeCp1252(QStringLiteral("\u0100")));
    EXPECT_EQ(*FirstUnencodable(QString::fromUtf8("ab\xf0\x9f\x8c\x8b")), QString::fromUtf8("\xf0\x9f\x8c\x8b"));
}

// A valid file with one Hawaiian phase of two flows, lines numbered 1 to 12;
// line `line` replaced, or the file cut before it.
QByteArray GoodLines(int line = 0, const QByteArray& replacement = {}, bool cut = false)
{
    QList<QByteArray> lines = {"\"Stratigraphic file:\",\"a.str\"", "\"Recorded phases\",1,20", "",
                               "\"Record Phase: \",1", "12,3,0,5", "1,0,0,0", "0,0,2,0", "0,0,0,0,0",
                               "6,6,20,6,6,1", "100,0,0,0", "300", "400"};
    if (cut)
        lines = lines.mid(0, line - 1);
    else if (line > 0)
        lines[line - 1] = replacement;
    return CrLfLines(lines);
}

// The text as UTF-16: little-endian after its byte order mark, or big-endian
// without one.
QByteArray Utf16(const QByteArray& text, bool withMark)
{
    QStringEncoder encoder(withMark ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                           withMark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder(QString::fromLatin1(text));
}

// Variants of GoodLines(): some hold the same record (other line ends, other
// spellings of its numbers, whatever follows its last flow: no reason), the
// others fail at the line named, for the reason given.
struct ReadRow { const char* name; QByteArray bytes; int line = 0; const char* reason = nullptr; };

void PrintTo(const ReadRow& row, std::ostream* os) { *os << row.name; }

class Reading : public ::testing::TestWithParam<ReadRow> {};

TEST_P(Reading, GivesTheSameRecordOrTheFailingLineAndReason)
{
    const ReadRow& row = GetParam();
    const ReadResult r = ParseRecord(row.bytes);
    ASSERT_EQ(r.ok(), !row.reason) << (r.ok() ? "read" : r.failure->text().toStdString());
    if (r.ok()) {
        EXPECT_EQ(RecordText(r.record).bytes, GoodLines());
    } else {
        EXPECT_EQ(std::pair(r.failure->line, r.failure->reason), std::pair(row.line, QString::fromLatin1(row.reason)));
    }
}

QByteArray WithLineEnds(const char* end) { return GoodLines().replace("\r\n", end); }

const char* const kUtf16 = "the file is UTF-16 text; a record is ANSI text";

// Ending in a flow is APipeReadsLikeAFile's.
const ReadRow kReads[] = {
    {"CrOnly", WithLineEnds("\r")},
    {"LfOnly", WithLineEnds("\n")},
    {"CrThenCrLf", WithLineEnds("\r").replace("\r\r\"Record", "\r\r\n\"Record")},
    {"UnclosedQuoteOnTheEmptyLine", GoodLines(3, " \"a,b\",\"c")},
    {"Unterminated", GoodLines().chopped(2)},
    {"LenientNumbers", GoodLines(5, " 1.2E1,+3,.0,50e-1").replace("\n1,0", "\n1e0,0").replace("\n300", "\n3.e2")
                           .replace("\n0,0,2,0", "\n0,0,2.0,0")},
    {"PhaseNumberNotChecked", GoodLines(4, "\"Record Phase: \",7")},
    {"NotesAfterTheLastFlow", GoodLines() + "500\r\nnotes\r\n"},
    // Failures.
    {"Empty", "", 1, "the file ends early"},
    {"EndsBeforeAPhase", GoodLines(3, "", true), 3, "the file ends early"},
    {"HeaderItems", GoodLines(2, "\"Recorded phases\",1"), 2, "expected 3 items, found 2 in the phase count line"},
    {"AMillionCommas", GoodLines(6, QByteArray(1000000, ',')), 6, "expected 4 items, found 1000001"},
    {"MissingEmptyLine", GoodLines(3, "\"Record Phase: \",1"), 3, "an empty line is expected before phase 1"},
    {"HalfInAWholeNumber", GoodLines(7, "0,0,2.5,0"), 7, "item 3 (\"2.5\") is not a whole number from -32768 to 32767"},
    {"WholeNumberOutOf16Bits", GoodLines(9, "6,6,40000,6,6,1"), 9,
     "item 3 (\"40000\") is not a whole number from -32768 to 32767"},
    {"QuotedNumber", GoodLines(5, "\"12\",3,0,5"), 5, "item 1 (\"12\") is not a number"},
    {"EmptyNumber", GoodLines(5, "12,,0,5"), 5, "item 2 (\"\") is not a number"},
    {"InfinityIsNoNumber", GoodLines(10, "inf,0,0,0"), 10, "item 1 (\"inf\") is not a number"},
    {"FloatOverflow", GoodLines(11, "1e39"), 11, "item 1 (\"1e39\") does not fit a 32-bit number"},
    {"BadExponent", GoodLines(11, "1e"), 11, "item 1 (\"1e\") is not a number"},
    {"BeyondEveryDouble", GoodLines(11, "1e999999999999"), 11,
     "item 1 (\"1e999999999999\") does not fit a 32-bit number"},
    {"Utf16WithItsMark", Utf16(GoodLines(), true), 0, kUtf16},
    {"Utf16WithoutAMark", Utf16(GoodLines(), false), 0, kUtf16},
    {"NegativePhaseCount", GoodLines(2, "\"Recorded phases\",-1,20"), 2, "the phase count -1 must be from 0 to 500"},
    {"Phases501", GoodLines(2, "\"Recorded phases\",501,20"), 2, "the phase count 501 must be from 0 to 500"},
    {"Flows101", GoodLines(7, "0,0,101,0"), 7, "phase 1 has 101 flows, at most 100 are allowed"},
    {"UnclosedQuote", GoodLines(1, "\"Stratigraphic file:\",\"a.str"), 1, "a quoted text has no closing quote"},
    {"TextAfterQuote", GoodLines(1, "\"Stratigraphic file:\",\"a\".str"), 1, "unexpected text after a closing quote"},
};

INSTANTIATE_TEST_SUITE_P(Rows, Reading, ::testing::ValuesIn(kReads), tolva::testing::RowName());

// A Single too small for 32 bits reads as its nearest Single, as the lenient
// number reader reads it: a negative underflow, a number below every double,
// and either side of half the smallest Single.
TEST(RecordFile, TinySinglesReadAsTheNearestSingle)
{
    for (const auto& [text, value] :
         {std::pair{"-1e-50", -0.0f}, {"1e-400", 0.0f}, {"7e-46", 0.0f}, {"7.1e-46", Limits::denorm_min()}}) {
        const ReadResult r = ParseRecord(GoodLines(11, text));
        ASSERT_TRUE(r.ok()) << text << ": " << r.failure->text().toStdString();
        EXPECT_TRUE(SameBits(r.record.Phases.durations[1][1], value)) << text;
        EXPECT_TRUE(SameBits(tolva::LeadingNumber(QString::fromLatin1(text)), value)) << text;
    }
}

TEST(RecordFile, AnUnopenableFileFailsAtLineZero)
{
    QTemporaryDir dir;
    const ReadResult missing = ReadRecordFile(dir.filePath(QStringLiteral("missing.rec")));
    ASSERT_FALSE(missing.ok());
    // Folders, devices and sockets are told apart by ReadWhole (its own tests); the reason is passed on as it is.
    EXPECT_EQ(missing.failure->text(), QStringLiteral("the file cannot be opened (No such file or directory)"));
}

TEST(RecordFile, APipeReadsLikeAFile)
{
    struct Case { QByteArray bytes; int times; const char* failure; };
    for (const Case& c : {Case{GoodLines(), 1, ""}, Case{GoodLines(12, "", true), 1, "line 12: the file ends early"},
                          Case{QByteArray(1 << 20, ' '), 17, "the file is too large to be a record"}}) {
        const ReadResult r = ReadThroughFifo(c.bytes, c.times, ReadRecordFile);
        EXPECT_EQ(r.ok() ? QString() : r.failure->text(), QString::fromLatin1(c.failure));
    }
}

// The refusal begins with the message.
struct RefusalRow { const char* name; std::function<void(RecordFile&)> change; const char* message; };

void PrintTo(const RefusalRow& row, std::ostream* os) { *os << row.name; }

class SaveRefusals : public ::testing::TestWithParam<RefusalRow> {};

// A record that could not be read back is refused before anything is written.
TEST_P(SaveRefusals, LeaveTheOldFile)
{
    OldFile f;
    RecordFile r = Sample();
    GetParam().change(r);
    const SaveResult result = SaveRec(r, f.path);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.startsWith(QString::fromUtf8(GetParam().message))) << result.message.toStdString();
    EXPECT_TRUE(f.untouched());
}

const char* const kNameRefusal = "The stratigraphic file name cannot be stored in a record file";

using Change = RecordFile&;
const RefusalRow kRefusals[] = {
    {"NameOutsideTheCodePage", [](Change r) { r.StratigraphicFile = "Stra\u0163a.str"; }, kNameRefusal},
    {"NameWithAQuote", [](Change r) { r.StratigraphicFile = "a\"b.str"; }, kNameRefusal},
    {"NameWithANul", [](Change r) { r.StratigraphicFile = QString::fromLatin1("a\0b.str", 7); }, kNameRefusal},
    {"NaNDuration", [](Change r) { r.Phases.durations[1][100] = Limits::quiet_NaN(); },
     "Phase 1 holds a value that is not a number"},
    {"InfiniteField", [](Change r) { r.Phases.phases[2].Wind = -Limits::infinity(); },
     "Phase 2 holds a value that is not a number"},
    {"Flows101", [](Change r) { r.Phases.phases[3].BurstCount = 101; }, "Phase 3 has more than 100 flows"},
    {"Phases501", [](Change r) { r.Phases.count = 501; }, "A record holds at most 500 phases"},
};

INSTANTIATE_TEST_SUITE_P(Rows, SaveRefusals, ::testing::ValuesIn(kRefusals), tolva::testing::RowName());

// SaveWhole's own tests (SafeSaveTest) go through every kind of target and
// failure, a missing name and a full disk included; here, that its reason
// reaches the record's save error.
TEST(SaveRec, WriteFailuresReportTheSaveError)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.rec"));
    ASSERT_TRUE(MakeFifo(fifo));
    const SaveResult result = SaveRec(Sample(), fifo);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, QStringLiteral("Recorder file save error"));
    EXPECT_EQ(result.detail, QStringLiteral("it is not a regular file"));
}

TEST(SaveRec, AWriteThatFailsHalfwayLeavesTheOldFile)
{
    OldFile f;
    // A file size limit makes the write fail after the first bytes, as a
    // full disk would; it binds the super-user too.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{64, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const SaveResult result = SaveRec(Sample(), f.path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, QStringLiteral("Recorder file save error"));
    EXPECT_FALSE(result.detail.isEmpty());
    EXPECT_TRUE(f.untouched());
}

} // namespace
