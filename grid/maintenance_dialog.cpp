#include "maintenance_dialog.h"

#include "q_grid.h"

#include <QFrame>
#include <QLabel>

CRecordMaintDlg::CRecordMaintDlg(const CMaintBook& book, CDatabase* db, QWidget* owner,
                                 const QString& operatorName)
    : CGridDialog(owner, book.resource, book.title), m_book(book) {
    BuildControls();
    CreateGrid(db, operatorName);
}

void CRecordMaintDlg::BuildControls() {
    BuildFrame(357, 260, IdPlaceholder, QRect(0, 31, 357, 195))->setText(QStringLiteral("Static"));

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(Units().X(3), Units().Y(234), Units().X(352), qMax(2, Units().Y(1)));

    // 关闭 discards an open row: the grid goes with the dialog and writes nothing back.
    AddButtons({
        {IdReload, "更新", 3, 241, [this] { OnReload(); }},
        {IdSave, "保存", 53, 241, [this] { OnSave(); }},
        {IdAdd, "添加", 103, 241, [this] { OnAdd(); }},
        {IdDelete, "删除", 153, 241, [this] { OnDelete(); }},
        {IdExport, "另存为文本", 203, 241, [this] { OnExport(); }},
        {IdClose, "关闭", 304, 241, nullptr},
    });
}

void CRecordMaintDlg::CreateGrid(CDatabase* db, const QString& operatorName) {
    m_pGrid = new q_grid(this);
    m_pGrid->SetOperatorName(operatorName);
    if (!m_pGrid->Create(db, m_book.table, m_book.statement, this, GridGeometry(), true, true))
        return;
    m_pGrid->SetPermissions(true, true, true, true);
    m_pGrid->SetColors(LoadedBackground(), m_pGrid->palette().color(QPalette::Text));
}

void CRecordMaintDlg::OnReload() {
    m_pGrid->Reload();
}

void CRecordMaintDlg::OnSave() {
    m_pGrid->CommitEdit();
}

void CRecordMaintDlg::OnAdd() {
    m_pGrid->AddRow();
}

void CRecordMaintDlg::OnDelete() {
    const int row = m_pGrid->GetSelectedRow();
    if (row < 0)
        return;
    m_pGrid->DeleteRow(row, true);
}

void CRecordMaintDlg::OnExport() {
    m_pGrid->ExportHtml();
}

CPurchaseMaintDlg::CPurchaseMaintDlg(CDatabase* db, QWidget* owner, const QString& operatorName)
    : CRecordMaintDlg(Book(), db, owner, operatorName) {}

CMaintBook CPurchaseMaintDlg::Book() {
    return {157, QStringLiteral("维护采购记录"), QStringLiteral("进"),
            QStringLiteral("select * from 进")};
}

CStockMaintDlg::CStockMaintDlg(CDatabase* db, QWidget* owner, const QString& operatorName)
    : CRecordMaintDlg(Book(), db, owner, operatorName) {}

CMaintBook CStockMaintDlg::Book() {
    return {164, QStringLiteral("维护库存记录"), QStringLiteral("存"),
            QStringLiteral("select * from 存")};
}

CSalesMaintDlg::CSalesMaintDlg(CDatabase* db, QWidget* owner, const QString& operatorName)
    : CRecordMaintDlg(Book(), db, owner, operatorName) {}

CMaintBook CSalesMaintDlg::Book() {
    return {166, QStringLiteral("维护销售记录"), QStringLiteral("销"),
            QStringLiteral("select * from 销")};
}
