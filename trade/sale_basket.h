#pragma once
// 本单: the sales one customer buys, recorded one by one in the sales entry since it opened or
// since the last 结账, whose receipt 结账 prints.
#include <QString>
#include <QStringList>

class CSaleBasket {
public:
    // A recorded sale: its number (单号) and its amount due as the entry showed it.
    void Add(const QString& number, const QString& amount);
    void Clear();

    bool IsEmpty() const { return m_numbers.isEmpty(); }
    int Count() const { return int(m_numbers.size()); }
    const QStringList& Numbers() const { return m_numbers; }
    // "本单 3 笔 · 合计 57.20 元".
    QString Line() const;
    // The question before the entry closes with sales whose receipt was not printed.
    QString CloseQuestion() const;

private:
    QStringList m_numbers;
    long long m_nCents = 0;
};
