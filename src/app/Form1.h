#pragma once

#include "app/MainWindowLayout.h"
#include "app/ScreenMetrics.h"
#include "app/StartupContext.h"
#include "app/TemplateList.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class QCheckBox;
class QPushButton;

namespace player {
class MoviePlayer;
}

namespace app {

// The main window: it starts the program, hosts the template movie with the effects overlay,
// answers the movie's commands, sizes itself around the movie and ends the program when it
// closes. Window state that other windows read keeps the name of the control that held it.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(StartupContext context, QWidget* parent = nullptr);
    Form1(StartupContext context, const ScreenMetrics& metrics, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up: registration, texture path, command line, template list, last run's state.
    // Afterwards either hasEnded() is true or the window is ready to be shown.
    void Form_Load();
    bool hasEnded() const { return m_ended; }

    // The template host.
    void File1_Click();
    void LoadEffectsLayer();
    void ShockwaveFlash1_FSCommand(const QString& command, const QString& args);
    void ShockwaveFlash1_FlashCall(const QString& request);
    void ShowToolWindow(QWidget* window);
    void DisableMainWindow();
    void Timer2_Timer();
    bool isMainWindowDisabled() const;

    void LayoutMainWindow();
    const LayoutResult& lastLayout() const { return m_layout; }
    void Check3_Click();
    void DeleteTextureFiles();

    // The command buttons and the item menu belong to the texture tools; these are the places
    // they hook into.
    virtual void Command1_Click(int index);
    virtual void Command2_Click(int index);
    virtual void mnuChangeNewItem_Click(int index);
    // Saves the texture sheet; true when it was saved. A failure may throw RuntimeError.
    virtual bool SaveTextureSheet();

    // Window state shared with the other windows.
    player::MoviePlayer* ShockwaveFlash1() const { return m_player; }
    TemplateList& File1() { return m_templates; }
    QStringList& List1() { return m_items; }
    QString& Text1() { return m_partNumber; }
    bool Check1 = false; // unsaved changes
    bool Check2 = false; // plain-colour mode while its item menu is up
    QCheckBox* Check3() const { return m_showEyedropper; }
    QWidget* Picture5() const { return m_eyedropperBar; }
    QPushButton* Command1(int index) const { return m_firstRow.value(index); }
    QPushButton* Command2(int index) const { return m_secondRow.value(index); }
    QString TexturePathPrefix;
    int FrameWidth = 0;  // twips
    int FrameHeight = 0; // twips

    const StartupContext& context() const { return m_context; }
    const ScreenMetrics& screenMetrics() const { return m_metrics; }
    float playerWidthTwips() const { return m_playerWidth; }
    float playerHeightTwips() const { return m_playerHeight; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    void Form_QueryUnload(bool& cancel);
    // Ends the program at once: every window goes, no further events are handled.
    virtual void EndProgram();

private:
    void createControls();
    void measureFrame();
    void restoreLastRun();
    void setSheetSize(const QSizeF& pixels);
    void applyLayout();
    void showPlainMessage(const QString& text);

    StartupContext m_context;
    ScreenMetrics m_metrics;
    TemplateList m_templates;
    QStringList m_items;
    QString m_partNumber = QStringLiteral("0");
    float m_playerWidth = 6120;
    float m_playerHeight = 6120;
    LayoutInput m_layoutInput;
    LayoutResult m_layout;
    bool m_ended = false;

    QWidget* m_content = nullptr; // holds every control; disabled while a tool window is up
    player::MoviePlayer* m_player = nullptr;
    QWidget* m_playerBackground = nullptr; // `Picture3`
    QWidget* m_eyedropperBar = nullptr;    // `Picture5`
    QCheckBox* m_showEyedropper = nullptr; // `Check3`
    QList<QPushButton*> m_firstRow;        // `Command1`
    QList<QPushButton*> m_secondRow;       // `Command2`
    QList<QPointer<QWidget>> m_toolWindows;
    QTimer m_timer2;
};

} // namespace app
