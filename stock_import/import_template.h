#pragma once
// An empty opening-stock file with the headers the import reads, for a shop to fill in.
#include <QString>
#include <QStringList>

namespace importtemplate {

// 名称, 产地, 规格型号, 批号, 有效截止日期, 数量, 进价, 零售价, 条形码, 批准文号, 类别, 每盒总量.
QStringList Headers();

// UTF-8 with a BOM, so that Excel and WPS open it right. An error text, empty when written.
QString WriteTemplateCsv(const QString& path);
// One sheet "期初库存" with the headers as inline strings. An error text, empty when written.
QString WriteTemplateXlsx(const QString& path);

} // namespace importtemplate
