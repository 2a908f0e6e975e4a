#pragma once
// The feedback contact: an installation setting, shown on the About box and used by 信息反馈.
#include <QString>
#include <QUrl>

// [Feedback] Address in apricot.conf (the user's, else the system-wide one under
// $XDG_CONFIG_DIRS); DefaultFeedbackAddress() when neither sets it.
QString FeedbackAddress();
QString DefaultFeedbackAddress();
// "mailto:" and the address.
QUrl FeedbackLinkUrl(const QString& address);
// A new mail to the address with the feedback subject and body.
QUrl FeedbackMailUrl(const QString& address);
