#include "pack_model.h"

#include <QRegularExpression>

namespace packmodel {

std::optional<CPieces> PiecesOf(const QString& packModel) {
    // A count after "*" or at the start, followed by a unit of pieces; weights and volumes
    // (g, mg, ml) are contents, not pieces.
    static const QRegularExpression pattern(
        QStringLiteral("(?:^|\\*)(\\d+)(片|粒|袋|支|丸|贴|包|瓶|盒)"));
    QRegularExpressionMatchIterator it = pattern.globalMatch(packModel);
    std::optional<CPieces> last;
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const int count = match.captured(1).toInt();
        if (count > 0)
            last = CPieces{count, match.captured(2)};
    }
    return last;
}

} // namespace packmodel
