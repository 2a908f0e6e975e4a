#include "CSettingsDlg.h"

#include "CDatabase.h"
#include "artwork.h"
#include "dialog_units.h"
#include "operator_deletion.h"
#include "prompts.h"
#include "q_grid.h"
#include "reported_statement.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kTable = QStringLiteral("操作员");
const QString kStatement = QStringLiteral("select * from 操作员");

} // namespace

CSettingsDlg::CSettingsDlg(CDatabase* db, QWidget* owner, CAutoRunEntry autoRun)
    : QDialog(owner), m_pDatabase(db), m_autoRun(std::move(autoRun)) {
    setObjectName(QStringLiteral("153"));
    setWindowTitle(QStringLiteral("系统设置"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();
    CreateGrid();
    m_bAutoRun = m_autoRun.IsSet();
    UpdateData(false);
}

QColor CSettingsDlg::LoadedBackground() {
    return QColor(255, 242, 255);
}

void CSettingsDlg::BuildControls() {
    const CDialogUnits du(font());
    setFixedSize(du.X(320), du.Y(232));

    AddBannerLabel(this, du.Rect(0, 0, 320, 31));

    auto* group = new QGroupBox(QStringLiteral("用户列表"), this);
    group->setGeometry(du.Rect(7, 35, 306, 170));

    // In the dialog's own coordinates, so the grid can lie exactly over it.
    auto* placeholder = new QLabel(this);
    placeholder->setObjectName(QString::number(IdPlaceholder));
    placeholder->setGeometry(du.Rect(14, 48, 292, 132));

    struct ButtonSpec {
        int id;
        const char* text;
        int x;
        int y;
        void (CSettingsDlg::*handler)();
    };
    static const ButtonSpec buttons[] = {
        {IdReload, "更新", 14, 185, &CSettingsDlg::OnReload},
        {IdSave, "保存", 68, 185, &CSettingsDlg::OnSave},
        {IdDelete, "删除", 122, 185, &CSettingsDlg::OnDelete},
        {IdAdd, "添加", 176, 185, &CSettingsDlg::OnAdd},
        {IdClose, "关闭", 263, 212, nullptr},
    };
    for (const ButtonSpec& item : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(item.text), this);
        button->setObjectName(QString::number(item.id));
        button->setGeometry(du.Rect(item.x, item.y, 50, 14));
        // No default button: Enter must not press one.
        button->setAutoDefault(false);
        if (item.handler)
            connect(button, &QPushButton::clicked, this, item.handler);
        else
            connect(button, &QPushButton::clicked, this, &QDialog::reject);
    }

    m_pAutoRun = new QCheckBox(QStringLiteral("开机自动运行"), this);
    m_pAutoRun->setObjectName(QString::number(IdAutoRun));
    m_pAutoRun->setGeometry(du.Rect(7, 214, 100, 10));
    connect(m_pAutoRun, &QCheckBox::clicked, this, &CSettingsDlg::OnAutoRunClicked);
}

void CSettingsDlg::CreateGrid() {
    const QWidget* placeholder = findChild<QWidget*>(QString::number(IdPlaceholder));
    m_pGrid = new q_grid(this);
    m_bGridReady =
        m_pGrid->Create(m_pDatabase, kTable, kStatement, this, placeholder->geometry(), true, true);
    // After a failed load the grid stays read-only and in its own colours for this opening.
    if (!m_bGridReady)
        return;
    m_pGrid->SetPermissions(true, true, true, true);
    m_pGrid->SetColors(LoadedBackground(), m_pGrid->palette().color(QPalette::Text));
    ApplyLoadedLook();
}

void CSettingsDlg::ApplyLoadedLook() {
    // Room for a name and a password; every load puts the grid's own widths back.
    for (int column = 0; column < 2 && column < m_pGrid->GetColumnCount(); ++column)
        m_pGrid->setColumnWidth(column, kNameColumnWidth);
}

void CSettingsDlg::UpdateData(bool save) {
    if (save)
        m_bAutoRun = m_pAutoRun->isChecked();
    else
        m_pAutoRun->setChecked(m_bAutoRun);
}

void CSettingsDlg::OnReload() {
    if (m_pGrid->Reload() && m_bGridReady)
        ApplyLoadedLook();
}

void CSettingsDlg::OnSave() {
    m_pGrid->CommitEdit();
}

void CSettingsDlg::OnAdd() {
    m_pGrid->AddRow();
}

std::optional<int> CSettingsDlg::CountOperators() {
    if (!m_pDatabase || !m_pDatabase->IsOpen()) {
        Prompts().Tell(this, QStringLiteral("没有连接到数据库，不能删除帐号。"),
                       CPrompts::Icon::Warning);
        return std::nullopt;
    }
    const std::optional<CResultTable> rows = RunStatementReported(
        m_pDatabase, kTable, QStringLiteral("SELECT COUNT(*) FROM 操作员"), this);
    if (!rows || rows->RowCount() != 1 || rows->ColumnCount() < 1)
        return std::nullopt;
    bool ok = false;
    const int count = rows->CellText(0, 0).toInt(&ok);
    return ok ? std::optional<int>(count) : std::nullopt;
}

void CSettingsDlg::OnDelete() {
    const int row = m_pGrid->GetSelectedRow();
    const QString name = row >= 0 ? m_pGrid->GetItemText(row, 0) : QString();
    const bool unsaved = row >= 0 && m_pGrid->IsNewRow() && m_pGrid->EditRow() == row;
    int operators = 0;
    if (row >= 0 && !unsaved) {
        const std::optional<int> counted = CountOperators();
        if (!counted)
            return;
        operators = *counted;
    }
    const COperatorDeletion::Decision decision =
        COperatorDeletion::Decide(row, name, operators, unsaved);
    if (decision.step == COperatorDeletion::Step::Refuse) {
        Prompts().Tell(this, decision.text,
                       row < 0 ? CPrompts::Icon::None : CPrompts::Icon::Warning);
        return;
    }
    if (Prompts().Message(this, decision.text, CPrompts::Icon::Question,
                          CPrompts::Buttons::YesNo) == CPrompts::Answer::Yes)
        m_pGrid->DeleteRow(row, true);
}

void CSettingsDlg::OnAutoRunClicked() {
    UpdateData(true);
    const bool wanted = m_bAutoRun;
    QString reason;
    if (wanted ? m_autoRun.Set(&reason) : m_autoRun.Remove(&reason))
        return;
    // The box shows what is really there, not the click that could not be carried out.
    m_bAutoRun = m_autoRun.IsSet();
    UpdateData(false);
    const QString action =
        wanted ? QStringLiteral("无法设置开机自动运行") : QStringLiteral("无法取消开机自动运行");
    Prompts().Tell(this, action + QStringLiteral("：") + reason + QStringLiteral("。"),
                   CPrompts::Icon::Warning);
}

void CSettingsDlg::keyPressEvent(QKeyEvent* event) {
    // No default button: Enter presses only the button that has the focus.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
