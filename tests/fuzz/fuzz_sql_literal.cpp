// The SQL literal builder: any text placed in a statement as sqltext::Quote(text) stays one
// literal. The statement stays one statement, inserts one row, and the row reads back with the
// text's bytes unchanged.
#include "sql_text.h"

#include <QString>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& text, const std::string& detail = {}) {
    std::fprintf(stderr, "fuzz_sql_literal: %s\n  text=\"%s\" (%zu bytes)\n  %s\n", what,
                 text.c_str(), text.size(), detail.c_str());
    std::abort();
}

class CBooks {
public:
    CBooks() {
        if (sqlite3_open(":memory:", &m_db) != SQLITE_OK ||
            sqlite3_exec(m_db, "CREATE TABLE t(a TEXT)", nullptr, nullptr, nullptr) != SQLITE_OK ||
            sqlite3_prepare_v2(m_db, "SELECT a, typeof(a) FROM t", -1, &m_read, nullptr) !=
                SQLITE_OK) {
            std::fprintf(stderr, "fuzz_sql_literal: cannot set up SQLite: %s\n",
                         sqlite3_errmsg(m_db));
            std::abort();
        }
    }
    ~CBooks() {
        sqlite3_finalize(m_read);
        sqlite3_close(m_db);
    }
    CBooks(const CBooks&) = delete;
    CBooks& operator=(const CBooks&) = delete;

    void Check(const std::string& text) {
        sqlite3_exec(m_db, "DELETE FROM t", nullptr, nullptr, nullptr);
        const std::string statement =
            ("INSERT INTO t(a) VALUES(" + sqltext::Quote(QString::fromUtf8(text)) + ")")
                .toStdString();

        sqlite3_stmt* insert = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(m_db, statement.c_str(), int(statement.size()), &insert, &tail) !=
            SQLITE_OK)
            Fail("the statement does not compile", text, sqlite3_errmsg(m_db));
        // Exactly one statement: nothing follows it.
        const std::string rest(tail, statement.c_str() + statement.size());
        const int stepped = sqlite3_step(insert);
        const int changes = sqlite3_changes(m_db);
        sqlite3_finalize(insert);
        if (!rest.empty())
            Fail("the text ends the statement and starts another", text, rest);
        if (stepped != SQLITE_DONE)
            Fail("the insert fails", text, sqlite3_errmsg(m_db));
        if (changes != 1)
            Fail("the insert does not insert exactly one row", text, std::to_string(changes));

        sqlite3_reset(m_read);
        if (sqlite3_step(m_read) != SQLITE_ROW)
            Fail("the row is not there", text);
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_read, 0));
        const std::string stored(bytes ? bytes : "", size_t(sqlite3_column_bytes(m_read, 0)));
        const std::string type(reinterpret_cast<const char*>(sqlite3_column_text(m_read, 1)));
        if (type != "text")
            Fail("the value is stored as something other than text", text, type);
        if (stored != text)
            Fail("the value reads back changed", text, stored);
        if (sqlite3_step(m_read) != SQLITE_DONE)
            Fail("the table holds more than one row", text);
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_read = nullptr;
};

// Texts are QStrings: only valid UTF-8 without NUL comes from a user's field.
bool IsFieldText(const std::string& bytes) {
    if (bytes.find('\0') != std::string::npos)
        return false;
    return QString::fromUtf8(bytes).toStdString() == bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CBooks books;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!IsFieldText(text))
        return -1; // not worth keeping in the corpus
    books.Check(text);
    return 0;
}
