// The catalogue's 拼音码: filled in where empty, a corrected code kept, and found by the initials
// typed, whatever reading of a polyphonic character the person has in mind.
#include "CTestBooks.h"
#include "drug_pinyin.h"
#include "query_rows.h"

namespace {

class DrugPinyinTest : public CBooksTest {};

TEST_P(DrugPinyinTest, FilledWhereEmptyAndFoundByAnyReading) {
    Exec("INSERT INTO 药品 (名称,产地,规格型号) VALUES ('阿莫西林胶囊','石药集团','0.25g*24粒')");
    Exec("INSERT INTO 药品 (名称,产地,规格型号) VALUES ('阿莫西林胶囊','联邦制药','0.5g*12粒')");
    Exec("INSERT INTO 药品 (名称,产地,规格型号,拼音码) VALUES "
         "('板蓝根颗粒','白云山','10g*20袋','blg')");
    EXPECT_EQ(drugpinyin::Fill(Db()), 2);
    EXPECT_EQ(QueryValue(Db(), "SELECT 拼音码 FROM 药品 WHERE 名称='板蓝根颗粒'"), "blg");
    const auto found = drugpinyin::Search(&Db(), QStringLiteral("EMXL"));
    ASSERT_EQ(found.size(), 2u);
    QStringList origins{found[0].origin, found[1].origin};
    origins.sort();
    EXPECT_EQ(origins, QStringList({"石药集团", "联邦制药"}));
    EXPECT_EQ(drugpinyin::Search(&Db(), QStringLiteral("blg")).size(), 1u);
    // Nothing typed can act as a wildcard.
    for (const char* typed : {"%", "_lg", "", "b'"})
        EXPECT_TRUE(drugpinyin::Search(&Db(), QString::fromUtf8(typed)).empty()) << typed;
}

APRICOT_INSTANTIATE_BACKENDS(DrugPinyinTest);

} // namespace
