#include "sort_keys.h"

#include "column_kinds.h"
#include "text_forms.h"

#include <QStringEncoder>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <numeric>
#include <string>
#include <string_view>

namespace sortkeys {

namespace {

constexpr char16_t kDown = u'\u2193';
constexpr char16_t kUp = u'\u2191';

bool IsDigit(char16_t c) {
    return c >= '0' && c <= '9';
}

// Scans the numeric prefix into `ascii` (sign dropped, ready for from_chars) and returns its
// decimal magnitude estimate, used only when from_chars reports the value out of range.
struct Prefix {
    std::string ascii;
    bool negative = false;
    long long magnitude = 0; // position of the first significant digit relative to the point
};

bool ScanPrefix(QStringView text, Prefix& out) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && textforms::IsBlank(text[i].unicode()))
        ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        out.negative = text[i] == u'-';
        ++i;
    }
    long long intDigits = 0, zerosAfterPoint = 0;
    bool significant = false, anyDigit = false;
    while (i < n && IsDigit(text[i].unicode())) {
        anyDigit = true;
        if (text[i] != u'0')
            significant = true;
        if (significant)
            ++intDigits;
        out.ascii += static_cast<char>(text[i].unicode());
        ++i;
    }
    if (i < n && text[i] == u'.') {
        out.ascii += '.';
        ++i;
        while (i < n && IsDigit(text[i].unicode())) {
            anyDigit = true;
            if (!significant && text[i] == u'0')
                ++zerosAfterPoint;
            else
                significant = true;
            out.ascii += static_cast<char>(text[i].unicode());
            ++i;
        }
    }
    if (!anyDigit)
        return false;
    // An exponent counts only with at least one digit: "1e" reads as 1.
    long long exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        bool expNegative = false;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            expNegative = text[j] == u'-';
            ++j;
        }
        if (j < n && IsDigit(text[j].unicode())) {
            out.ascii += 'e';
            if (expNegative)
                out.ascii += '-';
            while (j < n && IsDigit(text[j].unicode())) {
                if (exponent < 1'000'000'000)
                    exponent = exponent * 10 + (text[j].unicode() - '0');
                out.ascii += static_cast<char>(text[j].unicode());
                ++j;
            }
            if (expNegative)
                exponent = -exponent;
        }
    }
    out.magnitude = intDigits > 0 ? intDigits + exponent : exponent - zerosAfterPoint;
    return true;
}

// Texts compared as unsigned bytes, a shorter prefix first.
bool BytesLess(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    const int c = common ? std::memcmp(a.data(), b.data(), common) : 0;
    return c != 0 ? c < 0 : a.size() < b.size();
}

std::vector<int> Identity(int count) {
    std::vector<int> order(static_cast<size_t>(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

std::vector<int> NumericOrder(const CResultTable& table, int column, bool ascending) {
    const int rows = table.RowCount();
    std::vector<double> keys(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r)
        keys[r] = LeadingNumber(table.Cell(r, column));
    std::vector<int> order = Identity(rows);
    if (ascending)
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return keys[a] < keys[b]; });
    else
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return keys[b] < keys[a]; });
    return order;
}

std::vector<int> TextOrder(const CResultTable& table, int column, bool ascending) {
    const int rows = table.RowCount();
    // Every key in one buffer: no allocation per row.
    QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    std::string bytes;
    std::vector<size_t> start(static_cast<size_t>(rows) + 1, 0);
    for (int r = 0; r < rows; ++r) {
        const QStringView cell = table.Cell(r, column);
        const size_t at = bytes.size();
        bytes.resize(at + static_cast<size_t>(encoder.requiredSpace(cell.size())));
        char* end = encoder.appendToBuffer(bytes.data() + at, cell);
        bytes.resize(static_cast<size_t>(end - bytes.data()));
        start[r + 1] = bytes.size();
    }
    auto key = [&](int r) {
        return std::string_view(bytes.data() + start[r], start[r + 1] - start[r]);
    };
    std::vector<int> order = Identity(rows);
    if (ascending)
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return BytesLess(key(a), key(b)); });
    else
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return BytesLess(key(b), key(a)); });
    return order;
}

} // namespace

double LeadingNumber(QStringView text) {
    Prefix prefix;
    if (!ScanPrefix(text, prefix))
        return 0.0;
    double value = 0.0;
    const char* first = prefix.ascii.data();
    const char* last = first + prefix.ascii.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range)
        value = prefix.magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    else if (ec != std::errc())
        value = 0.0;
    return prefix.negative ? -value : value;
}

QByteArray TextKey(QStringView text) {
    QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

std::vector<int> SortOrder(const CResultTable& table, int column, bool flag) {
    if (column < 0 || column >= table.ColumnCount())
        return Identity(table.RowCount());
    if (columnkinds::IsSortNumeric(table.Columns()[column].m_nSQLType))
        return NumericOrder(table, column, flag);
    // Text columns run the other way: the first click shows the largest first.
    return TextOrder(table, column, !flag);
}

QString CutArrow(const QString& title) {
    QString cut = title;
    qsizetype at = cut.indexOf(QChar(kDown));
    if (at >= 0)
        cut.truncate(at);
    at = cut.indexOf(QChar(kUp));
    if (at >= 0)
        cut.truncate(at);
    return cut;
}

QString WithArrow(const QString& title, bool flag) {
    return CutArrow(title) + QChar(flag ? kDown : kUp);
}

QString ColumnName(const QString& title) {
    QString name = title;
    name.remove(QChar(kDown));
    name.remove(QChar(kUp));
    return name;
}

} // namespace sortkeys
