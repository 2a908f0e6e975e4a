#include "import_columns.h"

#include <QRegularExpression>

namespace importcolumns {

namespace {

const std::array<QStringList, kFields>& Table() {
    static const std::array<QStringList, kFields> table{
        QStringList{QStringLiteral("名称"), QStringLiteral("药品名称"), QStringLiteral("通用名")},
        QStringList{QStringLiteral("产地"), QStringLiteral("生产企业"), QStringLiteral("厂家")},
        QStringList{QStringLiteral("规格型号"), QStringLiteral("规格")},
        QStringList{QStringLiteral("批号")},
        QStringList{QStringLiteral("有效截止日期"), QStringLiteral("有效期至"),
                    QStringLiteral("有效期")},
        QStringList{QStringLiteral("数量"), QStringLiteral("库存"), QStringLiteral("库存数量")},
        QStringList{QStringLiteral("进价"), QStringLiteral("成本价"), QStringLiteral("成本单价")},
        QStringList{QStringLiteral("零售价"), QStringLiteral("售价")},
        QStringList{QStringLiteral("条形码"), QStringLiteral("条码")},
        QStringList{QStringLiteral("批准文号")},
        QStringList{QStringLiteral("类别")},
        QStringList{QStringLiteral("每盒总量")},
    };
    return table;
}

// "进价 (元)", "进价（元）", "* 名称" → "进价", "进价", "名称".
QString Bare(const QString& header) {
    static const QRegularExpression blanks(QStringLiteral("[\\s\\x{3000}*＊]"));
    static const QRegularExpression unit(QStringLiteral("\\([^()]*\\)$"));
    QString bare = header;
    bare.replace(u'（', u'(').replace(u'）', u')').remove(blanks).remove(unit);
    return bare;
}

} // namespace

QString FieldName(EField field) {
    return Table()[static_cast<int>(field)].first();
}

QStringList Alternatives(EField field) {
    return Table()[static_cast<int>(field)];
}

bool Required(EField field) {
    switch (field) {
    case EField::Name:
    case EField::Origin:
    case EField::PackModel:
    case EField::Expiry:
    case EField::Quantity:
    case EField::Cost:
        return true;
    default:
        return false;
    }
}

std::optional<CColumns> FindColumns(const QStringList& headers, QString* refusal) {
    CColumns columns;
    columns.index.fill(-1);
    for (int column = 0; column < headers.size(); ++column) {
        const QString bare = Bare(headers[column]);
        for (int f = 0; f < kFields; ++f) {
            if (!Table()[f].contains(bare))
                continue;
            if (columns.index[f] >= 0) {
                // Taking either silently could import the wrong figures.
                *refusal = QStringLiteral("列“%1”和“%2”都是%3，请只留下一列")
                               .arg(headers[columns.index[f]].trimmed(), headers[column].trimmed(),
                                    Table()[f].first());
                return std::nullopt;
            }
            columns.index[f] = column;
        }
    }
    QStringList missing;
    for (int f = 0; f < kFields; ++f)
        if (columns.index[f] < 0 && Required(static_cast<EField>(f)))
            missing.append(Table()[f].first());
    if (!missing.isEmpty()) {
        QStringList found;
        for (const QString& header : headers)
            if (!header.trimmed().isEmpty())
                found.append(header.trimmed());
        *refusal = QStringLiteral("缺少必需的列：%1。文件中的列：%2")
                       .arg(missing.join(u'、'),
                            found.isEmpty() ? QStringLiteral("（没有）") : found.join(u'、'));
        return std::nullopt;
    }
    return columns;
}

} // namespace importcolumns
