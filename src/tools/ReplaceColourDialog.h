#pragma once

#include "app/ScreenMetrics.h"
#include "tools/ColourReference.h"

#include <QDialog>
#include <QList>
#include <QTimer>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace tools {

class SelectionFrame;

// The "Replace Custom Colour..." tool window: stores a newly picked colour into one of the
// sixteen custom colours of the colour picker. It shows the custom colours as boxes (the first
// one selected), a live sentence "Replace [old] With [new]." and OK and Cancel; OK overwrites
// the selected custom colour with the new one. The new colour is read from its source all the
// time the window is open, so that it follows the eyedropper. The window is deleted when it
// closes.
class ReplaceColourDialog : public QDialog {
    Q_OBJECT

public:
    using ColourSource = std::function<ColourReference()>;

    explicit ReplaceColourDialog(ColourSource newColour, const app::ScreenMetrics& metrics = {},
                                 QWidget* parent = nullptr);

    static constexpr int BoxCount = 16;

    // Box 1 to 16 shows custom colour 0 to 15.
    QFrame* colourBox(int box) const { return m_boxes.value(box - 1); }
    int selectedBox() const { return m_selectedBox; }
    SelectionFrame* selectionFrame() const { return m_selection; }
    QLabel* replaceLine() const { return m_replaceLine; }
    QFrame* oldColourBox() const { return m_oldColour; }
    QFrame* newColourBox() const { return m_newColour; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    // Brings the two boxes of the sentence up to date, as the window's timer does.
    void refreshReplaceLine();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createBoxes(const app::ScreenMetrics& metrics);
    void placeInGaps();
    void selectBox(int box);
    void store();

    ColourSource m_pickedColour;
    int m_selectedBox = 1;
    int m_selectionMargin = 0;
    QList<QFrame*> m_boxes;
    SelectionFrame* m_selection = nullptr;
    QLabel* m_replaceLine = nullptr;
    QFrame* m_oldColour = nullptr;
    QFrame* m_newColour = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QTimer m_refresh;
};

} // namespace tools
