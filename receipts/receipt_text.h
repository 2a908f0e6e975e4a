#pragma once
// The receipt as lines of text for a paper so many columns wide: a CJK character takes two
// columns, any other one. Every text wraps at the width and is never cut: CJK breaks anywhere,
// other text at a blank where it can. The printer and the PDF draw these same lines.
#include "receipt_content.h"
#include "receipt_settings.h"

#include <QString>
#include <QStringList>
#include <vector>

struct CReceiptLine {
    enum class Align { Left, Centre, Right };
    QString text;
    Align align = Align::Left;
    bool rule = false; // a rule across the paper; `text` is then empty
};

namespace receipttext {

// Columns of each paper: 58 mm 32 (16 CJK characters, the usual 48 mm printed width), 80 mm 48
// (72 mm printed), A4 80 (170 mm between the margins).
int ColumnsOf(CReceiptSettings::Paper paper);
// Columns `text` takes on one line.
int ColumnsOfText(const QString& text);
// `text` wrapped at `columns`; each line break in it starts a new line. Nothing is lost but the
// blanks a line breaks at. No line for an empty text.
QStringList Wrap(const QString& text, int columns);
// The whole receipt, laid out for `columns`.
std::vector<CReceiptLine> Layout(const CReceipt& receipt, int columns);
// The lines as plain text, aligned with blanks and rules drawn with '-', one '\n' after each.
QString PlainText(const std::vector<CReceiptLine>& lines, int columns);

} // namespace receipttext
