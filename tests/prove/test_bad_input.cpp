// Strange texts in every field a user types into, on both backends: quotes, backslashes,
// wildcards, ODBC escapes, comment marks, control characters, characters outside GBK and very
// long texts. Each either comes back unchanged through the grid's loader, or is refused with a
// clear message and nothing stored; no statement ever does more than the one change intended.
#include "CDatabase.h"
#include "CTestBooks.h"
#include "books_state.h"
#include "column_kinds.h"
#include "entry_fields.h"
#include "login_check.h"
#include "purchase_entry.h"
#include "recording_prompts.h"
#include "report_statements.h"
#include "result_loader.h"
#include "sales_entry.h"
#include "write_back.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <tuple>

namespace {

using namespace provetest;

struct BadText {
    const char* name;
    QString text;
};

const std::vector<BadText>& BadTexts() {
    static const std::vector<BadText> texts = {
        {"SingleQuotes", QStringLiteral("O'Brien''s")},
        {"DoubleQuotes", QStringLiteral("say \"hi\"")},
        {"QuoteThenStatement", QStringLiteral("x'); DELETE FROM 存; --")},
        {"AlwaysTrue", QStringLiteral("' OR '1'='1")},
        {"Backslashes", QStringLiteral("C:\\temp\\new")},
        {"TrailingBackslash", QStringLiteral("end\\")},
        {"BackslashQuote", QStringLiteral("\\'")},
        {"Percent", QStringLiteral("100%")},
        {"Underscore", QStringLiteral("a_b")},
        {"OnlyWildcards", QStringLiteral("%_")},
        {"OdbcEscapes", QStringLiteral("{fn NOW()} ? {d '2003-05-01'}")},
        {"CommentMarks", QStringLiteral("a -- b /* c")},
        {"Tab", QStringLiteral("a\tb")},
        {"LineBreaks", QStringLiteral("a\nb\r\nc")},
        {"ControlCharacter", QStringLiteral("a\x01") + QStringLiteral("b")},
        {"Emoji", QStringLiteral("😀")},
        {"OutsideTheBmp", QStringLiteral("𠀀")},
        {"Long10000",
         QString(4999, QLatin1Char('x')) + QLatin1Char('\'') + QString(5000, QLatin1Char('x'))},
        {"LongChinese10000", QString(10000, QChar(0x836F))},
    };
    return texts;
}

using Param = std::tuple<Backend, int>;

struct ParamName {
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        return std::string(BadTexts()[std::get<1>(info.param)].name) + "_" +
               BackendName(std::get<0>(info.param));
    }
};

// Characters as both databases count them for a column's width.
qsizetype Characters(const QString& text) {
    return text.toUcs4().size();
}

// Whether the statement's wildcards can match more than the text itself.
bool HasWildcards(const QString& text) {
    return text.contains(QLatin1Char('%')) || text.contains(QLatin1Char('_'));
}

class BadInputTest : public ::testing::TestWithParam<Param> {
protected:
    void SetUp() override {
        bool skip = false;
        const QString unavailable = CTestBooks::Unavailable(std::get<0>(GetParam()), &skip);
        if (skip)
            GTEST_SKIP() << unavailable.toStdString();
        ASSERT_TRUE(unavailable.isEmpty()) << unavailable.toStdString();
        try {
            m_books = std::make_unique<CTestBooks>(std::get<0>(GetParam()));
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
    }

    CDatabase& Db() { return m_books->Db(); }
    const QString& Text() const { return BadTexts()[std::get<1>(GetParam())].text; }
    bool Fits(qsizetype width) const { return Characters(Text()) <= width; }

    // Messages shown since the last call.
    QStringList NewMessages() {
        QStringList texts = m_prompts.Texts();
        m_prompts.Clear();
        return texts;
    }

    // A row through the grid's write-back; true when it was stored. A refusal shows why.
    bool InsertRow(const QString& table, const QStringList& values) {
        return CRowWriter(&Db(), nullptr).Insert(table, TableColumns(Db(), table), values);
    }

    std::unique_ptr<CTestBooks> m_books;
    CRecordingPrompts m_prompts;
};

// What the purchase entry's text fields hold, by the form's member.
struct PurchaseField {
    const char* name;
    QString CPurchaseEntry::Form::*member;
    int column; // in 进
};

const PurchaseField kPurchaseFields[] = {
    {"采购人", &CPurchaseEntry::Form::purchaser, 1},   {"大类", &CPurchaseEntry::Form::category, 2},
    {"小类", &CPurchaseEntry::Form::subCategory, 3},   {"编号", &CPurchaseEntry::Form::code, 4},
    {"名称", &CPurchaseEntry::Form::name, 5},          {"产地", &CPurchaseEntry::Form::origin, 6},
    {"规格型号", &CPurchaseEntry::Form::packModel, 7}, {"批号", &CPurchaseEntry::Form::batch, 8},
};

CPurchaseEntry::Form PurchaseForm(int variant) {
    CPurchaseEntry::Form form;
    form.purchaseDate = QDate(2003, 5, 1);
    form.purchaser = QStringLiteral("张明");
    form.category = QStringLiteral("西药");
    form.subCategory = QStringLiteral("抗生素");
    form.code = QStringLiteral("YP001");
    // A card of its own for every field, so each recorded batch makes a new one.
    form.name = QStringLiteral("阿莫西林胶囊%1").arg(variant);
    form.origin = QStringLiteral("石药集团");
    form.packModel = QStringLiteral("0.25g*24粒");
    form.batch = QStringLiteral("24031501");
    form.expiry = QDate(2005, 4, 30);
    form.price = QStringLiteral("8.5");
    form.quantity = QStringLiteral("10");
    return form;
}

TEST_P(BadInputTest, PurchaseEntryTextFields) {
    int variant = 0;
    std::set<QString> numbers;
    for (const PurchaseField& field : kPurchaseFields) {
        SCOPED_TRACE(field.name);
        CPurchaseEntry::Form form = PurchaseForm(++variant);
        form.*field.member = Text();
        const BooksState before = ReadBooks(Db());
        const CEntryOutcome outcome = CPurchaseEntry(&Db()).Add(form);
        const auto changes = Changes(before, ReadBooks(Db()));
        // The card holds name, origin and packModel at a width of 100, the purchase 200.
        const bool onCard = field.column >= 5 && field.column <= 7;
        if (!outcome.recorded) {
            EXPECT_FALSE(Fits(onCard ? 100 : 200)) << "a text that fits was refused";
            EXPECT_FALSE(outcome.status.isEmpty() && outcome.message.isEmpty());
            EXPECT_NE(outcome.status, CPurchaseEntry::kRecorded);
            EXPECT_TRUE(changes.empty()) << "a refused entry changed the books";
            continue;
        }
        EXPECT_EQ(outcome.status, CPurchaseEntry::kRecorded);
        ASSERT_EQ(changes.size(), 2u);
        ASSERT_TRUE(changes.count(QStringLiteral("进")) && changes.count(QStringLiteral("存")));
        const TableChange& purchase = changes.at(QStringLiteral("进"));
        const TableChange& card = changes.at(QStringLiteral("存"));
        ASSERT_EQ(purchase.added.size(), 1u);
        EXPECT_TRUE(purchase.removed.empty());
        ASSERT_EQ(card.added.size(), 1u);
        EXPECT_TRUE(card.removed.empty());
        // Every text as typed, the typed one included; the numbers as entered; a number of
        // its own.
        const QStringList row = purchase.added.front().mid(1);
        EXPECT_EQ(
            row.mid(0, row.size() - 1),
            (QStringList{form.purchaser, form.category, form.subCategory, form.code, form.name,
                         form.origin, form.packModel, form.batch, QStringLiteral("2005-04-30"),
                         QStringLiteral("8.5"), QStringLiteral("10"), QString()}));
        EXPECT_FALSE(row.back().isEmpty());
        EXPECT_TRUE(numbers.insert(row.back()).second) << "two purchases share a 单号";
        EXPECT_EQ(card.added.front(),
                  (QStringList{form.name, form.origin, form.packModel, QStringLiteral("2005-04-30"),
                               QStringLiteral("8.5"), QStringLiteral("10")}));
    }
}

TEST_P(BadInputTest, PurchaseEntryNumberFields) {
    for (const auto& [field, id] :
         {std::pair{&CPurchaseEntry::Form::price, +CPurchaseEntry::IdPrice},
          std::pair{&CPurchaseEntry::Form::quantity, +CPurchaseEntry::IdQuantity}}) {
        SCOPED_TRACE(id);
        CPurchaseEntry::Form form = PurchaseForm(id);
        form.*field = Text();
        const BooksState before = ReadBooks(Db());
        const CEntryOutcome outcome = CPurchaseEntry(&Db()).Add(form);
        EXPECT_FALSE(outcome.recorded);
        EXPECT_EQ(outcome.message, entryfields::kNotANumber);
        EXPECT_EQ(outcome.focus, id);
        EXPECT_TRUE(Changes(before, ReadBooks(Db())).empty());
    }
}

struct CardField {
    const char* name;
    QString CSalesEntry::Card::*member;
    int column; // in 存 and in 销
};

const CardField kCardFields[] = {
    {"名称", &CSalesEntry::Card::name, 0},
    {"产地", &CSalesEntry::Card::origin, 1},
    {"规格型号", &CSalesEntry::Card::packModel, 2},
    {"有效截止日期", &CSalesEntry::Card::expiry, 3},
};

CSalesEntry::Card SaleCard(int variant) {
    return {QStringLiteral("板蓝根颗粒%1").arg(variant), QStringLiteral("白云山"),
            QStringLiteral("10g*20袋"), QStringLiteral("2005-04-30")};
}

QStringList CardRow(const CSalesEntry::Card& card, const QString& stock) {
    return {card.name, card.origin, card.packModel, card.expiry, QStringLiteral("2"), stock};
}

CSalesEntry::Form SaleForm(const CSalesEntry::Card& card, int second) {
    CSalesEntry::Form form;
    form.timestamp = QStringLiteral("2003-05-02 10:15:%1").arg(second, 2, 10, QLatin1Char('0'));
    form.timestampTyped = true;
    form.card = card;
    form.price = QStringLiteral("3");
    form.saleType = CSalesEntry::kWholeBox;
    form.quantity = QStringLiteral("2");
    form.piecesPerBox = QStringLiteral("1");
    form.amount = CSalesEntry::AmountDue(2, 3);
    return form;
}

TEST_P(BadInputTest, SalesEntryCardPickers) {
    int variant = 0;
    for (const CardField& field : kCardFields) {
        SCOPED_TRACE(field.name);
        CSalesEntry::Card card = SaleCard(++variant);
        card.*field.member = Text();
        // The card as the stock maintenance grid would record it.
        const bool stored = InsertRow(QStringLiteral("存"), CardRow(card, QStringLiteral("10")));
        EXPECT_EQ(stored, Fits(100));
        EXPECT_EQ(NewMessages().isEmpty(), stored) << "a refused card must show why";

        // The pickers narrowed by the texts before each list exactly this card, or nothing;
        // the names are every card's.
        CSalesEntry entry(&Db());
        const std::optional<CSalesEntry::Lists> lists = entry.PickerLists(card, nullptr);
        ASSERT_TRUE(lists.has_value()) << NewMessages().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(NewMessages().isEmpty());
        const auto only = [&](const QString& text) {
            return stored ? QStringList{text} : QStringList{};
        };
        EXPECT_EQ(lists->names.contains(card.name), stored);
        EXPECT_EQ(lists->origins, only(card.origin));
        EXPECT_EQ(lists->packModels, only(card.packModel));
        EXPECT_EQ(lists->expiries, only(card.expiry));

        const BooksState before = ReadBooks(Db());
        const CEntryOutcome outcome = entry.Add(SaleForm(card, variant));
        const auto changes = Changes(before, ReadBooks(Db()));
        if (!stored) {
            EXPECT_FALSE(outcome.recorded);
            EXPECT_EQ(outcome.status, CSalesEntry::kNoSuchCard);
            EXPECT_TRUE(changes.empty());
            continue;
        }
        EXPECT_TRUE(outcome.recorded) << outcome.status.toStdString();
        ASSERT_EQ(changes.size(), 2u);
        const TableChange& sale = changes.at(QStringLiteral("销"));
        const TableChange& stock = changes.at(QStringLiteral("存"));
        ASSERT_EQ(sale.added.size(), 1u);
        EXPECT_TRUE(sale.removed.empty());
        ASSERT_FALSE(outcome.recordedNumber.isEmpty());
        EXPECT_EQ(sale.added.front().mid(1),
                  (QStringList{card.name, card.origin, card.packModel, card.expiry,
                               QStringLiteral("3"), QStringLiteral("2"), CSalesEntry::kWholeBox,
                               QStringLiteral("6"), QStringLiteral("0"), QString(),
                               outcome.recordedNumber, QString(), QString(), QString()}));
        // Only this card's stock went down, by the two boxes.
        EXPECT_EQ(stock.removed, (std::vector<QStringList>{CardRow(card, QStringLiteral("10"))}));
        EXPECT_EQ(stock.added, (std::vector<QStringList>{CardRow(card, QStringLiteral("8"))}));
    }
}

TEST_P(BadInputTest, SalesEntryTypedFields) {
    const CSalesEntry::Card card = SaleCard(0);
    ASSERT_TRUE(InsertRow(QStringLiteral("存"), CardRow(card, QStringLiteral("10"))));
    const BooksState before = ReadBooks(Db());

    // 日期时间 is an edit field: a typed text that is no date-time is refused.
    CSalesEntry::Form form = SaleForm(card, 1);
    form.timestamp = Text();
    CEntryOutcome outcome = CSalesEntry(&Db()).Add(form);
    EXPECT_FALSE(outcome.recorded);
    EXPECT_EQ(outcome.status, CSalesEntry::kStampInvalid);
    EXPECT_EQ(outcome.focus, CSalesEntry::IdTimestamp);
    EXPECT_TRUE(Changes(before, ReadBooks(Db())).empty());

    const std::pair<QString CSalesEntry::Form::*, int> numbers[] = {
        {&CSalesEntry::Form::price, CSalesEntry::IdPrice},
        {&CSalesEntry::Form::quantity, CSalesEntry::IdQuantity},
        {&CSalesEntry::Form::piecesPerBox, CSalesEntry::IdPiecesPerBox},
    };
    for (const auto& [member, id] : numbers) {
        SCOPED_TRACE(id);
        form = SaleForm(card, 2);
        form.*member = Text();
        outcome = CSalesEntry(&Db()).Add(form);
        EXPECT_FALSE(outcome.recorded);
        EXPECT_EQ(outcome.message, id == CSalesEntry::IdPrice ? entryfields::kNotANumber
                                                              : entryfields::kNotAPositiveInteger);
        EXPECT_EQ(outcome.focus, id);
        EXPECT_TRUE(Changes(before, ReadBooks(Db())).empty());
    }
}

TEST_P(BadInputTest, StockQueryPatterns) {
    // Two cards that no strange text names.
    ASSERT_TRUE(
        InsertRow(QStringLiteral("存"), {QStringLiteral("阿莫西林胶囊"), QStringLiteral("石药集团"),
                                         QStringLiteral("0.25g*24粒"), QStringLiteral("2005-04-30"),
                                         QStringLiteral("1"), QStringLiteral("9")}));
    ASSERT_TRUE(
        InsertRow(QStringLiteral("存"), {QStringLiteral("板蓝根颗粒"), QStringLiteral("白云山"),
                                         QStringLiteral("10g*20袋"), QStringLiteral("2006-01-01"),
                                         QStringLiteral("2"), QStringLiteral("5")}));
    const QStringList plainCards = {QStringLiteral("阿莫西林胶囊"), QStringLiteral("板蓝根颗粒")};
    int variant = 0;
    for (const CardField& field : kCardFields) {
        SCOPED_TRACE(field.name);
        CSalesEntry::Card card = SaleCard(++variant);
        card.*field.member = Text();
        const bool stored = InsertRow(QStringLiteral("存"), CardRow(card, QStringLiteral("10")));
        NewMessages();

        reportsql::StockPatterns patterns;
        QString reportsql::StockPatterns::*const members[] = {
            &reportsql::StockPatterns::name, &reportsql::StockPatterns::origin,
            &reportsql::StockPatterns::packModel, &reportsql::StockPatterns::expiry};
        patterns.*members[field.column] = Text();
        const BooksState before = ReadBooks(Db());
        const std::optional<CResultTable> rows =
            RunStatement(&Db(), QStringLiteral("存"),
                         reportsql::StockQuery(patterns, reportsql::OnPostgreSQL(&Db())), nullptr);
        EXPECT_TRUE(Changes(before, ReadBooks(Db())).empty()) << "a query changed the books";
        ASSERT_TRUE(rows.has_value())
            << "the query failed: " << NewMessages().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(NewMessages().isEmpty());
        QStringList names;
        for (int r = 0; r < rows->RowCount(); ++r)
            names << rows->CellText(r, 0);
        if (stored) {
            EXPECT_TRUE(names.contains(card.name)) << "the card holding the text was not found";
        }
        // A text without wildcards finds no card that lacks it.
        if (!HasWildcards(Text())) {
            for (const QString& plain : plainCards)
                EXPECT_FALSE(names.contains(plain)) << "found " << plain.toStdString();
        }
    }
}

TEST_P(BadInputTest, LoginNameAndPassword) {
    // Typed at the login with no such operator: nobody is admitted and no statement runs.
    int statements = 0;
    Db().SetStatementHook([&](const QString&) { ++statements; });
    std::optional<CResultTable> rows = RunStatement(
        &Db(), QStringLiteral("操作员"), QStringLiteral("SELECT * FROM 操作员"), nullptr);
    ASSERT_TRUE(rows.has_value());
    CLoginCheck login = CLoginCheck::FromResult(*rows);
    statements = 0;
    EXPECT_EQ(login.Check(Text(), Text()), CLoginCheck::Outcome::UnknownUser);
    EXPECT_EQ(login.Check(QStringLiteral("管理员"), Text()), CLoginCheck::Outcome::WrongPassword);
    EXPECT_EQ(statements, 0);
    Db().SetStatementHook({});

    // An operator with the text as name and password, as the settings grid records it.
    const BooksState before = ReadBooks(Db());
    const QString password = Text() + QStringLiteral("密");
    const bool stored =
        InsertRow(QStringLiteral("操作员"), {Text(), password, QStringLiteral("营业员")});
    // The name holds 50 characters, the password 200.
    EXPECT_EQ(stored, Fits(50));
    const auto changes = Changes(before, ReadBooks(Db()));
    rows = RunStatement(&Db(), QStringLiteral("操作员"), QStringLiteral("SELECT * FROM 操作员"),
                        nullptr);
    ASSERT_TRUE(rows.has_value());
    login = CLoginCheck::FromResult(*rows);
    if (!stored) {
        EXPECT_FALSE(NewMessages().isEmpty());
        EXPECT_TRUE(changes.empty());
        EXPECT_EQ(login.Check(Text(), password), CLoginCheck::Outcome::UnknownUser);
        return;
    }
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes.at(QStringLiteral("操作员")).added,
              (std::vector<QStringList>{{Text(), password, QStringLiteral("营业员")}}));
    EXPECT_TRUE(login.SortedNames().contains(Text()));
    EXPECT_EQ(login.Check(Text(), password), CLoginCheck::Outcome::Admitted);
    EXPECT_EQ(login.Check(Text(), Text()), CLoginCheck::Outcome::WrongPassword);
    EXPECT_EQ(login.Check(QStringLiteral("管理员"), QStringLiteral("737")),
              CLoginCheck::Outcome::Admitted);
}

// A valid row of each table, its key made unique by `variant`, and the width of its texts. An
// empty 单号 is given a new number.
struct TableSample {
    QString table;
    int width;
    QStringList (*row)(int variant);
    // A column that takes only a few words: every other text is refused.
    const char* choice = nullptr;
};

const TableSample kTables[] = {
    {QStringLiteral("操作员"), 50,
     [](int v) {
         return QStringList{QStringLiteral("操作员%1").arg(v), QStringLiteral("pw"),
                            QStringLiteral("营业员")};
     },
     "角色"},
    {QStringLiteral("进"), 200,
     [](int v) {
         return QStringList{QStringLiteral("2003-05-01"),  QStringLiteral("张明"),
                            QStringLiteral("西药"),        QStringLiteral("抗生素"),
                            QStringLiteral("YP%1").arg(v), QStringLiteral("阿莫西林胶囊"),
                            QStringLiteral("石药集团"),    QStringLiteral("0.25g*24粒"),
                            QStringLiteral("24031501"),    QStringLiteral("2005-04-30"),
                            QStringLiteral("8.5"),         QStringLiteral("10"),
                            QStringLiteral("张明"),        QString()};
     }},
    {QStringLiteral("存"), 100,
     [](int v) {
         return QStringList{QStringLiteral("阿莫西林胶囊%1").arg(v),
                            QStringLiteral("石药集团"),
                            QStringLiteral("0.25g*24粒"),
                            QStringLiteral("2005-04-30"),
                            QStringLiteral("8.5"),
                            QStringLiteral("10")};
     }},
    {QStringLiteral("销"), 100,
     [](int v) {
         return QStringList{QStringLiteral("2003-05-02 10:%1:30").arg(v, 2, 10, QLatin1Char('0')),
                            QStringLiteral("阿莫西林胶囊"),
                            QStringLiteral("石药集团"),
                            QStringLiteral("0.25g*24粒"),
                            QStringLiteral("2005-04-30"),
                            QStringLiteral("3"),
                            QStringLiteral("2"),
                            QStringLiteral("整盒销售"),
                            QStringLiteral("6"),
                            QStringLiteral("0"),
                            QStringLiteral("张明"),
                            QString(),
                            QString(),
                            QString(),
                            QString()};
     }},
};

TEST_P(BadInputTest, GridCellsOfEveryTable) {
    int variant = 0;
    for (const TableSample& sample : kTables) {
        const std::vector<CResultColumn> columns = TableColumns(Db(), sample.table);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            SCOPED_TRACE((sample.table + QLatin1Char('.') + columns[c].m_strName).toStdString());
            CRowWriter writer(&Db(), nullptr);
            QStringList values = sample.row(++variant);
            values[qsizetype(c)] = Text();
            const BooksState before = ReadBooks(Db());
            const bool inserted = writer.Insert(sample.table, columns, values);
            auto changes = Changes(before, ReadBooks(Db()));
            const short type = columns[c].m_nSQLType;
            const bool choice =
                sample.choice && columns[c].m_strName == QString::fromUtf8(sample.choice);
            const bool number = columns[c].m_strName == writeback::kNumberColumn;
            // The numbers are 50 wide, the reversed sale's as well; the payment method 20.
            const QString name = columns[c].m_strName;
            const int width = number || name == QStringLiteral("冲正单号") ? 50
                              : name == QStringLiteral("支付方式")         ? 20
                                                                           : sample.width;
            if (columnkinds::IsSqlNumeric(type) || columnkinds::IsTimestamp(type) || choice ||
                !inserted) {
                // No number, no date-time, none of the words, or too long: refused with a message.
                EXPECT_FALSE(inserted);
                if (!columnkinds::IsSqlNumeric(type) && !columnkinds::IsTimestamp(type) &&
                    !choice) {
                    EXPECT_FALSE(Fits(width)) << "a text that fits was refused";
                }
                EXPECT_FALSE(NewMessages().isEmpty()) << "refused without a message";
                EXPECT_TRUE(changes.empty());
                continue;
            }
            ASSERT_EQ(changes.size(), 1u);
            const TableChange& insert = changes.at(sample.table);
            ASSERT_EQ(insert.added.size(), 1u);
            EXPECT_TRUE(insert.removed.empty());
            const QStringList loaded = insert.added.front();
            EXPECT_EQ(loaded[qsizetype(c)], Text());

            // Written back from the cells as loaded: the row is found by the strange text, or by
            // its 单号 where the table numbers its rows.
            const int key = writeback::NumberColumn(columns);
            if (key >= 0 && !number) {
                EXPECT_FALSE(loaded[key].isEmpty()) << "an inserted row got no 单号";
            }
            QStringList changed = loaded;
            changed[qsizetype(c)] = Text() + QStringLiteral("改");
            EXPECT_TRUE(writer.Update(sample.table, columns, loaded, changed))
                << NewMessages().join(QLatin1Char('\n')).toStdString();
            changes = Changes(before, ReadBooks(Db()));
            ASSERT_EQ(changes.size(), 1u);
            ASSERT_EQ(changes.at(sample.table).added.size(), 1u);
            const QStringList stored = changes.at(sample.table).added.front();
            EXPECT_EQ(stored, changed);

            EXPECT_TRUE(writer.Delete(sample.table, columns, stored))
                << NewMessages().join(QLatin1Char('\n')).toStdString();
            EXPECT_TRUE(Changes(before, ReadBooks(Db())).empty()) << "the row did not go alone";
            EXPECT_TRUE(NewMessages().isEmpty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, BadInputTest,
                         ::testing::Combine(APRICOT_ALL_BACKENDS,
                                            ::testing::Range(0, int(BadTexts().size()))),
                         ParamName());

} // namespace
