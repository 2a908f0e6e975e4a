#pragma once
// How customers may pay at this counter, kept per computer in the program's settings file
// (group "Payment"), in the order 结账 offers them. A sale keeps the name it was paid by.
#include <QString>
#include <QStringList>
#include <optional>

struct CPaymentSettings {
    static const QString kCash;   // "现金": the one method that is counted at 交班
    static const QString kUnpaid; // "未结账": how the reports name a sale not paid yet
    // A name longer than this does not fit 销.支付方式.
    static constexpr int kLongestName = 20;

    QStringList methods = Defaults();

    // 现金, 微信, 支付宝, 医保, 银行卡.
    static QStringList Defaults();
    // The list saved, or the defaults where none (or no valid one) is.
    static CPaymentSettings Load();
    void Save() const;

    // The list as typed in 系统设置: "现金、微信、支付宝".
    QString Text() const;
    // The names in `text`, split at 、 , ， ; ； or blanks, each once. nullopt, with why in
    // `failure`, for an empty list, a name too long for the books, or "未结账".
    static std::optional<QStringList> Parse(const QString& text, QString* failure);
};
