// The parameter tables as the window uses them: what a field does with a
// typed number, how a stored value reads back, and the shown formats.
#include "phase/EruptionTypes.h"
#include "phase/Parameters.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <iomanip>

using namespace tolva::phase;

namespace {

// A typed number, the text the field rewrites itself to (nullptr: it keeps
// what was typed) and the value stored.
struct EditRow { Param param; int type; double typed; const char* text; double stored; };

void PrintTo(const EditRow& r, std::ostream* os)
{
    // Enough digits that rows a Single apart have names of their own.
    *os << Info(r.param).name.toStdString() << " " << std::setprecision(9) << r.typed;
}

class FieldEdits : public ::testing::TestWithParam<EditRow> {};

TEST_P(FieldEdits, RewriteAndStore)
{
    const EditRow& row = GetParam();
    const FieldEdit edit = EditField(row.param, row.type, row.typed);
    EXPECT_EQ(edit.text.value_or(QStringLiteral("<kept>")),
              row.text ? QString::fromLatin1(row.text) : QStringLiteral("<kept>"));
    // Compared as the phase keeps it: Integers and Singles both fit a float.
    EXPECT_EQ(static_cast<float>(edit.stored), static_cast<float>(row.stored));
}

// What a field holds, shows and stores after the user typed a number: the
// typing limits in the field's order, whole numbers rounded.
INSTANTIATE_TEST_SUITE_P(
    Rows, FieldEdits,
    ::testing::Values(EditRow{Param::FlowLength, 3, 15, "11", 11}, EditRow{Param::FlowLength, 3, 0, "1", 1},
                      EditRow{Param::FaultDip, 0, -12, "-10", -10}, EditRow{Param::Growth, 1, 2.5, "3", 3},
                      EditRow{Param::Speed, -1, 0, "1", 1}, EditRow{Param::Position3D, 1, 0, "0", 0},
                      EditRow{Param::Wind, 1, 12.6, nullptr, 12.6},
                      // The typed number arrives as a Single; the mass flux field shows it in the
                      // shortest form that reads back to the same Single, near its limits too.
                      EditRow{Param::MassFlux, 1, 1.1f, "1.1", 1.1f},
                      EditRow{Param::MassFlux, 1, 0.99999994f, "1", 1},
                      EditRow{Param::MassFlux, 1, 1.00000012f, "1.0000001", 1.00000012f},
                      EditRow{Param::MassFlux, 1, 49.9999962f, "49.999996", 49.9999962f},
                      EditRow{Param::MassFlux, 1, 50.0000038f, "50", 50},
                      EditRow{Param::MassFlux, 1, 12.3456789012f, "12.345679", 12.3456789012f},
                      EditRow{Param::BurstCount, 2, 0, "1", 1}, EditRow{Param::BurstCount, 2, 2.5, nullptr, 2},
                      EditRow{Param::BurstCount, 2, 3.5, nullptr, 4}, EditRow{Param::BurstCount, 2, 1e6, "32767", 32767},
                      EditRow{Param::BurstCount, 4, 100, nullptr, 100}, EditRow{Param::BurstCount, 3, 250, "100", 100}),
    tolva::testing::RowName());

// The value the form stores, what the phase then holds, and the phase's
// field that holds it (none for the flow duration).
struct StoreRow { Param param; double value, readBack; StoredField field; };

void PrintTo(const StoreRow& r, std::ostream* os) { *os << Info(r.param).name.toStdString() << " " << r.value; }

class StoredValues : public ::testing::TestWithParam<StoreRow> {};

// Storing through the parameter changes its own field and nothing else, and
// reads back as the phase keeps it: Singles narrowed, Integers rounded to
// nearest with halves to even and held within 16 bits.
TEST_P(StoredValues, ReachTheirOwnField)
{
    const StoreRow& row = GetParam();
    // Every field its own value, none of them what a row stores.
    PhaseRecord phase{0.5f, 1, 0.75f, -3, 7, 1, 1, 2, 4, 6, 3, 1, 1, 5,
                      -2, 1, 9, 6, 5, 20, 4, 3, 8, 100, 0.25f, -1.5f, 2.5f};
    PhaseRecord expected = phase;
    if (row.field.single)
        expected.*row.field.single = static_cast<float>(row.readBack);
    if (row.field.integer)
        expected.*row.field.integer = static_cast<qint16>(row.readBack);
    SetParamValue(phase, row.param, row.value);
    EXPECT_EQ(phase, expected);
    EXPECT_EQ(ParamValue(phase, row.param), row.readBack);
}

using R = PhaseRecord;

// One row for each way a value is kept.
INSTANTIATE_TEST_SUITE_P(
    EachConversion, StoredValues,
    ::testing::Values(StoreRow{Param::VentLocation, 1.1, 1.1f, &R::VentLocation},
                      StoreRow{Param::BurstCount, 2.5, 2, &R::BurstCount},
                      StoreRow{Param::FaultMagnitude, 3.5, 4, &R::FaultMagnitude},
                      StoreRow{Param::FaultDip, -2.5, -2, &R::FaultDip},
                      StoreRow{Param::Growth, -0.5, 0, &R::Growth},
                      StoreRow{Param::ErosionDuration, 1e6, 32767, &R::ErosionDuration},
                      StoreRow{Param::CraterSize, 32767.4, 32767, &R::CraterSize},
                      StoreRow{Param::Position3D, -40000, -32768, &R::Position3D},
                      StoreRow{Param::FlowDuration, 250, 0, {}}),
    [](const auto& test) { return Info(test.param.param).name.toStdString(); });

TEST(Parameters, ShownFormats)
{
    EXPECT_EQ(FormatShown(12.6, 0), QStringLiteral("13"));
    EXPECT_EQ(FormatShown(0.125, 2), QStringLiteral("0.13"));
    EXPECT_EQ(FormatShown(-0.001, 2), QStringLiteral("0.00"));
}

} // namespace
