// Sorting keys and order, title arrows, and the HTML report with its file handling.
#include "csv_export.h"
#include "html_export.h"
#include "recording_prompts.h"
#include "result_table.h"
#include "sort_keys.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <iconv.h>
#include <limits>
#include <random>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
#include <sys/resource.h>
#include <sys/stat.h>

// Readable failures: texts as UTF-8, bytes with their non-ASCII values in hex.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '[' << list.join(u'|').toStdString() << ']';
}
void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"';
    for (unsigned char c : bytes) {
        if (c == '\r')
            *os << "\\r";
        else if (c == '\n')
            *os << "\\n\n";
        else if (c >= 0x20 && c < 0x7F)
            *os << c;
        else
            *os << "\\x"
                << "0123456789ABCDEF"[c >> 4] << "0123456789ABCDEF"[c & 15];
    }
    *os << '"';
}

namespace {

using namespace Qt::Literals::StringLiterals;
using Rows = std::vector<QStringList>;

CResultTable MakeTable(const std::vector<CResultColumn>& columns, const Rows& rows) {
    CResultTable table;
    table.SetColumns(columns);
    for (const QStringList& row : rows) {
        const int r = table.AppendRow();
        for (int c = 0; c < row.size(); ++c)
            table.SetCell(r, c, row[c]);
    }
    return table;
}

// The texts of `column` in the order a sort gives.
QStringList Sorted(const CResultTable& table, int column, bool flag) {
    QStringList out;
    for (int r : sortkeys::SortOrder(table, column, flag))
        out << table.CellText(r, column);
    return out;
}

CResultTable OneColumn(short type, const QStringList& texts) {
    Rows rows;
    for (const QString& t : texts)
        rows.push_back({t});
    return MakeTable({{QStringLiteral("c"), type}}, rows);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

// --- the number a text begins with ---------------------------------------------------------

TEST(LeadingNumber, ReadsThePrefixOnly) {
    const std::vector<std::pair<const char16_t*, double>> cases = {
        {u"12abc", 12},    {u"  -3.5e2x", -350},
        {u"abc", 0},       {u"", 0},
        {u".5", 0.5},      {u"1e", 1},
        {u"+", 0},         {u"1.2.3", 1.2},
        {u"\t+7", 7},      {u"1E+2", 100},
        {u"25e-1kg", 2.5}, {u"-", 0},
        {u"-.5", -0.5},    {u".", 0},
        {u"5.", 5},        {u"e5", 0},
        {u"1e+", 1},       {u"12 34", 12},
        {u"007", 7},       {u"0x10", 0},
        {u"inf", 0},       {u"nan", 0},
        {u"- 5", 0},       {u"１２", 0},
        {u"3元", 3},       {u"1e-2", 0.01},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(sortkeys::LeadingNumber(QStringView(text)), value)
            << QString::fromUtf16(text).toStdString();
}

TEST(LeadingNumber, OutOfRangeGivesInfinityOrZero) {
    EXPECT_EQ(sortkeys::LeadingNumber(u"1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(sortkeys::LeadingNumber(u"-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(sortkeys::LeadingNumber(u"1e-999"), 0.0);
    EXPECT_EQ(sortkeys::LeadingNumber(u"0.0001e99999999999999999999"),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(sortkeys::LeadingNumber(QString(400, u'9')), std::numeric_limits<double>::infinity());
}

TEST(LeadingNumber, NeverReadsPastTheView) {
    const QString text = QStringLiteral("12345e7");
    EXPECT_EQ(sortkeys::LeadingNumber(QStringView(text).left(2)), 12);
    EXPECT_EQ(sortkeys::LeadingNumber(QStringView(text).left(6)), 12345); // "12345e": no exponent
    EXPECT_EQ(sortkeys::LeadingNumber(QStringView(text).left(0)), 0);
}

// Random texts of number characters agree with the C library's reading of the same prefix.
TEST(LeadingNumber, AgreesWithStrtodOnRandomTexts) {
    const char alphabet[] = "0123456789+-.eE a\t";
    std::mt19937 random(20030501);
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<int> pick(0, sizeof alphabet - 2);
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        for (int n = length(random); n > 0; --n)
            s += alphabet[pick(random)];
        const double got = sortkeys::LeadingNumber(QString::fromLatin1(s));
        const double expected = std::strtod(s.c_str(), nullptr);
        ASSERT_FALSE(std::isnan(got)) << s;
        ASSERT_DOUBLE_EQ(got, expected) << '"' << s << '"';
    }
}

// --- the sort order ------------------------------------------------------------------------

TEST(SortOrder, NumericColumnsByValueSmallestFirstOnFlagTrue) {
    const CResultTable t = OneColumn(SQL_INTEGER, {"10", "9", "abc", "-2", "3.5x", "100"});
    EXPECT_EQ(Sorted(t, 0, true), QStringList({"-2", "abc", "3.5x", "9", "10", "100"}));
    EXPECT_EQ(Sorted(t, 0, false), QStringList({"100", "10", "9", "3.5x", "abc", "-2"}));
}

TEST(SortOrder, EveryNumericTypeSortsByValue) {
    for (short type : {SQL_NUMERIC, SQL_DECIMAL, SQL_INTEGER, SQL_SMALLINT, SQL_FLOAT, SQL_REAL,
                       SQL_DOUBLE, SQL_BIGINT, SQL_TINYINT}) {
        const CResultTable t = OneColumn(type, {"10", "9", "", "-1.5"});
        EXPECT_EQ(Sorted(t, 0, true), QStringList({"-1.5", "", "9", "10"})) << type;
    }
}

TEST(SortOrder, TextColumnsLargestFirstOnFlagTrue) {
    // Bit and time stamp columns are no numbers: "10" comes before "9" as text.
    for (short type : {SQL_CHAR, SQL_VARCHAR, SQL_WVARCHAR, SQL_BIT, SQL_TYPE_TIMESTAMP}) {
        const CResultTable t = OneColumn(type, {"10", "9", "1"});
        EXPECT_EQ(Sorted(t, 0, true), QStringList({"9", "10", "1"})) << type;
        EXPECT_EQ(Sorted(t, 0, false), QStringList({"1", "10", "9"})) << type;
    }
}

TEST(SortOrder, ChineseInGbOrderNotUnicodeOrder) {
    // In code points 白 (767D) < 草 (8349) < 阿 (963F); in GBK 阿 < 白 < 草.
    EXPECT_EQ(sortkeys::TextKey(u"阿"), QByteArray("\xB0\xA2"));
    EXPECT_EQ(sortkeys::TextKey(u"白"), QByteArray("\xB0\xD7"));
    EXPECT_EQ(sortkeys::TextKey(u"草"), QByteArray("\xB2\xDD"));
    const CResultTable t = OneColumn(SQL_VARCHAR, {"白", "草", "阿"});
    EXPECT_EQ(Sorted(t, 0, false), QStringList({"阿", "白", "草"}));
    EXPECT_EQ(Sorted(t, 0, true), QStringList({"草", "白", "阿"}));
}

TEST(SortOrder, BytesUnsignedCaseSensitiveShorterPrefixFirst) {
    const CResultTable prefixes = OneColumn(SQL_VARCHAR, {"ab", "abc", "", "a"});
    EXPECT_EQ(Sorted(prefixes, 0, false), QStringList({"", "a", "ab", "abc"}));
    EXPECT_EQ(Sorted(prefixes, 0, true), QStringList({"abc", "ab", "a", ""}));
    const CResultTable cases = OneColumn(SQL_VARCHAR, {"b", "a", "B", "A"});
    EXPECT_EQ(Sorted(cases, 0, false), QStringList({"A", "B", "a", "b"}));
    // Chinese bytes start at 0x81: as signed bytes they would sort before ASCII.
    const CResultTable mixed = OneColumn(SQL_VARCHAR, {"阿", "z", "𠀀"});
    EXPECT_EQ(Sorted(mixed, 0, false), QStringList({"z", "𠀀", "阿"})); // 95 32 < B0 A2
}

TEST(SortOrder, SortsTheClickedColumnAndKeepsRowsTogether) {
    const CResultTable t = MakeTable({{"名称", SQL_VARCHAR}, {"数量", SQL_DOUBLE}},
                                     {{"白", "3"}, {"阿", "12"}, {"草", "0.5"}});
    CResultTable byAmount = t;
    byAmount.Reorder(sortkeys::SortOrder(byAmount, 1, true));
    EXPECT_EQ(byAmount.CellText(0, 0), "草");
    EXPECT_EQ(byAmount.CellText(1, 0), "白");
    EXPECT_EQ(byAmount.CellText(2, 0), "阿");
    EXPECT_EQ(byAmount.CellText(2, 1), "12");
}

TEST(SortOrder, ColumnOutOfRangeKeepsTheOrder) {
    const CResultTable t = OneColumn(SQL_INTEGER, {"3", "1", "2"});
    EXPECT_EQ(sortkeys::SortOrder(t, 1, true), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(sortkeys::SortOrder(t, -1, true), std::vector<int>({0, 1, 2}));
    EXPECT_TRUE(sortkeys::SortOrder(CResultTable(), 0, true).empty());
}

// --- title arrows --------------------------------------------------------------------------

TEST(TitleArrows, CutAppendAndRemove) {
    EXPECT_EQ(sortkeys::TextKey(u"↓↑"), QByteArray("\xA1\xFD\xA1\xFC"));
    EXPECT_EQ(sortkeys::CutArrow(u"名称↓"_s), "名称");
    EXPECT_EQ(sortkeys::CutArrow(u"名称"_s), "名称");
    EXPECT_EQ(sortkeys::CutArrow(u"a↑b↓c"_s), "a"); // cut at ↓ gives a↑b, then at ↑
    EXPECT_EQ(sortkeys::WithArrow(u"名称"_s, true), u"名称↓"_s);
    EXPECT_EQ(sortkeys::WithArrow(u"名称↓"_s, false), u"名称↑"_s);
    EXPECT_EQ(sortkeys::WithArrow(u"名称↑"_s, true), u"名称↓"_s);
    EXPECT_EQ(sortkeys::ColumnName(u"a↓b↑c↓"_s), "abc");
    EXPECT_EQ(sortkeys::ColumnName(u"单价 "_s), u"单价 "_s); // nothing else is trimmed
}

// --- the report file -----------------------------------------------------------------------

const QByteArray kHead =
    "<head>\r\n"
    "<title>\xC7\xE0\xD0\xD3\xD2\xA9\xB5\xEA\xBD\xF8\xCF\xFA\xB4\xE6\xB9\xDC"
    "\xC0\xED\xCF\xB5\xCD\xB3-\xB1\xA8\xB1\xED(HTM)</title>\r\n"
    "</head>\r\n"
    "<body>\r\n"
    "<table border=\"1\" width=\"100%\" cellspacing=\"0\" cellpadding=\"0\">\r\n";
const QByteArray kTail = "</table>\r\n</body>\r\n</html>\r\n";

QByteArray Report(const QStringList& titles, const CResultTable& table) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(htmlexport::WriteReport(buffer, titles, table));
    return bytes;
}

CResultTable SmallTable() {
    return MakeTable({{"编号", SQL_INTEGER}, {"名称", SQL_VARCHAR}, {"日期", SQL_TYPE_TIMESTAMP}},
                     {{"1", "阿司匹林", "2003-05-01 "}, {"2", "", "2003-05-01 14:20:05"}});
}

TEST(HtmlReport, SmallTableByteForByte) {
    const QByteArray expected = kHead +
                                "<tr>\r\n"
                                "<td bgcolor=\"#C0C0C0\">\xB1\xE0\xBA\xC5</td>\r\n"
                                "<td bgcolor=\"#C0C0C0\">\xC3\xFB\xB3\xC6</td>\r\n"
                                "<td bgcolor=\"#C0C0C0\">\xC8\xD5\xC6\xDA</td>\r\n"
                                "</tr>\r\n"
                                "<tr>\r\n"
                                "<td>1</td>\r\n"
                                "<td>\xB0\xA2\xCB\xBE\xC6\xA5\xC1\xD6</td>\r\n"
                                "<td>2003-05-01 </td>\r\n"
                                "</tr>\r\n"
                                "<tr>\r\n"
                                "<td>2</td>\r\n"
                                "<td></td>\r\n"
                                "<td>2003-05-01 14:20:05</td>\r\n"
                                "</tr>\r\n" +
                                kTail;
    // The sorted column's arrow and trailing blanks do not reach the file.
    EXPECT_EQ(Report({"编号↓", "名称  ", "日期"}, SmallTable()), expected);
}

TEST(HtmlReport, EmptyResultGivesTheHeaderOnly) {
    const CResultTable empty = MakeTable({{"a", SQL_VARCHAR}, {"b", SQL_INTEGER}}, {});
    const QByteArray expected = kHead +
                                "<tr>\r\n"
                                "<td bgcolor=\"#C0C0C0\">a</td>\r\n"
                                "<td bgcolor=\"#C0C0C0\">b</td>\r\n"
                                "</tr>\r\n" +
                                kTail;
    EXPECT_EQ(Report({"a", "b↑"}, empty), expected);
}

TEST(HtmlReport, SpecialCharactersAsEntities) {
    const CResultTable t =
        MakeTable({{"a&b<c>", SQL_VARCHAR}}, {{"<script>alert(\"x\")</script> & 'y'"}});
    const QByteArray expected = kHead +
                                "<tr>\r\n<td bgcolor=\"#C0C0C0\">a&amp;b&lt;c&gt;</td>\r\n</tr>\r\n"
                                "<tr>\r\n<td>&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; "
                                "&amp; 'y'</td>\r\n</tr>\r\n" +
                                kTail;
    EXPECT_EQ(Report({"a&b<c>"}, t), expected);
    EXPECT_EQ(htmlexport::Escaped("&amp;"), "&amp;amp;"); // an entity in a cell shows as typed
}

TEST(HtmlReport, MissingTitleIsUnknown) {
    const CResultTable t = MakeTable({{"a", SQL_VARCHAR}, {"b", SQL_VARCHAR}}, {});
    EXPECT_TRUE(Report({"a"}, t).contains("<td bgcolor=\"#C0C0C0\">-UNKNOWN-</td>\r\n</tr>"));
}

TEST(HtmlReport, CharactersOutsideGbkRoundTrip) {
    const QString text = u"盒𠀀😀"_s;
    const CResultTable t = MakeTable({{"x", SQL_VARCHAR}}, {{text}});
    const QByteArray bytes = Report({"x"}, t);
    EXPECT_TRUE(bytes.contains("<td>\xBA\xD0\x95\x32\x82\x36\x94\x39\xFC\x36</td>\r\n"));
    QStringDecoder decode("GB18030");
    const QString back = decode(bytes);
    EXPECT_FALSE(decode.hasError());
    EXPECT_TRUE(back.contains(u"<td>"_s + text + u"</td>"_s));
}

// Accepts `limit` bytes, then fails every write.
class CFailingDevice final : public QIODevice {
public:
    explicit CFailingDevice(qint64 limit) : m_limit(limit) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override {
        if (m_written + len > m_limit)
            return -1;
        m_written += len;
        return len;
    }

private:
    qint64 m_limit;
    qint64 m_written = 0;
};

TEST(HtmlReport, WriteErrorsAreReported) {
    CFailingDevice none(0);
    EXPECT_FALSE(htmlexport::WriteText(none, "x", false));
    CFailingDevice small(1000);
    EXPECT_TRUE(htmlexport::WriteText(small, u"阿"_s, true));
    Rows rows(5000, QStringList{"一行文字"});
    CFailingDevice midway(100000);
    EXPECT_FALSE(htmlexport::WriteReport(midway, {"c"}, MakeTable({{"c", SQL_VARCHAR}}, rows)));
}

TEST(HtmlReport, WriteTextBytesAndLineEnd) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(htmlexport::WriteText(buffer, u"阿↓"_s, true));
    EXPECT_TRUE(htmlexport::WriteText(buffer, "a", false));
    EXPECT_EQ(bytes, QByteArray("\xB0\xA2\xA1\xFD\r\na"));
}

// --- the file name -------------------------------------------------------------------------

TEST(ReportPath, KeepsTheChosenNameAndAddsAnEndingOnlyWhereItHasNone) {
    EXPECT_EQ(htmlexport::ReportPath("report.htm"), "report.htm");
    EXPECT_EQ(htmlexport::ReportPath(u"/home/ana/日报.htm"_s), u"/home/ana/日报.htm"_s);
    EXPECT_EQ(htmlexport::ReportPath("/home/ana/report"), "/home/ana/report.htm");
    EXPECT_EQ(htmlexport::ReportPath("/a/b.htm/x"), "/a/b.htm/x.htm");
    EXPECT_EQ(htmlexport::ReportPath("a.htm.bak"), "a.htm.bak");
    EXPECT_EQ(htmlexport::ReportPath("Report.Html"), "Report.Html");
    EXPECT_EQ(htmlexport::ReportPath(u"/tmp/报表é"_s), u"/tmp/报表é.htm"_s);
    EXPECT_EQ(htmlexport::ReportPath("/tmp/a.HTMX"), "/tmp/a.HTMX");
}

// --- the export with its dialog ------------------------------------------------------------

class ExportHtml : public ::testing::Test {
protected:
    QString At(const QString& name) const { return m_dir.filePath(name); }
    QStringList Files() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }
    bool Export() { return htmlexport::ExportHtml(nullptr, m_titles, m_table); }

    QTemporaryDir m_dir;
    CRecordingPrompts m_prompts;
    CResultTable m_table = SmallTable();
    QStringList m_titles = {"编号", "名称↑", "日期"};
};

TEST_F(ExportHtml, WritesTheFileAsChosen) {
    m_prompts.ChooseFile(At("report.htm"));
    EXPECT_TRUE(Export());
    EXPECT_EQ(m_prompts.Filters(), QStringList({"HTM Files (*.HTM)"}));
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_EQ(Files(), QStringList({"report.htm"}));
    EXPECT_EQ(ReadAll(At("report.htm")), Report(m_titles, m_table));
    // An ordinary new file, not a private temporary one.
    const mode_t mask = umask(0);
    umask(mask);
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(At("report.htm")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

TEST_F(ExportHtml, CancelledWritesNothing) {
    EXPECT_FALSE(Export());
    EXPECT_EQ(m_prompts.Filters().size(), 1);
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(ExportHtml, UncreatableFileIsReported) {
    m_prompts.ChooseFile(At("missing/r.htm"));
    EXPECT_FALSE(Export());
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_TRUE(m_prompts.Texts()[0].contains(At("missing/r.htm")));
    EXPECT_TRUE(m_prompts.Texts()[0].contains(u"无法创建文件"_s));
    EXPECT_FALSE(QFileInfo::exists(At("missing")));
}

TEST_F(ExportHtml, ReplacesTheFileTheDialogAskedAbout) {
    QFile old(At("REPORT.HTM"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old report, much longer than nothing at all");
    old.close();
    m_prompts.ChooseFile(At("REPORT.HTM"));
    EXPECT_TRUE(Export());
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_EQ(ReadAll(At("REPORT.HTM")), Report(m_titles, m_table));
}

TEST_F(ExportHtml, AsksBeforeReplacingAnotherFile) {
    QFile old(At("report.htm"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    m_prompts.ChooseFile(At("report"));
    m_prompts.AnswerNext(CPrompts::Answer::No);
    EXPECT_FALSE(Export());
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::YesNo);
    EXPECT_TRUE(m_prompts.Texts()[0].contains(At("report.htm")));
    EXPECT_EQ(ReadAll(At("report.htm")), "old");

    m_prompts.ChooseFile(At("report"));
    m_prompts.AnswerNext(CPrompts::Answer::Yes);
    EXPECT_TRUE(Export());
    EXPECT_EQ(ReadAll(At("report.htm")), Report(m_titles, m_table));
    EXPECT_EQ(Files(), QStringList({"report.htm"}));
}

// A file size limit makes the disk refuse the report half way: the old file stays whole and no
// temporary file is left behind.
TEST_F(ExportHtml, WriteErrorKeepsTheOldFileAndIsReported) {
    QFile old(At("REPORT.HTM"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    Rows rows(20000, QStringList{"一行文字", "2", "2003-05-01 "});
    m_table = MakeTable(m_table.Columns(), rows);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    m_prompts.ChooseFile(At("REPORT.HTM"));
    const bool written = Export();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(written);
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_TRUE(m_prompts.Texts()[0].contains(u"写入文件"_s));
    EXPECT_TRUE(m_prompts.Texts()[0].contains(At("REPORT.HTM")));
    EXPECT_EQ(ReadAll(At("REPORT.HTM")), "old");
    EXPECT_EQ(Files(), QStringList({"REPORT.HTM"}));
}

// --- CSV for spreadsheets -----------------------------------------------------------------------

// A reader of RFC 4180 files as spreadsheets read them: the rows of fields, quotes undone.
std::vector<QStringList> ReadCsv(const QString& text) {
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field;
            field.clear();
            rows.push_back(row);
            row.clear();
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.isEmpty() && row.isEmpty()) << "the last line has no CR LF";
    return rows;
}

TEST(CsvReport, ReadBackByACsvReaderCellForCell) {
    const Rows cells = {{"阿司匹林, 肠溶", "说\"好\"的", "第一行\r\n第二行\n第三行"},
                        {"=SUM(A1:A9)", "-2.5", "@cmd"},
                        {"", "日营业额", "20元"}};
    const CResultTable table =
        MakeTable({{"名称", SQL_VARCHAR}, {"说明", SQL_VARCHAR}, {"备注", SQL_VARCHAR}}, cells);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(csvexport::WriteCsv(buffer, {"名称↑", "说明  ", "备注"}, table));
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const std::vector<QStringList> read = ReadCsv(QString::fromUtf8(bytes.mid(3)));
    // The header without its arrow, every row in order (summary rows too), cells guarded.
    EXPECT_EQ(
        read,
        (std::vector<QStringList>{
            {"名称", "说明", "备注"}, cells[0], {"'=SUM(A1:A9)", "-2.5", "'@cmd"}, cells[2]}));
    // An empty grid gives its header row alone.
    QByteArray empty;
    QBuffer emptyBuffer(&empty);
    emptyBuffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(csvexport::WriteCsv(emptyBuffer, {"a", "b"},
                                    MakeTable({{"a", SQL_VARCHAR}, {"b", SQL_INTEGER}}, {})));
    EXPECT_EQ(empty, QByteArray("\xEF\xBB\xBF"
                                "a,b\r\n"));
}

// glibc's converter, not Qt's: the file must read back in the upload tools' own terms.
QByteArray Gb18030ToUtf8(const QByteArray& gb) {
    const iconv_t cd = iconv_open("UTF-8", "GB18030");
    EXPECT_NE(cd, iconv_t(-1));
    QByteArray out(gb.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(gb.constData());
    char* to = out.data();
    std::size_t inLeft = std::size_t(gb.size()), outLeft = std::size_t(out.size());
    EXPECT_NE(iconv(cd, &in, &inLeft, &to, &outLeft), std::size_t(-1)) << "not GB18030";
    iconv_close(cd);
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}

TEST(CsvReport, Gb18030ReadsBackToTheUtf8FilesText) {
    // GBK characters, one GB18030 takes four bytes for (€) and one beyond the BMP.
    const Rows cells = {{"81234567890123456789", "阿莫西林胶囊", "批号 €-1, \"甲\"", "𠀀"}};
    const CResultTable table = MakeTable({{"追溯码", SQL_VARCHAR},
                                          {"名称", SQL_VARCHAR},
                                          {"批号", SQL_VARCHAR},
                                          {"备注", SQL_VARCHAR}},
                                         cells);
    const QStringList titles{"追溯码", "名称", "批号", "备注"};
    QByteArray utf8, gb;
    QBuffer utf8Buffer(&utf8), gbBuffer(&gb);
    utf8Buffer.open(QIODevice::WriteOnly);
    gbBuffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(csvexport::WriteCsv(utf8Buffer, titles, table));
    ASSERT_TRUE(csvexport::WriteCsv(gbBuffer, titles, table, csvexport::Encoding::Gb18030));
    ASSERT_TRUE(utf8.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(gb.startsWith("\xD7\xB7")); // 追, no byte-order mark
    EXPECT_EQ(Gb18030ToUtf8(gb), utf8.mid(3));
}

// What a spreadsheet would run as a formula gets an apostrophe; numbers stay numbers.
struct GuardCase {
    const char16_t* cell;
    const char16_t* field;
};

void PrintTo(const GuardCase& c, std::ostream* out) {
    *out << QString::fromUtf16(c.cell).toStdString();
}

class CsvGuard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(CsvGuard, FormulaLikeTextsCannotRun) {
    EXPECT_EQ(csvexport::Field(QString::fromUtf16(GetParam().cell)),
              QString::fromUtf16(GetParam().field));
}

INSTANTIATE_TEST_SUITE_P(
    Cells, CsvGuard,
    ::testing::Values(GuardCase{u"=SUM(A1:A9)", u"'=SUM(A1:A9)"}, GuardCase{u"+1+1", u"'+1+1"},
                      GuardCase{u"@cmd", u"'@cmd"}, GuardCase{u"-", u"'-"},
                      GuardCase{u"-ABC", u"'-ABC"}, GuardCase{u"-2.5", u"-2.5"},
                      GuardCase{u"+3", u"+3"}, GuardCase{u"\t=1+2", u"'\t=1+2"},
                      GuardCase{u"\r=1+2", u"\"'\r=1+2\""}, GuardCase{u"\tcmd", u"'\tcmd"},
                      GuardCase{u"板蓝根", u"板蓝根"}));

} // namespace
