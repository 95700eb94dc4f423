#include "tools/ReplaceColourDialog.h"

#include "tools/ColourPicker.h"
#include "tools/SelectionFrame.h"
#include "tools/TwipsGeometry.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace tools {

namespace {

// The boxes, in twips: 310 x 285, 70 apart, eight to a row.
constexpr double BoxWidth = 310;
constexpr double BoxHeight = 285;
constexpr double BoxGap = 70;
constexpr double FirstRowTop = 120;
constexpr double SelectionMargin = 120;

QFrame* colourFrame(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(1);
    frame->setAutoFillBackground(true);
    return frame;
}

void showColour(QWidget* widget, ColourReference colour)
{
    const QColor shown = toColour(resolveSystemColour(colour));
    QPalette palette = widget->palette();
    if (palette.color(QPalette::Window) == shown)
        return;
    palette.setColor(QPalette::Window, shown);
    widget->setPalette(palette);
}

} // namespace

ReplaceColourDialog::ReplaceColourDialog(ColourSource newColour, const app::ScreenMetrics& metrics, QWidget* parent)
    : QDialog(parent)
    , m_pickedColour(std::move(newColour))
{
    setObjectName(QStringLiteral("replaceColourDialog"));
    setWindowTitle(QStringLiteral("Replace Custom Colour..."));
    setAttribute(Qt::WA_DeleteOnClose);
    useDesignFont(this);
    setFixedSize(pixelSizeFromTwips(3165, 1695, metrics));

    createBoxes(metrics);

    // "Replace [old] With [new].": the two boxes sit in the sentence's runs of blanks.
    auto* line = new QWidget(this);
    line->setObjectName(QStringLiteral("replaceLineHolder"));
    line->setGeometry(pixelRectFromTwips(120, 840, 2895, 255, metrics));
    m_replaceLine = new QLabel(QStringLiteral("Replace           With          ."), line);
    m_replaceLine->setObjectName(QStringLiteral("replaceLine"));
    m_replaceLine->setGeometry(pixelRectFromTwips(0, 0, 2055, 255, metrics));
    m_oldColour = colourFrame(line);
    m_oldColour->setObjectName(QStringLiteral("oldColour"));
    m_oldColour->setGeometry(pixelRectFromTwips(720, 0, 255, 255, metrics));
    m_newColour = colourFrame(line);
    m_newColour->setObjectName(QStringLiteral("newColour"));
    m_newColour->setGeometry(pixelRectFromTwips(1560, 0, 255, 255, metrics));
    placeInGaps();

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setGeometry(pixelRectFromTwips(120, 1200, 1335, 375, metrics));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &ReplaceColourDialog::store);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setGeometry(pixelRectFromTwips(1680, 1200, 1335, 375, metrics));
    connect(m_cancel, &QPushButton::clicked, this, &ReplaceColourDialog::close);
    fitCaptions(this);

    // The sentence follows the picked colour and the selection for as long as the window is
    // open.
    m_refresh.setInterval(50);
    connect(&m_refresh, &QTimer::timeout, this, &ReplaceColourDialog::refreshReplaceLine);
    m_refresh.start();
    refreshReplaceLine();
}

void ReplaceColourDialog::placeInGaps()
{
    // The places above suit the type the window was designed with; with another the boxes are
    // moved to the middle of the sentence's runs of blanks, wherever the type puts them.
    const QString text = m_replaceLine->text();
    const QFontMetrics type(m_replaceLine->font());
    m_replaceLine->resize(std::max(m_replaceLine->width(), type.horizontalAdvance(text) + 2), m_replaceLine->height());
    const auto gapMiddle = [&](qsizetype gapStart) {
        qsizetype gapEnd = gapStart;
        while (gapEnd < text.size() && text.at(gapEnd) == QLatin1Char(' '))
            ++gapEnd;
        return (type.horizontalAdvance(text.left(gapStart)) + type.horizontalAdvance(text.left(gapEnd))) / 2;
    };
    const qsizetype firstGap = text.indexOf(QLatin1Char(' '));
    const qsizetype secondGap = text.indexOf(QLatin1Char(' '), text.indexOf(QStringLiteral("With")));
    m_oldColour->move(gapMiddle(firstGap) - m_oldColour->width() / 2, m_oldColour->y());
    m_newColour->move(gapMiddle(secondGap) - m_newColour->width() / 2, m_newColour->y());
}

void ReplaceColourDialog::createBoxes(const app::ScreenMetrics& metrics)
{
    ColourPicker& picker = ColourPicker::instance();
    for (int box = 1; box <= BoxCount; ++box) {
        const int column = box <= 8 ? box : box - 8;
        const double left = (BoxWidth + BoxGap) * (column + 1) - 670;
        const double top = box <= 8 ? FirstRowTop : FirstRowTop + BoxHeight + BoxGap;
        QFrame* frame = colourFrame(this);
        frame->setObjectName(QStringLiteral("colourBox%1").arg(box));
        frame->setGeometry(pixelRectFromTwips(left, top, BoxWidth, BoxHeight, metrics));
        showColour(frame, picker.customColour(box - 1));
        frame->installEventFilter(this);
        m_boxes.append(frame);
    }
    m_selection = new SelectionFrame(this);
    m_selection->setObjectName(QStringLiteral("selection"));
    m_selectionMargin = pixelSizeFromTwips(SelectionMargin, SelectionMargin, metrics).width();
    selectBox(1);
}

void ReplaceColourDialog::selectBox(int box)
{
    m_selectedBox = box;
    m_selection->surround(colourBox(box)->geometry(), m_selectionMargin);
    refreshReplaceLine();
}

bool ReplaceColourDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const int index = int(m_boxes.indexOf(qobject_cast<QFrame*>(watched)));
        if (index >= 0) {
            // Only the left button selects.
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                selectBox(index + 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ReplaceColourDialog::refreshReplaceLine()
{
    if (!m_oldColour)
        return; // not made yet
    if (m_pickedColour)
        showColour(m_newColour, m_pickedColour());
    showColour(m_oldColour, toColourReference(colourBox(m_selectedBox)->palette().color(QPalette::Window)));
}

void ReplaceColourDialog::store()
{
    ColourPicker::instance().setCustomColour(m_selectedBox - 1, m_pickedColour ? m_pickedColour() : 0);
    close();
}

} // namespace tools
