#include "receipt_text.h"

#include "money.h"

#include <QStringView>
#include <algorithm>

namespace {

// East Asian wide and full-width characters: two columns on a receipt printer.
bool Wide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

bool Blank(char32_t c) {
    return c == U' ' || c == U'\t' || c == 0x3000;
}

int Columns(char32_t c) {
    return Wide(c) ? 2 : 1;
}

// One paragraph wrapped greedily: a run of narrow characters stays whole unless it is wider
// than a line; a wide character may start a line anywhere.
void WrapParagraph(const QList<uint>& text, int width, QStringList& lines) {
    const qsizetype before = lines.size();
    QString line;
    int used = 0;
    auto breakLine = [&] {
        while (!line.isEmpty() && Blank(line.back().unicode()))
            line.chop(1);
        lines << line;
        line.clear();
        used = 0;
    };
    auto put = [&](char32_t c) {
        const int w = Columns(c);
        if (used > 0 && used + w > width)
            breakLine();
        line.append(QString::fromUcs4(&c, 1));
        used += w;
    };
    for (qsizetype i = 0; i < text.size();) {
        const char32_t c = text[i];
        if (Blank(c)) {
            if (used > 0 && used + 1 <= width) {
                line.append(QLatin1Char(' '));
                ++used;
            } else if (used > 0) {
                breakLine(); // the line breaks at this blank
            }
            ++i;
        } else if (Wide(c)) {
            put(c);
            ++i;
        } else {
            qsizetype end = i;
            int wordWidth = 0;
            while (end < text.size() && !Blank(text[end]) && !Wide(text[end]))
                wordWidth += Columns(text[end++]);
            if (used > 0 && used + wordWidth > width && wordWidth <= width)
                breakLine();
            for (; i < end; ++i)
                put(text[i]);
        }
    }
    if (!line.isEmpty() || lines.size() == before)
        breakLine();
}

CReceiptLine Line(QString text, CReceiptLine::Align align = CReceiptLine::Align::Left) {
    return {std::move(text), align, false};
}

void AddWrapped(std::vector<CReceiptLine>& lines, const QString& text, int columns,
                CReceiptLine::Align align = CReceiptLine::Align::Left) {
    for (const QString& line : receipttext::Wrap(text, columns))
        lines.push_back(Line(line, align));
}

} // namespace

namespace receipttext {

int ColumnsOf(CReceiptSettings::Paper paper) {
    switch (paper) {
    case CReceiptSettings::Paper::Mm58:
        return 32;
    case CReceiptSettings::Paper::Mm80:
        return 48;
    case CReceiptSettings::Paper::A4:
        return 80;
    }
    return 32;
}

int ColumnsOfText(const QString& text) {
    int columns = 0;
    for (const uint c : text.toUcs4())
        columns += Columns(c);
    return columns;
}

QStringList Wrap(const QString& text, int columns) {
    QStringList lines;
    if (text.isEmpty())
        return lines;
    const int width = std::max(columns, 2);
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QString& paragraph : normal.split(QLatin1Char('\n')))
        WrapParagraph(paragraph.toUcs4(), width, lines);
    return lines;
}

std::vector<CReceiptLine> Layout(const CReceipt& receipt, int columns) {
    using Align = CReceiptLine::Align;
    std::vector<CReceiptLine> lines;
    AddWrapped(lines, receipt.shopName, columns, Align::Centre);
    if (receipt.reprint)
        AddWrapped(lines, QStringLiteral("补打 ") + receipt.printedAt, columns, Align::Centre);
    AddWrapped(lines, QStringLiteral("小票号 ") + receipt.number, columns);
    AddWrapped(lines, QStringLiteral("时间 ") + receipt.printedAt, columns);
    AddWrapped(lines, QStringLiteral("营业员 ") + receipt.clerk, columns);
    lines.push_back({QString(), Align::Left, true});
    for (const CReceiptItem& item : receipt.items) {
        AddWrapped(lines, item.reversal ? QStringLiteral("【冲正】") + item.name : item.name,
                   columns);
        AddWrapped(lines, item.origin + QLatin1Char(' ') + item.packModel, columns);
        AddWrapped(lines, QStringLiteral("批号 %1 有效期至 %2").arg(item.batch, item.expiry),
                   columns);
        // A box a code; the line breaks between codes, never inside one.
        if (!item.traceCodes.isEmpty())
            AddWrapped(lines, QStringLiteral("追溯码 ") + item.traceCodes.join(QLatin1Char(' ')),
                       columns);
        // Quantity and price on one line where they fit, else the amount on a line of its own.
        const QString counted =
            QStringLiteral("数量 %1 × 单价 %2").arg(item.quantity, item.unitPrice);
        const QString amount = QStringLiteral("= 金额 ") + item.amount;
        const QString whole = counted + QLatin1Char(' ') + amount;
        if (ColumnsOfText(whole) <= columns) {
            lines.push_back(Line(whole));
        } else {
            AddWrapped(lines, counted, columns);
            AddWrapped(lines, amount, columns, Align::Right);
        }
    }
    lines.push_back({QString(), Align::Left, true});
    AddWrapped(lines, QStringLiteral("合计 %1 元").arg(receipt.Total()), columns, Align::Right);
    if (!receipt.payment.isEmpty())
        AddWrapped(lines, QStringLiteral("支付方式 ") + receipt.payment, columns, Align::Right);
    if (const std::optional<long long> change = receipt.ChangeCents()) {
        AddWrapped(lines, QStringLiteral("实收 %1 元").arg(money::Yuan(*receipt.tenderedCents)),
                   columns, Align::Right);
        AddWrapped(lines, QStringLiteral("找零 %1 元").arg(money::Yuan(*change)), columns,
                   Align::Right);
    }
    AddWrapped(lines, receipt.footer, columns, Align::Centre);
    return lines;
}

QString PlainText(const std::vector<CReceiptLine>& lines, int columns) {
    QString text;
    for (const CReceiptLine& line : lines) {
        if (line.rule) {
            text += QString(columns, QLatin1Char('-'));
        } else {
            const int room = std::max(0, columns - ColumnsOfText(line.text));
            const int before = line.align == CReceiptLine::Align::Right    ? room
                               : line.align == CReceiptLine::Align::Centre ? room / 2
                                                                           : 0;
            text += QString(before, QLatin1Char(' ')) + line.text;
        }
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace receipttext
