#include "import_parse.h"
#include "import_columns.h"
#include "import_values.h"

#include <cmath>

using importcolumns::EField;

namespace {

// The widths of the columns the batch is written to.
constexpr int kWordWidth = 100;
constexpr int kBatchWidth = 200;
constexpr int kBarcodeWidth = 50;
constexpr int kMostDecimals = 4;

class CRowReader {
public:
    CRowReader(const CImportRow& row, const importcolumns::CColumns& columns)
        : m_row(row), m_columns(columns) {}

    QString Text(EField field) const {
        const int column = m_columns.of(field);
        return column >= 0 && column < m_row.cells.size() ? m_row.cells[column].trimmed()
                                                          : QString();
    }
    // The first fault only: a row is fixed one message at a time.
    void Fault(const QString& reason) {
        if (m_fault.isEmpty())
            m_fault = QStringLiteral("第 %1 行：%2").arg(QString::number(m_row.line), reason);
    }
    const QString& fault() const { return m_fault; }

    QString Word(EField field, int width) {
        const QString text = Text(field);
        const QString name = importcolumns::FieldName(field);
        if (text.isEmpty() && importcolumns::Required(field))
            Fault(QStringLiteral("缺少%1").arg(name));
        else if (text.size() > width)
            Fault(QStringLiteral("%1超过 %2 个字").arg(name, QString::number(width)));
        return text;
    }

private:
    const CImportRow& m_row;
    const importcolumns::CColumns& m_columns;
    QString m_fault;
};

QString Quoted(const QString& name, const QString& text) {
    return QStringLiteral("%1“%2”").arg(name, text);
}

void ReadExpiry(CRowReader& r, CImportBatch& batch) {
    const QString text = r.Text(EField::Expiry);
    if (text.isEmpty())
        return r.Fault(QStringLiteral("缺少有效期"));
    const std::optional<importvalues::CExpiry> expiry = importvalues::ParseExpiry(text);
    if (!expiry)
        return r.Fault(QStringLiteral("%1不是日期").arg(Quoted(QStringLiteral("有效期"), text)));
    batch.expiry = expiry->date;
    batch.monthOnly = expiry->monthOnly;
}

void ReadQuantity(CRowReader& r, CImportBatch& batch) {
    const QString text = r.Text(EField::Quantity);
    if (text.isEmpty())
        return r.Fault(QStringLiteral("缺少数量"));
    const std::optional<double> quantity = importvalues::ParseNumber(text);
    const QString quoted = Quoted(QStringLiteral("数量"), text);
    if (!quantity)
        return r.Fault(QStringLiteral("%1不是数字").arg(quoted));
    if (*quantity <= 0)
        return r.Fault(QStringLiteral("%1必须大于 0").arg(quoted));
    if (importvalues::Decimals(text) > kMostDecimals)
        return r.Fault(
            QStringLiteral("%1的小数超过 %2 位").arg(quoted, QString::number(kMostDecimals)));
    batch.quantity = *quantity;
}

void ReadCost(CRowReader& r, CImportBatch& batch) {
    const QString text = r.Text(EField::Cost);
    if (text.isEmpty())
        return r.Fault(QStringLiteral("缺少进价"));
    const std::optional<double> cost = importvalues::ParseNumber(text, true);
    const QString quoted = Quoted(QStringLiteral("进价"), text);
    if (!cost)
        return r.Fault(QStringLiteral("%1不是金额").arg(quoted));
    if (*cost < 0)
        return r.Fault(QStringLiteral("%1不能是负数").arg(quoted));
    batch.cost = *cost;
}

void ReadPrice(CRowReader& r, CImportBatch& batch) {
    const QString text = r.Text(EField::Price);
    if (text.isEmpty())
        return;
    const std::optional<double> price = importvalues::ParseNumber(text, true);
    const QString quoted = Quoted(QStringLiteral("零售价"), text);
    if (!price)
        return r.Fault(QStringLiteral("%1不是金额").arg(quoted));
    if (*price < 0)
        return r.Fault(QStringLiteral("%1不能是负数").arg(quoted));
    batch.price = *price;
}

void ReadBarcode(CRowReader& r, CImportBatch& batch) {
    batch.barcode = r.Word(EField::Barcode, kBarcodeWidth);
    // A spreadsheet that showed a long code as 6.90123E+12 saved it so: its digits are gone.
    if (batch.barcode.contains(QStringLiteral("E+"), Qt::CaseInsensitive))
        r.Fault(QStringLiteral("%1是科学计数法，原来的条形码已丢失，请把这一列设为文本后重新填写")
                    .arg(Quoted(QStringLiteral("条形码"), batch.barcode)));
}

void ReadClass(CRowReader& r, CImportBatch& batch) {
    static const QStringList classes{QStringLiteral("处方药"), QStringLiteral("甲类非处方药"),
                                     QStringLiteral("乙类非处方药"), QStringLiteral("其他")};
    const QString text = r.Text(EField::DrugClass);
    if (!text.isEmpty() && !classes.contains(text))
        return r.Fault(QStringLiteral("%1只能是 处方药、甲类非处方药、乙类非处方药 或 其他")
                           .arg(Quoted(QStringLiteral("类别"), text)));
    batch.drugClass = text;
}

void ReadPieces(CRowReader& r, CImportBatch& batch) {
    const QString text = r.Text(EField::PiecesPerBox);
    if (text.isEmpty())
        return;
    const std::optional<double> pieces = importvalues::ParseNumber(text);
    if (!pieces || *pieces <= 0 || *pieces != std::floor(*pieces))
        return r.Fault(
            QStringLiteral("%1不是正整数").arg(Quoted(QStringLiteral("每盒总量"), text)));
    batch.piecesPerBox = *pieces;
}

CImportBatch ReadRow(const CImportRow& row, const importcolumns::CColumns& columns) {
    CRowReader r(row, columns);
    CImportBatch batch;
    batch.line = row.line;
    batch.name = r.Word(EField::Name, kWordWidth);
    batch.origin = r.Word(EField::Origin, kWordWidth);
    batch.packModel = r.Word(EField::PackModel, kWordWidth);
    batch.batch = r.Word(EField::Batch, kBatchWidth);
    ReadExpiry(r, batch);
    ReadQuantity(r, batch);
    ReadCost(r, batch);
    ReadPrice(r, batch);
    ReadBarcode(r, batch);
    batch.approval = r.Word(EField::Approval, kWordWidth);
    ReadClass(r, batch);
    ReadPieces(r, batch);
    batch.fault = r.fault();
    return batch;
}

bool Blank(const CImportRow& row) {
    for (const QString& cell : row.cells)
        if (!cell.trimmed().isEmpty())
            return false;
    return true;
}

} // namespace

std::optional<CImportBatches> ParseBatches(const CImportTable& table, QString* refusal) {
    const std::optional<importcolumns::CColumns> columns =
        importcolumns::FindColumns(table.headers, refusal);
    if (!columns)
        return std::nullopt;
    CImportBatches batches;
    batches.reserve(table.rows.size());
    for (const CImportRow& row : table.rows)
        if (!Blank(row))
            batches.push_back(ReadRow(row, *columns));
    return batches;
}
