#include "viewer/print/PageLayout.h"

#include "common/LeadingNumber.h"

#include <algorithm>
#include <limits>
#include <cmath>

namespace tolva::print {

int whole(double value)
{
    // The default rounding mode rounds halves to the even neighbour.
    const double rounded = std::nearbyint(value);
    if (!(rounded > -2147483648.0))
        return std::numeric_limits<int>::min();
    if (!(rounded < 2147483647.0))
        return std::numeric_limits<int>::max();
    return static_cast<int>(rounded);
}

QString FormatInches(double inches)
{
    QString text = QString::number(inches, 'f', 2);
    return text == QLatin1String("-0.00") ? QStringLiteral("0.00") : text;
}

QString FormatPercent(double percent)
{
    // The "0" format: halves away from zero, never "-0".
    const double rounded = std::round(percent);
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', 0);
}

PageValues ReadPage(const PrinterService& printer)
{
    PageValues page;
    page.deviceName = printer.deviceName();
    page.pageWidth = printer.pageWidth();
    page.pageHeight = printer.pageHeight();
    page.offsetLeft = printer.offsetLeft();
    page.offsetTop = printer.offsetTop();
    page.printableWidth = printer.printableWidth();
    page.printableHeight = printer.printableHeight();
    page.orientation = printer.orientation();
    return page;
}

QString CheckMargin(const QString& text, double lowest, double highest)
{
    const double value = LeadingNumber(text);
    if (text.trimmed().isEmpty() || value < lowest)
        return FormatInches(lowest);
    if (value > highest)
        return FormatInches(highest);
    return text;
}

namespace {

double inches(int twips)
{
    return static_cast<double>(twips) / kTwipsPerInch;
}

} // namespace

PlotLayout PrintScale(const LayoutInput& in, const PlotLayout& previous)
{
    const PageValues& page = in.page;
    const double offsetLeft = inches(page.offsetLeft);
    const double offsetTop = inches(page.offsetTop);

    PlotLayout out = previous;
    out.left = CheckMargin(in.left, offsetLeft, inches(page.pageWidth) - 1.0);
    out.top = CheckMargin(in.top, offsetTop, inches(page.pageHeight) - 1.0);
    out.scaleEnabled = !in.fit;

    const double W = in.picture.width();
    const double H = in.picture.height();
    const int PW = page.printableWidth;
    const int PH = page.printableHeight;
    if (W <= 0 || H <= 0 || PW <= 0 || PH <= 0) {
        // Nothing to place: the placement stays, the boxes show it.
        out.scale = in.scale;
        out.leftEnabled = out.topEnabled = !in.center;
        return out;
    }
    const bool widthLimited = W / PW >= H / PH;
    const double leftMargin = LeadingNumber(out.left);
    const double topMargin = LeadingNumber(out.top);
    const int marginLeft = whole((leftMargin - offsetLeft) * kTwipsPerInch);
    const int marginTop = whole((topMargin - offsetTop) * kTwipsPerInch);

    if (!in.fit) {
        // A scale below the spinner's floor (or none) would print a speck or
        // a mirrored picture; the box is corrected like a margin.
        const double scale = std::max<double>(LeadingNumber(in.scale), kLowestScale);
        if (widthLimited) {
            out.plotWidth = std::min(whole(scale * PW / 100.0), PW);
            out.plotHeight = whole(out.plotWidth * H / W);
        } else {
            out.plotHeight = std::min(whole(scale * PH / 100.0), PH);
            out.plotWidth = whole(out.plotHeight * W / H);
        }
        out.leftEnabled = out.topEnabled = !in.center;
        if (in.center) {
            out.plotLeft = whole((PW - out.plotWidth) / 2.0);
            out.plotTop = whole((PH - out.plotHeight) / 2.0);
        } else {
            out.plotLeft = marginLeft + out.plotWidth > PW ? PW - out.plotWidth : marginLeft;
            out.plotTop = marginTop + out.plotHeight > PH ? PH - out.plotHeight : marginTop;
        }
    } else if (widthLimited) {
        out.plotWidth = PW;
        out.plotHeight = whole(out.plotWidth * H / W);
        out.plotLeft = 0;
        out.leftEnabled = false;
        out.topEnabled = !in.center;
        out.plotTop = in.center ? whole((PH - out.plotHeight) / 2.0) : marginTop;
    } else {
        out.plotHeight = PH;
        out.plotWidth = whole(out.plotHeight * W / H);
        out.plotTop = 0;
        out.topEnabled = false;
        out.leftEnabled = !in.center;
        out.plotLeft = in.center ? whole((PW - out.plotWidth) / 2.0) : marginLeft;
    }

    out.left = FormatInches(offsetLeft + inches(out.plotLeft));
    out.top = FormatInches(offsetTop + inches(out.plotTop));
    out.scale = FormatPercent(widthLimited ? out.plotWidth * 100.0 / PW : out.plotHeight * 100.0 / PH);
    return out;
}

QRect PreviewPage(int orientation, int frameSide, const PageValues& page)
{
    if (page.pageWidth <= 0 || page.pageHeight <= 0)
        return {};
    const double ratio = static_cast<double>(page.pageWidth) / page.pageHeight;
    if (orientation == 2) {
        const int width = frameSide - 200;
        const int height = static_cast<int>(width / ratio);
        return {(frameSide - width) / 2 - 20, (frameSide - height) / 2, width, height};
    }
    const int height = frameSide - 200;
    const int width = static_cast<int>(height * ratio);
    return {(frameSide - width) / 2, (frameSide - height) / 2 - 20, width, height};
}

QRect PreviewPicture(QSize target, double leftInches, double topInches,
                     const PageValues& page, int plotWidth, int plotHeight)
{
    if (page.pageWidth <= 0 || page.pageHeight <= 0)
        return {};
    const double sx = static_cast<double>(target.width()) / page.pageWidth;
    const double sy = static_cast<double>(target.height()) / page.pageHeight;
    return {whole(leftInches * kTwipsPerInch * sx), whole(topInches * kTwipsPerInch * sy),
            whole(plotWidth * sx), whole(plotHeight * sy)};
}

QRect WindowPlot(QSize windowPixels, const PageValues& page)
{
    const double width = windowPixels.width() * kTwipsPerPixel;
    const double height = windowPixels.height() * kTwipsPerPixel;
    if (width <= 0 || height <= 0)
        return {};
    double shrink = 1.0;
    if (page.printableWidth > 0 && page.printableHeight > 0)
        shrink = std::min({1.0, page.printableWidth / width, page.printableHeight / height});
    return {0, 0, whole(width * shrink), whole(height * shrink)};
}

QSize PlotWindowSize(int width)
{
    const int w = std::max(width, kPreviewSizeDefault);
    return {w, w - kHeightLessThanWidth};
}

int PreviewFrameSide(int windowWidth)
{
    return windowWidth - kBesidePreview;
}

QPoint CentredOn(const QRect& host, QSize size)
{
    return {host.left() + (host.width() - size.width()) / 2,
            host.top() + (host.height() - size.height()) / 2};
}

QString StepScale(const QString& scaleText, int spinnerValue)
{
    const double scale = std::max<double>(LeadingNumber(scaleText) - spinnerValue, kLowestScale);
    return FormatPercent(scale);
}

QString StepMargin(const QString& marginText, int spinnerValue)
{
    return FormatInches(LeadingNumber(marginText) - spinnerValue / 100.0);
}

} // namespace tolva::print
