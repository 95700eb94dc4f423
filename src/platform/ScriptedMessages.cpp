#include "platform/ScriptedMessages.h"

#include <cassert>

namespace platform {

namespace {

bool answerFits(MessageAnswer answer, MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok:
        return answer == MessageAnswer::Ok;
    case MessageButtons::YesNo:
        return answer == MessageAnswer::Yes || answer == MessageAnswer::No;
    case MessageButtons::YesNoCancel:
        return answer != MessageAnswer::Ok;
    }
    return false;
}

MessageAnswer firstButton(MessageButtons buttons)
{
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
}

} // namespace

ScriptedMessages::ScriptedMessages()
    : m_previousHandler(messageHandler())
{
    setMessageHandler([this](const MessageRequest& request) { return answer(request); });
}

ScriptedMessages::~ScriptedMessages()
{
    setMessageHandler(std::move(m_previousHandler));
}

void ScriptedMessages::answerNext(MessageAnswer answer)
{
    m_answers.enqueue(answer);
}

void ScriptedMessages::setDefaultAnswer(MessageAnswer answer)
{
    m_defaultAnswer = answer;
}

const MessageRequest& ScriptedMessages::last() const
{
    assert(!m_requests.isEmpty());
    return m_requests.constLast();
}

void ScriptedMessages::clear()
{
    m_requests.clear();
}

MessageAnswer ScriptedMessages::answer(const MessageRequest& request)
{
    m_requests.append(request);
    MessageAnswer given;
    if (!m_answers.isEmpty())
        given = m_answers.dequeue();
    else
        given = m_defaultAnswer.value_or(firstButton(request.buttons));
    if (!answerFits(given, request.buttons))
        ++m_unfittingAnswers;
    return given;
}

} // namespace platform
