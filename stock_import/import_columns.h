#pragma once
// Which column of an opening-stock file holds which field, found by its Chinese header.
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace importcolumns {

enum class EField {
    Name,
    Origin,
    PackModel,
    Batch,
    Expiry,
    Quantity,
    Cost,
    Price,
    Barcode,
    Approval,
    DrugClass,
    PiecesPerBox,
};
constexpr int kFields = 12;

// The field's own name, as the template and the messages write it: "有效截止日期".
QString FieldName(EField field);
// Every header the field is known by, its own name first.
QStringList Alternatives(EField field);
bool Required(EField field);

struct CColumns {
    std::array<int, kFields> index; // the column of each field, -1 when the file has none
    int of(EField field) const { return index[static_cast<int>(field)]; }
};

// The columns; nullopt with `refusal` set when a required one is missing ("缺少必需的列：产地、
// 进价。文件中的列：药品名称、规格、批号、有效期、数量") or two columns claim one field.
// Headers are matched without blanks, with full-width brackets and a trailing unit such as
// "(元)" or "（盒）" left out.
std::optional<CColumns> FindColumns(const QStringList& headers, QString* refusal);

} // namespace importcolumns
