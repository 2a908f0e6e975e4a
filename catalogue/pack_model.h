#pragma once
// What a pack model (规格型号) says about the pieces in a box: "0.25g*24粒" holds 24 粒,
// "100片/瓶" 100 片. The count and unit are the last number and the word after it.
#include <QString>
#include <optional>

struct CPieces {
    int count;
    QString unit;
};

namespace packmodel {

// nullopt when the model names no count of pieces ("150ml/瓶", "10g:1%").
std::optional<CPieces> PiecesOf(const QString& packModel);

} // namespace packmodel
