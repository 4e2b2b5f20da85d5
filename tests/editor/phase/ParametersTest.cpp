// The parameter tables as the window uses them: what a field does with a
// typed number, the shown formats, and the parameters that depend on a
// phase's choices.
#include "phase/EruptionTypes.h"
#include "phase/Parameters.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tolva::phase;

namespace {

TEST(Parameters, TableIsInTheOrderOfTheEnumeration)
{
    const auto& table = Parameters();
    for (size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(static_cast<size_t>(table[i].param), i) << table[i].name.toStdString();
}

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

// What a field holds, shows and stores after the user typed a number: the
// typing limits in the field's order, whole numbers rounded.
INSTANTIATE_TEST_SUITE_P(
    Rows, FieldEdits,
    ::testing::Values(EditRow{Param::FlowLength, 3, 15, "11", 11}, EditRow{Param::FlowLength, 3, 0, "1", 1},
                      EditRow{Param::FaultDip, 0, -12, "-10", -10}, EditRow{Param::Growth, 1, 2.5, "3", 3},
                      EditRow{Param::Speed, -1, 0, "1", 1}, EditRow{Param::Position3D, 1, 0, "0", 0},
                      EditRow{Param::MassFlux, 1, 0, "1", 1}, EditRow{Param::MassFlux, 1, 12.5, "12.5", 12.5},
                      EditRow{Param::MassFlux, 1, 80, "50", 50}, EditRow{Param::Wind, 1, 12.6, nullptr, 12.6},
                      EditRow{Param::BurstCount, 2, 0, "1", 1}, EditRow{Param::BurstCount, 2, 2.5, nullptr, 2},
                      EditRow{Param::BurstCount, 2, 3.5, nullptr, 4}, EditRow{Param::BurstCount, 2, 500, nullptr, 500},
                      EditRow{Param::BurstCount, 2, 1e6, "32767", 32767},
                      EditRow{Param::BurstCount, 4, 100, nullptr, 100}, EditRow{Param::BurstCount, 3, 250, "100", 100},
                      EditRow{Param::ErosionDuration, 0, -4, "1", 1}),
    tolva::testing::RowName());

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

struct UseRow {
    int type;
    int eventKind;
    Param param;
    bool used;
    std::function<void(PhaseRecord&)> change = [](PhaseRecord&) {};
};

void PrintTo(const UseRow& r, std::ostream* os)
{
    *os << r.type << "/" << r.eventKind << " " << Info(r.param).name.toStdString() << (r.used ? " used" : " unused");
}

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

// The parameters that depend on the phase's own choices.
INSTANTIATE_TEST_SUITE_P(
    Rows, UsedParameters,
    ::testing::Values(UseRow{-1, 0, Param::Speed, true}, UseRow{-1, 0, Param::VentLocation, false},
                      UseRow{0, 1, Param::DownSide, true},
                      UseRow{0, 1, Param::DownSide, false, [](PhaseRecord& p) { p.FaultDip = 2; }},
                      UseRow{0, 0, Param::ErosionDuration, true}, UseRow{0, 0, Param::FaultDip, false},
                      UseRow{1, 0, Param::CalderaStyle, false},
                      UseRow{1, 0, Param::CalderaStyle, true, [](PhaseRecord& p) { p.Caldera = 1; }},
                      UseRow{2, 0, Param::Caldera, true, [](PhaseRecord& p) { p.Strength = 0.29f; }},
                      UseRow{2, 0, Param::Caldera, false, [](PhaseRecord& p) { p.Strength = 0.3f; }},
                      UseRow{7, 0, Param::VentPosition, false},
                      UseRow{7, 0, Param::VentPosition, true, [](PhaseRecord& p) { p.ExplosiveBursts = 1; }}),
    tolva::testing::RowName());

} // namespace
