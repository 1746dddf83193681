#pragma once

#include <QString>
#include <QStringList>

// The display server's replies are unframed: one read may hold two replies, or only part of
// one. Each reply is one "<gui>" element, so they are cut apart at every "</gui>".
namespace ScreenReplies {

// Appends what was read to pending and takes out every complete reply, in order. Text in
// front of a reply's "<gui>" is dropped; an unfinished reply stays in pending for the next
// read, unless pending grows beyond any reply's size, when it is given up.
QStringList take(QString* pending, const QString& read);

}  // namespace ScreenReplies
