#pragma once
// The four texts that name a stock card, as every entry form types them.
#include <QString>

struct CStockCard {
    QString name;
    QString origin;
    QString packModel;
    QString expiry;
};
