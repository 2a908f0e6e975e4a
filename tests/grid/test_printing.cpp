// The printed pages of a grid, read back from the PDF file as a reader shows them: the title
// line, the header row on every page, "第 n 页 / 共 m 页", every row once; and a file that cannot
// be written leaves nothing; number columns end flush right.
#include "grid_printing.h"
#include "page_layout.h"
#include "read_only_path.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sql.h>

namespace {

CResultTable Sales(int rows) {
    CResultTable table;
    table.SetColumns({{QStringLiteral("日期时间"), SQL_TYPE_TIMESTAMP},
                      {QStringLiteral("名称"), SQL_VARCHAR},
                      {QStringLiteral("实收金额"), SQL_DOUBLE}});
    for (int i = 0; i < rows; ++i) {
        const int r = table.AppendRow();
        table.SetCell(r, 0,
                      QStringLiteral("2026-12-08 09:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')));
        table.SetCell(r, 1, QStringLiteral("药品%1").arg(i, 3, 10, QLatin1Char('0')));
        table.SetCell(r, 2, QString::number(i + 0.5));
    }
    return table;
}

// The text of every page, as pdftotext reads it.
QStringList Pages(const QString& pdf) {
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"),
                 {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(reader.waitForFinished(60000)) << "pdftotext (poppler-utils) is needed";
    QStringList pages = QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// Without blanks: a reader drops those between Chinese and digits.
QString Squeezed(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

TEST(PrintedPages, HeaderOnEveryPageRowsOnceAndThePageCount) {
    QTemporaryDir folder;
    const QString pdf = QDir(folder.path()).filePath("day.pdf");
    QString failure;
    ASSERT_TRUE(gridprinting::WritePdf(pdf, {"日期时间", "名称↓", "实收金额"}, Sales(150),
                                       "日销售报表 2026-12-08", "2026-12-09", &failure))
        << failure.toStdString();
    const QStringList pages = Pages(pdf);
    ASSERT_GT(pages.size(), 1);
    int rows = 0;
    for (int p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(Squeezed(pages[p]).contains("日销售报表2026-12-08"));
        EXPECT_TRUE(pages[p].contains("打印日期：2026-12-09"));
        EXPECT_TRUE(pages[p].contains(QRegularExpression("日期时间\\s+名称\\s+实收金额")));
        EXPECT_FALSE(pages[p].contains("↓"));
        EXPECT_TRUE(Squeezed(pages[p]).contains(
            QStringLiteral("第%1页/共%2页").arg(p + 1).arg(pages.size())));
        rows += pages[p].count(QRegularExpression("药品\\d{3}"));
    }
    EXPECT_EQ(rows, 150);
    EXPECT_FALSE(QFile::exists(pdf + ".part"));
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden) ==
                QStringList{"day.pdf"});
}

TEST(PrintedPages, AnEmptyGridPrintsItsHeaderAloneAndWideOnesTurnTheSheet) {
    QTemporaryDir folder;
    const QString pdf = QDir(folder.path()).filePath("empty.pdf");
    ASSERT_TRUE(gridprinting::WritePdf(pdf, {"日期时间", "名称", "实收金额"}, Sales(0), "空表",
                                       "2026-12-09", nullptr));
    const QStringList pages = Pages(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("名称"));
    EXPECT_TRUE(Squeezed(pages[0]).contains("第1页/共1页"));

    const CResultTable narrow = Sales(3);
    EXPECT_EQ(CPageLayout({}, narrow, "", "").Orientation(), QPageLayout::Portrait);
    CResultTable wide;
    std::vector<CResultColumn> columns(12,
                                       CResultColumn{QStringLiteral("规格型号说明"), SQL_VARCHAR});
    wide.SetColumns(columns);
    EXPECT_EQ(CPageLayout({}, wide, "", "").Orientation(), QPageLayout::Landscape);
}

TEST(PrintedPages, NumberColumnsAreRightAlignedAndTextsLeft) {
    EXPECT_EQ(CPageLayout({}, Sales(3), "", "").Alignment(0), Qt::AlignLeft);
    EXPECT_EQ(CPageLayout({}, Sales(3), "", "").Alignment(1), Qt::AlignLeft);
    EXPECT_EQ(CPageLayout({}, Sales(3), "", "").Alignment(2), Qt::AlignRight);

    // Built by hand, without types: numbers (a cell left empty among them), words, nothing.
    CResultTable sheet;
    sheet.SetColumns({{"实盘数量", 0}, {"账面数量", 0}, {"备注", 0}});
    for (const QStringList& cells : {QStringList{"12", "2盒3片", ""}, QStringList{"", "3", ""},
                                     QStringList{"-1.5", "4", ""}}) {
        const int r = sheet.AppendRow();
        for (int c = 0; c < cells.size(); ++c)
            sheet.SetCell(r, c, cells[c]);
    }
    const CPageLayout layout({}, sheet, "", "");
    EXPECT_EQ(layout.Alignment(0), Qt::AlignRight);
    EXPECT_EQ(layout.Alignment(1), Qt::AlignLeft);
    EXPECT_EQ(layout.Alignment(2), Qt::AlignLeft);

    // Read back, numbers of different widths and their title end in the same place.
    CResultTable amounts;
    amounts.SetColumns({{"名称", SQL_VARCHAR}, {"实收金额", SQL_DOUBLE}, {"备注", SQL_VARCHAR}});
    for (const QString& value : QStringList{"5", "12345.67", "42.5"}) {
        const int r = amounts.AppendRow();
        amounts.SetCell(r, 0, QStringLiteral("药品"));
        amounts.SetCell(r, 1, value);
        amounts.SetCell(r, 2, QStringLiteral("备注"));
    }
    QTemporaryDir folder;
    const QString pdf = QDir(folder.path()).filePath("amounts.pdf");
    ASSERT_TRUE(gridprinting::WritePdf(pdf, {"名称", "实收金额", "备注"}, amounts, "金额",
                                       "2026-12-09", nullptr));
    QProcess reader;
    reader.start("pdftotext", {"-bbox", pdf, "-"});
    ASSERT_TRUE(reader.waitForFinished(60000)) << "pdftotext (poppler-utils) is needed";
    const QString words = QString::fromUtf8(reader.readAllStandardOutput());
    const auto rightEnd = [&words](const QString& text) {
        const QRegularExpressionMatch word =
            QRegularExpression(QStringLiteral("xMax=\"([0-9.]+)\"[^>]*>%1<").arg(text))
                .match(words);
        EXPECT_TRUE(word.hasMatch()) << text.toStdString() << "\n" << words.toStdString();
        return word.captured(1).toDouble();
    };
    for (const QString& text : QStringList{"实收金额", "12345.67", "42.5"})
        EXPECT_NEAR(rightEnd(text), rightEnd("5"), 0.1) << text.toStdString();
}

TEST(PrintedPages, AFileThatCannotBeWrittenLeavesNothing) {
    QTemporaryDir folder;
    const CReadOnlyPath locked(folder.path());
    ASSERT_TRUE(locked.Refuses()) << locked.Problem().toStdString();
    QString failure;
    EXPECT_FALSE(gridprinting::WritePdf(QDir(folder.path()).filePath("day.pdf"), {}, Sales(5),
                                        "日销售报表", "2026-12-09", &failure));
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// The titles are shaped apart from the cells; shaped in the cells' font they lost their bold.
TEST(PrintedPages, ColumnTitlesArePrintedBold) {
    CResultTable rows;
    rows.SetColumns({{"Name", SQL_VARCHAR}});
    rows.SetCell(rows.AppendRow(), 0, QStringLiteral("aspirin"));
    QTemporaryDir folder;
    const QString pdf = QDir(folder.path()).filePath("bold.pdf");
    {
        // A font with a bold face of its own, which the file then names.
        CPageLayout layout({"Name"}, rows, "t", "2026-12-09", QFont("DejaVu Sans", 10));
        QPdfWriter writer(pdf);
        QPainter painter(&writer);
        layout.Paginate(&writer, writer.pageLayout().paintRectPixels(writer.resolution()).size());
        layout.Paint(painter, 0);
    }
    QProcess fonts;
    fonts.start("pdffonts", {pdf});
    ASSERT_TRUE(fonts.waitForFinished(60000)) << "pdffonts (poppler-utils) is needed";
    const QString listed = QString::fromUtf8(fonts.readAllStandardOutput());
    EXPECT_TRUE(listed.contains("DejaVuSans-Bold")) << listed.toStdString();
}

// A register of many columns on an upright sheet: the columns shrink, the titles wrap within
// their own column, nothing runs past the right edge, a short number stays whole, and a row is
// as tall as its tallest cell, without a blank line under it.
TEST(PrintedPages, ManyColumnsWrapTheirTitlesAndKeepShortValuesWhole) {
    const QStringList titles{"日期", "单号",       "名称",     "产地",   "规格型号",
                             "数量", "购买人姓名", "身份证号", "凭处方", "营业员",
                             "批号", "零售价",     "备注"};
    const QStringList cells{"2026-12-08",
                            "0193a5c2-7b1e-7d3b-9a4e-0f1c2d3e4f50",
                            "复方盐酸伪麻黄碱缓释胶囊",
                            "中美天津史克制药有限公司",
                            "10粒/盒",
                            "0.125",
                            "张三",
                            "11010519491231002X",
                            "是",
                            "李四",
                            "B20261208",
                            "12.5",
                            "首次购买，已登记身份证"};
    CResultTable table;
    std::vector<CResultColumn> columns;
    for (const QString& title : titles)
        columns.push_back(
            {title, short(title == "数量" || title == "零售价" ? SQL_DOUBLE : SQL_VARCHAR)});
    table.SetColumns(columns);
    for (int r : {table.AppendRow(), table.AppendRow()})
        for (int c = 0; c < cells.size(); ++c)
            table.SetCell(r, c, cells[c]);

    QTemporaryDir folder;
    const QString pdf = QDir(folder.path()).filePath("register.pdf");
    const QMarginsF margins(36, 36, 36, 36);
    {
        CPageLayout layout(titles, table, "麻黄碱登记", "2026-12-09");
        QPdfWriter writer(pdf);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, margins,
                                         QPageLayout::Point));
        QPainter painter(&writer);
        layout.Paginate(&writer, writer.pageLayout().paintRectPixels(writer.resolution()).size());
        layout.Paint(painter, 0);
    }
    QProcess reader;
    reader.start("pdftotext", {"-bbox", pdf, "-"});
    ASSERT_TRUE(reader.waitForFinished(60000)) << "pdftotext (poppler-utils) is needed";
    const QString text = QString::fromUtf8(reader.readAllStandardOutput());
    struct CWord {
        QString text;
        QRectF box;
    };
    std::vector<CWord> words;
    const QRegularExpression word(
        "xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)<");
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        words.push_back(
            {m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                   QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    const auto found = [&words](const QString& wanted) {
        return std::find_if(words.begin(), words.end(),
                            [&](const CWord& w) { return w.text == wanted; });
    };
    ASSERT_NE(found("2026-12-08"), words.end()) << text.toStdString();
    ASSERT_NE(found("麻黄碱登记"), words.end()) << text.toStdString();
    EXPECT_NE(found("0.125"), words.end()) << text.toStdString();
    // The header lies between the title line and the first row.
    const double headerTop = found("麻黄碱登记")->box.bottom();
    const double headerBottom = found("2026-12-08")->box.top();
    const double right = QPageSize(QPageSize::A4).size(QPageSize::Point).width() - margins.right();
    std::vector<QRectF> header;
    for (const CWord& w : words) {
        if (w.box.top() < headerTop || w.box.bottom() > headerBottom)
            continue;
        SCOPED_TRACE(w.text.toStdString());
        // A piece of one title; two that ran together are part of none.
        EXPECT_TRUE(std::any_of(titles.begin(), titles.end(),
                                [&](const QString& title) { return title.contains(w.text); }));
        EXPECT_LE(w.box.right(), right + 0.5);
        for (const QRectF& other : header)
            EXPECT_FALSE(other.intersects(w.box));
        header.push_back(w.box);
    }
    EXPECT_GE(header.size(), titles.size());

    std::vector<double> rowTops;
    for (const CWord& w : words)
        if (w.text == "2026-12-08")
            rowTops.push_back(w.box.top());
    ASSERT_EQ(rowTops.size(), 2u);
    double firstRowBottom = 0;
    for (const CWord& w : words)
        if (w.box.top() >= rowTops[0] && w.box.top() < rowTops[1])
            firstRowBottom = std::max(firstRowBottom, w.box.bottom());
    EXPECT_LT(rowTops[1] - firstRowBottom, found("2026-12-08")->box.height());
}

} // namespace
