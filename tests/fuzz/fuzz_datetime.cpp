// The date-time reading of the SQLite extension: the parser never reads past the length it is
// given, accepts only real calendar dates and clock times, and the collation is a total order.
#include "datetime_parse.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

extern "C" int sqlite3_apricotsqlite_init(sqlite3* db, char** error, const void* api);

namespace {

void Fail(const char* what, const std::string& a, const std::string& b = {}) {
    std::fprintf(stderr, "fuzz_datetime: %s\n  a=\"%s\" (%zu bytes)\n  b=\"%s\" (%zu bytes)\n",
                 what, a.c_str(), a.size(), b.c_str(), b.size());
    std::abort();
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

struct Parsed {
    bool ok = false;
    apricot_datetime value{};
};

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool InRange(const apricot_datetime& d) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.year < 0 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1)
        return false;
    const int last = d.month == 2 && IsLeap(d.year) ? 29 : days[d.month - 1];
    return d.day <= last && d.hour >= 0 && d.hour <= 23 && d.minute >= 0 && d.minute <= 59 &&
           d.second >= 0 && d.second <= 59 && d.nanos >= 0 && d.nanos <= 999999999;
}

// Parses a heap copy of exactly text.size() bytes, so that reading one byte further is caught.
Parsed Parse(const std::string& text) {
    Parsed result;
    const std::unique_ptr<char[]> exact(new char[text.size() ? text.size() : 1]);
    std::memcpy(exact.get(), text.data(), text.size());
    result.ok = apricot_parse_datetime(exact.get(), int(text.size()), &result.value) != 0;
    if (result.ok && !InRange(result.value))
        Fail("a date-time out of range was accepted", text);
    if (apricot_parse_datetime(exact.get(), int(text.size()), nullptr) != int(result.ok))
        Fail("the result depends on whether the fields are wanted", text);
    // The same text, ended by its NUL instead of a length.
    if (text.find('\0') == std::string::npos &&
        apricot_parse_datetime(text.c_str(), -1, nullptr) != int(result.ok))
        Fail("a NUL-ended text reads differently from the same bytes with a length", text);
    if (result.ok) {
        // The canonical spelling of what was read is read as the same instant.
        char canonical[64];
        std::snprintf(canonical, sizeof canonical, "%04d-%02d-%02d %02d:%02d:%02d.%09ld",
                      result.value.year, result.value.month, result.value.day, result.value.hour,
                      result.value.minute, result.value.second, result.value.nanos);
        apricot_datetime again{};
        if (!apricot_parse_datetime(canonical, -1, &again) ||
            apricot_compare_datetime(&again, &result.value) != 0)
            Fail("the canonical spelling does not read back", text, canonical);
    }
    return result;
}

// The collation's verdict through SQL: -1, 0 or 1, checked to be exactly one of the three.
class CCollation {
public:
    CCollation() {
        if (sqlite3_open(":memory:", &m_db) != SQLITE_OK ||
            sqlite3_apricotsqlite_init(m_db, nullptr, nullptr) != SQLITE_OK ||
            sqlite3_prepare_v2(m_db,
                               "SELECT (?1 COLLATE APRICOT_DATETIME) < ?2,"
                               " (?1 COLLATE APRICOT_DATETIME) = ?2,"
                               " (?1 COLLATE APRICOT_DATETIME) > ?2, apricot_is_datetime(?1)",
                               -1, &m_compare, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "fuzz_datetime: cannot set up SQLite: %s\n", sqlite3_errmsg(m_db));
            std::abort();
        }
    }
    ~CCollation() {
        sqlite3_finalize(m_compare);
        sqlite3_close(m_db);
    }
    CCollation(const CCollation&) = delete;
    CCollation& operator=(const CCollation&) = delete;

    int Compare(const std::string& a, const std::string& b, bool* aIsDateTime) {
        sqlite3_reset(m_compare);
        sqlite3_bind_text(m_compare, 1, a.data(), int(a.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(m_compare, 2, b.data(), int(b.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(m_compare) != SQLITE_ROW)
            Fail("the comparison statement failed", a, b);
        const int less = sqlite3_column_int(m_compare, 0);
        const int equal = sqlite3_column_int(m_compare, 1);
        const int greater = sqlite3_column_int(m_compare, 2);
        *aIsDateTime = sqlite3_column_int(m_compare, 3) != 0;
        if (less + equal + greater != 1)
            Fail("the collation gives no single verdict", a, b);
        return less ? -1 : greater ? 1 : 0;
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_compare = nullptr;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CCollation collation;
    FuzzedDataProvider input(data, size);
    const std::string a = input.ConsumeRandomLengthString(64);
    const std::string b = input.ConsumeRandomLengthString(64);
    const std::string c = input.ConsumeRemainingBytesAsString();

    const Parsed pa = Parse(a), pb = Parse(b), pc = Parse(c);
    if (pa.ok && apricot_compare_datetime(&pa.value, &pa.value) != 0)
        Fail("a date-time differs from itself", a);
    if (pa.ok && pb.ok &&
        Sign(apricot_compare_datetime(&pa.value, &pb.value)) !=
            -Sign(apricot_compare_datetime(&pb.value, &pa.value)))
        Fail("the comparison is not antisymmetric", a, b);

    bool aIs = false, bIs = false, cIs = false;
    const int ab = collation.Compare(a, b, &aIs);
    const int ba = collation.Compare(b, a, &bIs);
    const int bc = collation.Compare(b, c, &bIs);
    const int ac = collation.Compare(a, c, &aIs);
    collation.Compare(c, a, &cIs);
    if (aIs != pa.ok || bIs != pb.ok || cIs != pc.ok)
        Fail("the check function and the parser disagree", aIs != pa.ok ? a : bIs != pb.ok ? b : c);
    if (ab != -ba)
        Fail("the collation is not antisymmetric", a, b);
    if (collation.Compare(a, a, &aIs) != 0)
        Fail("the collation finds a text different from itself", a);
    // A total order, as an index on the column needs.
    if (ab <= 0 && bc <= 0 && ac > 0)
        Fail("the collation is not transitive (a <= b <= c but a > c)", a, c);
    if (ab >= 0 && bc >= 0 && ac < 0)
        Fail("the collation is not transitive (a >= b >= c but a < c)", a, c);
    return 0;
}
