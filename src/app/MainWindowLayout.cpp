#include "app/MainWindowLayout.h"

namespace app {

double requestedOuterWidth(const LayoutInput& input)
{
    return double(input.playerWidth) + input.frameWidth;
}

namespace {

// One row of buttons sharing the client width equally; fractional twips are kept.
QList<QRectF> buttonRow(int count, double top, double height, double clientWidth)
{
    QList<QRectF> row;
    if (count <= 0)
        return row;
    const double width = clientWidth / count;
    row.append(QRectF(0, top, width, height));
    for (int index = 1; index < count; ++index) {
        const QRectF& previous = row.last();
        row.append(QRectF(previous.left() + previous.width(), top, width, height));
    }
    return row;
}

} // namespace

LayoutResult layOutMainWindow(const LayoutInput& input, double reportedOuterWidth)
{
    LayoutResult result;
    const double width = input.playerWidth;
    const double height = input.playerHeight;
    result.player = QRectF(0, 0, width, height);
    result.outerWidth = reportedOuterWidth;
    result.outerHeight = height + input.firstRowButtonHeight + input.secondRowButtonHeight + input.frameHeight;
    if (input.eyedropperShown)
        result.outerHeight += input.eyedropperBarHeight;

    const double clientWidth = result.outerWidth - input.frameWidth;
    const double firstTop = height;
    const double secondTop = firstTop + input.firstRowButtonHeight;
    result.firstRow = buttonRow(input.firstRowButtonCount, firstTop, input.firstRowButtonHeight, clientWidth);
    result.secondRow = buttonRow(input.secondRowButtonCount, secondTop, input.secondRowButtonHeight, clientWidth);
    // The bar reaches the window's outer right edge and is clipped there; it is placed whether
    // or not it is shown.
    result.eyedropperBar = QRectF(0, secondTop + input.secondRowButtonHeight, result.outerWidth, input.eyedropperBarHeight);
    return result;
}

} // namespace app
