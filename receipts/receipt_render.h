#pragma once
// The receipt's lines drawn as real text (a PDF reads back as text) on its paper: a 58 mm or
// 80 mm roll is one page as long as the receipt; A4 breaks between lines onto more pages. The
// font is sized so that a line of the paper's columns fits, and smaller where a line in a
// proportional face would still be wider, so that nothing is cut.
#include "receipt_settings.h"
#include "receipt_text.h"

#include <QFont>
#include <QString>
#include <vector>

namespace receiptrender {

// A CJK face that exists here, monospaced where one is installed.
QFont Font();
// The receipt as a PDF at `path`, written beside it and renamed in: never a half file. False,
// with why in `failure`, when it cannot be written; nothing is left then.
bool WritePdf(const QString& path, const std::vector<CReceiptLine>& lines,
              CReceiptSettings::Paper paper, const QString& title, QString* failure);
// The receipt sent to the print queue `queue`. False, with why in `failure`.
bool Print(const QString& queue, const std::vector<CReceiptLine>& lines,
           CReceiptSettings::Paper paper, const QString& title, QString* failure);

} // namespace receiptrender
