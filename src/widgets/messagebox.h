#pragma once

// The program's message box on screen: what MesajGoster shows once installMessageBoxPresenter has
// run. Building the box and running it are separate steps, so that a test can build a box, look at
// it and answer it with keys.

#include "messages.h"

#include <memory>

class QMessageBox;
class QWidget;

namespace tarvik {

// Builds the box of a request, owned by (and centred on) owner, which may be null: the kind's icon
// and title, the text as plain text, one button per member of the set in the order Yes, No, OK,
// Cancel, Abort, Retry, Ignore, Yes to all, No to all, Help, captioned in Turkish (each button's
// accessible name is its caption).
//   Focus and default: OK when shown, else Yes, else Retry, else the first button in the tab order;
//   Enter presses the focused button.
//   Escape: Cancel when shown, else No, else OK; otherwise Escape does nothing and closing the window
//   answers mrCancel.
//   The button of the default-button argument, when shown, is moved first in the tab order; it does
//   not take the focus.
// An empty set shows OK alone.
std::unique_ptr<QMessageBox> buildMessageBox(const MessageRequest &request, QWidget *owner = nullptr);

// Shows a built box modally and returns the modal result of the button that closed it (mrOk …
// mrNo, mrYesToAll, mrNoToAll, mrHelp), mrCancel when none did.
int execMessageBox(QMessageBox &box);

// The modal result of the button that closed a box; mrNone while none has.
int messageBoxResult(const QMessageBox &box);

// The system sound of a kind: exclamation, stop, asterisk, question.
void playMessageSound(MesajTuru kind);

// Shows a request: owner is the active modal window, else the active window; plays the kind's
// sound, runs the box and returns its modal result. Main thread only.
int showMessageBox(const MessageRequest &request);

// Makes showMessageBox the presenter of MesajGoster.
void installMessageBoxPresenter();

} // namespace tarvik
