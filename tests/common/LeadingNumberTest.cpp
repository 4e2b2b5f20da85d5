#include "common/LeadingNumber.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QRegularExpression>
#include <QString>

#include <cmath>
#include <limits>
#include <random>

using namespace tolva;

namespace {

constexpr float kMax = std::numeric_limits<float>::max();

struct Row {
    const char16_t* text;
    float expected;
};

void PrintTo(const Row& row, std::ostream* os) { *os << QString::fromUtf16(row.text).toStdString(); }

class LeadingNumberRows : public ::testing::TestWithParam<Row> {};

TEST_P(LeadingNumberRows, ReadsTheLongestLeadingNumber)
{
    const Row& row = GetParam();
    // Exact: apart from the TwoRoundings rows no text lies near the midpoint
    // of two floats, so the expected literal rounds as the reader does.
    const QString text = QString::fromUtf16(row.text);
    EXPECT_EQ(LeadingNumber(text), row.expected) << '"' << text.toStdString() << '"';
}

// The reference test below reads random texts of these characters too; these
// rows are the grammar's landmarks, and characters it does not use (other
// digits, words that other readers take for numbers).
INSTANTIATE_TEST_SUITE_P(Decimal, LeadingNumberRows, ::testing::Values(
    Row{u"", 0.0f}, Row{u"7x", 7.0f}, Row{u"+5", 5.0f}, Row{u"5.", 5.0f}, Row{u"-.5", -0.5f}, Row{u"1.5.3", 1.5f},
    Row{u"+-5", 0.0f}, Row{u"- 5", 0.0f}, Row{u"2e+x", 2.0f}, Row{u"1E3", 1000.0f}, Row{u"  -.5e-3x", -0.0005f},
    Row{u"1e5.3", 100000.0f}, Row{u"1d5", 1.0f}, Row{u"\t7", 7.0f}, Row{u"1 2", 1.0f}, Row{u"\n7", 0.0f}, Row{u"1,5", 1.0f},
    Row{u"inf", 0.0f}, Row{u"nan", 0.0f}, Row{u"0x1F", 0.0f}, Row{u"\u0661\u0662", 0.0f}, Row{u"\uff17", 0.0f}),
    tolva::testing::RowName());

// Read as a double first, then as a float: a text a hair above the midpoint of
// 1 and the next float becomes that midpoint as a double, which then rounds to
// the even float 1, not up as a direct reading would.
INSTANTIATE_TEST_SUITE_P(TwoRoundings, LeadingNumberRows, ::testing::Values(
    Row{u"1.0000000596046447753906250001", 1.0f},
    Row{u"1.0000000596046451", 1.00000011920928955078125f}),
    tolva::testing::RowName());

// Eight significant digits at most, leading zeros free, read as a signed 32-bit number.
INSTANTIATE_TEST_SUITE_P(Hexadecimal, LeadingNumberRows, ::testing::Values(
    Row{u"&H00FFFFFF&", 16777215.0f}, Row{u"&hff& m", 255.0f}, Row{u"&HFFFFFFFF", -1.0f},
    Row{u"&H80000000", -2147483648.0f}, Row{u"&H7FFFFFFF", 2147483647.0f}, Row{u"&H123456789", float(0x12345678)},
    Row{u"&H00000000FFFFFFFF&", -1.0f}, Row{u"-&HFF", 0.0f}, Row{u"&O17", 0.0f}),
    tolva::testing::RowName());

// Beyond the float range reads as the largest float of its sign; too small
// for a float reads as 0 (subnormals stay).
INSTANTIATE_TEST_SUITE_P(Range, LeadingNumberRows, ::testing::Values(
    Row{u"3.4028235e38", kMax}, Row{u"1e39", kMax}, Row{u"-1e39", -kMax}, Row{u"1e-40", 1e-40f}, Row{u"1e-50", 0.0f},
    Row{u"1e99999999999999999999", kMax}, Row{u"1e-99999999999999999999", 0.0f}),
    tolva::testing::RowName());

TEST(LeadingNumber, APastedMegabyteIsReadInOnePass)
{
    const qsizetype mb = 1 << 20;
    EXPECT_EQ(LeadingNumber(QString(mb, QChar(u'9'))), kMax);
    EXPECT_EQ(LeadingNumber(QString(mb, u' ') + QStringLiteral("5x")), 5.0f);
    EXPECT_EQ(LeadingNumber(QString::fromUtf16(u"1.") + QString(mb, u'0') + QStringLiteral("1")), 1.0f);
    EXPECT_EQ(LeadingNumber(QString::fromUtf16(u"1e-") + QString(mb, QChar(u'9'))), 0.0f);
    EXPECT_EQ(LeadingNumber(QString::fromUtf16(u"&H") + QString(mb, u'F')), -1.0f);
}

// A slow, obviously right reading of the rule: try every prefix, keep the
// longest that is a whole number by the grammar, and convert that with Qt's
// own C-locale reader. Random texts over an alphabet of number characters
// must read the same both ways.
float referenceLeadingNumber(const QString& text)
{
    static const QRegularExpression decimal(
        QStringLiteral("^[ \\t]*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?[ \\t]*$"));
    static const QRegularExpression hex(QStringLiteral("^[ \\t]*&[Hh]0*([0-9A-Fa-f]{1,8})&?[ \\t]*$"));
    for (qsizetype n = text.size(); n > 0; --n) {
        const QString prefix = text.left(n);
        if (const auto m = hex.match(prefix); m.hasMatch())
            return float(qint32(m.captured(1).toUInt(nullptr, 16)));
        if (decimal.match(prefix).hasMatch()) {
            bool ok = false;
            const double value = QLocale::c().toDouble(prefix.trimmed(), &ok);
            if (!ok)  // beyond even a double: the Range rows cover these
                return std::numeric_limits<float>::quiet_NaN();
            if (std::abs(value) > std::numeric_limits<float>::max())
                return std::copysign(kMax, value);
            return float(value);
        }
    }
    return 0.0f;
}

TEST(LeadingNumber, AgreesWithTryingEveryPrefix)
{
    const QString alphabet = QStringLiteral(" \t+-.eE0123456789&HhFx,00");
    std::mt19937 random(20261207);
    for (int round = 0; round < 50000; ++round) {
        QString text;
        const int length = int(random() % 13);
        for (int i = 0; i < length; ++i)
            text += alphabet[qsizetype(random() % alphabet.size())];
        const float expected = referenceLeadingNumber(text);
        if (std::isnan(expected))
            continue;
        const float actual = LeadingNumber(text);
        ASSERT_EQ(actual, expected) << '"' << text.toStdString() << '"';
    }
}

} // namespace
