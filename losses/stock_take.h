#pragma once
// 库存盘点 without its window: the sheet of the cards with their book stock when it was read,
// the count the pharmacist types (boxes, or boxes and pieces where the catalogue knows them), and
// 确认, which records every difference as a 损 row (盘亏 positive, 盘盈 negative) and moves each
// card's stock by it, all in one transaction. The difference is taken against the stock the sheet
// was read with and applied to the stock as it stands at 确认, so sales made meanwhile are kept.
// A 盘亏 row may carry the trace codes of its missing boxes: they leave as 报损 with its 损 row.
#include "entry_lookup.h"
#include "loss_statements.h"
#include "pack_quantity.h"
#include "result_table.h"
#include "trace_code_list.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class CDatabase;

class CStockTake {
public:
    struct Row {
        losssql::Card card;
        QString bookText; // 账面数量 as the books gave it
        double book = 0;
        std::optional<CPackUnit> pack; // the catalogue's pieces of the drug, when known
        QString counted; // 实盘数量 as typed; the book stock as the sheet shows it to begin with
        QString note;
        // The codes of the missing boxes, scanned before 确认; only a 盘亏 row has any.
        QStringList traceCodes = {};
    };

    struct Outcome {
        bool ok = false;
        // What went wrong, for a message box: the first row that is not valid, or the driver's
        // text. Empty when ok.
        QString message;
        // The row the message is about (for the focus), or -1.
        int row = -1;
        int recorded = 0; // 损 rows the sheet has in the books; the sheet is done when > 0
    };

    static const QString kNothingToRecord;
    static const QString kAlreadyConfirmed;
    // A row counted at or above the book has no missing boxes to name.
    static const QString kCodesOnlyWhenShort;
    // How a 盘亏 row's list of codes reads: a part of a box missing counts as its box.
    static const tracelist::CWording kCodes;
    static QString RecordedText(int rows);
    // The message for the row at `index` (0-based) whose 实盘数量 is not valid.
    static QString InvalidCountText(int index, const Row& row);

    explicit CStockTake(CDatabase* db, QString operatorName = {})
        : m_pDatabase(db), m_strOperator(std::move(operatorName)) {}

    // The sheet: every card with stock on hand, and with `withEmpty` the cards without too, in
    // the order of their names. nullopt when it cannot be read (why in `failure`).
    static std::optional<std::vector<Row>> Read(CDatabase* db, bool withEmpty, QString* failure);

    // A typed count in boxes: "32" or "1.5" (boxes); with `pack`, also "32+7" (32 boxes and 7
    // pieces) and the sheet's own form "32 盒 7 粒", "32 盒", "7 粒". nullopt for anything else,
    // a negative count, or pieces of a drug whose pieces are unknown.
    static std::optional<double> ParseCount(const QString& text,
                                            const std::optional<CPackUnit>& pack);
    // The counted boxes of `row`, or nullopt when the text is no count or out of range.
    static std::optional<double> Counted(const Row& row);
    // 实盘数量 − 账面数量 in boxes, reckoned in whole pieces where both are; nullopt while the
    // count is not valid.
    static std::optional<double> Difference(const Row& row);
    // The boxes missing from `row` when it is 盘亏; nullopt otherwise.
    static std::optional<double> Missing(const Row& row);
    // "已扫 2/3": the row's codes against its missing boxes rounded up.
    static QString CodesCounted(const Row& row);
    // The difference as the sheet shows it; empty while the count is not valid.
    static QString DifferenceText(const Row& row);
    // 账面数量 as the sheet shows it: boxes and pieces where the catalogue knows them.
    static QString BookText(const Row& row);
    // The hint above the sheet: how a count is typed, and the codes of a 盘亏 row.
    static const QString kHint;

    // The sheet's column titles, and the sheet as a table to print.
    static QStringList Titles();
    static CResultTable Sheet(const std::vector<Row>& rows);
    // The rows read again, with what was typed (and scanned) for a card that is still there kept.
    static std::vector<Row> KeepTyped(std::vector<Row> fresh, const std::vector<Row>& typed);

    // 确认: every row stamped with the clock's time, numbered as parts of the take's number; a
    // 盘亏 row's codes leave as 报损 under its 损 row's number. A code that cannot leave (sold,
    // of another card, …) stops the whole take, naming its row.
    // After a lost reply whose outcome is unknown the next 确认 looks the take up first; once the
    // take is in the books, 确认 records nothing more.
    Outcome Confirm(const std::vector<Row>& rows);

private:
    // Why row `index`'s codes cannot go with it; empty when they can (then `codes` come back as
    // the books keep them).
    static QString CodesProblem(int index, const Row& row, QStringList& codes);

    CDatabase* m_pDatabase;
    QString m_strOperator;
    entrylookup::CPendingNumber m_number;
    bool m_bDone = false;
};
