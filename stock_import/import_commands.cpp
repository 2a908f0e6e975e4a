#include "import_commands.h"

#include "CImportDlg.h"
#include "import_template.h"
#include "prompts.h"

#include <QDir>
#include <QFileDialog>

namespace stockimport {

bool ImportOpeningStock(CDatabase* db, QWidget* owner, const QString& operatorName) {
    CImportDlg dialog(db, operatorName, owner);
    return dialog.exec() == QDialog::Accepted;
}

void ExportTemplate(QWidget* owner) {
    QString filter;
    QString path = QFileDialog::getSaveFileName(
        owner, QStringLiteral("导出期初模板"),
        QDir::home().filePath(QStringLiteral("期初库存.xlsx")),
        QStringLiteral("Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv)"), &filter);
    if (path.isEmpty())
        return;
    const bool csv = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ||
                     (!path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) &&
                      filter.contains(QStringLiteral("csv")));
    if (!csv && !path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        path += QStringLiteral(".xlsx");
    const QString failure =
        csv ? importtemplate::WriteTemplateCsv(path) : importtemplate::WriteTemplateXlsx(path);
    if (!failure.isEmpty()) {
        Prompts().TellFailure(owner, QStringLiteral("模板没有写出：") + failure);
        return;
    }
    Prompts().Tell(owner,
                   QStringLiteral("已写出期初模板 %1。填好后用“导入期初库存...”导入。").arg(path),
                   CPrompts::Icon::Information);
}

} // namespace stockimport
