#include "datetime_parse.h"

#include <string.h>

typedef struct cursor {
    const char* text;
    int pos;
    int end;
} cursor;

static int at_end(const cursor* c) {
    return c->pos >= c->end;
}

static int peek_is(const cursor* c, char expected) {
    return !at_end(c) && c->text[c->pos] == expected;
}

static int is_blank(char ch) {
    return ch == ' ' || ch == '\t';
}

static int skip_blanks(cursor* c) {
    int start = c->pos;
    while (!at_end(c) && is_blank(c->text[c->pos]))
        ++c->pos;
    return c->pos - start;
}

/* Reads min_digits to max_digits decimal digits; *digits_read tells how many. */
static int read_digits(cursor* c, int min_digits, int max_digits, long* value, int* digits_read) {
    long result = 0;
    int count = 0;
    while (count < max_digits && !at_end(c)) {
        char ch = c->text[c->pos];
        if (ch < '0' || ch > '9')
            break;
        result = result * 10 + (ch - '0');
        ++c->pos;
        ++count;
    }
    if (count < min_digits)
        return 0;
    /* More digits than allowed make a different field, not a longer one. */
    if (!at_end(c) && c->text[c->pos] >= '0' && c->text[c->pos] <= '9')
        return 0;
    *value = result;
    if (digits_read)
        *digits_read = count;
    return 1;
}

static int read_int(cursor* c, int min_digits, int max_digits, int* value) {
    long v;
    if (!read_digits(c, min_digits, max_digits, &v, NULL))
        return 0;
    *value = (int)v;
    return 1;
}

static int is_leap_year(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

static int days_in_month(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && is_leap_year(year))
        return 29;
    return days[month - 1];
}

static int read_date(cursor* c, apricot_datetime* dt) {
    char separator;
    if (!read_int(c, 4, 4, &dt->year))
        return 0;
    if (!peek_is(c, '-') && !peek_is(c, '/'))
        return 0;
    separator = c->text[c->pos++];
    if (!read_int(c, 1, 2, &dt->month) || !peek_is(c, separator))
        return 0;
    ++c->pos;
    if (!read_int(c, 1, 2, &dt->day))
        return 0;
    return dt->month >= 1 && dt->month <= 12 && dt->day >= 1 &&
           dt->day <= days_in_month(dt->year, dt->month);
}

static int read_fraction(cursor* c, long* nanos) {
    long digits;
    int count;
    if (!read_digits(c, 1, 9, &digits, &count))
        return 0;
    for (; count < 9; ++count)
        digits *= 10;
    *nanos = digits;
    return 1;
}

static int read_time(cursor* c, apricot_datetime* dt) {
    if (!read_int(c, 1, 2, &dt->hour) || !peek_is(c, ':'))
        return 0;
    ++c->pos;
    if (!read_int(c, 2, 2, &dt->minute))
        return 0;
    if (peek_is(c, ':')) {
        ++c->pos;
        if (!read_int(c, 2, 2, &dt->second))
            return 0;
        if (peek_is(c, '.')) {
            ++c->pos;
            if (!read_fraction(c, &dt->nanos))
                return 0;
        }
    }
    return dt->hour <= 23 && dt->minute <= 59 && dt->second <= 59;
}

int apricot_parse_datetime(const char* text, int length, apricot_datetime* out) {
    apricot_datetime dt = {0, 0, 0, 0, 0, 0, 0};
    cursor c;
    if (!text)
        return 0;
    c.text = text;
    c.pos = 0;
    c.end = length < 0 ? (int)strlen(text) : length;

    skip_blanks(&c);
    if (!read_date(&c, &dt))
        return 0;
    if (peek_is(&c, 'T')) {
        ++c.pos;
        if (!read_time(&c, &dt))
            return 0;
    } else if (skip_blanks(&c) > 0 && !at_end(&c)) {
        if (!read_time(&c, &dt))
            return 0;
    }
    skip_blanks(&c);
    if (!at_end(&c))
        return 0;
    if (out)
        *out = dt;
    return 1;
}

static int sign_of(long difference) {
    return (difference > 0) - (difference < 0);
}

int apricot_compare_datetime(const apricot_datetime* a, const apricot_datetime* b) {
    if (a->year != b->year)
        return sign_of((long)a->year - b->year);
    if (a->month != b->month)
        return sign_of((long)a->month - b->month);
    if (a->day != b->day)
        return sign_of((long)a->day - b->day);
    if (a->hour != b->hour)
        return sign_of((long)a->hour - b->hour);
    if (a->minute != b->minute)
        return sign_of((long)a->minute - b->minute);
    if (a->second != b->second)
        return sign_of((long)a->second - b->second);
    return sign_of(a->nanos - b->nanos);
}
