#pragma once

#include "platform/MessageBox.h"

#include <QList>
#include <QQueue>
#include <optional>

namespace platform {

// A test's stand-in for the message boxes. While an object lives, every showMessage() call is
// recorded (text, title as shown, icon, buttons) and answered from a script instead of opening
// a window, so no test ever blocks on a dialog. The handler that was installed before is put
// back when the object is destroyed, so recorders may nest.
//
//     platform::ScriptedMessages messages;
//     messages.answerNext(platform::MessageAnswer::No);
//     window.close();                          // asks "Do you want to save?"
//     QCOMPARE(messages.count(), 1);
//     QCOMPARE(messages.last().text, "Do you want to save?");
//
// Answers: queued answers are used first, one per message, in order. When the queue is empty
// the default answer is given; unless setDefaultAnswer() chose one, that is the first button
// of the box: Ok for an OK box, Yes for Yes/No and Yes/No/Cancel. An answer that is not among
// the box's buttons is given all the same (and counted by unfittingAnswers()), so that a
// test can see its script is wrong rather than have it corrected silently.
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    void answerNext(MessageAnswer answer);
    void setDefaultAnswer(MessageAnswer answer);

    const QList<MessageRequest>& requests() const { return m_requests; }
    int count() const { return int(m_requests.size()); }
    const MessageRequest& last() const; // only when count() > 0
    int pendingAnswers() const { return int(m_answers.size()); }
    int unfittingAnswers() const { return m_unfittingAnswers; }
    void clear(); // forgets the recorded requests, keeps the script

private:
    MessageAnswer answer(const MessageRequest& request);

    MessageHandler m_previousHandler;
    QList<MessageRequest> m_requests;
    QQueue<MessageAnswer> m_answers;
    std::optional<MessageAnswer> m_defaultAnswer;
    int m_unfittingAnswers = 0;
};

} // namespace platform
