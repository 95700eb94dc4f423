#include "app/Form1.h"

#include "app/CommandLine.h"
#include "app/MovieCommand.h"
#include "app/TemplateInstaller.h"
#include "app/TemplateSite.h"
#include "app/TextureFiles.h"
#include "app/ShellRegistration.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/Settings.h"
#include "platform/modSuperShell.h"
#include "player/MoviePlayer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <algorithm>
#include <cmath>

namespace app {

namespace {

const QString LastTime = QStringLiteral("Last Time");

int toPixels(double twips, double twipsPerPixel)
{
    return int(std::lround(twips / twipsPerPixel));
}

// A rectangle in twips as whole pixels; neighbouring rectangles share their edges.
QRect pixelRect(const QRectF& twips, const ScreenMetrics& metrics)
{
    const int left = toPixels(twips.left(), metrics.twipsPerPixelX);
    const int top = toPixels(twips.top(), metrics.twipsPerPixelY);
    const int right = toPixels(twips.left() + twips.width(), metrics.twipsPerPixelX);
    const int bottom = toPixels(twips.top() + twips.height(), metrics.twipsPerPixelY);
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

} // namespace

Form1::Form1(StartupContext context, QWidget* parent)
    : Form1(std::move(context), ScreenMetrics::fromScreen(QGuiApplication::primaryScreen()), parent)
{
}

Form1::Form1(StartupContext context, const ScreenMetrics& metrics, QWidget* parent)
    : QWidget(parent)
    , m_context(std::move(context))
    , m_metrics(metrics)
{
    setObjectName(QStringLiteral("Form1"));
    createControls();
    m_timer2.setObjectName(QStringLiteral("Timer2"));
    m_timer2.setInterval(50);
    connect(&m_timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
}

Form1::~Form1() = default;

void Form1::createControls()
{
    m_content = new QWidget(this);
    m_content->setObjectName(QStringLiteral("Content"));

    m_playerBackground = new QWidget(m_content);
    m_playerBackground->setObjectName(QStringLiteral("Picture3"));
    m_player = new player::MoviePlayer(m_content);
    m_player->setObjectName(QStringLiteral("ShockwaveFlash1"));
    m_player->setScaleMode(player::ScaleMode::ExactFit);
    connect(m_player, &player::MoviePlayer::movieCommand, this, &Form1::ShockwaveFlash1_FSCommand);
    connect(m_player, &player::MoviePlayer::externalCall, this, &Form1::ShockwaveFlash1_FlashCall);

    const QStringList firstCaptions{QStringLiteral("Change..."), QStringLiteral("Save As..."), QStringLiteral("Gradient...")};
    const QStringList secondCaptions{QStringLiteral("Templates..."), QStringLiteral("Effects..."), QStringLiteral("Plain Colour...")};
    for (int index = 0; index < 3; ++index) {
        auto* first = new QPushButton(firstCaptions[index], m_content);
        first->setObjectName(QStringLiteral("Command1"));
        first->setProperty("index", index);
        connect(first, &QPushButton::clicked, this, [this, index] { Command1_Click(index); });
        m_firstRow.append(first);
        auto* second = new QPushButton(secondCaptions[index], m_content);
        second->setObjectName(QStringLiteral("Command2"));
        second->setProperty("index", index);
        connect(second, &QPushButton::clicked, this, [this, index] { Command2_Click(index); });
        m_secondRow.append(second);
    }

    // The setting's only control: it is never shown, its value comes from the setting.
    m_showEyedropper = new QCheckBox(QStringLiteral("Show Eyedropper Tool"), m_content);
    m_showEyedropper->setObjectName(QStringLiteral("Check3"));
    m_showEyedropper->setChecked(true);
    m_showEyedropper->hide();
    connect(m_showEyedropper, &QCheckBox::toggled, this, &Form1::Check3_Click);

    m_eyedropperBar = new QWidget(m_content);
    m_eyedropperBar->setObjectName(QStringLiteral("Picture5"));
    m_eyedropperBar->setAutoFillBackground(true);
    m_eyedropperBar->setCursor(Qt::CrossCursor);
}

void Form1::Form_Load()
{
    if (m_context.runsFromOwnExecutable())
        registerWithDesktop(m_context.programFolder, m_context.executableName);

    TexturePathPrefix = texturePathPrefixFor(QDir::tempPath());

    const QString commandLine = commandLineText(m_context.arguments);
    TemplateInstaller installer(m_context.programFolder, this);
    if (isTemplateLink(commandLine)) {
        if (installer.installFromLink(commandLine)) {
            close();
            return;
        }
    } else if (!commandLine.isEmpty()) {
        installer.installFromFile(commandLine);
    }

    measureFrame();

    m_templates.setFolder(m_context.programFolder);
    m_templates.refresh();

    if (m_templates.count() == 0) {
        platform::MessageRequest question;
        question.text = QStringLiteral("No template files found. Do you wish to download some?");
        question.icon = platform::MessageIcon::Exclamation;
        question.buttons = platform::MessageButtons::YesNo;
        if (platform::showMessage(question, this) == platform::MessageAnswer::Yes) {
            std::int32_t errorNumber = 0;
            QString errorSource;
            QString errorDescription;
            platform::SuperShell(templateSitePage(), QString(), 0, 1, QString(), -1, false, errorNumber, errorSource,
                errorDescription);
        }
        close();
        return;
    }

    restoreLastRun();
    LayoutMainWindow();
    // Commands that the movie sent while loading, such as its sheet size, are handled here.
    QCoreApplication::processEvents();
}

void Form1::measureFrame()
{
    // Before the window is shown the window system may not know its frame yet; then the frame
    // counts as nothing, which only makes the fit-to-screen test a little generous.
    const QSize outer = frameGeometry().size();
    const QSize client = geometry().size();
    const auto toShort = [](double twips) {
        return int(std::clamp<long>(std::lround(twips), -32768, 32767));
    };
    FrameWidth = toShort((outer.width() - client.width()) * m_metrics.twipsPerPixelX);
    FrameHeight = toShort((outer.height() - client.height()) * m_metrics.twipsPerPixelY);
}

void Form1::restoreLastRun()
{
    // A value that is not 1 leaves the bar hidden; the check box's handler saves it back.
    const int eyedropper = platform::getSetting(LastTime, QStringLiteral("Show Eyedropper Tool"), QStringLiteral("1"))
                               .trimmed()
                               .toInt();
    m_showEyedropper->setChecked(eyedropper == 1);
    m_partNumber = platform::getSetting(LastTime, QStringLiteral("Part"), QStringLiteral("0"));

    const QString lastTemplate = platform::getSetting(LastTime, QStringLiteral("Template"));
    for (int index = 0; index < m_templates.count(); ++index) {
        if (m_templates.fileName(index) == lastTemplate) {
            m_templates.setCurrentIndex(index);
            File1_Click();
        }
    }
    if (m_templates.currentIndex() < 0) {
        m_templates.setCurrentIndex(0);
        File1_Click();
    }
}

void Form1::File1_Click()
{
    const int index = m_templates.currentIndex();
    if (index < 0 || index >= m_templates.count())
        return;
    const QString fileName = m_templates.fileName(index);
    m_player->loadMovie(0, m_templates.filePath(index));
    LoadEffectsLayer();
    setWindowTitle(windowTitleForTemplate(fileName));
    platform::saveSetting(LastTime, QStringLiteral("Template"), fileName);
    platform::saveSetting(LastTime, QStringLiteral("Part"), m_partNumber);
}

void Form1::LoadEffectsLayer()
{
    // Without its effects movie a template simply plays without effects.
    const QString effects = m_context.programFilePath(QStringLiteral("Effects.swf"));
    if (QFileInfo(effects).isFile())
        m_player->loadMovie(100, effects);
    bool isNumber = false;
    const int part = m_partNumber.trimmed().toInt(&isNumber);
    if (isNumber)
        m_player->gotoFrame(part);
}

void Form1::ShockwaveFlash1_FSCommand(const QString& command, const QString& args)
{
    const QString word = command.toLower();
    if (word == QLatin1String("setsize")) {
        if (const auto size = parseSheetSize(args))
            setSheetSize(*size);
    } else if (word == QLatin1String("clearitems")) {
        m_items.clear();
    } else if (word == QLatin1String("additem")) {
        m_items.append(args);
    } else if (word == QLatin1String("addseperator")) {
        m_items.append(QStringLiteral("-"));
    } else if (word == QLatin1String("clickitem")) {
        if (const auto index = parseItemIndex(args))
            mnuChangeNewItem_Click(*index);
    } else if (word == QLatin1String("msgbox")) {
        showPlainMessage(args);
    }
}

void Form1::ShockwaveFlash1_FlashCall(const QString& request)
{
    showPlainMessage(request);
}

void Form1::showPlainMessage(const QString& text)
{
    platform::MessageRequest message;
    message.text = text;
    platform::showMessage(message, this);
}

void Form1::setSheetSize(const QSizeF& pixels)
{
    m_playerWidth = float(pixels.width() * m_metrics.twipsPerPixelX);
    m_playerHeight = float(pixels.height() * m_metrics.twipsPerPixelY);
    LayoutMainWindow();
    // The sheet is shown at a half, a quarter, ... until the window fits the screen, but never
    // smaller than a pixel, however small the screen.
    while ((m_layout.outerWidth > m_metrics.widthTwips() || m_layout.outerHeight > m_metrics.heightTwips())
        && m_playerWidth / 2 >= m_metrics.twipsPerPixelX && m_playerHeight / 2 >= m_metrics.twipsPerPixelY) {
        m_playerWidth /= 2;
        m_playerHeight /= 2;
        LayoutMainWindow();
    }
}

void Form1::LayoutMainWindow()
{
    m_layoutInput.playerWidth = m_playerWidth;
    m_layoutInput.playerHeight = m_playerHeight;
    m_layoutInput.frameWidth = FrameWidth;
    m_layoutInput.frameHeight = FrameHeight;
    m_layoutInput.eyedropperShown = m_showEyedropper->isChecked();

    // Ask for the width first and shape the rest by what the window reports, in case the
    // window system limits it.
    const double requested = requestedOuterWidth(m_layoutInput);
    const int requestedPixels = toPixels(requested - FrameWidth, m_metrics.twipsPerPixelX);
    setFixedWidth(std::max(0, requestedPixels));
    const double reported = width() == requestedPixels ? requested : width() * m_metrics.twipsPerPixelX + FrameWidth;
    m_layout = layOutMainWindow(m_layoutInput, reported);
    applyLayout();
}

void Form1::applyLayout()
{
    const QSize client(toPixels(m_layout.clientWidth(m_layoutInput), m_metrics.twipsPerPixelX),
        toPixels(m_layout.clientHeight(m_layoutInput), m_metrics.twipsPerPixelY));
    setFixedSize(client.expandedTo(QSize(0, 0)));
    m_content->setGeometry(0, 0, width(), height());
    const QRect player = pixelRect(m_layout.player, m_metrics);
    m_playerBackground->setGeometry(player);
    m_player->setGeometry(player);
    for (int index = 0; index < m_firstRow.size(); ++index)
        m_firstRow[index]->setGeometry(pixelRect(m_layout.firstRow.value(index), m_metrics));
    for (int index = 0; index < m_secondRow.size(); ++index)
        m_secondRow[index]->setGeometry(pixelRect(m_layout.secondRow.value(index), m_metrics));
    m_eyedropperBar->setGeometry(pixelRect(m_layout.eyedropperBar, m_metrics));
}

void Form1::Check3_Click()
{
    const bool checked = m_showEyedropper->isChecked();
    platform::saveSetting(LastTime, QStringLiteral("Show Eyedropper Tool"), checked ? QStringLiteral("1") : QStringLiteral("0"));
    m_eyedropperBar->setVisible(checked);
    LayoutMainWindow();
}

void Form1::ShowToolWindow(QWidget* window)
{
    if (!window)
        return;
    // Owned by the main window, so it stays above it; it is a window of its own all the same.
    if (window->parentWidget() != this || !window->isWindow())
        window->setParent(this, window->windowFlags() | Qt::Window);
    if (!m_toolWindows.contains(window)) {
        m_toolWindows.append(window);
        window->installEventFilter(this);
    }
    window->show();
    DisableMainWindow();
}

void Form1::DisableMainWindow()
{
    // Only the controls are disabled: disabling the window itself would disable the tool
    // windows it owns as well.
    m_content->setEnabled(false);
    m_timer2.start();
}

bool Form1::isMainWindowDisabled() const
{
    return !m_content->isEnabled();
}

void Form1::Timer2_Timer()
{
    m_toolWindows.removeAll(nullptr);
    const bool anyVisible = std::any_of(m_toolWindows.cbegin(), m_toolWindows.cend(),
        [](const QPointer<QWidget>& window) { return window && window->isVisible(); });
    if (anyVisible)
        return;
    m_content->setEnabled(true);
    m_timer2.stop();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    // A tool window that goes away brings the main window back at once, not only at the next
    // tick of the watch.
    if ((event->type() == QEvent::Hide || event->type() == QEvent::Close) && m_timer2.isActive()
        && m_toolWindows.contains(qobject_cast<QWidget*>(watched)))
        QTimer::singleShot(0, this, &Form1::Timer2_Timer);
    return QWidget::eventFilter(watched, event);
}

void Form1::DeleteTextureFiles()
{
    deleteTextureFiles(TexturePathPrefix);
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (m_ended) {
        event->accept();
        return;
    }
    // While a tool window is up the main window takes no input, its close box included.
    if (event->spontaneous() && isMainWindowDisabled()) {
        event->ignore();
        return;
    }
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void Form1::Form_QueryUnload(bool& cancel)
{
    if (Check1) {
        platform::MessageRequest question;
        question.text = QStringLiteral("Do you want to save?");
        question.icon = platform::MessageIcon::Exclamation;
        question.buttons = platform::MessageButtons::YesNoCancel;
        const platform::MessageAnswer answer = platform::showMessage(question, this);
        if (answer == platform::MessageAnswer::Cancel) {
            cancel = true;
            return;
        }
        if (answer == platform::MessageAnswer::Yes) {
            bool saved = false;
            try {
                saved = SaveTextureSheet();
            } catch (const std::exception&) {
                // A save that breaks keeps the program open with its unsaved changes.
                platform::MessageRequest failure;
                failure.text = QStringLiteral("Unable to work.");
                failure.title = windowTitle();
                failure.icon = platform::MessageIcon::Critical;
                platform::showMessage(failure, this);
            }
            if (!saved) {
                cancel = true;
                return;
            }
        }
    }
    DeleteTextureFiles();
    EndProgram();
}

void Form1::EndProgram()
{
    m_ended = true;
    m_timer2.stop();
    for (const QPointer<QWidget>& window : std::as_const(m_toolWindows)) {
        if (window)
            window->hide();
    }
    QCoreApplication::exit(0);
}

void Form1::Command1_Click(int index)
{
    // The first row ("Change...", "Save As...", "Gradient...") belongs to the texture tools,
    // which hook in here.
    Q_UNUSED(index);
}

void Form1::Command2_Click(int index)
{
    // The second row ("Templates...", "Effects...", "Plain Colour...") opens the catalogue, the
    // effects window and the plain-colour menu once those exist.
    Q_UNUSED(index);
}

void Form1::mnuChangeNewItem_Click(int index)
{
    // Carrying out an item of `List1` belongs to the item menu; "clickitem" already arrives here.
    Q_UNUSED(index);
}

bool Form1::SaveTextureSheet()
{
    // Saving the sheet belongs to the save tools; until then nothing is saved.
    return false;
}

} // namespace app
