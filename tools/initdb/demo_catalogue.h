#pragma once
// The drugs, purchasers and categories of the demo pharmacy.
#include <QString>
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

// How the demo's catalogue describes drug `index` of DemoDrugs(): a made-up EAN-13 code, its
// class and ephedrine mark, and the pieces of its box as its pack model names them.
struct DemoListing {
    QString barcode;
    QString drugClass;
    bool ephedrine;
    int pieces;
    QString unit;
};
DemoListing DemoListingOf(int index);
