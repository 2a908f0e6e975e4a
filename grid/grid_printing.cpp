#include "grid_printing.h"

#include "books_file.h"
#include "page_layout.h"
#include "pdf_file.h"
#include "prompts.h"
#include "report_file.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace gridprinting {

namespace {

const QMarginsF kMargins(36, 36, 36, 36); // points

// Every page of `layout` onto `device`, which `newPage` moves to the next sheet.
template <class Device> bool PaintPages(Device& device, CPageLayout& layout) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    layout.Paginate(&device, device.pageLayout().paintRectPixels(device.resolution()).size());
    for (int page = 0; page < layout.PageCount(); ++page) {
        if (page > 0 && !device.newPage())
            return false;
        layout.Paint(painter, page);
    }
    return painter.end();
}

} // namespace

bool WritePdf(const QString& path, const QStringList& titles, const CResultTable& table,
              const QString& title, const QString& printedOn, QString* failure) {
    CPageLayout layout(titles, table, title, printedOn);
    const bool written = pdffile::Write(
        path, title,
        [&](QPdfWriter& pdf) {
            pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), layout.Orientation(), kMargins,
                                          QPageLayout::Point));
            return PaintPages(pdf, layout);
        },
        failure);
    if (!written && failure)
        *failure += QStringLiteral("，PDF 没有保存。");
    return written;
}

bool ExportPdf(QWidget* owner, const QStringList& titles, const CResultTable& table,
               const QString& title, const QString& printedOn) {
    const QString path =
        reportfile::AskPath(owner, QStringLiteral("PDF 文件 (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return false;
    QString failure;
    if (WritePdf(path, titles, table, title, printedOn, &failure))
        return true;
    Prompts().Tell(owner, failure, CPrompts::Icon::Warning);
    return false;
}

void PrintPreview(QWidget* owner, const QStringList& titles, const CResultTable& table,
                  const QString& title, const QString& printedOn) {
    CPageLayout layout(titles, table, title, printedOn);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), layout.Orientation(), kMargins, QPageLayout::Point));
    QPrintPreviewDialog preview(&printer, owner);
    preview.setWindowTitle(QStringLiteral("打印预览 - ") + title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* target) { PaintPages(*target, layout); });
    preview.exec();
}

} // namespace gridprinting
