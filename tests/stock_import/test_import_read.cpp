// Opening-stock files of every form read into the same batches, broken files refused, and the
// template read back.
#include "import_file.h"
#include "import_parse.h"
#include "import_template.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kData = QStringLiteral(APRICOT_IMPORT_DATA);

QString SourceText() {
    QFile file(kData + QStringLiteral("/opening_libreoffice_source.csv"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}

// The source's rows separated by tabs: its two quoted cells hold commas, which stay.
QString WithTabs(QString text) {
    text.replace(QStringLiteral("\"1,200\""), QStringLiteral("1<comma>200"))
        .replace(QStringLiteral("\"复方甘草片,糖衣\""), QStringLiteral("复方甘草片<comma>糖衣"))
        .replace(u',', u'\t')
        .replace(QStringLiteral("<comma>"), QStringLiteral(","));
    return text;
}

struct CForm {
    const char* label;
    const char* readAs;
};

QString WriteForm(const QTemporaryDir& dir, const QString& label) {
    if (label == u"xlsx")
        return kData + QStringLiteral("/opening_libreoffice.xlsx");
    QByteArray bytes;
    if (label == u"gb18030")
        bytes = QStringEncoder("GB18030").encode(SourceText());
    else if (label == u"utf8_bom")
        bytes = "\xEF\xBB\xBF" + SourceText().toUtf8();
    else
        bytes = "\xEF\xBB\xBF" + WithTabs(SourceText()).toUtf8();
    const QString path = dir.filePath(QStringLiteral("opening.csv"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

class CEveryForm : public testing::TestWithParam<CForm> {};

TEST_P(CEveryForm, ReadsTheSameBatches) {
    QTemporaryDir dir;
    const QString path = WriteForm(dir, QString::fromLatin1(GetParam().label));
    QString failure;
    const std::optional<CImportTable> table = ReadImportFile(path, &failure);
    ASSERT_TRUE(table) << failure.toStdString();
    EXPECT_EQ(table->readAs, QString::fromUtf8(GetParam().readAs));
    const std::optional<CImportBatches> batches = ParseBatches(*table, &failure);
    ASSERT_TRUE(batches) << failure.toStdString();
    ASSERT_EQ(batches->size(), 4u);
    for (const CImportBatch& b : *batches)
        EXPECT_TRUE(b.fault.isEmpty()) << b.fault.toStdString();

    const CImportBatch& first = (*batches)[0];
    EXPECT_EQ(first.line, 2);
    EXPECT_EQ(first.name, QStringLiteral("阿莫西林胶囊"));
    EXPECT_EQ(first.packModel, QStringLiteral("0.25g*24粒"));
    EXPECT_EQ(first.expiry, QDate(2027, 5, 31));
    EXPECT_EQ(first.cost, 8.5);
    EXPECT_EQ(first.price, 12.8);
    EXPECT_EQ(first.barcode, QStringLiteral("6901234567892"));
    EXPECT_EQ(first.approval, QStringLiteral("国药准字H13023964"));
    EXPECT_EQ(first.drugClass, QStringLiteral("处方药"));
    EXPECT_EQ(first.piecesPerBox, 24);

    const CImportBatch& second = (*batches)[1];
    EXPECT_EQ(second.batch, QStringLiteral("240315"));
    EXPECT_EQ(second.quantity, 1200);
    EXPECT_EQ(second.expiry, QDate(2028, 11, 30));
    EXPECT_FALSE(second.piecesPerBox);

    EXPECT_EQ((*batches)[2].name, QStringLiteral("复方甘草片,糖衣"));
    EXPECT_EQ((*batches)[2].quantity, 3.5);
    EXPECT_EQ((*batches)[2].expiry, QDate(2029, 2, 28));

    // After the blank line, still counted.
    const CImportBatch& last = (*batches)[3];
    EXPECT_EQ(last.line, 6);
    EXPECT_EQ(last.expiry, QDate(2027, 12, 31));
    EXPECT_TRUE(last.monthOnly);
    EXPECT_EQ(last.cost, 1.234);
    EXPECT_FALSE(last.price);
}

INSTANTIATE_TEST_SUITE_P(Forms, CEveryForm,
                         testing::Values(CForm{"gb18030", "GB18030 CSV，逗号分隔"},
                                         CForm{"utf8_bom", "UTF-8 CSV（带 BOM），逗号分隔"},
                                         CForm{"tabs", "UTF-8 CSV（带 BOM），制表符分隔"},
                                         CForm{"xlsx", "XLSX 第一个工作表“opening”"}),
                         [](const testing::TestParamInfo<CForm>& info) {
                             return std::string(info.param.label);
                         });

struct CBrokenFile {
    const char* label;
    const char* name;
    QByteArray bytes;
    const char* says;
};

class CBrokenFiles : public testing::TestWithParam<CBrokenFile> {};

TEST_P(CBrokenFiles, AreRefusedClearly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(GetParam().name));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GetParam().bytes);
    file.close();
    QString failure;
    EXPECT_FALSE(ReadImportFile(path, &failure));
    EXPECT_TRUE(failure.contains(QString::fromUtf8(GetParam().says))) << failure.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, CBrokenFiles,
    testing::Values(CBrokenFile{"not_zip", "a.xlsx", "名称,产地", "不是有效的 XLSX"},
                    CBrokenFile{"encrypted", "a.xlsx",
                                QByteArray::fromHex("D0CF11E0A1B11AE100000000"), "已加密"},
                    CBrokenFile{"zip_without_sheet", "a.xlsx",
                                QByteArray::fromHex("504B0506000000000000000000000000000000000000"),
                                "不是有效的 XLSX"},
                    CBrokenFile{"old_xls", "a.xls", "x", ".xls"},
                    CBrokenFile{"other_kind", "a.pdf", "x", "只能导入"},
                    CBrokenFile{"no_encoding", "a.csv", "\x80\xFF,\xFF\xFF\n", "编码"},
                    CBrokenFile{"open_quote", "a.csv", "名称,产地\n\"阿莫西林,x\n",
                                "第 2 行的引号没有配对"}),
    [](const testing::TestParamInfo<CBrokenFile>& info) { return std::string(info.param.label); });

TEST(ImportTemplate, ReadsBackAsItsHeaders) {
    QTemporaryDir dir;
    const QStringList headers{
        QStringLiteral("名称"),     QStringLiteral("产地"),         QStringLiteral("规格型号"),
        QStringLiteral("批号"),     QStringLiteral("有效截止日期"), QStringLiteral("数量"),
        QStringLiteral("进价"),     QStringLiteral("零售价"),       QStringLiteral("条形码"),
        QStringLiteral("批准文号"), QStringLiteral("类别"),         QStringLiteral("每盒总量")};
    for (const char* name : {"template.csv", "template.xlsx"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        const QString error = path.endsWith(u"csv") ? importtemplate::WriteTemplateCsv(path)
                                                    : importtemplate::WriteTemplateXlsx(path);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        QString failure;
        const std::optional<CImportTable> table = ReadImportFile(path, &failure);
        ASSERT_TRUE(table) << name << failure.toStdString();
        EXPECT_EQ(table->headers, headers) << name;
        EXPECT_TRUE(table->rows.empty()) << name;
        const std::optional<CImportBatches> batches = ParseBatches(*table, &failure);
        EXPECT_TRUE(batches && batches->empty()) << name << failure.toStdString();
    }
}

} // namespace
