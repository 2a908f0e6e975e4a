#include "shift_report.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "entry_number.h"
#include "money.h"
#include "payment_settings.h"
#include "report_statements.h"
#include "result_loader.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const QString kSales = QStringLiteral("销");
const QString kTimeFormat = QStringLiteral("hh:mm:ss");

// The time of day of a 日期时间 cell. The grid's cell rules drop a midnight time altogether, so
// a date with no time is midnight.
QTime TimeOfDay(const QString& cell) {
    static const QRegularExpression time(
        QStringLiteral("(\\d{1,2}):(\\d{2}):(\\d{2})(?:[.,](\\d{1,3}))?"));
    const QRegularExpressionMatch m = time.match(cell);
    if (!m.hasMatch())
        return cell.trimmed().isEmpty() ? QTime() : QTime(0, 0);
    const QString ms = m.captured(4).leftJustified(3, QLatin1Char('0'));
    return QTime(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), ms.toInt());
}

QString TimeText(const QTime& time) {
    return time.isValid() ? time.toString(kTimeFormat) : QString();
}

// The earlier (later) of two times, a null one counting as none.
QTime Earlier(const QTime& a, const QTime& b) {
    return !a.isValid() ? b : !b.isValid() ? a : std::min(a, b);
}
QTime Later(const QTime& a, const QTime& b) {
    return !a.isValid() ? b : !b.isValid() ? a : std::max(a, b);
}

QString DayText(const QDate& day) {
    return day.toString(Qt::ISODate);
}

QString MethodTitle(const QString& method) {
    return method.isEmpty() ? CPaymentSettings::kUnpaid : method;
}

// "+1.50", "-2.00", "0.00": which way the drawer is off.
QString SignedYuan(long long cents) {
    return (cents > 0 ? QStringLiteral("+") : QString()) + money::Yuan(cents);
}

} // namespace

long long CShiftRow::CashCents() const {
    const auto cash = byMethod.find(CPaymentSettings::kCash);
    return cash == byMethod.end() ? 0 : cash->second;
}

namespace shiftreport {

QStringList Titles() {
    return {QStringLiteral("营业员"),   QStringLiteral("笔数"),   QStringLiteral("拆零笔数"),
            QStringLiteral("冲正笔数"), QStringLiteral("营业额"), QStringLiteral("首笔"),
            QStringLiteral("末笔")};
}

QStringList Titles(const CShiftFigures& figures) {
    QStringList titles = Titles();
    for (const QString& method : figures.methods)
        titles << MethodTitle(method);
    return titles;
}

void AddPayments(CShiftFigures& figures, const CResultTable& payments, const QStringList& methods) {
    QStringList used;
    for (int r = 0; r < payments.RowCount(); ++r) {
        const QString clerk = payments.CellText(r, 0);
        const QString method = payments.CellText(r, 1).trimmed();
        // Rounded once per operator and method, as the turnover is per operator.
        const long long cents = money::Cents(payments.CellText(r, 2).toDouble());
        for (CShiftRow& row : figures.rows)
            if (row.clerk == clerk)
                row.byMethod[method] += cents;
        figures.total.byMethod[method] += cents;
        if (!used.contains(method))
            used << method;
    }
    figures.methods.clear();
    for (const QString& method : methods)
        if (used.removeAll(method) > 0)
            figures.methods << method;
    const bool unpaid = used.removeAll(QString()) > 0;
    used.sort();
    figures.methods << used;
    if (unpaid)
        figures.methods << QString();
}

QString ShownName(const QString& clerk) {
    return clerk.isEmpty() ? kUnrecorded : clerk;
}

CShiftFigures FromResult(const CResultTable& result, const QDate& day,
                         const std::optional<QString>& clerk) {
    CShiftFigures figures;
    figures.day = day;
    for (int r = 0; r < result.RowCount(); ++r) {
        CShiftRow row;
        row.clerk = result.CellText(r, 0);
        row.sales = result.CellText(r, 1).toInt();
        row.splitSales = result.CellText(r, 2).toInt();
        // Each operator's sum is rounded once, as the day report's is; the total adds the cents
        // shown, so the rows always add up to it.
        row.cents = money::Cents(result.CellText(r, 3).toDouble());
        row.first = TimeOfDay(result.CellText(r, 4));
        row.last = TimeOfDay(result.CellText(r, 5));
        row.reversals = result.CellText(r, 6).toInt();
        figures.rows.push_back(row);
    }
    if (clerk && figures.rows.empty()) {
        CShiftRow none;
        none.clerk = *clerk;
        figures.rows.push_back(none);
    }
    // The same order on both databases, whatever their collations.
    std::sort(figures.rows.begin(), figures.rows.end(),
              [](const CShiftRow& a, const CShiftRow& b) { return a.clerk < b.clerk; });
    figures.total.clerk = kTotal;
    for (const CShiftRow& row : figures.rows) {
        figures.total.sales += row.sales;
        figures.total.splitSales += row.splitSales;
        figures.total.reversals += row.reversals;
        figures.total.cents += row.cents;
        figures.total.first = Earlier(figures.total.first, row.first);
        figures.total.last = Later(figures.total.last, row.last);
    }
    return figures;
}

CResultTable Table(const CShiftFigures& figures) {
    CResultTable table;
    std::vector<CResultColumn> columns;
    for (const QString& title : Titles(figures))
        columns.push_back({title, 0});
    table.SetColumns(std::move(columns));
    auto add = [&table, &figures](const QString& name, const CShiftRow& row) {
        const int at = table.AppendRow();
        QStringList cells{name,
                          QString::number(row.sales),
                          QString::number(row.splitSales),
                          QString::number(row.reversals),
                          money::Yuan(row.cents),
                          TimeText(row.first),
                          TimeText(row.last)};
        for (const QString& method : figures.methods) {
            const auto sum = row.byMethod.find(method);
            cells << (sum == row.byMethod.end() ? QString() : money::Yuan(sum->second));
        }
        for (int c = 0; c < cells.size(); ++c)
            table.SetCell(at, c, cells[c]);
    };
    for (const CShiftRow& row : figures.rows)
        add(ShownName(row.clerk), row);
    add(kTotal, figures.total);
    return table;
}

CResultTable PrintedTable(const CShiftFigures& figures) {
    CResultTable table = Table(figures);
    table.SetCell(table.AppendRow(), 0, auditlog::HeadText(figures.head));
    return table;
}

QString LogPrefix(const QString& clerk, const QDate& day) {
    return QStringLiteral("%1 %2 交班：").arg(ShownName(clerk), DayText(day));
}

QString LogText(const CShiftRow& row, const QDate& day, const QStringList& methods,
                std::optional<long long> countedCents) {
    QString text = LogPrefix(row.clerk, day) +
                   QStringLiteral("销售 %1 笔（拆零 %2 笔），营业额 %3 元")
                       .arg(QString::number(row.sales), QString::number(row.splitSales),
                            money::Yuan(row.cents));
    // A reversal is no sale: counted apart, its amount already netted in the turnover.
    if (row.reversals > 0)
        text += QStringLiteral("，冲正 %1 笔").arg(row.reversals);
    if (row.first.isValid())
        text += QStringLiteral("，首笔 %1，末笔 %2").arg(TimeText(row.first), TimeText(row.last));
    QStringList order = methods;
    for (const auto& [method, cents] : row.byMethod)
        if (!order.contains(method))
            order << method;
    QStringList paid;
    for (const QString& method : order)
        if (const auto sum = row.byMethod.find(method); sum != row.byMethod.end())
            paid << QStringLiteral("%1 %2 元").arg(MethodTitle(method), money::Yuan(sum->second));
    if (!paid.isEmpty())
        text += QStringLiteral("；支付：") + paid.join(QStringLiteral("，"));
    if (countedCents)
        text += QStringLiteral("；点钞：应有现金 %1 元，实点 %2 元，差额 %3 元")
                    .arg(money::Yuan(row.CashCents()), money::Yuan(*countedCents),
                         SignedYuan(*countedCents - row.CashCents()));
    return text;
}

} // namespace shiftreport

CShiftReport::CShiftReport(CDatabase* db, QString operatorName, bool isManager)
    : m_pDatabase(db), m_strOperator(std::move(operatorName)), m_bManager(isManager) {}

std::optional<QString> CShiftReport::Filter(const QString& choice) const {
    if (!m_bManager)
        return m_strOperator;
    if (choice == shiftreport::kAll)
        return std::nullopt;
    return choice;
}

std::optional<QStringList> CShiftReport::Choices(const QDate& day, QString* failure) const {
    if (!m_bManager)
        return QStringList{m_strOperator};
    if (!m_pDatabase || !m_pDatabase->IsOpen()) {
        if (failure)
            *failure = CDBException::ConnectionClosed().ErrorText();
        return std::nullopt;
    }
    const std::optional<CResultTable> names =
        RunStatement(m_pDatabase, kSales, reportsql::ShiftOperators(DayText(day)), failure);
    if (!names)
        return std::nullopt;
    QStringList list;
    for (int r = 0; r < names->RowCount(); ++r)
        // Old sales without a name are seen under 全部; nobody hands over for them alone.
        if (const QString name = names->CellText(r, 0); !name.isEmpty())
            list << name;
    list.removeDuplicates();
    list.sort();
    list.prepend(shiftreport::kAll);
    return list;
}

std::optional<CShiftFigures> CShiftReport::Load(const QDate& day, const QString& choice,
                                                QString* failure) const {
    if (!m_pDatabase || !m_pDatabase->IsOpen()) {
        if (failure)
            *failure = CDBException::ConnectionClosed().ErrorText();
        return std::nullopt;
    }
    const std::optional<QString> clerk = Filter(choice);
    const std::optional<CResultTable> result =
        RunStatement(m_pDatabase, kSales,
                     reportsql::ShiftReport(DayText(day), clerk ? &*clerk : nullptr), failure);
    if (!result)
        return std::nullopt;
    CShiftFigures figures = shiftreport::FromResult(*result, day, clerk);
    const std::optional<CResultTable> payments =
        RunStatement(m_pDatabase, kSales,
                     reportsql::ShiftPayments(DayText(day), clerk ? &*clerk : nullptr), failure);
    if (!payments)
        return std::nullopt;
    shiftreport::AddPayments(figures, *payments, CPaymentSettings::Load().methods);
    // Read after the figures, so that the head takes in every row they could rest on.
    const std::optional<auditlog::CChainHead> head = Head(failure);
    if (!head)
        return std::nullopt;
    figures.head = *head;
    return figures;
}

std::optional<auditlog::CChainHead> CShiftReport::Head(QString* failure) const {
    if (!m_pDatabase || !m_pDatabase->IsOpen()) {
        if (failure)
            *failure = CDBException::ConnectionClosed().ErrorText();
        return std::nullopt;
    }
    return auditlog::Head(*m_pDatabase, failure);
}

std::optional<bool> CShiftReport::Recorded(const QString& number, QString* failure) const {
    return entrylookup::InBooks(m_pDatabase, QStringLiteral("日志"), entrynumber::Part(number, 1),
                                failure);
}

std::optional<QStringList> CShiftReport::HandedOver(const CShiftFigures& figures,
                                                    QString* failure) const {
    if (!m_pDatabase || !m_pDatabase->IsOpen()) {
        if (failure)
            *failure = CDBException::ConnectionClosed().ErrorText();
        return std::nullopt;
    }
    const std::optional<CResultTable> logged =
        RunStatement(m_pDatabase, QStringLiteral("日志"),
                     reportsql::ShiftHandOvers(DayText(figures.day)), failure);
    if (!logged)
        return std::nullopt;
    QStringList names;
    for (const CShiftRow& row : figures.rows) {
        const QString prefix = shiftreport::LogPrefix(row.clerk, figures.day);
        for (int r = 0; r < logged->RowCount(); ++r)
            if (logged->CellText(r, 0).startsWith(prefix)) {
                names << shiftreport::ShownName(row.clerk);
                break;
            }
    }
    return names;
}

CShiftReport::Outcome CShiftReport::HandOver(const CShiftFigures& figures, const QDateTime& now,
                                             const std::map<QString, long long>& counted) {
    if (figures.rows.empty())
        return {false,
                QStringLiteral("%1 没有销售记录，没有可交班的营业员。").arg(DayText(figures.day))};
    if (!m_bManager)
        for (const CShiftRow& row : figures.rows)
            if (row.clerk != m_strOperator)
                return {false, QStringLiteral("营业员只能为自己交班。")};
    if (!m_pDatabase || !m_pDatabase->IsOpen())
        return {false, QStringLiteral("交班没有记录：") +
                           CDBException::ConnectionClosed().ErrorText().trimmed()};
    const QString kHandOver = QStringLiteral("交班：");
    // A press whose outcome was lost is looked up before anything is written again.
    const entrylookup::CPendingNumber::CTry attempt =
        m_pending.BeforeTry(m_pDatabase, QStringLiteral("日志"), 1);
    using Step = entrylookup::CPendingNumber::CTry::Step;
    if (attempt.step == Step::StillUnknown)
        return {false, kHandOver + entrylookup::Reported(std::nullopt, attempt.failure)};
    if (attempt.step == Step::AlreadyRecorded)
        return {true, kHandOver + entrylookup::kAlreadyRecorded};
    const QString number = attempt.number;
    QStringList lines;
    try {
        CTransaction transaction(*m_pDatabase);
        int index = 0;
        for (const CShiftRow& row : figures.rows) {
            const auto count = counted.find(row.clerk);
            const QString content = shiftreport::LogText(
                row, figures.day, figures.methods,
                count == counted.end() ? std::nullopt : std::optional<long long>(count->second));
            auditlog::Append(*m_pDatabase,
                             CLogEntry{m_strOperator, QStringLiteral("交班"), kSales, content,
                                       entrynumber::Part(number, ++index)},
                             now);
            lines << content;
        }
        // Once committed the rows stay; a failure to return to auto-commit changes nothing.
        (void)transaction.Commit();
    } catch (const CDBException& e) {
        if (!CDatabase::IsConnectionLost(e)) {
            m_pending.Forget();
            return {false, QStringLiteral("交班没有记录：") + e.ErrorText().trimmed()};
        }
        // The commit may have reached the books before its reply was lost: the log tells.
        const std::optional<bool> found = Recorded(number, nullptr);
        if (found)
            m_pending.Forget();
        else
            m_pending.Keep(number);
        return {found.value_or(false),
                kHandOver +
                    entrylookup::Reported(found, e.ErrorText().trimmed(), QStringLiteral("交班"))};
    }
    m_pending.Forget();
    return {true, QStringLiteral("交班已记入日志：\n") + lines.join(QLatin1Char('\n'))};
}
