#include "maintenance_dialog.h"

#include "artwork.h"
#include "dialog_units.h"
#include "q_grid.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

struct CButtonSpec {
    int id;
    const char* text;
    int x; // dialog units; every button sits at y 241 and is 50 × 14
};

} // namespace

CRecordMaintDlg::CRecordMaintDlg(const CMaintBook& book, CDatabase* db, QWidget* owner)
    : QDialog(owner), m_book(book) {
    setObjectName(QString::number(book.resource));
    setWindowTitle(book.title);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();
    CreateGrid(db);
}

QColor CRecordMaintDlg::LoadedBackground() {
    return QColor(255, 242, 255);
}

void CRecordMaintDlg::BuildControls() {
    const CDialogUnits du(font());
    setFixedSize(du.X(357), du.Y(260));

    AddBannerLabel(this, du.Rect(0, 0, 357, 31));

    auto* placeholder = new QLabel(QStringLiteral("Static"), this);
    placeholder->setObjectName(QString::number(IdPlaceholder));
    placeholder->setGeometry(du.Rect(0, 31, 357, 195));

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(du.X(3), du.Y(234), du.X(352), qMax(2, du.Y(1)));

    static const CButtonSpec buttons[] = {
        {IdReload, "更新", 3},   {IdSave, "保存", 53},          {IdAdd, "添加", 103},
        {IdDelete, "删除", 153}, {IdExport, "另存为文本", 203}, {IdClose, "关闭", 304},
    };
    for (const CButtonSpec& entry : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(entry.text), this);
        button->setObjectName(QString::number(entry.id));
        button->setGeometry(du.Rect(entry.x, 241, 50, 14));
        // No default button: Enter must not press one.
        button->setAutoDefault(false);
        button->setDefault(false);
        switch (entry.id) {
        case IdReload:
            connect(button, &QPushButton::clicked, this, &CRecordMaintDlg::OnReload);
            break;
        case IdSave:
            connect(button, &QPushButton::clicked, this, &CRecordMaintDlg::OnSave);
            break;
        case IdAdd:
            connect(button, &QPushButton::clicked, this, &CRecordMaintDlg::OnAdd);
            break;
        case IdDelete:
            connect(button, &QPushButton::clicked, this, &CRecordMaintDlg::OnDelete);
            break;
        case IdExport:
            connect(button, &QPushButton::clicked, this, &CRecordMaintDlg::OnExport);
            break;
        default:
            // 关闭 discards an open row: the grid goes with the dialog and writes nothing back.
            connect(button, &QPushButton::clicked, this, &QDialog::reject);
            break;
        }
    }
}

void CRecordMaintDlg::CreateGrid(CDatabase* db) {
    const QWidget* placeholder = findChild<QWidget*>(QString::number(IdPlaceholder));
    m_pGrid = new q_grid(this);
    // Over the placeholder, which stays underneath.
    if (!m_pGrid->Create(db, m_book.table, m_book.statement, this, placeholder->geometry(), true,
                         true))
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

void CRecordMaintDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

CPurchaseMaintDlg::CPurchaseMaintDlg(CDatabase* db, QWidget* owner)
    : CRecordMaintDlg(Book(), db, owner) {}

CMaintBook CPurchaseMaintDlg::Book() {
    return {157, QStringLiteral("维护采购记录"), QStringLiteral("进"),
            QStringLiteral("select * from 进")};
}

CStockMaintDlg::CStockMaintDlg(CDatabase* db, QWidget* owner)
    : CRecordMaintDlg(Book(), db, owner) {}

CMaintBook CStockMaintDlg::Book() {
    return {164, QStringLiteral("维护库存记录"), QStringLiteral("存"),
            QStringLiteral("select * from 存")};
}

CSalesMaintDlg::CSalesMaintDlg(CDatabase* db, QWidget* owner)
    : CRecordMaintDlg(Book(), db, owner) {}

CMaintBook CSalesMaintDlg::Book() {
    return {166, QStringLiteral("维护销售记录"), QStringLiteral("销"),
            QStringLiteral("select * from 销")};
}
