#pragma once
// The page layout of the print window: where the captured picture lands on
// the printed page, the preview's geometry and the window's size rules. All
// lengths are twips (1440 to the inch, 15 to a pixel at 96 dpi) unless a name
// says inches. Plain functions and values: the form only reads its controls,
// calls these and writes the controls back.

#include "common/Platform.h"

#include <QRect>
#include <QSize>
#include <QString>

namespace tolva::print {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPixel = 15;

// The nearest whole number, a half going to the even neighbour (2.5 -> 2).
int whole(double value);

// Margins are shown in inches with two decimals, the scale in whole percent.
QString FormatInches(double inches);
QString FormatPercent(double percent);

// The printer's page as the layout needs it.
struct PageValues {
    QString deviceName;
    int pageWidth = 0;       // paper, twips, for the current orientation
    int pageHeight = 0;
    int offsetLeft = 0;      // unprintable edge, twips
    int offsetTop = 0;
    int printableWidth = 0;
    int printableHeight = 0;
    int orientation = 1;     // 1 portrait, 2 landscape
};
PageValues ReadPage(const PrinterService& printer);

// A margin box checked against its bounds: empty text or a value below
// `lowest` becomes `lowest`, a value above `highest` becomes `highest` (both
// "0.00"); any other text stays as typed.
QString CheckMargin(const QString& text, double lowest, double highest);

// What the layout reads from the window's controls.
struct LayoutInput {
    PageValues page;
    QSize picture;          // the captured picture, any unit (only its ratio counts)
    QString scale;          // the scale box, percent
    QString left;           // the margin boxes, inches
    QString top;
    bool fit = false;
    bool center = false;
};

// Where the picture is printed (twips within the printable area) and what
// the controls show afterwards.
struct PlotLayout {
    int plotLeft = 0;
    int plotTop = 0;
    int plotWidth = 0;
    int plotHeight = 0;
    QString scale;
    QString left;
    QString top;
    bool scaleEnabled = true;
    bool leftEnabled = true;
    bool topEnabled = true;
    bool operator==(const PlotLayout&) const = default;
};

// The smallest scale the box and its spinner take, in percent.
inline constexpr int kLowestScale = 10;

// The layout of the picture on the page. `previous` gives the placement kept
// when the picture or the printable area has no size.
PlotLayout PrintScale(const LayoutInput& input, const PlotLayout& previous = {});

// The page inside the square preview frame `frameSide` wide and high.
QRect PreviewPage(int orientation, int frameSide, const PageValues& page);

// The picture inside a preview of `target` size (any unit), placed by the
// margins as on the sheet.
QRect PreviewPicture(QSize target, double leftInches, double topInches,
                     const PageValues& page, int plotWidth, int plotHeight);

// "Print Window": the window's image at its screen size (15 twips to the
// pixel) in the printable area's corner, shrunk to fit it when larger.
QRect WindowPlot(QSize windowPixels, const PageValues& page);

// The window's size rules.
inline constexpr int kPreviewSizeDefault = 6060;   // width in plot mode
inline constexpr int kHeightLessThanWidth = 2430;
inline constexpr int kBesidePreview = 3585;        // window width less the preview frame's
inline constexpr QSize kWindowModeSize{3425, 3495};
QSize PlotWindowSize(int width);        // at least 6060 wide, 2430 less high than wide
int PreviewFrameSide(int windowWidth);  // the square preview frame
QPoint CentredOn(const QRect& host, QSize size);

// The spinners: one click of the scale spinner (-1 up, +1 down) changes the
// scale by 1 percent, never below kLowestScale; one of the margin spinner
// changes the margin by 0.01 inch.
QString StepScale(const QString& scaleText, int spinnerValue);
QString StepMargin(const QString& marginText, int spinnerValue);

} // namespace tolva::print
