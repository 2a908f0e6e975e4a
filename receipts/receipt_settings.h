#pragma once
// How this counter prints its receipts, kept per computer in the program's settings file
// (group "Receipt"): the shop's name at the top, the paper, the print queue or PDF files, whether
// each sale prints at once, and the line at the foot.
#include <QString>
#include <QStringList>

struct CReceiptSettings {
    enum class Paper { Mm58, Mm80, A4 };

    static const QString kSaveAsPdf; // "保存为 PDF"

    QString shopName = QStringLiteral("青杏药店");
    Paper paper = Paper::Mm58;
    // A print queue's name, or kSaveAsPdf.
    QString printer = kSaveAsPdf;
    bool printEachSale = false;
    QString footer = QStringLiteral("药品属于特殊商品，非质量问题概不退换");

    // The values saved, or the defaults where none (or no valid one) is. A printer saved
    // earlier that this computer no longer has is kept: printing reports it.
    static CReceiptSettings Load();
    void Save() const;

    // The 内容 of the log row when the settings change from `before` to these: each field
    // "old → new", in the order of the dialog.
    QString ChangeText(const CReceiptSettings& before) const;

    // "58 mm", "80 mm", "A4", in Paper's order.
    static QStringList PaperNames();
    static QString PaperName(Paper paper);
    // The paper of a name PaperNames gives; 58 mm for any other.
    static Paper PaperOf(const QString& name);
};
