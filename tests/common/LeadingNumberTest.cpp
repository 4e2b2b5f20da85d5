#include "common/LeadingNumber.h"

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

// Exact: apart from the two-roundings rows no text lies near the midpoint of
// two floats, so the expected literal rounds as the reader does.
TEST(LeadingNumber, ReadsTheLongestLeadingNumber)
{
    const std::pair<const char16_t*, float> rows[] = {
        // The decimal grammar's landmarks, and characters it does not use
        // (other digits, words that other readers take for numbers); the
        // reference test below reads random texts of these characters too.
        {u"", 0.0f}, {u"7x", 7.0f}, {u"+5", 5.0f}, {u"5.", 5.0f}, {u"-.5", -0.5f}, {u"1.5.3", 1.5f}, {u"+-5", 0.0f},
        {u"- 5", 0.0f}, {u"2e+x", 2.0f}, {u"1E3", 1000.0f}, {u"  -.5e-3x", -0.0005f}, {u"1e5.3", 100000.0f},
        {u"1d5", 1.0f}, {u"\t7", 7.0f}, {u"1 2", 1.0f}, {u"\n7", 0.0f}, {u"1,5", 1.0f}, {u"inf", 0.0f}, {u"nan", 0.0f},
        {u"0x1F", 0.0f}, {u"\u0661\u0662", 0.0f}, {u"\uff17", 0.0f},
        // Two roundings, to a double first, then to a float: a text a hair
        // above the midpoint of 1 and the next float becomes that midpoint as
        // a double, which then rounds to the even float 1, not up as a direct
        // reading would.
        {u"1.0000000596046447753906250001", 1.0f}, {u"1.0000000596046451", 1.00000011920928955078125f},
        // Hexadecimal: eight significant digits at most, leading zeros free,
        // read as a signed 32-bit number.
        {u"&H00FFFFFF&", 16777215.0f}, {u"&hff& m", 255.0f}, {u"&HFFFFFFFF", -1.0f}, {u"&H80000000", -2147483648.0f},
        {u"&H7FFFFFFF", 2147483647.0f}, {u"&H123456789", float(0x12345678)}, {u"&H00000000FFFFFFFF&", -1.0f},
        {u"-&HFF", 0.0f}, {u"&O17", 0.0f},
        // Beyond the float range reads as the largest float of its sign; too
        // small for a float reads as 0 (subnormals stay).
        {u"3.4028235e38", kMax}, {u"1e39", kMax}, {u"-1e39", -kMax}, {u"1e-40", 1e-40f}, {u"1e-50", 0.0f},
        {u"1e99999999999999999999", kMax}, {u"1e-99999999999999999999", 0.0f},
    };
    for (const auto& [text, expected] : rows) {
        const QString typed = QString::fromUtf16(text);
        EXPECT_EQ(LeadingNumber(typed), expected) << '"' << typed.toStdString() << '"';
    }
}

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
