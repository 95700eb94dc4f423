#include "tools/GradientWindow.h"

#include "platform/Settings.h"
#include "tools/ColourPicker.h"
#include "tools/NumberText.h"
#include "tools/TwipsGeometry.h"
#include "tools/TwoColourGradient.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>

namespace tools {

namespace {

const QString Section = QStringLiteral("Gradient Settings");
const QString FirstColourKey = QStringLiteral("Colour 0");
const QString SecondColourKey = QStringLiteral("Colour 1");
const QString AngleKey = QStringLiteral("Angle");

// A multiple of 45 degrees nearest to the value.
double snappedToCommon(double degrees)
{
    return roundHalfEven(degrees / 45) * 45;
}

} // namespace

GradientWindow::GradientWindow(const app::ScreenMetrics& metrics, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("gradientWindow"));
    setWindowTitle(QStringLiteral("Gradient..."));
    useDesignFont(this);
    createControls(metrics);

    m_canvas = QImage(CanvasSide, CanvasSide, QImage::Format_RGB32);
    m_canvas.fill(toColour(gradientCanvasBackground()));
    m_committedPicture = m_canvas;

    loadSettings();
    onDirectionChanged();
}

void GradientWindow::createControls(const app::ScreenMetrics& metrics)
{
    setFixedSize(pixelSizeFromTwips(4455, 3015, metrics));
    const auto place = [&metrics](QWidget* control, double left, double top, double width, double height) {
        control->setGeometry(pixelRectFromTwips(left, top, width, height, metrics));
    };

    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_preview->setLineWidth(2);
    place(m_preview, 120, 120, 2415, 2415);
    m_previewPicture = QImage(m_preview->contentsRect().size(), QImage::Format_RGB32);
    m_previewPicture.fill(toColour(gradientCanvasBackground()));

    m_direction = new QScrollBar(Qt::Horizontal, this);
    m_direction->setObjectName(QStringLiteral("direction"));
    m_direction->setRange(0, 360);
    m_direction->setSingleStep(1);
    m_direction->setPageStep(1);
    m_direction->setFocusPolicy(Qt::StrongFocus);
    // A drag paints as it goes and changes the direction only where it ends.
    m_direction->setTracking(false);
    place(m_direction, 120, 2640, 2415, 255);
    connect(m_direction, &QScrollBar::valueChanged, this, &GradientWindow::onDirectionChanged);
    connect(m_direction, &QScrollBar::sliderMoved, this, &GradientWindow::paintGradient);

    const auto button = [this, &place](const QString& caption, const QString& name, double top) {
        auto* control = new QPushButton(caption, this);
        control->setObjectName(name);
        place(control, 2640, top, 1695, 375);
        return control;
    };
    m_ok = button(QStringLiteral("OK"), QStringLiteral("ok"), 120);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &GradientWindow::hide);
    m_applyTo = button(QStringLiteral("Apply To..."), QStringLiteral("applyTo"), 600);
    connect(m_applyTo, &QPushButton::clicked, this, [this] { emit applyToRequested(m_committedPicture); });
    m_firstColour = button(QStringLiteral("First Colour..."), QStringLiteral("firstColour"), 1080);
    connect(m_firstColour, &QPushButton::clicked, this, [this] { chooseColour(0); });
    m_secondColour = button(QStringLiteral("Second Colour..."), QStringLiteral("secondColour"), 1560);
    connect(m_secondColour, &QPushButton::clicked, this, [this] { chooseColour(1); });

    m_snapToCommon = new QCheckBox(QStringLiteral("Snap To Common"), this);
    m_snapToCommon->setObjectName(QStringLiteral("snapToCommon"));
    place(m_snapToCommon, 2640, 2040, 1695, 375);
    connect(m_snapToCommon, &QCheckBox::toggled, this, &GradientWindow::onSnapToggled);

    m_randomize = button(QStringLiteral("Randomize"), QStringLiteral("randomize"), 2520);
    connect(m_randomize, &QPushButton::clicked, this, &GradientWindow::randomize);

    setTabOrder(m_direction, m_firstColour);
    setTabOrder(m_firstColour, m_secondColour);
    setTabOrder(m_secondColour, m_ok);
    setTabOrder(m_ok, m_applyTo);
    setTabOrder(m_applyTo, m_snapToCommon);
    setTabOrder(m_snapToCommon, m_randomize);
    fitCaptions(this);
}

void GradientWindow::setRandomSource(std::function<double()> source)
{
    m_random = std::move(source);
}

void GradientWindow::loadSettings()
{
    // Without settings both colours are black and the direction 0. A direction outside the
    // slider's range is brought to its nearer end.
    m_gradient.setColour1(leadingInteger(platform::getSetting(Section, FirstColourKey, QStringLiteral("0"))));
    m_gradient.setColour2(leadingInteger(platform::getSetting(Section, SecondColourKey, QStringLiteral("0"))));
    m_direction->setValue(leadingInteger(platform::getSetting(Section, AngleKey, QStringLiteral("0"))));
}

void GradientWindow::saveSettings() const
{
    platform::saveSetting(Section, FirstColourKey, QString::number(m_gradient.colour1()));
    platform::saveSetting(Section, SecondColourKey, QString::number(m_gradient.colour2()));
    platform::saveSetting(Section, AngleKey, QString::number(m_direction->value()));
}

void GradientWindow::paintGradient()
{
    m_gradient.setAngle(float(360 - m_direction->sliderPosition()));
    if (m_snapToCommon->isChecked())
        m_gradient.setAngle(float(snappedToCommon(double(m_gradient.angle()))));
    m_gradient.draw(m_previewPicture);
    m_gradient.draw(m_canvas);
    m_preview->setPixmap(QPixmap::fromImage(m_previewPicture));
}

void GradientWindow::onDirectionChanged()
{
    if (m_snapToCommon->isChecked()) {
        // Setting the snapped value runs this again, nested; then this run goes on.
        const int snapped = int(snappedToCommon(m_direction->value()));
        if (snapped != m_direction->value())
            m_direction->setValue(snapped);
    }
    paintGradient();
    m_committedPicture = m_canvas.copy();
    saveSettings();
}

void GradientWindow::onSnapToggled()
{
    onDirectionChanged();
    const int step = m_snapToCommon->isChecked() ? 45 : 1;
    m_direction->setSingleStep(step);
    m_direction->setPageStep(step);
}

void GradientWindow::chooseColour(int which)
{
    const ColourReference initial = which == 0 ? m_gradient.colour1() : m_gradient.colour2();
    if (const std::optional<ColourReference> chosen = ColourPicker::instance().pickColour(initial, this)) {
        if (which == 0)
            m_gradient.setColour1(*chosen);
        else
            m_gradient.setColour2(*chosen);
    }
    // Chosen or not, the gradient is painted, committed and saved again.
    onDirectionChanged();
}

void GradientWindow::randomize()
{
    std::function<double()> random = m_random;
    if (!random) {
        auto generator = std::make_shared<QRandomGenerator>(quint32(QDateTime::currentMSecsSinceEpoch()));
        random = [generator] { return generator->generateDouble(); };
    }
    m_gradient.setColour1(ColourReference(roundHalfEven(random() * 16777215)));
    m_gradient.setColour2(ColourReference(roundHalfEven(random() * 16777215)));
    // A new direction is committed by its change; the same one leaves the new colours painted
    // but not committed until the next change.
    m_direction->setValue(int(roundHalfEven(random() * 360)));
    paintGradient();
}

void GradientWindow::closeEvent(QCloseEvent* event)
{
    // The window lives for the whole run: closing it only hides it.
    event->ignore();
    hide();
}

} // namespace tools
