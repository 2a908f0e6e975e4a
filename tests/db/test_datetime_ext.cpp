// The date-time parser and the SQLite extension built on it, driven through the sqlite3 C API
// and the sqlite3 shell the way the ODBC driver and a maintainer would load it.
#include "datetime_parse.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr const char* kModulePath = APRICOT_SQLITE_MODULE;
constexpr const char* kShellPath = "/usr/bin/sqlite3";

// --- the parser --------------------------------------------------------------------------

struct Accepted {
    const char* text;
    apricot_datetime expected;
};

TEST(DatetimeParse, AcceptsTheFormsTheBooksStore) {
    const Accepted cases[] = {
        {"2003-05-01", {2003, 5, 1, 0, 0, 0, 0}},
        {"2003-05-01 00:00:00.000", {2003, 5, 1, 0, 0, 0, 0}},
        {"2003-05-01 ", {2003, 5, 1, 0, 0, 0, 0}},
        {" 2003/5/1 14:20:05.12", {2003, 5, 1, 14, 20, 5, 120000000}},
        {"2003-05-31 23:59:59.999", {2003, 5, 31, 23, 59, 59, 999000000}},
        {"2003-12-31 23:59:59.123456789", {2003, 12, 31, 23, 59, 59, 123456789}},
        {"2003-05-01T08:30", {2003, 5, 1, 8, 30, 0, 0}},
        {"2003-05-01 8:30", {2003, 5, 1, 8, 30, 0, 0}},
        {"\t2003-05-01\t09:05:07 \t", {2003, 5, 1, 9, 5, 7, 0}},
        {"2000-02-29", {2000, 2, 29, 0, 0, 0, 0}},
        {"2004-02-29 12:00", {2004, 2, 29, 12, 0, 0, 0}},
    };
    for (const Accepted& c : cases) {
        SCOPED_TRACE(c.text);
        apricot_datetime dt{};
        ASSERT_EQ(apricot_parse_datetime(c.text, -1, &dt), 1);
        EXPECT_EQ(dt.year, c.expected.year);
        EXPECT_EQ(dt.month, c.expected.month);
        EXPECT_EQ(dt.day, c.expected.day);
        EXPECT_EQ(dt.hour, c.expected.hour);
        EXPECT_EQ(dt.minute, c.expected.minute);
        EXPECT_EQ(dt.second, c.expected.second);
        EXPECT_EQ(dt.nanos, c.expected.nanos);
    }
}

TEST(DatetimeParse, RefusesTextsThatAreNoDatetime) {
    const char* const cases[] = {
        "abc",
        "",
        "   ",
        "2003-02-30",
        "2003-13-01",
        "2003-00-10",
        "2003-05-00",
        "2003-04-31",
        "1900-02-29",
        "2003-02-29",
        "03-05-01",
        "20031-05-01",
        "2003-005-01",
        "2003-05-001",
        "2003-05/01",
        "2003.05.01",
        "+2003-05-01",
        "2003-05-01x",
        "2003-05-01T",
        "2003-05-01 T10:00",
        "2003-05-01 12",
        "2003-05-01 12:5",
        "2003-05-01 24:00",
        "2003-05-01 12:60",
        "2003-05-01 12:00:60",
        "2003-05-01 123:00",
        "2003-05-01 12:00:00.",
        "2003-05-01 12:00:00.1234567890",
        "2003-05-01 12:00.5",
        "2003-05-01 12:00:00 x",
        "2003-05-01 12:00:00.000 2003-05-01",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        apricot_datetime dt{1, 2, 3, 4, 5, 6, 7};
        EXPECT_EQ(apricot_parse_datetime(text, -1, &dt), 0);
        EXPECT_EQ(dt.year, 1) << "a refused text must leave the result alone";
    }
    EXPECT_EQ(apricot_parse_datetime(nullptr, 0, nullptr), 0);
}

TEST(DatetimeParse, ReadsOnlyTheGivenLength) {
    const std::string text = "2003-05-01 12:34:56";
    apricot_datetime dt{};
    ASSERT_EQ(apricot_parse_datetime(text.data(), 10, &dt), 1);
    EXPECT_EQ(dt.hour, 0);
    ASSERT_EQ(apricot_parse_datetime(text.data(), 16, &dt), 1);
    EXPECT_EQ(dt.minute, 34);
    EXPECT_EQ(apricot_parse_datetime(text.data(), 13, &dt), 0) << "cut inside the time";
    EXPECT_EQ(apricot_parse_datetime(text.data(), 0, &dt), 0);

    const std::string withNul("2003-05-01\0 junk", 16);
    EXPECT_EQ(apricot_parse_datetime(withNul.data(), int(withNul.size()), &dt), 0);
    EXPECT_EQ(apricot_parse_datetime(withNul.data(), -1, &dt), 1);
}

TEST(DatetimeParse, ComparesInTimeOrder) {
    auto parse = [](const char* text) {
        apricot_datetime dt{};
        EXPECT_EQ(apricot_parse_datetime(text, -1, &dt), 1) << text;
        return dt;
    };
    const char* const ascending[] = {
        "1999-12-31 23:59:59.999999999",
        "2003-5-2",
        "2003-05-02 00:00:00.000000001",
        "2003-05-02 00:00:01",
        "2003-05-02 00:01",
        "2003-05-02 01:00",
        "2003-05-10",
        "2003-06-01",
        "2004-01-01",
    };
    const size_t count = std::size(ascending);
    for (size_t i = 0; i < count; ++i)
        for (size_t j = 0; j < count; ++j) {
            SCOPED_TRACE(std::string(ascending[i]) + " vs " + ascending[j]);
            const apricot_datetime a = parse(ascending[i]);
            const apricot_datetime b = parse(ascending[j]);
            const int c = apricot_compare_datetime(&a, &b);
            EXPECT_EQ(c < 0, i < j);
            EXPECT_EQ(c == 0, i == j);
        }
    const apricot_datetime midnight = parse("2003-05-01");
    const apricot_datetime spelled = parse(" 2003/5/1 0:00:00.000 ");
    EXPECT_EQ(apricot_compare_datetime(&midnight, &spelled), 0);
}

// --- the extension through the sqlite3 C API -----------------------------------------------

using Connection = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;
using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

struct Outcome {
    int rc;
    std::string message;
};

Connection OpenDatabase() {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open(":memory:", &raw);
    Connection db(raw, &sqlite3_close);
    if (rc != SQLITE_OK)
        ADD_FAILURE() << "cannot open an in-memory database";
    return db;
}

// A null entry point lets SQLite choose, as the ODBC driver and the shell do.
Outcome LoadModule(sqlite3* db, const char* entryPoint) {
    sqlite3_enable_load_extension(db, 1);
    char* error = nullptr;
    const int rc = sqlite3_load_extension(db, kModulePath, entryPoint, &error);
    Outcome outcome{rc, error ? error : ""};
    sqlite3_free(error);
    sqlite3_enable_load_extension(db, 0);
    return outcome;
}

Outcome Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    Outcome outcome{rc, error ? error : ""};
    sqlite3_free(error);
    return outcome;
}

// The given column of every row; a NULL cell reads as "<null>".
std::vector<std::string> Column(sqlite3* db, const std::string& sql, int column = 0) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
        return {};
    }
    Statement statement(raw, &sqlite3_finalize);
    std::vector<std::string> values;
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(raw, column);
        values.emplace_back(text ? reinterpret_cast<const char*>(text) : "<null>");
    }
    if (rc != SQLITE_DONE)
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
    return values;
}

std::string Single(sqlite3* db, const std::string& sql) {
    const std::vector<std::string> values = Column(db, sql);
    if (values.size() != 1) {
        ADD_FAILURE() << sql << " gave " << values.size() << " rows";
        return {};
    }
    return values.front();
}

std::string Join(const std::vector<std::string>& parts) {
    std::string joined;
    for (const std::string& part : parts)
        joined += part + "\n";
    return joined;
}

TEST(DatetimeExtension, LoadsThroughEitherEntryPoint) {
    for (const char* entry : {"sqlite3_apricotsqlite_init", "sqlite3_extension_init"}) {
        SCOPED_TRACE(entry);
        Connection db = OpenDatabase();
        const Outcome loaded = LoadModule(db.get(), entry);
        ASSERT_EQ(loaded.rc, SQLITE_OK) << loaded.message;
        EXPECT_EQ(Single(db.get(), "SELECT apricot_is_datetime('2003-05-01')"), "1");
        EXPECT_EQ(Single(db.get(), "SELECT '2003-05-01' = '2003-05-01 00:00:00.000' "
                                   "COLLATE APRICOT_DATETIME"),
                  "1");
    }
}

TEST(DatetimeExtension, WithoutTheModuleTheSchemaCannotBeUsed) {
    // Guards the other tests: they pass only because the module is loaded.
    Connection db = OpenDatabase();
    EXPECT_NE(Exec(db.get(), "SELECT 'a' = 'b' COLLATE APRICOT_DATETIME").rc, SQLITE_OK);
    EXPECT_NE(Exec(db.get(), "SELECT apricot_is_datetime('2003-05-01')").rc, SQLITE_OK);
}

class LoadedDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        const Outcome loaded = LoadModule(db.get(), nullptr);
        ASSERT_EQ(loaded.rc, SQLITE_OK) << loaded.message;
    }
    void ExpectOk(const std::string& sql) {
        const Outcome outcome = Exec(db.get(), sql);
        EXPECT_EQ(outcome.rc, SQLITE_OK) << sql << ": " << outcome.message;
    }
    Connection db = OpenDatabase();
};

TEST_F(LoadedDatabase, IsDatetimeAcceptsOnlyDatetimeTexts) {
    EXPECT_EQ(Single(db.get(), "SELECT apricot_is_datetime(' 2003/5/1 14:20:05.12')"), "1");
    EXPECT_EQ(Single(db.get(), "SELECT apricot_is_datetime('2003-02-30')"), "0");
    EXPECT_EQ(Single(db.get(), "SELECT apricot_is_datetime('abc')"), "0");
    EXPECT_EQ(Single(db.get(), "SELECT apricot_is_datetime('')"), "0");
    EXPECT_EQ(Single(db.get(), "SELECT apricot_is_datetime(NULL)"), "0");
    EXPECT_EQ(Single(db.get(), "SELECT apricot_is_datetime(20030501)"), "0");
    EXPECT_EQ(Single(db.get(), "SELECT apricot_is_datetime(2003.5)"), "0");
    EXPECT_EQ(Single(db.get(), "SELECT apricot_is_datetime(CAST('2003-05-01' AS BLOB))"), "0");
}

TEST_F(LoadedDatabase, IsDatetimeMayServeInSchemaExpressions) {
    // An expression index takes only deterministic functions.
    ExpectOk("CREATE TABLE e (x TEXT)");
    ExpectOk("CREATE INDEX e_is_datetime ON e (apricot_is_datetime(x))");
    // With an untrusted schema only innocuous functions may run from a CHECK.
    ExpectOk("PRAGMA trusted_schema = OFF");
    ExpectOk("CREATE TABLE c (x TEXT CHECK (apricot_is_datetime(x)))");
    ExpectOk("INSERT INTO c VALUES ('2003-05-01')");
}

TEST_F(LoadedDatabase, MidnightSpellingsAreEqual) {
    const char* const spellings[] = {"'2003-05-01'", "'2003-05-01 00:00:00.000'", "'2003-05-01 '"};
    for (const char* a : spellings)
        for (const char* b : spellings) {
            SCOPED_TRACE(std::string(a) + " = " + b);
            EXPECT_EQ(Single(db.get(),
                             std::string("SELECT ") + a + " = " + b + " COLLATE APRICOT_DATETIME"),
                      "1");
        }
    EXPECT_EQ(Single(db.get(), "SELECT '2003-05-01' = '2003-05-01 00:00:00.001' "
                               "COLLATE APRICOT_DATETIME"),
              "0");
}

TEST_F(LoadedDatabase, CollationIsATotalOrderOverMixedTexts) {
    ExpectOk("CREATE TABLE t (v TEXT COLLATE APRICOT_DATETIME)");
    const char* const values[] = {"2003-05-10",  "2003-5-2", " 2003/05/01 12:00", "2003-05-01",
                                  "2003-05-01 ", "abc",      "2003-02-30",        "",
                                  "2003-13-01",  "管理员",   "2003-05-01 23:00",  "Abc"};
    for (const char* v : values)
        ExpectOk(std::string("INSERT INTO t VALUES ('") + v + "')");

    // Every pair, compared through SQL: (left, right) -> "<", "=" or ">".
    std::map<std::pair<std::string, std::string>, std::string> order;
    sqlite3_stmt* raw = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.get(),
                                 "SELECT a.v, b.v, a.v < b.v, a.v = b.v, a.v > b.v FROM t a, t b",
                                 -1, &raw, nullptr),
              SQLITE_OK);
    Statement pairs(raw, &sqlite3_finalize);
    while (sqlite3_step(raw) == SQLITE_ROW) {
        const std::string a = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
        const std::string b = reinterpret_cast<const char*>(sqlite3_column_text(raw, 1));
        const int less = sqlite3_column_int(raw, 2), equal = sqlite3_column_int(raw, 3),
                  greater = sqlite3_column_int(raw, 4);
        EXPECT_EQ(less + equal + greater, 1) << "'" << a << "' vs '" << b << "'";
        order[{a, b}] = less ? "<" : equal ? "=" : ">";
    }
    const size_t n = std::size(values);
    ASSERT_EQ(order.size(), n * n);
    for (const auto& [sides, relation] : order) {
        const std::string mirrored = relation == "<" ? ">" : relation == ">" ? "<" : "=";
        EXPECT_EQ(order.at({sides.second, sides.first}), mirrored)
            << "'" << sides.first << "' vs '" << sides.second << "'";
    }

    // Sorting must agree with every pairwise comparison, which fails if the order is not
    // transitive.
    const std::vector<std::string> sorted = Column(db.get(), "SELECT v FROM t ORDER BY v");
    ASSERT_EQ(sorted.size(), n);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            EXPECT_NE(order.at({sorted[i], sorted[j]}), ">")
                << "'" << sorted[i] << "' sorted before '" << sorted[j] << "'";
    // Date-times first, in time order; then the other texts in byte order.
    const std::vector<std::string> expected = {"2003-05-01",
                                               "2003-05-01 ",
                                               " 2003/05/01 12:00",
                                               "2003-05-01 23:00",
                                               "2003-5-2",
                                               "2003-05-10",
                                               "",
                                               "2003-02-30",
                                               "2003-13-01",
                                               "Abc",
                                               "abc",
                                               "管理员"};
    std::vector<std::string> normalised = sorted;
    // The two midnight spellings are equal, so either may come first.
    if (normalised[0] == "2003-05-01 ")
        std::swap(normalised[0], normalised[1]);
    EXPECT_EQ(normalised, expected);
}

// The two date-time columns as the books declare them, with their indexes.
class Books : public LoadedDatabase {
protected:
    void SetUp() override {
        LoadedDatabase::SetUp();
        ExpectOk("CREATE TABLE 进 (采购日期 TIMESTAMP NOT NULL COLLATE APRICOT_DATETIME "
                 "CHECK (apricot_is_datetime(采购日期)), 名称 TEXT NOT NULL, "
                 "数量 REAL NOT NULL)");
        ExpectOk("CREATE INDEX 进_采购日期 ON 进 (采购日期)");
        ExpectOk("CREATE TABLE 销 (日期时间 TIMESTAMP NOT NULL COLLATE APRICOT_DATETIME "
                 "CHECK (apricot_is_datetime(日期时间)) PRIMARY KEY, 名称 TEXT NOT NULL)");
    }
    void Purchase(const std::string& date, const std::string& name) {
        ExpectOk("INSERT INTO 进 VALUES ('" + date + "', '" + name + "', 1.000000)");
    }
    std::string Plan(const std::string& sql) {
        return Join(Column(db.get(), "EXPLAIN QUERY PLAN " + sql, 3));
    }
};

TEST_F(Books, WholeMonthIncludesMidnightOfTheFirstDay) {
    Purchase("2003-04-30 23:59:59.999", "april");
    Purchase("2003-05-01", "first day");
    Purchase("2003-05-15 10:30:00", "mid month");
    Purchase("2003-05-31 23:59:59.999", "last moment");
    Purchase("2003-06-01", "next month");
    Purchase("2003-06-01 00:00:01", "next month, first second");
    const std::vector<std::string> names =
        Column(db.get(),
               "SELECT 名称 FROM 进 WHERE 采购日期 BETWEEN '2003-05-01 00:00:00.000' "
               "AND '2003-05-31 23:59:59.999' ORDER BY 采购日期",
               0);
    EXPECT_EQ(names, (std::vector<std::string>{"first day", "mid month", "last moment"}));

    // The one-day form used for daily lists, against a row written without a time.
    EXPECT_EQ(Single(db.get(), "SELECT 名称 FROM 进 WHERE 采购日期 BETWEEN "
                               "'2003-05-01 00:00:00.000' AND '2003-05-01 23:59:59.999'"),
              "first day");
    EXPECT_EQ(Single(db.get(), "SELECT 名称 FROM 进 WHERE 采购日期 = '2003-05-01 '"), "first day");
}

TEST_F(Books, SlashSeparatedDatesTakePart) {
    Purchase("2003/05/15", "slashes");
    Purchase("2003/5/1 0:00", "short slashes");
    Purchase("2003/06/01", "june");
    const std::vector<std::string> names =
        Column(db.get(), "SELECT 名称 FROM 进 WHERE 采购日期 BETWEEN '2003-05-01 00:00:00.000' "
                         "AND '2003-05-31 23:59:59.999' ORDER BY 采购日期");
    EXPECT_EQ(names, (std::vector<std::string>{"short slashes", "slashes"}));
    EXPECT_EQ(Single(db.get(), "SELECT 名称 FROM 进 WHERE 采购日期 = '2003-06-01'"), "june");
}

TEST_F(Books, OrderByFollowsTime) {
    Purchase("2003-05-10", "tenth");
    Purchase("2003-5-2", "second");
    Purchase("2003-05-01 23:00", "first, late");
    Purchase(" 2003/05/01 12:00", "first, noon");
    Purchase("2003-05-01", "first, midnight");
    EXPECT_EQ(Column(db.get(), "SELECT 名称 FROM 进 ORDER BY 采购日期 ASC"),
              (std::vector<std::string>{"first, midnight", "first, noon", "first, late", "second",
                                        "tenth"}));
}

TEST_F(Books, CheckRefusesWhatIsNoDatetime) {
    for (const char* bad : {"'abc'", "'2003-02-30'", "'2003-13-01'", "''", "20030501"}) {
        SCOPED_TRACE(bad);
        const Outcome outcome =
            Exec(db.get(), std::string("INSERT INTO 进 VALUES (") + bad + ", 'x', 1)");
        EXPECT_EQ(outcome.rc, SQLITE_CONSTRAINT) << outcome.message;
        EXPECT_NE(outcome.message.find("CHECK"), std::string::npos) << outcome.message;
        const Outcome sale =
            Exec(db.get(), std::string("INSERT INTO 销 VALUES (") + bad + ", 'x')");
        EXPECT_EQ(sale.rc, SQLITE_CONSTRAINT) << sale.message;
    }
    EXPECT_EQ(Exec(db.get(), "INSERT INTO 进 VALUES (NULL, 'x', 1)").rc, SQLITE_CONSTRAINT);
    Purchase("2003-05-01", "kept");
    EXPECT_EQ(Exec(db.get(), "UPDATE 进 SET 采购日期 = '2003-02-30'").rc, SQLITE_CONSTRAINT);
    EXPECT_EQ(Single(db.get(), "SELECT 采购日期 FROM 进"), "2003-05-01");
}

TEST_F(Books, SaleKeyMatchesAnySpellingOfItsInstant) {
    ExpectOk("INSERT INTO 销 VALUES ('2003-05-01 10:00:00', 'sold')");
    ExpectOk("INSERT INTO 销 VALUES ('2003-05-01 10:00:01', 'later')");
    const Outcome duplicate =
        Exec(db.get(), "INSERT INTO 销 VALUES ('2003/5/1 10:00:00.000', 'x')");
    EXPECT_EQ(duplicate.rc, SQLITE_CONSTRAINT) << duplicate.message;
    EXPECT_EQ(Single(db.get(), "SELECT 名称 FROM 销 WHERE 日期时间 = '2003-05-01 10:00:00.000'"),
              "sold");
    ExpectOk("DELETE FROM 销 WHERE 日期时间='2003-05-01 10:00:00'");
    EXPECT_EQ(Column(db.get(), "SELECT 名称 FROM 销"), (std::vector<std::string>{"later"}));
}

TEST_F(Books, LookupsUseTheIndexes) {
    for (int day = 1; day <= 28; ++day) {
        const std::string date =
            "2003-05-" + std::string(day < 10 ? "0" : "") + std::to_string(day);
        Purchase(date, "p" + std::to_string(day));
        ExpectOk("INSERT INTO 销 VALUES ('" + date + " 09:00:00', 's')");
    }
    const std::string range = Plan("SELECT * FROM 进 WHERE 采购日期 BETWEEN "
                                   "'2003-05-01 00:00:00.000' AND '2003-05-31 23:59:59.999'");
    EXPECT_NE(range.find("SEARCH 进 USING INDEX 进_采购日期 (采购日期>? AND 采购日期<?)"),
              std::string::npos)
        << range;
    const std::string equal = Plan("SELECT * FROM 进 WHERE 采购日期 = '2003-05-01'");
    EXPECT_NE(equal.find("SEARCH 进 USING INDEX 进_采购日期 (采购日期=?)"), std::string::npos)
        << equal;
    const std::string key = Plan("SELECT * FROM 销 WHERE 日期时间 = '2003-05-01 09:00:00'");
    EXPECT_NE(key.find("SEARCH 销 USING INDEX sqlite_autoindex_销_1 (日期时间=?)"),
              std::string::npos)
        << key;
    // And the indexes find what they should.
    EXPECT_EQ(Single(db.get(), "SELECT count(*) FROM 进 WHERE 采购日期 BETWEEN "
                               "'2003-05-01 00:00:00.000' AND '2003-05-10 23:59:59.999'"),
              "10");
    EXPECT_EQ(Single(db.get(), "SELECT 名称 FROM 进 WHERE 采购日期 = '2003/5/7 00:00:00.000'"),
              "p7");
    EXPECT_EQ(Single(db.get(), "SELECT count(*) FROM 销 WHERE 日期时间 = '2003-5-9 9:00'"), "1");
}

// --- the sqlite3 shell ------------------------------------------------------------------------

struct ShellRun {
    int exitCode;
    std::string output;
};

// A module built with AddressSanitizer loads into the plain shell only with the sanitizer's
// runtime preloaded.
std::string ShellEnvironment() {
#ifdef __SANITIZE_ADDRESS__
    return std::string("LD_PRELOAD=") + APRICOT_ASAN_RUNTIME + " ASAN_OPTIONS=detect_leaks=0 ";
#else
    return {};
#endif
}

ShellRun RunShell(const std::string& sql) {
    const std::string command = ShellEnvironment() + kShellPath + " -batch -cmd \".load " +
                                kModulePath + "\" :memory: \"" + sql + "\" 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {-1, "cannot start " + command};
    std::string output;
    char buffer[256];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(DatetimeShell, LoadsTheModule) {
    if (access(kShellPath, X_OK) != 0)
        GTEST_SKIP() << kShellPath << " is not installed";
    const ShellRun run = RunShell("SELECT apricot_is_datetime('2003/5/1 14:20'), "
                                  "'2003-05-01' = '2003-05-01 00:00:00.000' "
                                  "COLLATE APRICOT_DATETIME;");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "1|1\n");
}

} // namespace
