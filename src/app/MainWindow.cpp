#include "app/MainWindow.h"

#include "app/CommandLine.h"
#include "app/MovieCommand.h"
#include "app/ProgramRegistration.h"
#include "app/TemplateInstaller.h"
#include "app/TemplateSite.h"
#include "catalogue/window/CatalogueWindow.h"
#include "platform/DesktopLauncher.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/Settings.h"
#include "player/MoviePlayer.h"
#include "texture/SheetExport.h"
#include "texture/TextureCommands.h"
#include "tools/EffectsWindow.h"
#include "tools/GradientWindow.h"
#include "tools/ReplaceColourDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QApplication>
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

int toShortTwips(double twips)
{
    return int(std::clamp<long>(std::lround(twips), -32768, 32767));
}

} // namespace

MainWindow::MainWindow(StartupContext context, QWidget* parent)
    : MainWindow(std::move(context), ScreenMetrics::fromScreen(QGuiApplication::primaryScreen()), parent)
{
}

MainWindow::MainWindow(StartupContext context, const ScreenMetrics& metrics, QWidget* parent)
    : QWidget(parent)
    , m_context(std::move(context))
    , m_metrics(metrics)
{
    setObjectName(QStringLiteral("mainWindow"));
    createControls();
    m_textureCommands = std::make_unique<texture::TextureCommands>(*this);
    m_toolWindowWatch.setObjectName(QStringLiteral("toolWindowWatch"));
    m_toolWindowWatch.setInterval(50);
    connect(&m_toolWindowWatch, &QTimer::timeout, this, &MainWindow::watchToolWindows);
    // Every key and mouse press reaches the filter, to tell when the user acts.
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    // However the program ends, this run's textures do not outlive it.
    m_textureFolder.remove();
}

QPushButton* MainWindow::addButton(const QString& caption, const QString& objectName, void (MainWindow::*slot)())
{
    auto* button = new QPushButton(caption, m_content);
    button->setObjectName(objectName);
    connect(button, &QPushButton::clicked, this, slot);
    return button;
}

void MainWindow::createControls()
{
    m_content = new QWidget(this);
    m_content->setObjectName(QStringLiteral("content"));

    m_playerBackground = new QWidget(m_content);
    m_playerBackground->setObjectName(QStringLiteral("playerBackground"));
    m_player = new player::MoviePlayer(m_content);
    m_player->setObjectName(QStringLiteral("moviePlayer"));
    m_player->setScaleMode(player::ScaleMode::ExactFit);
    connect(m_player, &player::MoviePlayer::movieCommand, this, &MainWindow::handleMovieCommand);
    connect(m_player, &player::MoviePlayer::externalCall, this, &MainWindow::handleExternalCall);

    m_changeButton = addButton(QStringLiteral("Change..."), QStringLiteral("changeButton"), &MainWindow::onChangeClicked);
    m_saveAsButton = addButton(QStringLiteral("Save As..."), QStringLiteral("saveAsButton"), &MainWindow::onSaveAsClicked);
    m_gradientButton =
        addButton(QStringLiteral("Gradient..."), QStringLiteral("gradientButton"), &MainWindow::onGradientClicked);
    m_templatesButton =
        addButton(QStringLiteral("Templates..."), QStringLiteral("templatesButton"), &MainWindow::onTemplatesClicked);
    m_effectsButton = addButton(QStringLiteral("Effects..."), QStringLiteral("effectsButton"), &MainWindow::onEffectsClicked);
    m_plainColourButton = addButton(QStringLiteral("Plain Colour..."), QStringLiteral("plainColourButton"),
                                    &MainWindow::onPlainColourClicked);
    m_firstRow = {m_changeButton, m_saveAsButton, m_gradientButton};
    m_secondRow = {m_templatesButton, m_effectsButton, m_plainColourButton};

    // The setting's only control: it is never shown, its value comes from the setting.
    m_eyedropperShown = new QCheckBox(QStringLiteral("Show Eyedropper Tool"), m_content);
    m_eyedropperShown->setObjectName(QStringLiteral("eyedropperShown"));
    m_eyedropperShown->setChecked(true);
    m_eyedropperShown->hide();
    connect(m_eyedropperShown, &QCheckBox::toggled, this, &MainWindow::onEyedropperShownToggled);

    m_eyedropperBar = new EyedropperBar(m_content);
    m_eyedropperBar->setObjectName(QStringLiteral("eyedropperBar"));
    connect(m_eyedropperBar, &EyedropperBar::colourPicked, this, &MainWindow::openReplaceColourDialog);
}

void MainWindow::start()
{
    if (m_context.runsFromOwnExecutable())
        registerWithDesktop(m_context.executablePath());

    // Without a folder of its own no texture can be made; the templates still show.
    m_textureFolder.create(QDir::tempPath());
    updateReadableFolders();

    const QString commandLine = commandLineText(m_context.arguments);
    TemplateInstaller installer(m_context.userTemplateFolderPath(), this);
    if (isTemplateLink(commandLine)) {
        if (installer.installFromLink(commandLine)) {
            close();
            return;
        }
    } else if (!commandLine.isEmpty()) {
        installer.installFromFile(commandLine);
    }

    measureFrame();

    m_templates.setFolders({m_context.contentFolderPath(), m_context.userTemplateFolderPath()});
    m_templates.refresh();

    if (m_templates.count() == 0) {
        offerTemplateSite();
        close();
        return;
    }

    restoreLastRun();
    layoutMainWindow();
    // Commands that the movie sent while loading, such as its sheet size, are handled here.
    QCoreApplication::processEvents();
}

void MainWindow::updateReadableFolders()
{
    QStringList folders{m_context.contentFolderPath(), m_context.userTemplateFolderPath()};
    if (m_textureFolder.isCreated())
        folders.append(m_textureFolder.path());
    m_player->setReadableFolders(folders);
}

void MainWindow::offerTemplateSite()
{
    platform::MessageRequest question;
    question.text = QStringLiteral("No template files found. Do you wish to download some?");
    question.icon = platform::MessageIcon::Exclamation;
    question.buttons = platform::MessageButtons::YesNo;
    if (platform::showMessage(question, this) != platform::MessageAnswer::Yes)
        return;
    platform::LaunchRequest request;
    request.target = templateSitePage();
    platform::launch(request);
}

QSize MainWindow::windowFrameSize() const
{
    return frameGeometry().size() - geometry().size();
}

bool MainWindow::measureFrame()
{
    // Before the window is shown the window system does not know its frame yet; then the frame
    // counts as nothing, and it is measured again once the window shows.
    const QSize frame = windowFrameSize().expandedTo(QSize(0, 0));
    const int width = toShortTwips(frame.width() * m_metrics.twipsPerPixelX);
    const int height = toShortTwips(frame.height() * m_metrics.twipsPerPixelY);
    const bool changed = width != m_frameWidth || height != m_frameHeight;
    m_frameWidth = width;
    m_frameHeight = height;
    return changed;
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The frame is known once the window manager has framed the window, which may be a little
    // after it shows; the sheet is fitted to the screen again with the real frame.
    const auto refit = [this] {
        if (!measureFrame())
            return;
        if (m_sheetPixels)
            setSheetSize(*m_sheetPixels);
        else
            layoutMainWindow();
    };
    refit();
    QTimer::singleShot(0, this, refit);
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (isVisible() && measureFrame()) {
        if (m_sheetPixels)
            setSheetSize(*m_sheetPixels);
        else
            layoutMainWindow();
    }
}

void MainWindow::restoreLastRun()
{
    // A value that is not 1 leaves the bar hidden; the check box's handler saves it back.
    const int eyedropper = platform::getSetting(LastTime, QStringLiteral("Show Eyedropper Tool"), QStringLiteral("1"))
                               .trimmed()
                               .toInt();
    m_eyedropperShown->setChecked(eyedropper == 1);
    onEyedropperShownToggled(m_eyedropperShown->isChecked());
    m_partNumber = platform::getSetting(LastTime, QStringLiteral("Part"), QStringLiteral("0"));

    const int last = m_templates.indexOf(platform::getSetting(LastTime, QStringLiteral("Template")));
    m_templates.setCurrentIndex(last >= 0 ? last : 0);
    showSelectedTemplate();
}

void MainWindow::showSelectedTemplate()
{
    const int index = m_templates.currentIndex();
    if (index < 0 || index >= m_templates.count())
        return;
    const QString fileName = m_templates.fileName(index);
    m_player->loadMovie(0, m_templates.filePath(index));
    loadEffectsLayer();
    setWindowTitle(windowTitleForTemplate(fileName));
    platform::saveSetting(LastTime, QStringLiteral("Template"), fileName);
    platform::saveSetting(LastTime, QStringLiteral("Part"), m_partNumber);
}

void MainWindow::loadEffectsLayer()
{
    // Without its effects movie a template simply plays without effects.
    const QString effects = m_context.contentFilePath(QStringLiteral("Effects.swf"));
    if (QFileInfo(effects).isFile())
        m_player->loadMovie(100, effects);
    bool isNumber = false;
    const int part = m_partNumber.trimmed().toInt(&isNumber);
    if (isNumber)
        m_player->gotoFrame(part);
}

void MainWindow::handleMovieCommand(const QString& command, const QString& args)
{
    const QString word = command.toLower();
    if (word == QLatin1String("setsize")) {
        if (const auto size = parseSheetSize(args))
            setSheetSize(*size);
    } else if (word == QLatin1String("clearitems")) {
        m_items.clear();
    } else if (word == QLatin1String("additem")) {
        if (m_items.size() < MaximumItemEntries)
            m_items.append(args);
    } else if (word == QLatin1String("addseperator")) {
        if (m_items.size() < MaximumItemEntries)
            m_items.append(QStringLiteral("-"));
    } else if (word == QLatin1String("clickitem")) {
        if (const auto index = parseItemIndex(args))
            runItemMenuEntry(*index);
    } else if (word == QLatin1String("msgbox")) {
        showPlainMessage(args);
    }
}

void MainWindow::handleExternalCall(const QString& request)
{
    showPlainMessage(request);
}

void MainWindow::showPlainMessage(const QString& text)
{
    if (!m_movieMessages.admit())
        return;
    platform::MessageRequest message;
    message.text = text;
    platform::showMessage(message, this);
}

void MainWindow::setSheetSize(const QSizeF& pixels)
{
    m_sheetPixels = pixels;
    m_playerWidth = float(pixels.width() * m_metrics.twipsPerPixelX);
    m_playerHeight = float(pixels.height() * m_metrics.twipsPerPixelY);
    layoutMainWindow();
    // The sheet is shown at a half, a quarter, ... until the window fits the screen. However
    // small the screen, the halving ends once both sides are below a pixel.
    const auto belowAPixel = [this] {
        return m_playerWidth < m_metrics.twipsPerPixelX && m_playerHeight < m_metrics.twipsPerPixelY;
    };
    while ((m_layout.outerWidth > m_metrics.widthTwips() || m_layout.outerHeight > m_metrics.heightTwips())
           && !belowAPixel()) {
        m_playerWidth /= 2;
        m_playerHeight /= 2;
        layoutMainWindow();
    }
}

QSize MainWindow::sheetSize() const
{
    if (!m_sheetPixels)
        return m_player->size();
    return QSize(std::max(1, int(std::lround(m_sheetPixels->width()))),
                 std::max(1, int(std::lround(m_sheetPixels->height()))));
}

void MainWindow::layoutMainWindow()
{
    m_layoutInput.playerWidth = m_playerWidth;
    m_layoutInput.playerHeight = m_playerHeight;
    m_layoutInput.frameWidth = m_frameWidth;
    m_layoutInput.frameHeight = m_frameHeight;
    m_layoutInput.eyedropperShown = m_eyedropperShown->isChecked();

    // Ask for the width first and shape the rest by what the window reports, in case the
    // window system limits it.
    const double requested = requestedOuterWidth(m_layoutInput);
    const int requestedPixels = toPixels(requested - m_frameWidth, m_metrics.twipsPerPixelX);
    setFixedWidth(std::max(0, requestedPixels));
    const double reported = width() == requestedPixels ? requested : width() * m_metrics.twipsPerPixelX + m_frameWidth;
    m_layout = layOutMainWindow(m_layoutInput, reported);
    applyLayout();
}

void MainWindow::applyLayout()
{
    const QSize client(toPixels(m_layout.clientWidth(m_layoutInput), m_metrics.twipsPerPixelX),
                       toPixels(m_layout.clientHeight(m_layoutInput), m_metrics.twipsPerPixelY));
    setFixedSize(client.expandedTo(QSize(0, 0)));
    m_content->setGeometry(0, 0, width(), height());
    const QRect player = m_metrics.pixelRect(m_layout.player);
    m_playerBackground->setGeometry(player);
    m_player->setGeometry(player);
    for (int index = 0; index < m_firstRow.size(); ++index)
        m_firstRow[index]->setGeometry(m_metrics.pixelRect(m_layout.firstRow.value(index)));
    for (int index = 0; index < m_secondRow.size(); ++index)
        m_secondRow[index]->setGeometry(m_metrics.pixelRect(m_layout.secondRow.value(index)));
    m_eyedropperBar->setGeometry(m_metrics.pixelRect(m_layout.eyedropperBar));
}

bool MainWindow::isEyedropperShown() const
{
    return m_eyedropperShown->isChecked();
}

void MainWindow::setEyedropperShown(bool shown)
{
    m_eyedropperShown->setChecked(shown);
}

void MainWindow::onEyedropperShownToggled(bool shown)
{
    platform::saveSetting(LastTime, QStringLiteral("Show Eyedropper Tool"), shown ? QStringLiteral("1") : QStringLiteral("0"));
    m_eyedropperBar->setVisible(shown);
    layoutMainWindow();
}

void MainWindow::showToolWindow(QWidget* window)
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
    disableMainWindow();
}

void MainWindow::disableMainWindow()
{
    // Only the controls are disabled: disabling the window itself would disable the tool
    // windows it owns as well.
    m_content->setEnabled(false);
    m_toolWindowWatch.start();
}

bool MainWindow::isMainWindowDisabled() const
{
    return !m_content->isEnabled();
}

void MainWindow::watchToolWindows()
{
    m_toolWindows.removeAll(nullptr);
    const bool anyVisible = std::any_of(m_toolWindows.cbegin(), m_toolWindows.cend(),
                                        [](const QPointer<QWidget>& window) { return window && window->isVisible(); });
    if (anyVisible)
        return;
    m_content->setEnabled(true);
    m_toolWindowWatch.stop();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) && watched->isWidgetType()) {
        // A press in a movie's message box is no sign of life: the movie asked for that box.
        const QWidget* window = static_cast<QWidget*>(watched)->window();
        if (window == this || m_toolWindows.contains(const_cast<QWidget*>(window)))
            m_movieMessages.userActed();
    }
    // A tool window that goes away brings the main window back at once, not only at the next
    // tick of the watch.
    if ((event->type() == QEvent::Hide || event->type() == QEvent::Close) && m_toolWindowWatch.isActive()
        && m_toolWindows.contains(qobject_cast<QWidget*>(watched)))
        QTimer::singleShot(0, this, &MainWindow::watchToolWindows);
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
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
    if (confirmClose())
        event->accept();
    else
        event->ignore();
}

platform::MessageAnswer MainWindow::askWhetherToSave()
{
    platform::MessageRequest question;
    question.text = QStringLiteral("Do you want to save?");
    question.icon = platform::MessageIcon::Exclamation;
    question.buttons = platform::MessageButtons::YesNoCancel;
    return platform::showMessage(question, this);
}

bool MainWindow::confirmClose()
{
    if (m_unsavedChanges) {
        const platform::MessageAnswer answer = askWhetherToSave();
        if (answer == platform::MessageAnswer::Cancel)
            return false;
        if (answer == platform::MessageAnswer::Yes) {
            bool saved = false;
            try {
                saved = saveTextureSheet();
            } catch (const std::exception&) {
                // A save that breaks keeps the program open with its unsaved changes.
                platform::MessageRequest failure;
                failure.text = QStringLiteral("Unable to work.");
                failure.title = windowTitle();
                failure.icon = platform::MessageIcon::Critical;
                platform::showMessage(failure, this);
            }
            if (!saved)
                return false;
        }
    }
    m_textureFolder.remove();
    endProgram();
    return true;
}

void MainWindow::endProgram()
{
    m_ended = true;
    m_toolWindowWatch.stop();
    for (const QPointer<QWidget>& window : std::as_const(m_toolWindows)) {
        if (window)
            window->hide();
    }
    QCoreApplication::exit(0);
}

void MainWindow::onChangeClicked()
{
    m_textureCommands->change();
}

void MainWindow::onSaveAsClicked()
{
    m_textureCommands->saveAs();
}

void MainWindow::onGradientClicked()
{
    // The window is made once and then only hidden and shown again.
    if (!m_gradientWindow) {
        m_gradientWindow = new tools::GradientWindow(m_metrics, this);
        connect(m_gradientWindow, &tools::GradientWindow::applyToRequested, this, &MainWindow::applyGradientTexture);
        // While the window shows, the item menu offers file items, which take its picture.
        const QPointer<tools::GradientWindow> window = m_gradientWindow;
        m_textureCommands->setGradientWindow(m_gradientWindow, [window] {
            return window ? window->committedPicture() : QImage();
        });
    }
    showToolWindow(m_gradientWindow);
}

void MainWindow::applyGradientTexture(const QImage& picture)
{
    // "Apply To...": the item menu, at the pointer, offers the file items; the one chosen takes
    // the window's committed picture (the same the signal carries).
    Q_UNUSED(picture);
    m_textureCommands->change();
}

void MainWindow::onTemplatesClicked()
{
    try {
        if (m_unsavedChanges) {
            const platform::MessageAnswer answer = askWhetherToSave();
            if (answer == platform::MessageAnswer::Cancel)
                return;
            if (answer == platform::MessageAnswer::Yes && !saveTextureSheet())
                return;
        }
        auto* catalogueWindow = new catalogue::CatalogueWindow(m_templates, m_metrics, this);
        connect(catalogueWindow, &catalogue::CatalogueWindow::templateChosen, this, [this](int templateIndex, int part) {
            m_unsavedChanges = false;
            m_partNumber = QString::number(part);
            // Nothing chosen (no template listed) leaves the template shown.
            if (templateIndex < 0 || templateIndex >= m_templates.count())
                return;
            m_player->loadMovie(0, QStringLiteral("-1"));
            m_templates.setCurrentIndex(templateIndex);
            showSelectedTemplate();
        });
        if (!catalogueWindow->open()) {
            delete catalogueWindow;
            return;
        }
        showToolWindow(catalogueWindow);
    } catch (const std::exception&) {
        showFailedToWork();
    }
}


void MainWindow::onEffectsClicked()
{
    try {
        // The window is shown only when the loaded overlay offers at least one effect.
        auto* window = new tools::EffectsWindow(m_player, m_metrics, this);
        if (!window->readEffectState()) {
            delete window;
            showFailedToWork();
            return;
        }
        showToolWindow(window);
    } catch (const std::exception&) {
        showFailedToWork();
    }
}

void MainWindow::showFailedToWork()
{
    platform::MessageRequest failure;
    failure.text = QStringLiteral("Failed to work.");
    failure.title = windowTitle();
    failure.icon = platform::MessageIcon::Critical;
    platform::showMessage(failure, this);
}

void MainWindow::openReplaceColourDialog()
{
    // The dialog takes the bar's colour as the colour picked, for as long as it is open.
    const QPointer<EyedropperBar> bar = m_eyedropperBar;
    auto* dialog = new tools::ReplaceColourDialog([bar] { return bar ? bar->colour() : 0; }, m_metrics, this);
    showToolWindow(dialog);
}

void MainWindow::onPlainColourClicked()
{
    m_textureCommands->plainColour();
}

void MainWindow::runItemMenuEntry(int index)
{
    m_textureCommands->runItem(index);
}

bool MainWindow::saveTextureSheet()
{
    return texture::saveSheetAs(*this);
}

} // namespace app
