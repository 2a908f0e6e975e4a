#include "CSettingsDlg.h"

#include "CAddOperatorDlg.h"
#include "CDBException.h"
#include "CDatabase.h"
#include "CSetPasswordDlg.h"
#include "audit_log.h"
#include "operator_deletion.h"
#include "operator_role.h"
#include "operator_rows.h"
#include "pharmacists.h"
#include "prompts.h"
#include "q_grid.h"
#include "reported_statement.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QPushButton>

namespace {

const QString kTable = QStringLiteral("操作员");
// Never the password or its hash: only whether one is set. 添加 asks for one; a row added in
// the grid by hand has none until 设置密码, and cannot log in before.
const QString kStatement =
    QStringLiteral("select 用户名, 角色, case when 密码='' then '未设置' else '已设置' end as 密码 "
                   "from 操作员");
const QString kPasswordColumn = QStringLiteral("密码");
// Dialog units: the dialog's width, the groups' column, where the first one starts, the gap
// between them; 开机自动运行 and 关闭 take the last line.
constexpr int kWidth = 320;
constexpr int kGroupLeft = 7;
constexpr int kGroupWidth = 306;
// The list's group holds a line under its buttons for 执业药师.
constexpr int kFirstGroupTop = 220;
constexpr int kGroupGap = 2;
constexpr int kBottomLine = 22;

} // namespace

CSettingsDlg::CSettingsDlg(CDatabase* db, QWidget* owner, CAutoRunEntry autoRun,
                           QString operatorName)
    : CGridDialog(owner, 153, QStringLiteral("系统设置")), m_pDatabase(db),
      m_autoRun(std::move(autoRun)), m_strOperator(std::move(operatorName)) {
    m_bEnterPressesFocusedButton = true;
    BuildControls();
    CreateGrid();
    m_bAutoRun = m_autoRun.IsSet();
    UpdateData(false);
}

void CSettingsDlg::BuildControls() {
    auto* group = new QGroupBox(QStringLiteral("用户列表"), this);
    BuildFrame(kWidth, kFirstGroupTop + kBottomLine, IdPlaceholder, QRect(14, 48, 292, 132));
    group->setGeometry(Units().Rect(7, 35, 306, kFirstGroupTop - 38));
    group->lower();

    AddButtons({
        {IdReload, "更新", 14, 185, [this] { OnReload(); }},
        {IdSave, "保存", 68, 185, [this] { OnSave(); }},
        {IdDelete, "删除", 122, 185, [this] { OnDelete(); }},
        {IdAdd, "添加", 176, 185, [this] { OnAdd(); }},
        {IdSetPassword, "设置密码...", 230, 185, [this] { OnSetPassword(); }},
        {IdClose, "关闭", 263, kFirstGroupTop, nullptr},
    });

    m_pAutoRun = new QCheckBox(QStringLiteral("开机自动运行"), this);
    m_pAutoRun->setObjectName(QString::number(IdAutoRun));
    connect(m_pAutoRun, &QCheckBox::clicked, this, &CSettingsDlg::OnAutoRunClicked);
    // Under 设置密码..., for the operator selected in the list: the row beside it has no room.
    m_pPharmacist = new QCheckBox(QStringLiteral("执业药师"), this);
    m_pPharmacist->setObjectName(QString::number(IdPharmacist));
    m_pPharmacist->setGeometry(Units().Rect(232, 202, 70, 10));
    m_pPharmacist->setEnabled(false);
    connect(m_pPharmacist, &QCheckBox::clicked, this, &CSettingsDlg::OnPharmacistClicked);
    m_pClose = findChild<QPushButton*>(QString::number(IdClose));
    m_nGroupsBottom = kFirstGroupTop;
    PlaceBottom();
}

void CSettingsDlg::AddGroup(CSettingsGroup* group) {
    group->setParent(this);
    group->setGeometry(Units().Rect(kGroupLeft, m_nGroupsBottom, kGroupWidth, group->Height()));
    group->show();
    m_nGroupsBottom += group->Height() + kGroupGap;
    PlaceBottom();
    // Tab runs through the groups in their order, then to the two controls under them.
    QWidget* last = group;
    for (QWidget* next = group->nextInFocusChain(); group->isAncestorOf(next);
         next = next->nextInFocusChain())
        last = next;
    setTabOrder(last, m_pAutoRun);
    setTabOrder(m_pAutoRun, m_pClose);
}

void CSettingsDlg::PlaceBottom() {
    setFixedSize(Units().X(kWidth), Units().Y(m_nGroupsBottom + kBottomLine));
    m_pAutoRun->setGeometry(Units().Rect(7, m_nGroupsBottom + 4, 100, 10));
    m_pClose->setGeometry(Units().Rect(263, m_nGroupsBottom + 2, 50, 14));
}

CSettingsDlg::Logger CSettingsDlg::SettingsLogger() {
    return [this](const QString& action, const QString& object, const QString& content) {
        LogSettings(action, object, content);
    };
}

void CSettingsDlg::LogSettings(const QString& action, const QString& object,
                               const QString& content) {
    if (!m_pDatabase || !m_pDatabase->IsOpen())
        return;
    try {
        auditlog::Append(*m_pDatabase, CLogEntry{m_strOperator, action, object, content},
                         QDateTime::currentDateTime());
    } catch (const CDBException& e) {
        Prompts().Tell(this,
                       action + QStringLiteral("已经保存，但没有写入操作日志：") +
                           e.ErrorText().trimmed(),
                       CPrompts::Icon::Warning);
    }
}

void CSettingsDlg::CreateGrid() {
    m_pGrid = new q_grid(this);
    m_pGrid->SetOperatorName(m_strOperator);
    m_pGrid->SetShownOnlyColumns({kPasswordColumn});
    m_pGrid->SetRowCheck([this](const QStringList& oldValues, QStringList& newValues, bool isNew) {
        return operatorrows::Check(m_pDatabase, oldValues, newValues, isNew);
    });
    m_pGrid->SetWriteGuard([this](const QStringList& oldValues) {
        const QString refused = operatorrows::ManagerStillThere(m_pDatabase, oldValues);
        // A deleted operator's flag goes in the deletion's transaction, logged.
        if (refused.isEmpty())
            pharmacists::DropWithOperator(*m_pDatabase, oldValues.value(operatorrows::NameColumn),
                                          m_strOperator, QDateTime::currentDateTime());
        return refused;
    });
    connect(m_pGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ShowPharmacist(); });
    m_bGridReady =
        m_pGrid->Create(m_pDatabase, kTable, kStatement, this, GridGeometry(), true, true);
    // After a failed load the grid stays read-only and in its own colours for this opening.
    if (!m_bGridReady)
        return;
    m_pGrid->SetPermissions(true, true, true, true);
    m_pGrid->SetColors(LoadedBackground(), m_pGrid->palette().color(QPalette::Text));
    ApplyLoadedLook();
}

void CSettingsDlg::ApplyLoadedLook() {
    // Room for a name; every load puts the grid's own widths back.
    if (m_pGrid->GetColumnCount() > 0)
        m_pGrid->setColumnWidth(0, kNameColumnWidth);
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
    ShowPharmacist();
}

void CSettingsDlg::OnSave() {
    const bool added = m_pGrid->IsNewRow();
    m_pGrid->CommitEdit();
    // Only the books know what a new row's password column says.
    if (added)
        OnReload();
}

void CSettingsDlg::OnAdd() {
    // After a failed load the list is read-only, 添加 too.
    if (!m_bGridReady)
        return;
    // An open change is saved first, as 设置密码 does.
    OnSave();
    CAddOperatorDlg dialog(m_pDatabase, m_strOperator, this);
    if (dialog.exec() == QDialog::Accepted)
        OnReload();
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
    bool lastManager = false;
    if (row >= 0 && !unsaved &&
        m_pGrid->GetItemText(row, operatorrows::RoleColumn) == operatorrole::kManager) {
        QString failure;
        const std::optional<int> others =
            operatorrows::CountOtherManagers(m_pDatabase, name, &failure);
        if (!others) {
            Prompts().Tell(this, failure, CPrompts::Icon::Warning);
            return;
        }
        lastManager = *others == 0;
    }
    const COperatorDeletion::Decision decision =
        COperatorDeletion::Decide(row, name, operators, unsaved, lastManager);
    if (decision.step == COperatorDeletion::Step::Refuse) {
        Prompts().Tell(this, decision.text,
                       row < 0 ? CPrompts::Icon::None : CPrompts::Icon::Warning);
        return;
    }
    if (Prompts().Message(this, decision.text, CPrompts::Icon::Question,
                          CPrompts::Buttons::YesNo) == CPrompts::Answer::Yes)
        m_pGrid->DeleteRow(row, true);
}

int CSettingsDlg::SavedSelectedRow() {
    const int row = m_pGrid->GetSelectedRow();
    if (row < 0 || (m_pGrid->IsNewRow() && m_pGrid->EditRow() == row)) {
        Prompts().Tell(this, QStringLiteral("请先选择一个已保存的帐号，再设置它的密码。"),
                       CPrompts::Icon::None);
        return -1;
    }
    return row;
}

void CSettingsDlg::OnSetPassword() {
    // An open change is saved first, as 删除 does: the name must be the one in the books.
    OnSave();
    const int row = SavedSelectedRow();
    if (row < 0)
        return;
    CSetPasswordDlg dialog(m_pDatabase, m_strOperator,
                           m_pGrid->GetItemText(row, operatorrows::NameColumn), this);
    if (dialog.exec() == QDialog::Accepted)
        OnReload();
}

void CSettingsDlg::ShowPharmacist() {
    const int row = m_pGrid->GetSelectedRow();
    const bool saved =
        m_bGridReady && row >= 0 && !(m_pGrid->IsNewRow() && m_pGrid->EditRow() == row);
    QString failure;
    const std::optional<bool> flagged =
        saved ? pharmacists::IsPharmacist(
                    m_pDatabase, m_pGrid->GetItemText(row, operatorrows::NameColumn), &failure)
              : std::nullopt;
    m_pPharmacist->setChecked(flagged.value_or(false));
    m_pPharmacist->setEnabled(flagged.has_value());
    m_pPharmacist->setToolTip(failure.trimmed());
}

void CSettingsDlg::OnPharmacistClicked() {
    const bool wanted = m_pPharmacist->isChecked();
    // An open change is saved first, as 设置密码 does: the name must be the one in the books.
    OnSave();
    const int row = SavedSelectedRow();
    if (row >= 0) {
        const QString refused =
            pharmacists::Set(m_pDatabase, m_pGrid->GetItemText(row, operatorrows::NameColumn),
                             wanted, m_strOperator, QDateTime::currentDateTime());
        if (!refused.isEmpty())
            Prompts().Tell(this, refused, CPrompts::Icon::Warning);
    }
    // The box shows what the books hold, not the click.
    ShowPharmacist();
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
