// The parameter tables as the window uses them: typing limits in their order,
// which type uses which parameter, and the shown formats.
#include "EruptionTypes.h"
#include "Parameters.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tolva::phase;

namespace {

TEST(Parameters, TableIsInTheOrderOfTheEnumeration)
{
    const auto& table = Parameters();
    for (size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(static_cast<size_t>(table[i].param), i) << table[i].name.toStdString();
    EXPECT_EQ(Info(Param::FlowLength).control, QStringLiteral("txtSlide1"));
    EXPECT_EQ(Info(Param::FaultDip).toolTip, QStringLiteral("Edit the dip direction (+/-) and slope (0 = vertical)"));
}

struct TypingRow {
    Param param;
    int type;
    double typed;
    double held;
};

void PrintTo(const TypingRow& r, std::ostream* os) { *os << Info(r.param).name.toStdString() << " " << r.typed; }

class TypingLimitRows : public ::testing::TestWithParam<TypingRow> {};

TEST_P(TypingLimitRows, FieldHoldsItsLimits)
{
    const TypingRow& row = GetParam();
    EXPECT_DOUBLE_EQ(LimitTyped(row.param, row.type, row.typed), row.held);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TypingLimitRows,
    ::testing::Values(TypingRow{Param::FlowLength, 1, 15, 11}, TypingRow{Param::FlowLength, 1, 0, 1},
                      TypingRow{Param::FaultDip, 0, -12, -10}, TypingRow{Param::MassFlux, 1, 0, 1},
                      TypingRow{Param::MassFlux, 1, 12.5, 12.5}, TypingRow{Param::MassFlux, 1, 80, 50},
                      TypingRow{Param::Position3D, 1, 0, 0}, TypingRow{Param::Speed, -1, 0, 1},
                      TypingRow{Param::BurstCount, 2, -3, 1}, TypingRow{Param::BurstCount, 2, 500, 500},
                      TypingRow{Param::BurstCount, 3, 101, 100}, TypingRow{Param::BurstCount, 4, 100, 100},
                      TypingRow{Param::BurstCount, 2, 1e6, 32767}, TypingRow{Param::Wind, 1, 12.6, 12.6}));

struct EditRow {
    Param param;
    int type;
    double typed;
    const char* text;  // nullptr: the field keeps what was typed
    double stored;
};

void PrintTo(const EditRow& r, std::ostream* os) { *os << Info(r.param).name.toStdString() << " " << r.typed; }

class FieldEdits : public ::testing::TestWithParam<EditRow> {};

TEST_P(FieldEdits, RewriteAndStore)
{
    const EditRow& row = GetParam();
    const FieldEdit edit = EditField(row.param, row.type, row.typed);
    if (row.text) {
        ASSERT_TRUE(edit.text);
        EXPECT_EQ(*edit.text, QString::fromLatin1(row.text));
    } else {
        EXPECT_FALSE(edit.text) << edit.text->toStdString();
    }
    EXPECT_DOUBLE_EQ(edit.stored, row.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FieldEdits,
    ::testing::Values(EditRow{Param::FlowLength, 3, 15, "11", 11}, EditRow{Param::FlowLength, 3, 0, "1", 1},
                      EditRow{Param::FaultDip, 0, -12, "-10", -10}, EditRow{Param::Growth, 1, 2.5, "3", 3},
                      EditRow{Param::MassFlux, 1, 0, "1", 1}, EditRow{Param::MassFlux, 1, 12.5, "12.5", 12.5},
                      EditRow{Param::MassFlux, 1, 80, "50", 50}, EditRow{Param::Position3D, 1, 0, "0", 0},
                      EditRow{Param::BurstCount, 2, 0, "1", 1}, EditRow{Param::BurstCount, 2, 2.5, nullptr, 2},
                      EditRow{Param::BurstCount, 2, 3.5, nullptr, 4}, EditRow{Param::BurstCount, 3, 250, "100", 100},
                      EditRow{Param::ErosionDuration, 0, -4, "1", 1}, EditRow{Param::Wind, 1, 12.6, nullptr, 12.6}));

TEST(Parameters, RoundingOfWholeNumbers)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(1e9), 32767);
    EXPECT_EQ(FormatShown(12.6, 0), QStringLiteral("13"));
    EXPECT_EQ(FormatShown(0.125, 2), QStringLiteral("0.13"));
    EXPECT_EQ(FormatShown(-0.001, 2), QStringLiteral("0.00"));
    EXPECT_EQ(FormatShown(1234.56, 1), QStringLiteral("1234.6"));
}

TEST(Parameters, ScaleConversion)
{
    EXPECT_DOUBLE_EQ(Pixel(1, NormalScale), 50);
    EXPECT_DOUBLE_EQ(Pixel(0.2, SmallScale), 50);
    EXPECT_DOUBLE_EQ(Pixel(123, LargeScale), 1230);
    EXPECT_DOUBLE_EQ(Pixel(1, 0), 50); // no scale reads as Normal
}

struct UseRow {
    int type;
    int eventKind;
    Param param;
    bool used;
    std::function<void(PhaseRecord&)> change = [](PhaseRecord&) {};
};

void PrintTo(const UseRow& r, std::ostream* os) { *os << r.type << "/" << r.eventKind << " " << Info(r.param).name.toStdString(); }

class UsedParameters : public ::testing::TestWithParam<UseRow> {};

TEST_P(UsedParameters, ByTypeAndChoice)
{
    const UseRow& row = GetParam();
    PhaseRecord p = NewPhase();
    p.EruptionType = static_cast<qint16>(row.type);
    p.EventKind = static_cast<qint16>(row.eventKind);
    row.change(p);
    EXPECT_EQ(UsesParameter(p, row.param), row.used);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UsedParameters,
    ::testing::Values(UseRow{-1, 0, Param::Speed, true}, UseRow{0, 0, Param::ErosionDuration, true},
                      UseRow{0, 1, Param::DownSide, true}, UseRow{0, 1, Param::DownSide, false,
                                                                  [](PhaseRecord& p) { p.FaultDip = 2; }},
                      UseRow{1, 0, Param::CalderaStyle, false},
                      UseRow{1, 0, Param::CalderaStyle, true, [](PhaseRecord& p) { p.Caldera = 1; }},
                      UseRow{2, 0, Param::Caldera, true, [](PhaseRecord& p) { p.Strength = 0.29f; }},
                      UseRow{2, 0, Param::Caldera, false, [](PhaseRecord& p) { p.Strength = 0.3f; }},
                      UseRow{3, 0, Param::FlowDurations, true}, UseRow{4, 0, Param::Strength, false},
                      UseRow{6, 0, Param::VentLocation, false}, UseRow{6, 0, Param::ScarpBase, true},
                      UseRow{7, 0, Param::VentPosition, false},
                      UseRow{7, 0, Param::VentPosition, true, [](PhaseRecord& p) { p.ExplosiveBursts = 1; }}));

} // namespace
