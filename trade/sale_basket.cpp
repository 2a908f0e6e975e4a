#include "sale_basket.h"

#include "money.h"

void CSaleBasket::Add(const QString& number, const QString& amount) {
    m_numbers << number;
    // Added in fen, the total is the sum of the amounts shown.
    m_nCents += money::Cents(amount.toDouble());
}

void CSaleBasket::Clear() {
    m_numbers.clear();
    m_nCents = 0;
}

QString CSaleBasket::Line() const {
    return QStringLiteral("本单 %1 笔 · 合计 %2 元").arg(Count()).arg(money::Yuan(m_nCents));
}

QString CSaleBasket::CloseQuestion() const {
    return QStringLiteral("本单还有 %1 笔销售没有打印小票。现在结账打印吗？").arg(Count());
}
