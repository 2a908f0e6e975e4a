#include "loss_summary.h"

#include "money.h"
#include "text_forms.h"

namespace {

// A sum of doubles read back at 15 significant digits, as SQLite gives numbers: 0.1 + 0.2 is
// 0.3, and 1.005 stays 1.005 where its double lies just below it. -0 becomes 0.
double Digits15(double value) {
    return QString::number(value, 'g', 15).toDouble() + 0.0;
}

struct Figures {
    long long count = 0;
    double boxes = 0;
    long long cents = 0; // the rows' 成本金额, each to the cent, added
};

int ColumnOf(const CResultTable& table, const QString& name) {
    for (int c = 0; c < table.ColumnCount(); ++c)
        if (table.Columns()[c].m_strName == name)
            return c;
    return -1;
}

} // namespace

const QStringList& LossReasons() {
    static const QStringList reasons = {QStringLiteral("过期"),       QStringLiteral("破损"),
                                        QStringLiteral("退回供应商"), QStringLiteral("盘亏"),
                                        QStringLiteral("盘盈"),       QStringLiteral("其他")};
    return reasons;
}

QString LossCostText(QStringView cost) {
    return money::Amount(cost.toDouble());
}

std::vector<QStringList> LossSummaryRows(const CResultTable& losses) {
    const int boxesColumn = ColumnOf(losses, QStringLiteral("数量"));
    const int costColumn = ColumnOf(losses, QStringLiteral("成本金额"));
    const int reasonColumn = ColumnOf(losses, QStringLiteral("原因"));
    if (losses.RowCount() == 0 || boxesColumn < 0 || costColumn < 0 || reasonColumn < 0 ||
        losses.ColumnCount() < 2)
        return {};

    // The fixed 原因 first; one the books should never hold still counts, after them.
    QStringList reasons = LossReasons();
    std::vector<Figures> figures(reasons.size());
    for (int r = 0; r < losses.RowCount(); ++r) {
        const QString reason = losses.CellText(r, reasonColumn);
        qsizetype at = reasons.indexOf(reason);
        if (at < 0) {
            at = reasons.size();
            reasons << reason;
            figures.emplace_back();
        }
        Figures& f = figures[at];
        ++f.count;
        f.boxes += losses.Cell(r, boxesColumn).toDouble();
        f.cents += money::Cents(losses.Cell(r, costColumn).toDouble());
    }

    const auto row = [&](const QString& label, const Figures& f) {
        QStringList cells(losses.ColumnCount());
        cells[0] = label;
        cells[1] = QString::number(f.count) + QStringLiteral(" 笔");
        cells[boxesColumn] = textforms::ShortestDouble(f.boxes) + QStringLiteral(" 盒");
        cells[costColumn] = money::Yuan(f.cents) + QStringLiteral(" 元");
        return cells;
    };
    std::vector<QStringList> rows{QStringList(losses.ColumnCount())};
    Figures total;
    for (qsizetype i = 0; i < reasons.size(); ++i) {
        Figures& f = figures[i];
        if (f.count == 0)
            continue;
        f.boxes = Digits15(f.boxes);
        total.count += f.count;
        total.boxes = Digits15(total.boxes + f.boxes);
        total.cents += f.cents;
        rows.push_back(row(reasons[i], f));
    }
    rows.push_back(row(QStringLiteral("合计"), total));
    return rows;
}
