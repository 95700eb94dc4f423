#pragma once

#include <QString>
#include <functional>
#include <memory>

class QMessageBox;

class QWidget;

namespace platform {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString text;
    QString title; // empty: the default title (the application's name)
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Shows a modal message box and returns the button pressed. Closing the box without a
// button counts as Cancel where there is one, otherwise as the only or the "No" answer.
// An empty title is replaced by platform::applicationName(), the executable's name, before
// the request reaches the box or an installed handler.
MessageAnswer showMessage(const MessageRequest& request, QWidget* parent = nullptr);

// The box showMessage() shows for a request whose title is already filled in: its text is plain
// text, whatever markup it holds.
std::unique_ptr<QMessageBox> createMessageBox(const MessageRequest& request, QWidget* parent = nullptr);

// The seam tests use: while a handler is installed, showMessage() hands every request to it
// instead of showing a window, and returns its answer. See platform::ScriptedMessages for a
// ready-made recorder.
using MessageHandler = std::function<MessageAnswer(const MessageRequest&)>;
void setMessageHandler(MessageHandler handler); // an empty handler restores the real boxes
MessageHandler messageHandler();                // the installed handler, empty when none

} // namespace platform
