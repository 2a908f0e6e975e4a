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
#include "trace_ledger.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace {

// "第 2 行（名称，产地，规格型号，有效期至 …）": the row a message is about.
QString RowText(int index, const CStockTake::Row& row) {
    return QStringLiteral("第 %1 行（%2，%3，%4，有效期至 %5）")
        .arg(QString::number(index + 1), row.card.name, row.card.origin, row.card.packModel,
             row.card.expiry);
}

const QString kNotRecorded = QStringLiteral("盘点没有记录，表中填写和扫入的内容都还在。");

} // namespace

const QString CStockTake::kNothingToRecord =
    QStringLiteral("实盘数量与账面数量全部相符，没有需要记录的差异。");

const QString CStockTake::kAlreadyConfirmed =
    QStringLiteral("这张盘点表已经确认过，差异已在账上，没有重复记录。请关闭后重新打开盘点表。");

const QString CStockTake::kCodesOnlyWhenShort = QStringLiteral("只有盘亏的行可以扫追溯码");

const tracelist::CWording CStockTake::kCodes{
    QStringLiteral("追溯码 %1 已经扫过了"),
    QStringLiteral("扫了 %1 个追溯码，多于盘亏的 %2 盒：请删去多扫的"),
    losstext::Boxes,
    true,
};

const QString CStockTake::kHint = QStringLiteral(
    "在“实盘数量”一栏填入清点出的数量：整盒填盒数（如 32）；拆零的药品可填“盒数+零头”（如 32+7 "
    "即 32 盒 7 粒，零头按药品目录的拆零单位计），也可照表中的样子写“32 盒 7 粒”。与账面不符的"
    "行以颜色标出。盘亏的行可选中后按【追溯码…】（Ctrl+T）扫入缺少的药盒的追溯码，确认时按报损"
    "出库。按【确认】把每一处差异记入账上（盘亏、盘盈），库存随之调整。");

QString CStockTake::RecordedText(int rows) {
    return QStringLiteral("盘点已确认：记录了 %1 条差异，库存已按实盘数量调整。").arg(rows);
}

QString CStockTake::InvalidCountText(int index, const Row& row) {
    const QString line = QStringLiteral("第 %1 行（").arg(index + 1);
    if (!row.pack)
        return line + QStringLiteral("%1，%2，%3，有效期至 %4）的实盘数量“%5”不是 0 或 0.0001 "
                                     "到 1000000 之间的盒数，盘点没有记录。")
                          .arg(row.card.name, row.card.origin, row.card.packModel, row.card.expiry,
                               row.counted);
    return line + QStringLiteral("%1，%2，%3，有效期至 %4）的实盘数量“%5”无法识别：请填 0 到 "
                                 "1000000 之间的盒数（如 32），或盒数加零头（如 32+7 或 32 盒 7 "
                                 "%6，每盒 %7 %6），盘点没有记录。")
                      .arg(row.card.name, row.card.origin, row.card.packModel, row.card.expiry,
                           row.counted, row.pack->unit,
                           QString::number(qlonglong(row.pack->piecesPerBox)));
}

std::optional<std::vector<CStockTake::Row>> CStockTake::Read(CDatabase* db, bool withEmpty,
                                                             QString* failure) {
    // The catalogue's pieces beside each card; a card it does not know has none.
    const QString sql =
        QStringLiteral("SELECT 存.名称,存.产地,存.规格型号,存.有效截止日期,存.现有存货量,"
                       "药品.每盒总量,药品.拆零单位 FROM 存 LEFT JOIN 药品 ON 药品.名称=存.名称 "
                       "AND 药品.产地=存.产地 AND 药品.规格型号=存.规格型号%1 ORDER BY "
                       "存.名称,存.产地,存.规格型号,存.有效截止日期")
            .arg(withEmpty ? QString() : QStringLiteral(" WHERE 存.现有存货量<>0"));
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
        if (!table->CellText(r, 5).isEmpty())
            row.pack = packquantity::Of(table->CellText(r, 5).toDouble(), table->CellText(r, 6));
        row.counted = BookText(row);
        rows.push_back(row);
    }
    return rows;
}

std::optional<double> CStockTake::ParseCount(const QString& text,
                                             const std::optional<CPackUnit>& pack) {
    const QString typed = text.trimmed();
    if (const std::optional<double> boxes = entryfields::ParseNumber(typed))
        return std::isfinite(*boxes) && *boxes >= 0 ? boxes : std::nullopt;
    // "32+7", "32 盒 7 粒", "32 盒" (boxes may have a fraction when no pieces follow), "7 粒".
    static const QRegularExpression plus(QStringLiteral("^(\\d{1,7})\\s*[+＋]\\s*(\\d{1,9})$"));
    static const QRegularExpression words(
        QStringLiteral("^(?:(\\d{1,7}(?:\\.\\d+)?)\\s*盒)?\\s*(?:(\\d{1,9})\\s*(\\S+))?$"));
    QString boxes, pieces;
    if (const QRegularExpressionMatch m = plus.match(typed); m.hasMatch()) {
        boxes = m.captured(1);
        pieces = m.captured(2);
    } else if (const QRegularExpressionMatch w = words.match(typed);
               w.hasMatch() && !typed.isEmpty()) {
        boxes = w.captured(1);
        pieces = w.captured(2);
        if (!pieces.isEmpty() && (!pack || w.captured(3) != pack->unit))
            return std::nullopt;
        if (!pieces.isEmpty() && boxes.contains(QLatin1Char('.')))
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (boxes.isEmpty() && pieces.isEmpty())
        return std::nullopt;
    if (pieces.isEmpty())
        return boxes.toDouble();
    if (!pack)
        return std::nullopt;
    // Through the whole pieces, so that 32 boxes 7 pieces is the double 32.35 names.
    const double total = boxes.toDouble() * pack->piecesPerBox + pieces.toDouble();
    return QString::number(total / pack->piecesPerBox, 'g', 15).toDouble();
}

std::optional<double> CStockTake::Counted(const Row& row) {
    const std::optional<double> counted = ParseCount(row.counted, row.pack);
    if (!counted || !entryfields::BoxesProblem(*counted, QStringLiteral("实盘数量")).isEmpty())
        return std::nullopt;
    return counted;
}

std::optional<double> CStockTake::Difference(const Row& row) {
    const std::optional<double> counted = Counted(row);
    if (!counted)
        return std::nullopt;
    if (row.pack) {
        const std::optional<long long> book = packquantity::WholePieces(row.book, *row.pack);
        const std::optional<long long> count = packquantity::WholePieces(*counted, *row.pack);
        if (book && count)
            return double(*count - *book) / row.pack->piecesPerBox;
    }
    return *counted - row.book;
}

std::optional<double> CStockTake::Missing(const Row& row) {
    const std::optional<double> difference = Difference(row);
    if (!difference || *difference >= 0)
        return std::nullopt;
    return -*difference;
}

QString CStockTake::CodesCounted(const Row& row) {
    const std::optional<double> missing = Missing(row);
    return tracelist::Counted(row.traceCodes.size(),
                              missing ? QString::number(*missing, 'g', 15) : QString(), kCodes);
}

QString CStockTake::CodesProblem(int index, const Row& row, QStringList& codes) {
    if (codes.isEmpty())
        return {};
    const std::optional<double> missing = Missing(row);
    const QString problem =
        missing ? tracelist::Problem(codes, *missing, kCodes) : kCodesOnlyWhenShort;
    if (problem.isEmpty())
        return {};
    return RowText(index, row) + QStringLiteral("：%1。").arg(problem) + kNotRecorded;
}

QString CStockTake::DifferenceText(const Row& row) {
    const std::optional<double> difference = Difference(row);
    if (!difference)
        return {};
    return row.pack ? packquantity::Text(*difference, row.pack) : losstext::Boxes(*difference);
}

QString CStockTake::BookText(const Row& row) {
    return row.pack ? packquantity::Text(row.book, row.pack) : row.bookText;
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
                                   row.card.expiry,     BookText(row),   row.counted,
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
        row.pack = old->pack;
        row.counted = old->counted;
        row.note = old->note;
        row.traceCodes = old->traceCodes;
    }
    return fresh;
}

CStockTake::Outcome CStockTake::Confirm(const std::vector<Row>& rows) {
    if (m_bDone)
        return {false, kAlreadyConfirmed, -1, 0};
    // Nothing is written until every row is valid, its codes too.
    struct Line {
        const Row* row;
        double quantity;
        QStringList codes;
    };
    std::vector<Line> differences;
    QSet<QString> listed; // a box is missing from one row only
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::optional<double> difference = Difference(rows[i]);
        if (!difference)
            return {false, InvalidCountText(int(i), rows[i]), int(i), 0};
        QStringList codes = rows[i].traceCodes;
        if (const QString problem = CodesProblem(int(i), rows[i], codes); !problem.isEmpty())
            return {false, problem, int(i), 0};
        for (const QString& code : codes) {
            if (listed.contains(code))
                return {false,
                        RowText(int(i), rows[i]) +
                            QStringLiteral("：追溯码 %1 已扫在另一行。").arg(code) + kNotRecorded,
                        int(i), 0};
            listed.insert(code);
        }
        if (*difference != 0)
            differences.push_back({&rows[i], -*difference, codes});
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
        // The missing boxes' codes first, each after its card's row, as a sale takes them: a
        // sale and the take never wait on each other crosswise. All before the log is locked.
        for (size_t i = 0; i < differences.size(); ++i) {
            const Line& line = differences[i];
            if (line.codes.isEmpty())
                continue;
            const losssql::Card& card = line.row->card;
            transaction.Execute(losssql::TakeFromStock(card, 0));
            const traceledger::CStep taken = traceledger::TakeOut(
                *m_pDatabase, line.codes, {card.name, card.origin, card.packModel, card.expiry, {}},
                traceledger::kWrittenOff,
                {entrynumber::Part(number, int(i) + 1), stamp, m_strOperator});
            if (!taken.ok()) {
                m_number.Forget();
                const int index = int(line.row - rows.data());
                const QString refused =
                    taken.code.isEmpty()
                        ? QStringLiteral("的追溯码不能报损：%1。").arg(taken.refusal)
                        : QStringLiteral("的追溯码 %1 不能报损：%2。")
                              .arg(taken.code, taken.refusal);
                return {false, RowText(index, *line.row) + refused + kNotRecorded, index, 0};
            }
        }
        int part = 0;
        for (const Line& line : differences) {
            const Row* row = line.row;
            const double difference = line.quantity;
            losssql::Loss loss;
            loss.timestamp = stamp;
            loss.number = entrynumber::Part(number, ++part);
            loss.card = row->card;
            loss.quantity = difference;
            loss.reason = difference > 0 ? losstext::kShortfall : losstext::kSurplus;
            loss.operatorName = m_strOperator;
            loss.note = row->note.trimmed();
            // Its codes go into its log row.
            loss.traceCodes = line.codes;
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
