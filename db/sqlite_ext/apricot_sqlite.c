/* SQLite extension that gives the date-time columns their meaning: the collation
   APRICOT_DATETIME and the check function apricot_is_datetime(x). Loaded by the SQLite ODBC
   driver (LoadExt=) and by the sqlite3 shell (.load). */
#include "datetime_parse.h"

#include <sqlite3ext.h>
#include <string.h>

/* The routine table SQLite hands to an extension; the loading API requires this one global.
   The module is built with hidden visibility, so it stays private to this file's module. */
SQLITE_EXTENSION_INIT1

#define APRICOT_EXPORT __attribute__((visibility("default")))

#ifndef SQLITE_INNOCUOUS
#define SQLITE_INNOCUOUS 0
#endif

static int compare_bytes(int n1, const void* p1, int n2, const void* p2) {
    int shorter = n1 < n2 ? n1 : n2;
    int result = shorter > 0 ? memcmp(p1, p2, (size_t)shorter) : 0;
    if (result != 0)
        return result;
    return (n1 > n2) - (n1 < n2);
}

/* Every date-time sorts before every text that is no date-time. Date-times compare in time
   order, so different spellings of one instant are equal; other texts compare as bytes.
   That is a total order, which an index on the column needs. */
static int collate_datetime(void* unused, int n1, const void* p1, int n2, const void* p2) {
    apricot_datetime a, b;
    int a_is_datetime = apricot_parse_datetime((const char*)p1, n1, &a);
    int b_is_datetime = apricot_parse_datetime((const char*)p2, n2, &b);
    (void)unused;
    if (a_is_datetime && b_is_datetime)
        return apricot_compare_datetime(&a, &b);
    if (a_is_datetime != b_is_datetime)
        return a_is_datetime ? -1 : 1;
    return compare_bytes(n1, p1, n2, p2);
}

/* Only a text can be a date-time: NULL, numbers and blobs give 0. */
static void is_datetime_function(sqlite3_context* context, int argc, sqlite3_value** argv) {
    int result = 0;
    (void)argc;
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        const unsigned char* text = sqlite3_value_text(argv[0]);
        int length = sqlite3_value_bytes(argv[0]);
        result = text != NULL && apricot_parse_datetime((const char*)text, length, NULL);
    }
    sqlite3_result_int(context, result);
}

static int register_all(sqlite3* db, char** error_message) {
    int rc = sqlite3_create_collation_v2(db, "APRICOT_DATETIME", SQLITE_UTF8, NULL,
                                         collate_datetime, NULL);
    if (rc == SQLITE_OK)
        /* Innocuous, so that CHECK constraints may call it even with trusted_schema off. */
        rc = sqlite3_create_function_v2(db, "apricot_is_datetime", 1,
                                        SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, NULL,
                                        is_datetime_function, NULL, NULL, NULL);
    if (rc != SQLITE_OK && error_message)
        *error_message = sqlite3_mprintf(
            "apricot_sqlite: cannot register the date-time collation: %s", sqlite3_errstr(rc));
    return rc;
}

/* The name SQLite derives from the file name apricot_sqlite.so. */
APRICOT_EXPORT int sqlite3_apricotsqlite_init(sqlite3* db, char** error_message,
                                              const sqlite3_api_routines* api) {
    SQLITE_EXTENSION_INIT2(api);
    return register_all(db, error_message);
}

/* The name tried first when the loader names no entry point. */
APRICOT_EXPORT int sqlite3_extension_init(sqlite3* db, char** error_message,
                                          const sqlite3_api_routines* api) {
    SQLITE_EXTENSION_INIT2(api);
    return register_all(db, error_message);
}
