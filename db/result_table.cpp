#include "result_table.h"

#include "heap_trim.h"

#include <limits>
#include <new>

namespace {

// Spans address the character store with 32 bits.
constexpr std::size_t kMaxChars = std::numeric_limits<quint32>::max();
// From about a hundred thousand rows: below it, walking the heap to give memory back costs more
// than it returns.
constexpr std::size_t kLargeBytes = std::size_t(16) << 20;

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Decodes UTF-8 into UTF-16 at `out`, which has room for one unit per byte; a malformed
// sequence gives U+FFFD. Returns the number of units written.
std::size_t DecodeUtf8(std::string_view in, char16_t* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    const auto* end = p + in.size();
    char16_t* o = out;
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            *o++ = c;
            ++p;
            continue;
        }
        const std::ptrdiff_t left = end - p;
        if (c >= 0xC2 && c <= 0xDF && left >= 2 && IsContinuation(p[1])) {
            *o++ = char16_t(((c & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
        } else if (c >= 0xE0 && c <= 0xEF && left >= 3 && IsContinuation(p[1]) &&
                   IsContinuation(p[2]) && !(c == 0xE0 && p[1] < 0xA0) &&
                   !(c == 0xED && p[1] >= 0xA0)) {
            *o++ = char16_t(((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
            p += 3;
        } else if (c >= 0xF0 && c <= 0xF4 && left >= 4 && IsContinuation(p[1]) &&
                   IsContinuation(p[2]) && IsContinuation(p[3]) && !(c == 0xF0 && p[1] < 0x90) &&
                   !(c == 0xF4 && p[1] >= 0x90)) {
            const char32_t u = (char32_t(c & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) |
                               (char32_t(p[2] & 0x3F) << 6) | char32_t(p[3] & 0x3F);
            *o++ = char16_t(0xD800 + ((u - 0x10000) >> 10));
            *o++ = char16_t(0xDC00 + ((u - 0x10000) & 0x3FF));
            p += 4;
        } else {
            *o++ = u'\uFFFD';
            ++p;
        }
    }
    return std::size_t(o - out);
}

} // namespace

CResultTable::~CResultTable() {
    const std::size_t bytes = m_chars.capacity() * sizeof(char16_t) +
                              m_cells.capacity() * sizeof(Span) +
                              m_order.capacity() * sizeof(quint32);
    if (bytes < kLargeBytes)
        return;
    std::u16string().swap(m_chars);
    std::vector<Span>().swap(m_cells);
    std::vector<quint32>().swap(m_order);
    // Its holder, a grid, frees its share of the rows after this, as its view goes.
    GiveFreedMemoryBackSoon();
}

void CResultTable::Clear() {
    m_columns.clear();
    m_chars.clear();
    m_cells.clear();
    m_order.clear();
    m_nWasted = 0;
}

void CResultTable::SetColumns(std::vector<CResultColumn> columns) {
    Clear();
    m_columns = std::move(columns);
}

QStringView CResultTable::Cell(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return {};
    const Span& span = m_cells[std::size_t(m_order[row]) * m_columns.size() + column];
    return QStringView(m_chars.data() + span.start, qsizetype(span.length));
}

void CResultTable::SetCell(int row, int column, QStringView text) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return;
    Span& span = m_cells[std::size_t(m_order[row]) * m_columns.size() + column];
    const std::size_t length = std::size_t(text.size());
    if (length <= span.length) {
        // Fits where the old text was: no growth for edits that shorten a cell.
        std::copy(text.utf16(), text.utf16() + length, m_chars.begin() + span.start);
        m_nWasted += span.length - length;
        span.length = quint32(length);
        return;
    }
    MakeRoom(length);
    m_nWasted += span.length;
    span.start = quint32(m_chars.size());
    span.length = quint32(length);
    m_chars.append(reinterpret_cast<const char16_t*>(text.utf16()), length);
    if (m_nWasted > 4096 && m_nWasted > m_chars.size() / 2)
        Compact();
}

void CResultTable::MakeRoom(std::size_t length) {
    if (m_chars.size() + length <= kMaxChars)
        return;
    Compact();
    if (m_chars.size() + length > kMaxChars)
        throw std::bad_alloc();
}

void CResultTable::SetCellUtf8(int row, int column, std::string_view utf8) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return;
    // A UTF-8 text never has more UTF-16 units than bytes.
    MakeRoom(utf8.size());
    Span& span = m_cells[std::size_t(m_order[row]) * m_columns.size() + column];
    const std::size_t start = m_chars.size();
    m_chars.resize(start + utf8.size());
    const std::size_t length = DecodeUtf8(utf8, m_chars.data() + start);
    m_chars.resize(start + length);
    m_nWasted += span.length;
    span.start = quint32(start);
    span.length = quint32(length);
}

int CResultTable::AppendRow() {
    return InsertRow(RowCount());
}

int CResultTable::InsertRow(int row) {
    if (row < 0 || row > RowCount())
        row = RowCount();
    const std::size_t stored =
        m_columns.empty() ? m_order.size() : m_cells.size() / m_columns.size();
    m_cells.resize(m_cells.size() + m_columns.size());
    m_order.insert(m_order.begin() + row, quint32(stored));
    return row;
}

void CResultTable::RemoveRow(int row) {
    if (row < 0 || row >= RowCount())
        return;
    const quint32 stored = m_order[row];
    const std::size_t width = m_columns.size();
    auto first = m_cells.begin() + std::ptrdiff_t(stored * width);
    for (auto it = first; it != first + std::ptrdiff_t(width); ++it)
        m_nWasted += it->length;
    m_cells.erase(first, first + std::ptrdiff_t(width));
    m_order.erase(m_order.begin() + row);
    for (quint32& index : m_order)
        if (index > stored)
            --index;
}

void CResultTable::Reorder(const std::vector<int>& order) {
    if (order.size() != m_order.size())
        return;
    // Only a permutation: anything else would lose or double rows.
    std::vector<bool> taken(order.size(), false);
    std::vector<quint32> reordered;
    reordered.reserve(order.size());
    for (int from : order) {
        if (from < 0 || from >= RowCount() || taken[from])
            return;
        taken[from] = true;
        reordered.push_back(m_order[from]);
    }
    m_order = std::move(reordered);
}

void CResultTable::Squeeze() {
    // Only the texts no cell points to: the spare capacity of the stores was never touched, so
    // it takes no memory, while shrinking would copy a million rows' texts once more.
    if (m_nWasted > 0)
        Compact();
}

void CResultTable::Compact() {
    std::u16string packed;
    packed.reserve(m_chars.size() - m_nWasted);
    for (Span& span : m_cells) {
        const quint32 start = quint32(packed.size());
        packed.append(m_chars, span.start, span.length);
        span.start = start;
    }
    m_chars = std::move(packed);
    m_nWasted = 0;
}
