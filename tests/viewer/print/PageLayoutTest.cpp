// The page layout of the print window: the placement of the picture on a
// US Letter page with a quarter inch unprintable on every side (printable
// 11520 x 15120 twips), the preview's geometry, the window's size rules and
// the spinners.
#include "viewer/print/PageLayout.h"

#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

using namespace tolva::print;

namespace {

PageValues Letter(int orientation = 1)
{
    PageValues page;
    page.deviceName = QStringLiteral("Scripted Printer");
    page.pageWidth = orientation == 2 ? 15840 : 12240;
    page.pageHeight = orientation == 2 ? 12240 : 15840;
    page.offsetLeft = page.offsetTop = 360;
    page.printableWidth = page.pageWidth - 720;
    page.printableHeight = page.pageHeight - 720;
    page.orientation = orientation;
    return page;
}

struct LayoutRow {
    const char* name;
    int orientation;
    QSize picture;
    const char* scale;
    const char* left;
    const char* top;
    bool fit;
    bool center;
    PlotLayout expected;
};

void PrintTo(const LayoutRow& row, std::ostream* os) { *os << row.name; }

PlotLayout Plot(int l, int t, int w, int h, const char* scale, const char* left, const char* top,
                bool scaleOn, bool leftOn, bool topOn)
{
    return {l, t, w, h, QString::fromLatin1(scale), QString::fromLatin1(left), QString::fromLatin1(top),
            scaleOn, leftOn, topOn};
}

const LayoutRow kLayoutRows[] = {
    {"EmptyMarginsBecomeTheOffsets", 1, {450, 450}, "100", "", "", false, false,
     Plot(0, 0, 11520, 11520, "100", "0.25", "0.25", true, true, true)},
    {"MarginBelowOffsetRaised", 1, {450, 450}, "50", "0.1", "-3", false, false,
     Plot(0, 0, 5760, 5760, "50", "0.25", "0.25", true, true, true)},
    {"LargeLeftMarginCutBackToPageLessOneInchThenToFit", 1, {450, 450}, "50", "20", "1", false, false,
     Plot(5760, 1080, 5760, 5760, "50", "4.25", "1.00", true, true, true)},
    {"LandscapeLeftMarginLimitIsTheLongSide", 2, {450, 450}, "50", "12", "0.25", false, false,
     Plot(9360, 0, 5760, 5760, "50", "6.75", "0.25", true, true, true)},
    {"CentredDisablesBothMargins", 1, {450, 450}, "50", "3", "3", false, true,
     Plot(2880, 4680, 5760, 5760, "50", "2.25", "3.50", true, false, false)},
    {"FitWidthLimitedSpansPrintableWidth", 1, {600, 300}, "37", "4", "1", true, false,
     Plot(0, 1080, 11520, 5760, "100", "0.25", "1.00", false, false, true)},
    {"FitHeightLimitedCentred", 1, {300, 500}, "37", "4", "1", true, true,
     Plot(1224, 0, 9072, 15120, "100", "1.10", "0.25", false, false, false)},
    {"FitHeightLimitedUsesLeftMargin", 1, {300, 500}, "37", "1.25", "5", true, false,
     Plot(1440, 0, 9072, 15120, "100", "1.25", "0.25", false, true, false)},
    {"Scale250WidthLimitedClippedToPrintableWidth", 1, {450, 450}, "250", "0.25", "0.25", false, false,
     Plot(0, 0, 11520, 11520, "100", "0.25", "0.25", true, true, true)},
    {"Scale250HeightLimitedClippedToPrintableHeight", 1, {300, 500}, "250", "0.25", "0.25", false, false,
     Plot(0, 0, 9072, 15120, "100", "0.25", "0.25", true, true, true)},
    {"ScaleBelowTenRaisedToTen", 1, {450, 450}, "0", "0.25", "0.25", false, false,
     Plot(0, 0, 1152, 1152, "10", "0.25", "0.25", true, true, true)},
    {"ScaleNotANumberRaisedToTen", 1, {450, 450}, "abc", "0.25", "0.25", false, false,
     Plot(0, 0, 1152, 1152, "10", "0.25", "0.25", true, true, true)},
    // 1267 twips wide: the centred corner lies at 5126.5 and 6926.5.
    {"CentringRoundsHalvesToEven", 1, {450, 450}, "11", "0.25", "0.25", false, true,
     Plot(5126, 6926, 1267, 1267, "11", "3.81", "5.06", true, false, false)},
};

class PrintScaleRows : public ::testing::TestWithParam<LayoutRow> {};

TEST_P(PrintScaleRows, PlacesThePictureAndRewritesTheBoxes)
{
    const LayoutRow& row = GetParam();
    LayoutInput in{Letter(row.orientation), row.picture, QString::fromLatin1(row.scale),
                   QString::fromLatin1(row.left), QString::fromLatin1(row.top), row.fit, row.center};
    const PlotLayout got = PrintScale(in);
    EXPECT_EQ(got.plotLeft, row.expected.plotLeft);
    EXPECT_EQ(got.plotTop, row.expected.plotTop);
    EXPECT_EQ(got.plotWidth, row.expected.plotWidth);
    EXPECT_EQ(got.plotHeight, row.expected.plotHeight);
    EXPECT_EQ(got.scale.toStdString(), row.expected.scale.toStdString());
    EXPECT_EQ(got.left.toStdString(), row.expected.left.toStdString());
    EXPECT_EQ(got.top.toStdString(), row.expected.top.toStdString());
    EXPECT_EQ(got.scaleEnabled, row.expected.scaleEnabled);
    EXPECT_EQ(got.leftEnabled, row.expected.leftEnabled);
    EXPECT_EQ(got.topEnabled, row.expected.topEnabled);
}

INSTANTIATE_TEST_SUITE_P(Rows, PrintScaleRows, ::testing::ValuesIn(kLayoutRows), tolva::testing::RowName());

TEST(PrintScale, PictureWithoutSizeKeepsThePlacement)
{
    const PlotLayout before = Plot(100, 200, 300, 400, "50", "1.00", "1.00", true, true, true);
    const PlotLayout got = PrintScale({Letter(), QSize(0, 0), "50", "1.00", "1.00", false, false}, before);
    EXPECT_EQ(got, before);
}

struct WholeRow {
    const char* name;
    double value;
    int expected;
};
void PrintTo(const WholeRow& row, std::ostream* os) { *os << row.name; }

const WholeRow kWholeRows[] = {
    {"HalfDownToEven", 2.5, 2}, {"HalfUpToEven", 3.5, 4}, {"NegativeHalfToEven", -2.5, -2},
    {"JustBelowHalf", 1.4999, 1}, {"JustAboveHalf", 0.5001, 1}, {"BeyondRangeSaturates", 1e12, INT_MAX},
};

class WholeRows : public ::testing::TestWithParam<WholeRow> {};
TEST_P(WholeRows, NearestWithHalvesToEven) { EXPECT_EQ(whole(GetParam().value), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Rows, WholeRows, ::testing::ValuesIn(kWholeRows), tolva::testing::RowName());

struct MarginRow {
    const char* name;
    const char* text;
    const char* expected;
};
void PrintTo(const MarginRow& row, std::ostream* os) { *os << row.name; }

// The check of the page set-up: from the offset (0.25) to the paper less the offset (8.25).
const MarginRow kMarginRows[] = {
    {"EmptyBecomesOffset", "", "0.25"}, {"BelowOffset", "0.24", "0.25"}, {"AtOffsetKept", "0.25", "0.25"},
    {"AtUpperKept", "8.25", "8.25"}, {"HairAboveUpper", "8.251", "8.25"}, {"TextReadsAsZero", "abc", "0.25"},
    {"LeadingNumberKeptAsTyped", "3.5in", "3.5in"},
};

class MarginRows : public ::testing::TestWithParam<MarginRow> {};
TEST_P(MarginRows, CheckedAgainstOffsetAndPaper)
{
    EXPECT_EQ(CheckMargin(QString::fromLatin1(GetParam().text), 0.25, 8.25).toStdString(), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Rows, MarginRows, ::testing::ValuesIn(kMarginRows), tolva::testing::RowName());

TEST(PreviewPage, PortraitAndLandscapeInTheSquareFrame)
{
    EXPECT_EQ(PreviewPage(1, 2475, Letter(1)), QRect(359, 80, 1757, 2275));
    EXPECT_EQ(PreviewPage(2, 2475, Letter(2)), QRect(80, 359, 2275, 1757));
}

TEST(PreviewPicture, PlacedByTheMarginsOnTheWholeSheet)
{
    // A 1224 x 1584 preview is a tenth of the sheet: one inch is 144.
    EXPECT_EQ(PreviewPicture(QSize(1224, 1584), 1.0, 2.0, Letter(), 5760, 2880), QRect(144, 288, 576, 288));
}

TEST(WindowPlot, WindowAtScreenSizeShrunkOnlyToFit)
{
    EXPECT_EQ(WindowPlot(QSize(400, 300), Letter()), QRect(0, 0, 6000, 4500));
    EXPECT_EQ(WindowPlot(QSize(1536, 768), Letter()), QRect(0, 0, 11520, 5760));
}

struct SizeRow {
    const char* name;
    int width;
    QSize expected;
};
void PrintTo(const SizeRow& row, std::ostream* os) { *os << row.name; }

const SizeRow kSizeRows[] = {
    {"NarrowSnapsTo6060", 3000, {6060, 3630}}, {"HairBelowMinimum", 6059, {6060, 3630}},
    {"AtMinimum", 6060, {6060, 3630}}, {"HairAboveMinimum", 6061, {6061, 3631}}, {"Wide", 9000, {9000, 6570}},
};

class WindowSizeRows : public ::testing::TestWithParam<SizeRow> {};
TEST_P(WindowSizeRows, AtLeast6060WideAnd2430LessHigh)
{
    EXPECT_EQ(PlotWindowSize(GetParam().width), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Rows, WindowSizeRows, ::testing::ValuesIn(kSizeRows), tolva::testing::RowName());

TEST(WindowPlacement, CentredOnTheHost)
{
    EXPECT_EQ(CentredOn(QRect(100, 50, 800, 600), QSize(404, 242)), QPoint(298, 229));
    EXPECT_EQ(PreviewFrameSide(6060), 2475);
}

struct StepRow {
    const char* name;
    bool margin;
    const char* text;
    int spinner;
    const char* expected;
};
void PrintTo(const StepRow& row, std::ostream* os) { *os << row.name; }

const StepRow kStepRows[] = {
    {"ScaleUpArrowAddsOne", false, "100", -1, "101"}, {"ScaleDownArrowTakesOne", false, "100", 1, "99"},
    {"ScaleElevenDownToTen", false, "11", 1, "10"}, {"ScaleNeverBelowTen", false, "10", 1, "10"},
    {"ScaleFromTextThatIsNoNumber", false, "abc", -1, "10"},
    {"MarginUpAddsHundredth", true, "0.25", -1, "0.26"}, {"MarginDownTakesHundredth", true, "0.25", 1, "0.24"},
};

class SpinnerRows : public ::testing::TestWithParam<StepRow> {};
TEST_P(SpinnerRows, OneClick)
{
    const StepRow& row = GetParam();
    const QString text = QString::fromLatin1(row.text);
    const QString got = row.margin ? StepMargin(text, row.spinner) : StepScale(text, row.spinner);
    EXPECT_EQ(got.toStdString(), row.expected);
}
INSTANTIATE_TEST_SUITE_P(Rows, SpinnerRows, ::testing::ValuesIn(kStepRows), tolva::testing::RowName());

} // namespace
