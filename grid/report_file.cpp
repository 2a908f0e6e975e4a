#include "report_file.h"

#include "prompts.h"
#include "sort_keys.h"
#include "text_forms.h"

#include <QFileInfo>
#include <QSaveFile>

namespace reportfile {

QString ShownTitle(const QStringList& titles, int column) {
    if (column >= titles.size())
        return QStringLiteral("-UNKNOWN-");
    return sortkeys::ColumnName(textforms::WithoutTrailingBlanks(titles[column]));
}

bool MayReplace(QWidget* owner, const QString& chosen, const QString& path) {
    return path == chosen || !QFileInfo::exists(path) ||
           Prompts().Message(owner, QStringLiteral("文件“%1”已存在，要替换它吗？").arg(path),
                             CPrompts::Icon::Question,
                             CPrompts::Buttons::YesNo) == CPrompts::Answer::Yes;
}

QString WithEnding(const QString& chosen, const QString& suffix) {
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QLatin1Char('.') + suffix : chosen;
}

QString AskPath(QWidget* owner, const QString& filter, const QString& suffix) {
    const QString chosen = Prompts().SaveFileName(owner, filter);
    if (chosen.isEmpty())
        return {};
    const QString path = WithEnding(chosen, suffix);
    return MayReplace(owner, chosen, path) ? path : QString();
}

bool Write(QWidget* owner, const QString& path, const std::function<bool(QIODevice&)>& write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        Prompts().Tell(
            owner,
            QStringLiteral("无法创建文件“%1”，报表没有保存。\n%2").arg(path, file.errorString()),
            CPrompts::Icon::Warning);
        return false;
    }
    if (!write(file) || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        Prompts().Tell(owner,
                       QStringLiteral("写入文件“%1”时出错，报表没有保存。\n%2").arg(path, reason),
                       CPrompts::Icon::Warning);
        return false;
    }
    return true;
}

} // namespace reportfile
