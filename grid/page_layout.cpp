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
// A column kept as wide as a word is measured gets this much more: a text exactly as wide as its
// cell may still wrap.
constexpr double kSlack = 0.5;
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

// A text a reader wants whole: a number, a date and time, a code of letters and digits, or one
// or two characters such as "是". Longer Chinese texts (names, makers) and 单号s wrap.
bool IsShort(QStringView text) {
    if (text.size() <= 2)
        return true;
    return text.size() <= 20 && std::none_of(text.begin(), text.end(), [](QChar ch) {
               return ch.unicode() >= 0x2E80; // CJK and what follows it
           });
}

// Calls `take` with every piece of `text` to be kept whole: a short line as it stands, else
// each short word of a longer one.
template <class Take> void ForEachShortPiece(QStringView text, Take take) {
    for (const QStringView line : text.tokenize(QLatin1Char('\n'))) {
        if (IsShort(line)) {
            take(line);
            continue;
        }
        qsizetype start = 0;
        for (qsizetype i = 0; i <= line.size(); ++i) {
            if (i < line.size() && !line[i].isSpace())
                continue;
            if (i > start && IsShort(line.mid(start, i - start)))
                take(line.mid(start, i - start));
            start = i + 1;
        }
    }
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
        m_natural.push_back(std::clamp(widest + 2 * kPadding, kMinColumn, kMaxColumn));
        m_fitsNatural.push_back(widest + 2 * kPadding <= kMaxColumn);
        m_alignments.push_back(IsNumberColumn(table, c) ? Qt::AlignRight : Qt::AlignLeft);
    }
    m_widths = m_natural;
    m_fitsAll = m_fitsNatural;
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
    const QFontMetricsF plain(m_font, device);
    const QFontMetricsF bold(Bold(m_font), device);
    FitWidths(plain, bold, pageSize.width() / m_scale);

    m_lineHeight = plain.lineSpacing();
    const double pad = kPadding * m_scale;
    m_headerHeight = m_lineHeight;
    for (int c = 0; c < m_headers.size(); ++c) {
        const double inner = m_widths[c] * m_scale - 2 * pad;
        if (!m_fitsAll[c] && bold.horizontalAdvance(m_headers[c]) > inner)
            m_headerHeight =
                std::max(m_headerHeight,
                         bold.boundingRect(QRectF(0, 0, inner, 1e9), kWrap, m_headers[c]).height());
    }
    m_headerHeight += 2 * pad;
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
                // Rounded: the wrapped lines measure a hair over their count of line spacings.
                lines = std::max(
                    lines,
                    std::round(plain.boundingRect(QRectF(0, 0, inner, 1e9), kWrap, text).height() /
                               m_lineHeight));
        }
        m_rowHeights[r] = lines * m_lineHeight + 2 * pad;
    }
    // The title line, the header row and the foot line take their share of every page.
    const double body =
        std::max(m_lineHeight, pageSize.height() - 2 * (m_lineHeight + 2 * pad) - m_headerHeight);
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

void CPageLayout::FitWidths(const QFontMetricsF& plain, const QFontMetricsF& bold,
                            double available) {
    m_widths = m_natural;
    m_fitsAll = m_fitsNatural;
    const double total = std::accumulate(m_widths.begin(), m_widths.end(), 0.0);
    if (total <= available)
        return;
    // What a column keeps as far as the page allows: its longest short text and the widest
    // character of its title, whole.
    const int columns = static_cast<int>(m_widths.size());
    std::vector<double> floors(columns);
    for (int c = 0; c < columns; ++c) {
        double widest = 0; // device units
        for (const QChar ch : m_headers[c])
            widest = std::max(widest, bold.horizontalAdvance(ch));
        for (int r = 0; r < m_table.RowCount(); ++r) {
            ForEachShortPiece(m_table.Cell(r, c), [&](QStringView piece) {
                widest = std::max(widest, plain.horizontalAdvance(piece.toString()));
            });
        }
        floors[c] =
            std::min(m_natural[c], std::max(kMinColumn, widest / m_scale + 2 * kPadding + kSlack));
    }
    const double floorsTotal = std::accumulate(floors.begin(), floors.end(), 0.0);
    if (floorsTotal >= available) {
        // Even that is wider than the page: all give up the same share.
        for (int c = 0; c < columns; ++c)
            m_widths[c] = floors[c] * available / floorsTotal;
    } else {
        // Columns wider than a level are trimmed to it, none below what it keeps: the long
        // texts that wrap anyway give first, titles wider than their values only after.
        const auto trimTo = [&](double level) {
            double sum = 0;
            for (int c = 0; c < columns; ++c) {
                m_widths[c] = std::max(floors[c], std::min(m_natural[c], level));
                sum += m_widths[c];
            }
            return sum;
        };
        double low = 0;
        double high = kMaxColumn;
        for (int step = 0; step < 50; ++step) {
            const double level = (low + high) / 2;
            (trimTo(level) > available ? high : low) = level;
        }
        trimTo(low);
    }
    for (int c = 0; c < columns; ++c)
        m_fitsAll[c] = m_fitsAll[c] && m_widths[c] >= m_natural[c];
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
            // One line unless Paginate let it wrap: beside a cell that wraps, Qt's wrapping may
            // find a text a hair wider than its cell ("0.12" over "5"); the padding takes that.
            const CShaped* shaped = nullptr;
            if (!texts[c].contains(QLatin1Char('\n'))) {
                const CShaped& laid = Laid(texts[c], bold);
                if (oneLine || m_fitsAll[c] || laid.width <= inner.width() + pad)
                    shaped = &laid;
            }
            if (shaped) {
                // A text wider than its cell starts at the left edge rather than before it.
                const double left = align == Qt::AlignRight
                                        ? std::max(inner.left(), inner.right() - shaped->width)
                                        : inner.left();
                for (const QGlyphRun& run : shaped->runs)
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
    painter.fillRect(QRectF(0, top, total, m_headerHeight), QColor(0xE0, 0xE0, 0xE0));
    painter.setFont(Bold(m_font));
    drawTexts(top, m_headerHeight, m_headers, true);
    painter.setFont(m_font);
    double y = top + m_headerHeight;
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
