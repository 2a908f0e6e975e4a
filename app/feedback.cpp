#include "feedback.h"

#include <QSettings>

QString DefaultFeedbackAddress() {
    return QStringLiteral("feedback@apricot.example");
}

QString FeedbackAddress() {
    QSettings settings;
    const QString address = settings.value(QStringLiteral("Feedback/Address")).toString().trimmed();
    return address.isEmpty() ? DefaultFeedbackAddress() : address;
}

QUrl FeedbackLinkUrl(const QString& address) {
    return QUrl(QStringLiteral("mailto:") + address, QUrl::TolerantMode);
}

QUrl FeedbackMailUrl(const QString& address) {
    return QUrl(QStringLiteral("mailto:") + address +
                    QStringLiteral("?subject=信息反馈单&body=这封邮件将直接发送给该系统的开发人员，"
                                   "请在下面说明你遇到的问题或者建议："),
                QUrl::TolerantMode);
}
