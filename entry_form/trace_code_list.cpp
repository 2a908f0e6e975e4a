#include "trace_code_list.h"

#include "entry_fields.h"
#include "sql_text.h"

#include <cmath>
#include <optional>

namespace tracelist {

const CWording kEntryCodes{
    QStringLiteral("追溯码 %1 已经扫过，一盒只有一个追溯码"),
    QStringLiteral("追溯码 %1 个，多于数量 %2 盒：请改数量，或删去多余的追溯码"),
    sqltext::Exact,
};

CAdded Added(const QStringList& listed, const QString& typed, const CWording& wording) {
    const QString code = tracecode::Normalized(typed);
    if (code.isEmpty())
        return {{}, tracecode::Problem(typed)};
    if (listed.contains(code))
        return {{}, wording.repeated.arg(code)};
    return {code, {}};
}

QString Counted(qsizetype codes, const QString& boxes, const CWording& wording) {
    if (!wording.partIsBox)
        return QStringLiteral("已扫 %1/%2").arg(QString::number(codes), boxes.trimmed());
    const std::optional<double> typed = entryfields::ParseNumber(boxes);
    if (!typed || !std::isfinite(*typed) || *typed <= 0 || *typed > 1e6)
        return QStringLiteral("已扫 %1").arg(codes);
    return QStringLiteral("已扫 %1/%2")
        .arg(QString::number(codes), QString::number(qlonglong(std::ceil(*typed))));
}

QString TooMany(qsizetype codes, double boxes, const CWording& wording) {
    if (double(codes) <= (wording.partIsBox ? std::ceil(boxes) : boxes))
        return {};
    return wording.tooMany.arg(QString::number(codes), wording.boxesText(boxes));
}

QString Problem(QStringList& codes, double boxes, const CWording& wording) {
    QStringList kept;
    for (const QString& typed : codes) {
        const CAdded added = Added(kept, typed, wording);
        if (!added.refusal.isEmpty())
            return added.refusal;
        kept << added.code;
    }
    if (QString tooMany = TooMany(kept.size(), boxes, wording); !tooMany.isEmpty())
        return tooMany;
    codes = kept;
    return {};
}

QString LeftRefusal(const traceledger::CCodeRow& row) {
    if (!traceledger::HasLeft(row.state))
        return {};
    return traceledger::Refusal(row, row.card, QStringLiteral("销售"));
}

} // namespace tracelist
