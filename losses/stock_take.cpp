#include "stock_take.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "entry_fields.h"
#include "entry_number.h"
#include "loss_record.h"
#include "loss_text.h"
#include "result_loader.h"
#include "stock_shortfall.h"

#include <QHash>

#include <cmath>

const QString CStockTake::kNothingToRecord =
    QStringLiteral("实盘数量与账面数量全部相符，没有需要记录的差异。");

const QString CStockTake::kAlreadyConfirmed =
    QStringLiteral("这张盘点表已经确认过，差异已在账上，没有重复记录。请关闭后重新打开盘点表。");

QString CStockTake::RecordedText(int rows) {
    return QStringLiteral("盘点已确认：记录了 %1 条差异，库存已按实盘数量调整。").arg(rows);
}

QString CStockTake::InvalidCountText(int index, const Row& row) {
    return QStringLiteral("第 %1 行（%2，%3，%4，有效期至 %5）的实盘数量“%6”不是 0 或 0.0001 "
                          "到 1000000 之间的盒数，盘点没有记录。")
        .arg(index + 1)
        .arg(row.card.name, row.card.origin, row.card.packModel, row.card.expiry, row.counted);
}

std::optional<std::vector<CStockTake::Row>> CStockTake::Read(CDatabase* db, bool withEmpty,
                                                             QString* failure) {
    const QString sql =
        QStringLiteral("SELECT 名称,产地,规格型号,有效截止日期,现有存货量 FROM 存%1 ORDER BY "
                       "名称,产地,规格型号,有效截止日期")
            .arg(withEmpty ? QString() : QStringLiteral(" WHERE 现有存货量<>0"));
    const std::optional<CResultTable> table = RunStatement(db, QStringLiteral("存"), sql, failure);
    if (!table)
        return std::nullopt;
    std::vector<Row> rows;
    for (int r = 0; r < table->RowCount(); ++r) {
        Row row;
        row.card = {table->CellText(r, 0), table->CellText(r, 1), table->CellText(r, 2),
                    table->CellText(r, 3)};
        row.bookText = table->CellText(r, 4);
        row.book = row.bookText.toDouble();
        row.counted = row.bookText;
        rows.push_back(row);
    }
    return rows;
}

std::optional<double> CStockTake::Counted(const Row& row) {
    const std::optional<double> counted = entryfields::ParseNumber(row.counted);
    if (!counted || !std::isfinite(*counted) || *counted < 0 ||
        !entryfields::BoxesProblem(*counted, QStringLiteral("实盘数量")).isEmpty())
        return std::nullopt;
    return counted;
}

QString CStockTake::DifferenceText(const Row& row) {
    const std::optional<double> counted = Counted(row);
    return counted ? losstext::Boxes(*counted - row.book) : QString();
}

QStringList CStockTake::Titles() {
    return {QStringLiteral("名称"),         QStringLiteral("产地"),     QStringLiteral("规格型号"),
            QStringLiteral("有效截止日期"), QStringLiteral("账面数量"), QStringLiteral("实盘数量"),
            QStringLiteral("差异"),         QStringLiteral("备注")};
}

CResultTable CStockTake::Sheet(const std::vector<Row>& rows) {
    CResultTable table;
    std::vector<CResultColumn> columns;
    for (const QString& title : Titles())
        columns.push_back({title, 0});
    table.SetColumns(std::move(columns));
    for (const Row& row : rows) {
        const int r = table.AppendRow();
        const QStringList cells = {row.card.name,       row.card.origin, row.card.packModel,
                                   row.card.expiry,     row.bookText,    row.counted,
                                   DifferenceText(row), row.note};
        for (int c = 0; c < cells.size(); ++c)
            table.SetCell(r, c, cells[c]);
    }
    return table;
}

std::vector<CStockTake::Row> CStockTake::KeepTyped(std::vector<Row> fresh,
                                                   const std::vector<Row>& typed) {
    const auto key = [](const losssql::Card& card) {
        return QStringList{card.name, card.origin, card.packModel, card.expiry}.join(QChar(0x1f));
    };
    QHash<QString, const Row*> byCard;
    for (const Row& old : typed)
        byCard.insert(key(old.card), &old);
    for (Row& row : fresh) {
        const Row* old = byCard.value(key(row.card));
        if (!old)
            continue;
        // The book stock the count was made against stays with the count.
        row.bookText = old->bookText;
        row.book = old->book;
        row.counted = old->counted;
        row.note = old->note;
    }
    return fresh;
}

CStockTake::Outcome CStockTake::Confirm(const std::vector<Row>& rows) {
    if (m_bDone)
        return {false, kAlreadyConfirmed, -1, 0};
    // Nothing is written until every row is valid.
    std::vector<std::pair<const Row*, double>> differences;
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::optional<double> counted = Counted(rows[i]);
        if (!counted)
            return {false, InvalidCountText(int(i), rows[i]), int(i), 0};
        if (*counted != rows[i].book)
            differences.emplace_back(&rows[i], rows[i].book - *counted);
    }
    if (!m_number.Holds() && differences.empty())
        return {true, kNothingToRecord, -1, 0};
    if (!m_pDatabase || !m_pDatabase->IsOpen())
        return {false, CDBException::ConnectionClosed().ErrorText(), -1, 0};

    // A take kept from a 确认 whose outcome is unknown, looked up by its first row.
    const entrylookup::CPendingNumber::CTry attempt =
        m_number.BeforeTry(m_pDatabase, QStringLiteral("损"), 1);
    using Step = entrylookup::CPendingNumber::CTry::Step;
    if (attempt.step == Step::StillUnknown)
        return {false, entrylookup::Reported(std::nullopt, attempt.failure), -1, 0};
    if (attempt.step == Step::AlreadyRecorded) {
        m_bDone = true;
        return {true, entrylookup::kAlreadyRecorded, -1, int(differences.size())};
    }
    if (differences.empty())
        return {true, kNothingToRecord, -1, 0};
    const QString number = attempt.number;
    const QString stamp = lossrecord::Now();
    std::optional<QString> lost; // the driver's text when the commit's reply was lost
    stockshortfall::Written shortfall;
    try {
        CTransaction transaction(*m_pDatabase);
        int part = 0;
        for (const auto& [row, difference] : differences) {
            losssql::Loss loss;
            loss.timestamp = stamp;
            loss.number = entrynumber::Part(number, ++part);
            loss.card = row->card;
            loss.quantity = difference;
            loss.reason = difference > 0 ? losstext::kShortfall : losstext::kSurplus;
            loss.operatorName = m_strOperator;
            loss.note = row->note.trimmed();
            if (lossrecord::Record(*m_pDatabase, transaction, loss, false) !=
                lossrecord::Step::Written) {
                m_number.Forget();
                return {false,
                        QStringLiteral("“%1，%2，%3，有效期至 %4”这张库存卡已经不在账上了，盘点"
                                       "没有记录。请关闭盘点表重新打开。")
                            .arg(row->card.name, row->card.origin, row->card.packModel,
                                 row->card.expiry),
                        int(row - rows.data()), 0};
            }
        }
        // Sales since the sheet was read may have taken more than was counted: that stock is
        // found, numbered after the take's own rows.
        shortfall = stockshortfall::Record(
            *m_pDatabase, transaction, entrynumber::Part(number, part + 1), m_strOperator, stamp);
        try {
            (void)transaction.Commit();
        } catch (const CDBException& e) {
            if (!CDatabase::IsConnectionLost(e))
                throw;
            lost = e.ErrorText();
        }
    } catch (const CDBException& e) {
        // Undone before its commit: surely not in the books.
        m_number.Forget();
        return {false, e.ErrorText().trimmed(), -1, 0};
    }
    const int recorded = int(differences.size());
    if (!lost) {
        m_number.Forget();
        m_bDone = true;
        const QString found = stockshortfall::Told(shortfall);
        return {true,
                found.isEmpty() ? RecordedText(recorded)
                                : RecordedText(recorded) + found + QStringLiteral("。"),
                -1, recorded};
    }
    // The commit's reply was lost: looked up by the number of the first row.
    const std::optional<bool> inBooks =
        entrylookup::InBooks(m_pDatabase, QStringLiteral("损"), entrynumber::Part(number, 1));
    const QString said = entrylookup::Reported(inBooks, *lost, QStringLiteral("确认"));
    if (!inBooks) {
        m_number.Keep(number);
        return {false, said, -1, 0};
    }
    m_number.Forget();
    if (!*inBooks)
        return {false, said, -1, 0};
    m_bDone = true;
    return {true, said, -1, recorded};
}
