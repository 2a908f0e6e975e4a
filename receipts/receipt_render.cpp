#include "receipt_render.h"

#include "pdf_file.h"
#include "printer_metrics.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

namespace receiptrender {

namespace {

constexpr double kPointsPerMm = 72 / 25.4;
double Advance(const QFont& font, const QString& text) {
    return printermetrics::Metrics(font).horizontalAdvance(text) * printermetrics::kToPoints;
}

// The sheet in points: rolls are one page as long as the lines need.
struct CSheet {
    QPageLayout layout;
    QFont font;
    double lineHeight = 0; // points
    int linesPerPage = 0;
};

CSheet SheetFor(const std::vector<CReceiptLine>& lines, CReceiptSettings::Paper paper) {
    const bool roll = paper != CReceiptSettings::Paper::A4;
    const double widthMm = paper == CReceiptSettings::Paper::Mm58   ? 58
                           : paper == CReceiptSettings::Paper::Mm80 ? 80
                                                                    : 210;
    // A roll printer prints 48 mm of 58 and 72 mm of 80; the rest is its margin.
    const QMarginsF marginsMm = roll ? QMarginsF(widthMm == 58 ? 5 : 4, 4, widthMm == 58 ? 5 : 4, 8)
                                     : QMarginsF(20, 15, 20, 15);
    const double inner = (widthMm - marginsMm.left() - marginsMm.right()) * kPointsPerMm;

    CSheet sheet;
    sheet.font = Font();
    sheet.font.setPointSizeF(10);
    // A CJK character is two columns.
    const double column = inner / receipttext::ColumnsOf(paper);
    double size = 10 * 2 * column / Advance(sheet.font, QStringLiteral("国"));
    sheet.font.setPointSizeF(size);
    for (const CReceiptLine& line : lines) {
        const double wide = Advance(sheet.font, line.text);
        if (wide > inner) {
            size *= inner / wide * 0.995;
            sheet.font.setPointSizeF(size);
        }
    }
    sheet.lineHeight =
        printermetrics::Metrics(sheet.font).lineSpacing() * printermetrics::kToPoints;

    const double marginHeight = (marginsMm.top() + marginsMm.bottom()) * kPointsPerMm;
    QPageSize page(QPageSize::A4);
    if (roll) {
        const double height = marginHeight + std::max<size_t>(lines.size(), 1) * sheet.lineHeight;
        page = QPageSize(QSizeF(widthMm * kPointsPerMm, std::ceil(height)), QPageSize::Point,
                         QString(), QPageSize::ExactMatch);
        sheet.linesPerPage = std::max<int>(int(lines.size()), 1);
    } else {
        sheet.linesPerPage = std::max(
            1, int((page.size(QPageSize::Point).height() - marginHeight) / sheet.lineHeight));
    }
    sheet.layout = QPageLayout(page, QPageLayout::Portrait, marginsMm, QPageLayout::Millimeter);
    return sheet;
}

// Every line onto `device`, whose painter starts at the top left of the printable area.
template <class Device>
bool Paint(Device& device, const CSheet& sheet, const std::vector<CReceiptLine>& lines) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double scale = device.resolution() / 72.0;
    const double width = sheet.layout.paintRect(QPageLayout::Point).width() * scale;
    const double height = sheet.lineHeight * scale;
    painter.setFont(sheet.font);
    QPen pen(Qt::black);
    pen.setWidthF(0.5 * scale);
    painter.setPen(pen);
    for (size_t i = 0; i < lines.size(); ++i) {
        const int row = int(i) % sheet.linesPerPage;
        if (i > 0 && row == 0 && !device.newPage())
            return false;
        const QRectF box(0, row * height, width, height);
        const CReceiptLine& line = lines[i];
        if (line.rule) {
            painter.drawLine(QPointF(0, box.center().y()), QPointF(width, box.center().y()));
            continue;
        }
        const int align = line.align == CReceiptLine::Align::Right    ? Qt::AlignRight
                          : line.align == CReceiptLine::Align::Centre ? Qt::AlignHCenter
                                                                      : Qt::AlignLeft;
        painter.drawText(box, align | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                         line.text);
    }
    return painter.end();
}

} // namespace

QFont Font() {
    QFont font(QStringLiteral("WenQuanYi Micro Hei Mono"), 9);
    font.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei Mono"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Droid Sans Fallback")});
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

bool WritePdf(const QString& path, const std::vector<CReceiptLine>& lines,
              CReceiptSettings::Paper paper, const QString& title, QString* failure) {
    const CSheet sheet = SheetFor(lines, paper);
    return pdffile::Write(
        path, title,
        [&](QPdfWriter& pdf) {
            return pdf.setPageLayout(sheet.layout) && Paint(pdf, sheet, lines);
        },
        failure);
}

bool Print(const QString& queue, const std::vector<CReceiptLine>& lines,
           CReceiptSettings::Paper paper, const QString& title, QString* failure) {
    const CSheet sheet = SheetFor(lines, paper);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(queue);
    printer.setDocName(title);
    const bool printed = printer.isValid() && printer.setPageLayout(sheet.layout) &&
                         Paint(printer, sheet, lines) && printer.printerState() != QPrinter::Error;
    if (!printed && failure)
        *failure = QStringLiteral("打印机“%1”没有接受小票").arg(queue);
    return printed;
}

} // namespace receiptrender
