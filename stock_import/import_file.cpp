#include "import_file.h"

#include <QFile>
#include <QFileInfo>

namespace {
// Far above any pharmacy's stock list; a larger file is not one.
constexpr qint64 kLargestCsv = 256ll * 1024 * 1024;
} // namespace

std::optional<CImportTable> ReadImportFile(const QString& path, QString* failure) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("xlsx"))
        return ReadXlsx(path, failure);
    if (suffix != QStringLiteral("csv") && suffix != QStringLiteral("txt")) {
        *failure =
            suffix == QStringLiteral("xls")
                ? QStringLiteral("不能读取旧的 .xls 文件，请在 Excel 或 WPS 中另存为 .xlsx 或 .csv")
                : QStringLiteral("只能导入 .csv 或 .xlsx 文件：%1").arg(QFileInfo(path).fileName());
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *failure = QStringLiteral("无法打开文件 %1：%2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kLargestCsv) {
        *failure = QStringLiteral("文件 %1 太大，不像是库存表").arg(QFileInfo(path).fileName());
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *failure = QStringLiteral("读取文件 %1 出错：%2").arg(path, file.errorString());
        return std::nullopt;
    }
    return ReadCsv(bytes, failure);
}
