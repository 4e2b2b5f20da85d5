// The page layout of the print window: the placement of the picture on a
// US Letter page with a quarter inch unprintable on every side (printable
// 11520 x 15120 twips), the preview's geometry, the window's size rules and
// the spinners.
#include "viewer/print/PageLayout.h"

#include "support/FakePlatform.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace tolva::print {

void PrintTo(const PlotLayout& p, std::ostream* os)
{
    *os << p.plotLeft << ',' << p.plotTop << ' ' << p.plotWidth << 'x' << p.plotHeight << " scale "
        << p.scale.toStdString() << (p.scaleEnabled ? "" : " (off)") << " left " << p.left.toStdString()
        << (p.leftEnabled ? "" : " (off)") << " top " << p.top.toStdString() << (p.topEnabled ? "" : " (off)");
}

} // namespace tolva::print

using namespace tolva::print;

namespace {

PageValues Letter(int orientation = 1)
{
    tolva::testing::ScriptedPrinter printer; // US Letter by default
    printer.orient = orientation;
    return ReadPage(printer);
}

struct LayoutRow { const char* name; LayoutInput in; PlotLayout expected; };
void PrintTo(const LayoutRow& row, std::ostream* os) { *os << row.name; }

// Each row: the page, the picture's size, the scale and margin boxes, Fit and
// Center; then the plot and what the boxes show (and whether they are enabled).
const LayoutRow kLayoutRows[] = {
    {"EmptyMarginsBecomeTheOffsets", {Letter(), {450, 450}, "100", "", ""}, {0, 0, 11520, 11520, "100", "0.25", "0.25"}},
    {"LargeLeftMarginCutBackToPageLessOneInchThenToFit", {Letter(), {450, 450}, "50", "20", "1"},
     {5760, 1080, 5760, 5760, "50", "4.25", "1.00"}},
    {"LandscapeLeftMarginLimitIsTheLongSide", {Letter(2), {450, 450}, "50", "12", "0.25"},
     {9360, 0, 5760, 5760, "50", "6.75", "0.25"}},
    {"CentredDisablesBothMargins", {Letter(), {450, 450}, "50", "3", "3", false, true},
     {2880, 4680, 5760, 5760, "50", "2.25", "3.50", true, false, false}},
    {"FitWidthLimitedSpansPrintableWidth", {Letter(), {600, 300}, "37", "4", "1", true, false},
     {0, 1080, 11520, 5760, "100", "0.25", "1.00", false, false, true}},
    {"FitHeightLimitedCentred", {Letter(), {300, 500}, "37", "4", "1", true, true},
     {1224, 0, 9072, 15120, "100", "1.10", "0.25", false, false, false}},
    {"FitHeightLimitedUsesLeftMargin", {Letter(), {300, 500}, "37", "1.25", "5", true, false},
     {1440, 0, 9072, 15120, "100", "1.25", "0.25", false, true, false}},
    {"Scale250WidthLimitedClippedToPrintableWidth", {Letter(), {450, 450}, "250", "0.25", "0.25"},
     {0, 0, 11520, 11520, "100", "0.25", "0.25"}},
    {"Scale250HeightLimitedClippedToPrintableHeight", {Letter(), {300, 500}, "250", "0.25", "0.25"},
     {0, 0, 9072, 15120, "100", "0.25", "0.25"}},
    {"ScaleBelowTenRaisedToTen", {Letter(), {450, 450}, "0", "0.25", "0.25"}, {0, 0, 1152, 1152, "10", "0.25", "0.25"}},
    // 1267 twips wide: the centred corner lies at 5126.5 and 6926.5.
    {"CentringRoundsHalvesToEven", {Letter(), {450, 450}, "11", "0.25", "0.25", false, true},
     {5126, 6926, 1267, 1267, "11", "3.81", "5.06", true, false, false}},
};

class PrintScaleRows : public ::testing::TestWithParam<LayoutRow> {};

TEST_P(PrintScaleRows, PlacesThePictureAndRewritesTheBoxes) { EXPECT_EQ(PrintScale(GetParam().in), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Rows, PrintScaleRows, ::testing::ValuesIn(kLayoutRows), tolva::testing::RowName());

TEST(PrintScale, PictureWithoutSizeKeepsThePlacement)
{
    const PlotLayout before{100, 200, 300, 400, "50", "1.00", "1.00"};
    EXPECT_EQ(PrintScale({Letter(), QSize(0, 0), "50", "1.00", "1.00"}, before), before);
}

// The small rules, each row one call and what it gives, written out.
std::string Text(int v) { return std::to_string(v); }
std::string Text(const QString& v) { return v.toStdString(); }
std::string Text(QSize v) { return Text(v.width()) + 'x' + Text(v.height()); }
std::string Text(QPoint v) { return Text(v.x()) + ',' + Text(v.y()); }
std::string Text(const QRect& v) { return Text(v.topLeft()) + ' ' + Text(v.size()); }

struct RuleRow { const char* name; std::function<std::string()> got; const char* expected; };
void PrintTo(const RuleRow& row, std::ostream* os) { *os << row.name; }

// Margins are checked from the offset (0.25) to the paper less the offset (8.25).
std::string Margin(const char* text) { return Text(CheckMargin(QString::fromLatin1(text), 0.25, 8.25)); }

const RuleRow kRuleRows[] = {
    {"WholeHalfDownToEven", [] { return Text(whole(2.5)); }, "2"},
    {"WholeHalfUpToEven", [] { return Text(whole(3.5)); }, "4"},
    {"WholeNegativeHalfToEven", [] { return Text(whole(-2.5)); }, "-2"},
    {"WholeJustBelowHalf", [] { return Text(whole(1.4999)); }, "1"},
    {"WholeJustAboveHalf", [] { return Text(whole(0.5001)); }, "1"},
    {"WholeBeyondRangeSaturates", [] { return Text(whole(1e12)); }, "2147483647"},
    {"MarginEmptyBecomesOffset", [] { return Margin(""); }, "0.25"},
    {"MarginBelowOffset", [] { return Margin("0.24"); }, "0.25"},
    {"MarginAtOffsetKept", [] { return Margin("0.25"); }, "0.25"},
    {"MarginAtUpperKept", [] { return Margin("8.25"); }, "8.25"},
    {"MarginHairAboveUpper", [] { return Margin("8.251"); }, "8.25"},
    {"MarginLeadingNumberKeptAsTyped", [] { return Margin("3.5in"); }, "3.5in"},
    {"PreviewPagePortrait", [] { return Text(PreviewPage(1, 2475, Letter(1))); }, "359,80 1757x2275"},
    {"PreviewPageLandscape", [] { return Text(PreviewPage(2, 2475, Letter(2))); }, "80,359 2275x1757"},
    // A 1224 x 1584 preview is a tenth of the sheet: one inch is 144.
    {"PreviewPicturePlacedByTheMargins",
     [] { return Text(PreviewPicture(QSize(1224, 1584), 1.0, 2.0, Letter(), 5760, 2880)); }, "144,288 576x288"},
    {"WindowPlotAtScreenSize", [] { return Text(WindowPlot(QSize(400, 300), Letter())); }, "0,0 6000x4500"},
    {"WindowPlotShrunkToFit", [] { return Text(WindowPlot(QSize(1536, 768), Letter())); }, "0,0 11520x5760"},
    {"WindowHairBelowMinimum", [] { return Text(PlotWindowSize(6059)); }, "6060x3630"},
    {"WindowAtMinimum", [] { return Text(PlotWindowSize(6060)); }, "6060x3630"},
    {"WindowHairAboveMinimum", [] { return Text(PlotWindowSize(6061)); }, "6061x3631"},
    {"WindowCentredOnTheHost", [] { return Text(CentredOn(QRect(100, 50, 800, 600), QSize(404, 242))); }, "298,229"},
    {"PreviewFrameOfTheNarrowestWindow", [] { return Text(PreviewFrameSide(6060)); }, "2475"},
    {"ScaleUpArrowAddsOne", [] { return Text(StepScale("100", -1)); }, "101"},
    {"ScaleElevenDownToTen", [] { return Text(StepScale("11", 1)); }, "10"},
    {"ScaleNeverBelowTen", [] { return Text(StepScale("10", 1)); }, "10"},
    {"ScaleFromTextThatIsNoNumber", [] { return Text(StepScale("abc", -1)); }, "10"},
    {"MarginUpArrowAddsHundredth", [] { return Text(StepMargin("0.25", -1)); }, "0.26"},
};

class RuleRows : public ::testing::TestWithParam<RuleRow> {};
TEST_P(RuleRows, GivesTheValue) { EXPECT_EQ(GetParam().got(), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Rows, RuleRows, ::testing::ValuesIn(kRuleRows), tolva::testing::RowName());

} // namespace
