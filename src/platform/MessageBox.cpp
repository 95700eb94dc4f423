#include "platform/MessageBox.h"

#include "platform/Settings.h"

#include <QMessageBox>

namespace platform {

namespace {

MessageHandler& installedHandler()
{
    static MessageHandler handler;
    return handler;
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// What closing the window (Escape or the title bar's close button) answers.
MessageAnswer answerOnClose(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    case MessageButtons::YesNoCancel:
        return MessageAnswer::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return MessageAnswer::Ok;
}

MessageAnswer answerFor(int result, MessageButtons buttons)
{
    switch (result) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return answerOnClose(buttons);
    }
}

} // namespace

void setMessageHandler(MessageHandler handler)
{
    installedHandler() = std::move(handler);
}

MessageHandler messageHandler()
{
    return installedHandler();
}

MessageAnswer showMessage(const MessageRequest& request, QWidget* parent)
{
    MessageRequest shown = request;
    if (shown.title.isEmpty())
        shown.title = applicationName();

    if (const MessageHandler& handler = installedHandler())
        return handler(shown);

    const std::unique_ptr<QMessageBox> box = createMessageBox(shown, parent);
    return answerFor(box->exec(), shown.buttons);
}

std::unique_ptr<QMessageBox> createMessageBox(const MessageRequest& request, QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(boxIcon(request.icon), request.title, request.text,
                                             boxButtons(request.buttons), parent);
    // Texts may come from a movie: markup in them is shown as written, never as links.
    box->setTextFormat(Qt::PlainText);
    switch (request.buttons) {
    case MessageButtons::YesNo:
        box->setDefaultButton(QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box->setDefaultButton(QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::Cancel);
        break;
    case MessageButtons::Ok:
        box->setDefaultButton(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
        break;
    }
    return box;
}

} // namespace platform
