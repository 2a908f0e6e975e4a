#pragma once
// What a grid shows, laid out on printed pages: a title line with the date printed, the header
// row again on every page, "第 n 页 / 共 m 页" at the foot; columns as wide as their longest text
// up to a limit, longer texts wrapped; columns too wide for the sheet narrowed widest first, but
// not below their numbers, dates and title characters, the titles then wrapped as the cells are;
// number columns and their titles right-aligned, others left; landscape when the columns do not
// fit upright. The print preview and the PDF file paint
// the same pages.
#include "result_table.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageLayout>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <unordered_map>
#include <vector>

class QPainter;
class QPaintDevice;

class CPageLayout {
public:
    // `titles` as the header shows them (the sort arrow is left out), `table` in display order
    // (borrowed for the layout's life). `title`: what filled the grid; `printedOn`: the date.
    CPageLayout(const QStringList& titles, const CResultTable& table, QString title,
                QString printedOn, const QFont& font = CPageLayout::PrintFont());

    // The CJK font the pages are printed in.
    static QFont PrintFont();

    // Portrait unless the columns need more than its width (A4, in points).
    QPageLayout::Orientation Orientation() const { return m_orientation; }
    // Lays the rows out on pages of `device` with `pageSize` (device units: the printable area).
    void Paginate(QPaintDevice* device, const QSizeF& pageSize);
    int PageCount() const { return static_cast<int>(m_pageStarts.size()); }
    // The rows on page `page` (0-based): first and one past the last.
    std::pair<int, int> RowsOf(int page) const;
    // Paints page `page` (0-based) at the top left of `painter`'s device.
    void Paint(QPainter& painter, int page) const;

    const QStringList& Headers() const { return m_headers; }
    // Column widths in points (before scaling to the device), as Paginate fitted them.
    const std::vector<double>& ColumnWidths() const { return m_widths; }
    // Qt::AlignRight for a number column: numeric by its SQL type, or, in a table built without
    // types, when every filled cell reads as a number. Qt::AlignLeft otherwise.
    Qt::Alignment Alignment(int column) const { return m_alignments.at(column); }

private:
    // m_widths and m_fitsAll for a page `available` points wide.
    void FitWidths(const QFontMetricsF& plain, const QFontMetricsF& bold, double available);
    double RowHeight(int row) const; // in device units, after Paginate
    QStringList RowTexts(int row) const;
    struct CShaped {
        QList<QGlyphRun> runs;
        double width = 0; // device units
    };
    // `text` shaped for one line on the device, kept for the next row that shows it; `bold` for
    // the column titles (a glyph run carries its font, so the painter's font does not apply).
    const CShaped& Laid(const QString& text, bool bold = false) const;

    QStringList m_headers;
    const CResultTable& m_table;
    QString m_title;
    QString m_printedOn;
    QFont m_font;
    std::vector<double> m_natural; // points: as wide as the widest text, up to a limit
    std::vector<bool> m_fitsNatural;
    std::vector<double> m_widths; // points
    std::vector<bool> m_fitsAll;  // the column is as wide as its widest text
    std::vector<Qt::Alignment> m_alignments;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;

    // After Paginate: device units per point, the page size, and where each page starts.
    double m_scale = 1;
    QSizeF m_page;
    QPaintDevice* m_pDevice = nullptr;
    std::vector<int> m_pageStarts;
    std::vector<double> m_rowHeights;
    double m_lineHeight = 0;
    double m_headerHeight = 0; // the titles wrap in their columns
    mutable std::unordered_map<QString, CShaped> m_laid;
    mutable std::unordered_map<QString, CShaped> m_laidBold;
};
