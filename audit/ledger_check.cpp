#include "ledger_check.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"
#include "books_version.h"
#include "opening_stock.h"
#include "row_digest.h"
#include "sql_text.h"

#include <climits>
#include <cmath>
#include <set>
#include <string_view>

namespace auditlog {

namespace {

// The version whose log rows carry the digests of the rows they wrote.
constexpr int kDigestVersion = 5;
const QStringList kCardColumns{QStringLiteral("名称"), QStringLiteral("产地"),
                               QStringLiteral("规格型号"), QStringLiteral("有效截止日期")};
const QString kQuantity = QStringLiteral("数量");
const QStringList kCheckedTables{QStringLiteral("进"), QStringLiteral("销"), QStringLiteral("损"),
                                 QStringLiteral("操作员")};

// What the log says of one row.
struct CRowLog {
    CLoggedRow::Change first = CLoggedRow::Change::None;
    long long firstNumber = 0; // the 序号 of its first log row
    QString digest;            // as its last log row left it
    bool removed = false;
    QList<std::pair<QString, QString>> was; // a removed row as it was
};

// A card's stock as a logged change of 存 left it, and when.
struct CCardBase {
    long long number = 0;
    double stock = 0;
};

struct CMovement {
    QString card;
    double boxes = 0;   // into the card
    long long born = 0; // the 序号 of the row's first log row; 0 before the 期初
};

// A number this program made after `boundary` (one of an entry's several rows included).
bool IsLaterNumber(const QString& number, const QString& boundary) {
    if (boundary.isEmpty() || number.size() < 36 || number.at(14) != QLatin1Char('7') ||
        number.at(8) != QLatin1Char('-') ||
        (number.size() > 36 && number.at(36) != QLatin1Char('-')))
        return false;
    return number.left(36) > boundary.left(36);
}

double Sign(const QString& table) {
    return table == QStringLiteral("进") ? 1.0 : -1.0;
}

QString TableKey(const QString& table, const QStringList& key) {
    return table + QChar(0x1e) + openingstock::CardKey(key);
}

class CLedgerReader {
public:
    CLedgerReader(CDatabase& db, CLedgerCheck& check) : m_db(db), m_check(check) {}

    void Run() {
        m_opening = openingstock::Read(m_db);
        m_check.hasOpening = m_opening.has_value();
        ReadMarks();
        for (const QString& table : kCheckedTables)
            ReadTable(table);
        RowsGone();
        if (m_opening)
            Reconcile();
    }

private:
    void Fault(const QString& text) {
        if (++m_check.faultCount <= kNamedFaults)
            m_check.faults << text;
    }

    void ReadMarks() {
        CRecordset marks(&m_db);
        marks.Open(QStringLiteral("SELECT 序号, 行校验 FROM 日志 WHERE 行校验<>'' ORDER BY 序号"));
        while (marks.Fetch()) {
            const long long number = marks.GetFieldValue(0).value_or(QString()).toLongLong();
            const std::optional<rowdigest::CMark> mark =
                rowdigest::ParseMark(marks.GetFieldValue(1).value_or(QString()));
            if (!mark)
                continue;
            if (mark->table == QStringLiteral("存")) {
                const bool gone = mark->change == CLoggedRow::Change::Removed;
                m_bases[openingstock::CardKey(mark->key)] = {number,
                                                             gone ? 0.0 : mark->stock.value_or(0)};
                continue;
            }
            // Rows of other tables (the catalogue) are logged, not held here.
            if (!kCheckedTables.contains(mark->table))
                continue;
            CRowLog& row = m_logs[TableKey(mark->table, mark->key)];
            if (row.first == CLoggedRow::Change::None) {
                row.first = mark->change;
                row.firstNumber = number;
            }
            row.removed = mark->change == CLoggedRow::Change::Removed;
            row.digest = row.removed ? QString() : mark->digest;
            if (row.removed)
                row.was = mark->was;
        }
    }

    // When a row's movement happened: its first log row when that wrote it, 0 when it came
    // before the 期初, after everything when it has no log row it should have.
    static long long Born(const CRowLog* log, bool later) {
        if (log)
            return log->first == CLoggedRow::Change::Added ? log->firstNumber : 0;
        return later ? LLONG_MAX : 0;
    }

    void ReadTable(const QString& table) {
        const bool operators = table == QStringLiteral("操作员");
        CRecordset rows(&m_db);
        rows.Open(QStringLiteral("SELECT * FROM %1").arg(table));
        QStringList wanted = rowdigest::KeyColumns(table);
        if (!operators)
            wanted << kCardColumns << kQuantity;
        const std::vector<short> positions = rowdigest::Positions(rows, wanted);
        // Bound, a row's values can be read in any order: its number first, and a row from
        // before the log, neither checked nor a movement since, is only counted.
        const bool bound = rows.BindColumns();
        const int keyCount = int(rowdigest::KeyColumns(table).size());
        while (rows.Fetch()) {
            std::string_view number;
            if (bound && !operators && positions[0] >= 0 &&
                rows.GetFieldUtf8(positions[0], number)) {
                const QString text = QString::fromUtf8(number.data(), qsizetype(number.size()));
                if (!m_logs.count(TableKey(table, {text})) &&
                    !(m_opening && IsLaterNumber(text, m_opening->boundary))) {
                    ++m_check.earlierRows[table];
                    continue;
                }
            }
            QStringList values;
            const QString digest = rowdigest::Digest(rows, positions, &values);
            const QStringList key = values.mid(0, keyCount);
            const QString named = QStringLiteral("%1 %2").arg(table, key.join(QLatin1Char(' ')));
            auto found = m_logs.find(TableKey(table, key));
            CRowLog* log = found == m_logs.end() ? nullptr : &found->second;
            bool later = false;
            if (log) {
                if (log->removed)
                    Fault(QStringLiteral("%1：日志记下它已删除，却仍在账上").arg(named));
                else if (log->digest != digest)
                    Fault(QStringLiteral("%1：与日志记下的不同，写入后被改动过").arg(named));
                m_seen.insert(found->first);
            } else if (operators) {
                if (!m_opening) {
                    ++m_check.earlierRows[table];
                } else if (const auto opening = m_opening->operators.find(key.value(0));
                           opening == m_opening->operators.end()) {
                    Fault(QStringLiteral("%1：日志里没有这一行，是绕过程序加进来的").arg(named));
                } else if (opening->second != digest) {
                    Fault(QStringLiteral("%1：与期初记下的不同，被改动过").arg(named));
                }
            } else if (m_opening && IsLaterNumber(key.value(0), m_opening->boundary)) {
                later = true;
                Fault(QStringLiteral("%1：日志里没有这一行，是绕过程序加进来的").arg(named));
            } else {
                ++m_check.earlierRows[table];
            }
            if (!operators)
                m_movements.push_back({openingstock::CardKey(values.mid(keyCount, 4)),
                                       Sign(table) * values.value(keyCount + 4).toDouble(),
                                       Born(log, later)});
        }
    }

    // Rows the log wrote or changed that are no longer there, and removed rows' movements.
    void RowsGone() {
        for (auto& [tableKey, log] : m_logs) {
            if (m_seen.count(tableKey))
                continue;
            const QString table = tableKey.section(QChar(0x1e), 0, 0);
            if (!log.removed) {
                Fault(QStringLiteral("%1 %2：日志记下的这一行不在账上，是绕过程序删除的")
                          .arg(table, openingstock::CardOf(tableKey.section(QChar(0x1e), 1))
                                          .join(QLatin1Char(' '))));
                continue;
            }
            if (table == QStringLiteral("操作员") || log.first != CLoggedRow::Change::Added)
                continue;
            // Deleting the record of a movement does not undo it.
            QStringList card;
            double boxes = 0;
            for (const QString& column : kCardColumns)
                for (const auto& [name, value] : log.was)
                    if (name == column)
                        card << value;
            for (const auto& [name, value] : log.was)
                if (name == kQuantity)
                    boxes = value.toDouble();
            if (card.size() == 4)
                m_movements.push_back(
                    {openingstock::CardKey(card), Sign(table) * boxes, log.firstNumber});
        }
    }

    void Reconcile() {
        std::map<QString, CCardReconciliation> cards;
        const auto cardOf = [&](const QString& key) -> CCardReconciliation& {
            CCardReconciliation& card = cards[key];
            if (card.card.isEmpty())
                card.card = openingstock::CardOf(key);
            return card;
        };
        {
            CRecordset stock(&m_db);
            stock.Open(QStringLiteral("SELECT 名称,产地,规格型号,有效截止日期,现有存货量 FROM 存"));
            while (stock.Fetch()) {
                QStringList key;
                for (short c = 0; c < 4; ++c)
                    key << stock.GetFieldValue(c).value_or(QString());
                cardOf(openingstock::CardKey(key)).inBooks =
                    stock.GetFieldValue(4).value_or(QString()).toDouble();
            }
        }
        // Each card from its latest base: the 期初, or a logged change of the card since.
        std::map<QString, CCardBase> bases;
        for (const auto& [key, boxes] : m_opening->stock)
            bases[key] = {m_opening->logNumber, boxes};
        for (const auto& [key, base] : m_bases)
            bases[key] = base;
        for (const auto& [key, base] : bases)
            cardOf(key).fromMovements = base.stock;
        for (const CMovement& movement : m_movements) {
            const auto base = bases.find(movement.card);
            const long long since =
                base == bases.end() ? m_opening->logNumber : base->second.number;
            if (movement.born > since)
                cardOf(movement.card).fromMovements += movement.boxes;
        }
        for (auto& [key, card] : cards) {
            // A card that is gone and whose movements come to nothing is no card.
            if (card.inBooks || card.Differs())
                m_check.cards.push_back(card);
        }
    }

    CDatabase& m_db;
    CLedgerCheck& m_check;
    std::optional<openingstock::COpening> m_opening;
    std::map<QString, CRowLog> m_logs;
    std::set<QString> m_seen;
    std::map<QString, CCardBase> m_bases;
    std::vector<CMovement> m_movements;
};

} // namespace

bool CCardReconciliation::Differs() const {
    const double books = inBooks.value_or(0);
    return std::fabs(books - fromMovements) > 1e-6 * std::max(1.0, std::fabs(books));
}

QString CardText(const QStringList& card) {
    return QStringLiteral("%1（%2，%3，有效期至 %4）")
        .arg(card.value(0), card.value(1), card.value(2), card.value(3));
}

std::optional<CLedgerCheck> CheckLedger(CDatabase& db, QString* failure) {
    CLedgerCheck check;
    try {
        if (booksversion::Read(db) < kDigestVersion)
            return check;
        CLedgerReader(db, check).Run();
    } catch (const CDBException& e) {
        if (failure)
            *failure = e.ErrorText().trimmed();
        return std::nullopt;
    }
    return check;
}

QStringList LedgerProblems(const CLedgerCheck& check) {
    QStringList lines = check.faults;
    if (check.faultCount > kNamedFaults)
        lines << QStringLiteral("……另有 %1 处").arg(check.faultCount - kNamedFaults);
    for (const CCardReconciliation& card : check.cards) {
        if (!card.Differs())
            continue;
        lines << (card.inBooks ? QStringLiteral("库存卡 %1：账上 %2 盒，按期初和进销损应为 %3 盒")
                                     .arg(CardText(card.card), sqltext::Exact(*card.inBooks),
                                          sqltext::Exact(card.fromMovements))
                               : QStringLiteral("库存卡 %1：不在账上，按期初和进销损应有 %2 盒")
                                     .arg(CardText(card.card), sqltext::Exact(card.fromMovements)));
    }
    return lines;
}

QString EarlierRowsText(const CLedgerCheck& check) {
    QStringList parts;
    for (const auto& [table, rows] : check.earlierRows)
        if (rows > 0)
            parts << QStringLiteral("%1 %2 行").arg(table).arg(rows);
    if (parts.isEmpty())
        return {};
    return QStringLiteral("早于日志的记录（没有可逐行核对的校验）：%1")
        .arg(parts.join(QStringLiteral("、")));
}

} // namespace auditlog
