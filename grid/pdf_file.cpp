#include "pdf_file.h"

#include "books_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>

namespace pdffile {

bool Write(const QString& path, const QString& title, const std::function<bool(QPdfWriter&)>& paint,
           QString* failure) {
    const QFileInfo info(path);
    const QString temporary = info.absoluteDir().filePath(QStringLiteral(".") + info.fileName() +
                                                          QStringLiteral(".part"));
    bool written = false;
    {
        QPdfWriter pdf(temporary);
        pdf.setCreator(QStringLiteral("青杏药店进销存管理系统"));
        pdf.setTitle(title);
        written = paint(pdf);
    }
    if (written && QFileInfo(temporary).size() > 0 && booksfile::SyncToDisk(temporary) &&
        booksfile::RenameOver(temporary, info.absoluteFilePath()))
        return true;
    QFile::remove(temporary);
    if (failure)
        *failure = QStringLiteral("无法写入文件“%1”")
                       .arg(QDir::toNativeSeparators(info.absoluteFilePath()));
    return false;
}

} // namespace pdffile
