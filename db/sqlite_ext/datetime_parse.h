#ifndef APRICOT_DATETIME_PARSE_H
#define APRICOT_DATETIME_PARSE_H
/* Reading the date-time texts that the books store, in C so that the SQLite extension and the
   C++ program read them alike. Nothing here allocates: the collation calls it on every compare. */

#ifdef __cplusplus
extern "C" {
#endif

typedef struct apricot_datetime {
    int year, month, day, hour, minute, second;
    long nanos; /* 0 .. 999999999 */
} apricot_datetime;

/* Returns 1 when the first `length` bytes of `text` are a date-time and then fills `out`
   (unless it is NULL), else 0 and leaves `out` alone. A negative length means `text` ends at
   its NUL. Accepted: surrounding blanks (space, tab); y-m-d with a 4-digit year and 1- or
   2-digit month and day, all '-' or all '/'; optionally, after blanks or one 'T', a time h:mm
   or h:mm:ss (hour of 1 or 2 digits) with an optional fraction of 1 to 9 digits after '.'.
   Missing time fields are 0. Calendar and clock ranges are checked, leap years included. */
int apricot_parse_datetime(const char* text, int length, apricot_datetime* out);

/* Time order: negative, 0 or positive. */
int apricot_compare_datetime(const apricot_datetime* a, const apricot_datetime* b);

#ifdef __cplusplus
}
#endif

#endif
