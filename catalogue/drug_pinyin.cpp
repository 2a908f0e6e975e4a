#include "drug_pinyin.h"

#include "CRecordset.h"
#include "CTransaction.h"
#include "pinyin_code.h"
#include "result_loader.h"

#include <QRegularExpression>

namespace drugpinyin {

int Fill(CDatabase& db) {
    std::vector<QStringList> drugs;
    {
        CRecordset rows(&db);
        rows.Open(QStringLiteral("SELECT 名称,产地,规格型号 FROM 药品 WHERE 拼音码=''"));
        while (rows.Fetch())
            drugs.push_back({rows.GetFieldValue(0).value_or(QString()),
                             rows.GetFieldValue(1).value_or(QString()),
                             rows.GetFieldValue(2).value_or(QString())});
    }
    CTransaction transaction(db);
    for (const QStringList& drug : drugs)
        transaction.Execute(
            QStringLiteral("UPDATE 药品 SET 拼音码=? WHERE 名称=? AND 产地=? AND 规格型号=?"),
            {pinyincode::Stored(drug[0]), drug[0], drug[1], drug[2]});
    (void)transaction.Commit();
    return int(drugs.size());
}

std::vector<CMatch> Search(CDatabase* db, const QString& typed, int limit, QString* failure) {
    if (failure)
        failure->clear();
    const QString wanted = typed.trimmed().toLower();
    // Letters and digits only: nothing of what is typed can act as a wildcard.
    static const QRegularExpression kCode(QStringLiteral("^[a-z0-9]+$"));
    if (!kCode.match(wanted).hasMatch())
        return {};
    QString why;
    const std::optional<CResultTable> rows = RunStatement(
        db, QStringLiteral("药品"),
        CStatement{QStringLiteral("SELECT 名称,产地,规格型号,拼音码 FROM 药品 WHERE ' ' || 拼音码 "
                                  "LIKE ? ORDER BY 名称,产地,规格型号"),
                   {QStringLiteral("% ") + wanted + QStringLiteral("%")}},
        &why);
    if (!rows) {
        if (failure)
            *failure = why;
        return {};
    }
    std::vector<CMatch> matches;
    for (int r = 0; r < rows->RowCount() && int(matches.size()) < limit; ++r)
        if (pinyincode::Matches(rows->CellText(r, 3), wanted))
            matches.push_back({rows->CellText(r, 0), rows->CellText(r, 1), rows->CellText(r, 2)});
    return matches;
}

} // namespace drugpinyin
