#include "page_layout.h"

#include "column_kinds.h"
#include "printer_metrics.h"
#include "report_file.h"
#include "write_back.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <numeric>

namespace {

// Points: a cell's padding, the widest a column grows before its texts wrap, the page margins
// of A4 (595 × 842 points) that the printer leaves.
constexpr double kPadding = 3;
constexpr double kMaxColumn = 170;
constexpr double kMinColumn = 18;
constexpr double kPortraitWidth = 595 - 2 * 36;
constexpr int kWrap = Qt::TextWordWrap | Qt::TextWrapAnywhere;

QFont Bold(QFont font) {
    font.setBold(true);
    return font;
}

// A typed column goes by its type (a summary row's label there lines up with the numbers); a
// column of a table built by hand, without types, when every filled cell is a number.
bool IsNumberColumn(const CResultTable& table, int column) {
    const short type = table.Columns()[column].m_nSQLType;
    if (type != 0)
        return columnkinds::IsSortNumeric(type);
    bool filled = false;
    for (int r = 0; r < table.RowCount(); ++r) {
        const QStringView cell = table.Cell(r, column);
        if (cell.trimmed().isEmpty())
            continue;
        if (!writeback::IsNumberText(cell.toString()))
            return false;
        filled = true;
    }
    return filled;
}

} // namespace

CPageLayout::CPageLayout(const QStringList& titles, const CResultTable& table, QString title,
                         QString printedOn, const QFont& font)
    : m_table(table), m_title(std::move(title)), m_printedOn(std::move(printedOn)), m_font(font) {
    for (int c = 0; c < table.ColumnCount(); ++c)
        m_headers << reportfile::ShownTitle(titles, c);
    const QFontMetricsF plain = printermetrics::Metrics(m_font);
    const QFontMetricsF bold = printermetrics::Metrics(Bold(m_font));
    const double toPoints = printermetrics::kToPoints;
    for (int c = 0; c < table.ColumnCount(); ++c) {
        double widest = bold.horizontalAdvance(m_headers[c]) * toPoints;
        for (int r = 0; r < table.RowCount() && widest < kMaxColumn; ++r) {
            for (const QString& line : table.CellText(r, c).split(QLatin1Char('\n')))
                widest = std::max(widest, plain.horizontalAdvance(line) * toPoints);
        }
        m_widths.push_back(std::clamp(widest + 2 * kPadding, kMinColumn, kMaxColumn));
        m_fitsAll.push_back(widest + 2 * kPadding <= kMaxColumn);
        m_alignments.push_back(IsNumberColumn(table, c) ? Qt::AlignRight : Qt::AlignLeft);
    }
    const double total = std::accumulate(m_widths.begin(), m_widths.end(), 0.0);
    m_orientation = total > kPortraitWidth ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QFont CPageLayout::PrintFont() {
    QFont font(QStringLiteral("WenQuanYi Micro Hei"), 9);
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Droid Sans Fallback")});
    return font;
}

QStringList CPageLayout::RowTexts(int row) const {
    QStringList texts;
    for (int c = 0; c < m_table.ColumnCount(); ++c)
        texts << m_table.CellText(row, c);
    return texts;
}

void CPageLayout::Paginate(QPaintDevice* device, const QSizeF& pageSize) {
    m_pDevice = device;
    m_page = pageSize;
    m_scale = device->logicalDpiX() / 72.0;
    // Columns wider than the page all give up the same share.
    const double total = std::accumulate(m_widths.begin(), m_widths.end(), 0.0);
    const double available = pageSize.width() / m_scale;
    if (total > available) {
        for (double& width : m_widths)
            width *= available / total;
        m_fitsAll.assign(m_widths.size(), false);
    }

    const QFontMetricsF plain(m_font, device);
    m_lineHeight = plain.lineSpacing();
    const double pad = kPadding * m_scale;
    m_rowHeights.assign(m_table.RowCount(), 0);
    for (int r = 0; r < m_table.RowCount(); ++r) {
        double lines = 1;
        for (int c = 0; c < m_table.ColumnCount(); ++c) {
            // A column as wide as its widest text needs no look at its cells, unless one holds
            // several lines; in others, only a text too wide is measured wrapped.
            const QString text = m_table.CellText(r, c);
            const double inner = m_widths[c] * m_scale - 2 * pad;
            if (text.contains(QLatin1Char('\n')) ||
                (!m_fitsAll[c] && plain.horizontalAdvance(text) > inner))
                lines = std::max(
                    lines,
                    std::ceil(plain.boundingRect(QRectF(0, 0, inner, 1e9), kWrap, text).height() /
                              m_lineHeight));
        }
        m_rowHeights[r] = lines * m_lineHeight + 2 * pad;
    }
    const double header = m_lineHeight + 2 * pad;
    // The title line, the header row and the foot line take their share of every page.
    const double body = std::max(m_lineHeight, pageSize.height() - 3 * header);
    m_pageStarts.assign(1, 0);
    double used = 0;
    for (int r = 0; r < m_table.RowCount(); ++r) {
        if (used > 0 && used + m_rowHeights[r] > body) {
            m_pageStarts.push_back(r);
            used = 0;
        }
        used += m_rowHeights[r];
    }
}

const CPageLayout::CShaped& CPageLayout::Laid(const QString& text, bool bold) const {
    // Sales repeat their names, prices and types: each text is shaped once, within bounds.
    auto& laid = bold ? m_laidBold : m_laid;
    auto it = laid.find(text);
    if (it != laid.end())
        return it->second;
    if (laid.size() >= 50000)
        laid.clear();
    QTextLayout layout(text, bold ? Bold(m_font) : m_font, m_pDevice);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    CShaped shaped{layout.glyphRuns(), line.isValid() ? line.naturalTextWidth() : 0};
    return laid.emplace(text, std::move(shaped)).first->second;
}

std::pair<int, int> CPageLayout::RowsOf(int page) const {
    const int first = m_pageStarts.at(page);
    const int end = page + 1 < PageCount() ? m_pageStarts[page + 1] : m_table.RowCount();
    return {first, end};
}

double CPageLayout::RowHeight(int row) const {
    return m_rowHeights.at(row);
}

void CPageLayout::Paint(QPainter& painter, int page) const {
    const double pad = kPadding * m_scale;
    const double line = m_lineHeight + 2 * pad;
    painter.save();
    painter.setFont(m_font);
    painter.setPen(Qt::black);
    const QRectF titleLine(0, 0, m_page.width(), line);
    painter.drawText(titleLine, Qt::AlignLeft | Qt::AlignVCenter, m_title);
    painter.drawText(titleLine, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("打印日期：") + m_printedOn);

    // The lines of the table are drawn once per page, not once per cell: a hundred thousand
    // rows make thousands of pages.
    const auto drawTexts = [&](double y, double height, const QStringList& texts, bool bold) {
        double x = 0;
        const bool oneLine = height <= line + 0.5;
        for (int c = 0; c < texts.size(); ++c) {
            const double width = m_widths[c] * m_scale;
            const Qt::Alignment align = m_alignments[c];
            const QRectF inner(x + pad, y + pad, width - 2 * pad, height - 2 * pad);
            if (oneLine && !texts[c].contains(QLatin1Char('\n'))) {
                // A text wider than its cell starts at the left edge rather than before it.
                const CShaped& shaped = Laid(texts[c], bold);
                const double left = align == Qt::AlignRight
                                        ? std::max(inner.left(), inner.right() - shaped.width)
                                        : inner.left();
                for (const QGlyphRun& run : shaped.runs)
                    painter.drawGlyphRun(QPointF(left, inner.top()), run);
            } else {
                painter.drawText(inner, kWrap | align | Qt::AlignTop, texts[c]);
            }
            x += width;
        }
    };
    double total = 0;
    for (double width : m_widths)
        total += width * m_scale;
    const double top = line;
    painter.fillRect(QRectF(0, top, total, line), QColor(0xE0, 0xE0, 0xE0));
    painter.setFont(Bold(m_font));
    drawTexts(top, line, m_headers, true);
    painter.setFont(m_font);
    double y = top + line;
    painter.drawLine(QPointF(0, top), QPointF(total, top));
    painter.drawLine(QPointF(0, y), QPointF(total, y));
    const auto [first, end] = RowsOf(page);
    for (int r = first; r < end; ++r) {
        drawTexts(y, RowHeight(r), RowTexts(r), false);
        y += RowHeight(r);
        painter.drawLine(QPointF(0, y), QPointF(total, y));
    }
    double x = 0;
    painter.drawLine(QPointF(0, top), QPointF(0, y));
    for (double width : m_widths) {
        x += width * m_scale;
        painter.drawLine(QPointF(x, top), QPointF(x, y));
    }
    painter.drawText(QRectF(0, m_page.height() - line, m_page.width(), line), Qt::AlignCenter,
                     QStringLiteral("第 %1 页 / 共 %2 页").arg(page + 1).arg(PageCount()));
    painter.restore();
}
