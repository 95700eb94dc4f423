#pragma once

namespace app {

// Message boxes that a movie asks for ("msgbox", external calls) are modal, so a template that
// asks for one on every frame could keep the user from ever reaching the window again. The
// gate lets a few through in a row, then holds the rest back until the user does something in
// the program's own windows.
class MovieMessageGate {
public:
    static constexpr int MessagesInARow = 3;

    // True when the next message may be shown (and counts it).
    bool admit();
    // The user pressed a key or a mouse button in the program: messages may show again.
    void userActed() { m_shownSinceUserAction = 0; }
    bool isHoldingBack() const { return m_shownSinceUserAction >= MessagesInARow; }

private:
    int m_shownSinceUserAction = 0;
};

} // namespace app
