#pragma once
// The boxes a decoder on the keyboard line types its answers into, as the
// link sees them: a one-line box takes the marks and data of the transfer
// window; the command console also reads status replies from its log.

#include <QString>

#include "link/reply_box.h"

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace q51 {

// The handle the link waits on; one source per box, made on first use.
ReplyBox ReplyBoxOf(QLineEdit *edit);
ReplyBox ReplyBoxOf(QPlainTextEdit *edit);

// The one-line box a window gives the decoder to type into: too small to
// read, it only has to hold the focus. Named Text1, as in every window.
QLineEdit *NewReplyLine(QWidget *parent, const QString &initialText = {});

} // namespace q51
