#pragma once
// The two commands of (3)库存管理 that move a shop in: 导入期初库存... and 导出期初模板....
#include <QString>

class CDatabase;
class QWidget;

namespace stockimport {

// The import window; true when an import landed.
bool ImportOpeningStock(CDatabase* db, QWidget* owner, const QString& operatorName);
// Asks where, then writes the empty template as XLSX or CSV by the name chosen.
void ExportTemplate(QWidget* owner);

} // namespace stockimport
