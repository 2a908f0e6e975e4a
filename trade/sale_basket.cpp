#include "sale_basket.h"

#include <cmath>

void CSaleBasket::Add(const QString& number, const QString& amount) {
    m_numbers << number;
    // The amount is "%.2f" already: added in cents, the total is right to the cent.
    m_nCents += std::llround(amount.toDouble() * 100.0);
}

void CSaleBasket::Clear() {
    m_numbers.clear();
    m_nCents = 0;
}

QString CSaleBasket::Line() const {
    return QStringLiteral("本单 %1 笔 · 合计 %2 元")
        .arg(Count())
        .arg(QString::number(double(m_nCents) / 100.0, 'f', 2));
}

QString CSaleBasket::CloseQuestion() const {
    return QStringLiteral("本单还有 %1 笔销售没有打印小票。现在结账打印吗？").arg(Count());
}
