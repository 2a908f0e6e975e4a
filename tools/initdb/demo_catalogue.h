#pragma once
// The drugs, purchasers and categories of the demo pharmacy.
#include <QStringList>
#include <vector>

struct DemoDrug {
    const char* code;
    const char* name;
    const char* origin;
    const char* packModel;
    const char* category;
    const char* subCategory;
    double cost;        // purchase price of one box, yuan
    int piecesPerBox;   // pieces a split-pack sale counts; 0 when the pack is never split
    int expiredDaysAgo; // > 0: the first batch expired that many days before today
    int sellOutDay;     // < 0: the last boxes go that day (relative to today), never restocked
};

const std::vector<DemoDrug>& DemoDrugs();
QStringList DemoPurchasers();
