#pragma once

#include "app/EyedropperBar.h"
#include "app/MainWindowLayout.h"
#include "app/MovieMessageGate.h"
#include "app/ScreenMetrics.h"
#include "app/StartupContext.h"
#include "app/TemplateList.h"
#include "app/TextureFolder.h"
#include "platform/MessageBox.h"

#include <QList>
#include <QPointer>
#include <QSizeF>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

class QCheckBox;
class QImage;
class QPushButton;

namespace player {
class MoviePlayer;
}
namespace texture {
class TextureCommands;
}

namespace tools {
class GradientWindow;
}

namespace app {

// The main window: it starts the program, hosts the template movie with the effects overlay,
// answers the movie's commands, sizes itself around the movie and ends the program when it
// closes.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(StartupContext context, QWidget* parent = nullptr);
    MainWindow(StartupContext context, const ScreenMetrics& metrics, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: registration, the texture folder, the command line, the template list and the
    // last run's state. Afterwards either hasEnded() is true or the window is ready to be shown.
    void start();
    bool hasEnded() const { return m_ended; }

    // The template host.
    TemplateList& templates() { return m_templates; }
    // Loads the current entry of the template list with its effects overlay.
    void showSelectedTemplate();
    void loadEffectsLayer();
    void handleMovieCommand(const QString& command, const QString& args);
    void handleExternalCall(const QString& request);

    // Tool windows: while one shows, the main window takes no input; it comes back by itself
    // when the last one is hidden or closed.
    void showToolWindow(QWidget* window);
    void disableMainWindow();
    bool isMainWindowDisabled() const;

    void layoutMainWindow();
    const LayoutResult& lastLayout() const { return m_layout; }
    // The texture sheet's own size in pixels: the last size the movie asked for, however much
    // the player was shrunk to fit the screen; the player's size while the movie asked none.
    QSize sheetSize() const;

    // The item list the movie reported ("caption&parameter&kind" or "-"), and the part (frame
    // from 0, as decimal text) that a template is shown at.
    QStringList& itemMenuEntries() { return m_items; }
    // The most entries a movie can put in the item list; later "additem"s are ignored.
    static constexpr int MaximumItemEntries = 1000;
    QString& partNumber() { return m_partNumber; }

    bool hasUnsavedChanges() const { return m_unsavedChanges; }
    void setUnsavedChanges(bool unsaved) { m_unsavedChanges = unsaved; }
    // True while the item menu opened by "Plain Colour..." is up.
    bool isPlainColourMode() const { return m_plainColourMode; }
    void setPlainColourMode(bool on) { m_plainColourMode = on; }

    bool isEyedropperShown() const;
    void setEyedropperShown(bool shown);
    EyedropperBar* eyedropperBar() const { return m_eyedropperBar; }
    // The gradient window once "Gradient..." has made it (it is then kept, hidden when closed).
    tools::GradientWindow* gradientWindow() const { return m_gradientWindow; }

    player::MoviePlayer* moviePlayer() const { return m_player; }
    QPushButton* changeButton() const { return m_changeButton; }
    QPushButton* saveAsButton() const { return m_saveAsButton; }
    QPushButton* gradientButton() const { return m_gradientButton; }
    QPushButton* templatesButton() const { return m_templatesButton; }
    QPushButton* effectsButton() const { return m_effectsButton; }
    QPushButton* plainColourButton() const { return m_plainColourButton; }

    TextureFolder& textureFolder() { return m_textureFolder; }
    // Lets templates read the program's and the user's template folders and this run's texture
    // folder (besides their own); call it again whenever the texture folder is made.
    void updateReadableFolders();
    // The texture buttons, the item menu and the texture sources behind them.
    texture::TextureCommands& textureCommands() { return *m_textureCommands; }
    const StartupContext& context() const { return m_context; }
    const ScreenMetrics& screenMetrics() const { return m_metrics; }
    // The window frame (outer size minus client size) in twips, as last measured.
    int frameWidthTwips() const { return m_frameWidth; }
    int frameHeightTwips() const { return m_frameHeight; }

    // Asks about unsaved changes and, when the program may end, deletes the texture files and
    // ends it; false when the user keeps it open.
    bool confirmClose();

public slots:
    // The command buttons and the item menu belong to the texture tools; these are the places
    // they hook into.
    virtual void onChangeClicked();
    virtual void onSaveAsClicked();
    virtual void onGradientClicked();
    virtual void onTemplatesClicked();
    virtual void onEffectsClicked();
    virtual void onPlainColourClicked();
    virtual void runItemMenuEntry(int index);
    // "Apply To..." of the gradient window: the picture is to become the texture of a part.
    virtual void applyGradientTexture(const QImage& picture);

public:
    // Saves the texture sheet; true when it was saved. A failure may throw RuntimeError.
    virtual bool saveTextureSheet();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Ends the program at once: every window goes, no further events are handled.
    virtual void endProgram();
    // The window frame's size in pixels (outer size minus client size); known only once the
    // window has been shown.
    virtual QSize windowFrameSize() const;

private:
    // Yes, No or Cancel to "Do you want to save?", asked before unsaved changes are left.
    platform::MessageAnswer askWhetherToSave();
    void createControls();
    QPushButton* addButton(const QString& caption, const QString& objectName, void (MainWindow::*slot)());
    void offerTemplateSite();
    bool measureFrame();
    void restoreLastRun();
    void onEyedropperShownToggled(bool shown);
    void openReplaceColourDialog();
    void showFailedToWork();
    void setSheetSize(const QSizeF& pixels);
    void applyLayout();
    void watchToolWindows();
    void showPlainMessage(const QString& text);

    StartupContext m_context;
    ScreenMetrics m_metrics;
    TemplateList m_templates;
    TextureFolder m_textureFolder;
    QStringList m_items;
    MovieMessageGate m_movieMessages;
    QString m_partNumber = QStringLiteral("0");
    bool m_unsavedChanges = false;
    bool m_plainColourMode = false;
    float m_playerWidth = 6120; // twips
    float m_playerHeight = 6120;
    std::optional<QSizeF> m_sheetPixels; // the last sheet size the movie asked for
    int m_frameWidth = 0;                // twips
    int m_frameHeight = 0;
    LayoutInput m_layoutInput;
    LayoutResult m_layout;
    bool m_ended = false;

    QWidget* m_content = nullptr; // holds every control; disabled while a tool window is up
    player::MoviePlayer* m_player = nullptr;
    QWidget* m_playerBackground = nullptr;
    EyedropperBar* m_eyedropperBar = nullptr;
    tools::GradientWindow* m_gradientWindow = nullptr; // a child of this window, once made
    QCheckBox* m_eyedropperShown = nullptr; // never shown: its value comes from the setting
    QPushButton* m_changeButton = nullptr;
    QPushButton* m_saveAsButton = nullptr;
    QPushButton* m_gradientButton = nullptr;
    QPushButton* m_templatesButton = nullptr;
    QPushButton* m_effectsButton = nullptr;
    QPushButton* m_plainColourButton = nullptr;
    QList<QPushButton*> m_firstRow;
    QList<QPushButton*> m_secondRow;
    QList<QPointer<QWidget>> m_toolWindows;
    QTimer m_toolWindowWatch;
    std::unique_ptr<texture::TextureCommands> m_textureCommands;
};

} // namespace app
