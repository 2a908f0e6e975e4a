#include "CSettingsDlg.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CPaymentSettingsGroup.h"
#include "CSetPasswordDlg.h"
#include "alert_settings.h"
#include "audit_log.h"
#include "backup_settings.h"
#include "operator_deletion.h"
#include "operator_role.h"
#include "operator_rows.h"
#include "prompts.h"
#include "q_grid.h"
#include "receipt_print.h"
#include "receipt_settings.h"
#include "reported_statement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString kTable = QStringLiteral("操作员");
// Never the password or its hash: only whether one is set. A new operator has none until
// 设置密码.
const QString kStatement =
    QStringLiteral("select 用户名, 角色, case when 密码='' then '未设置' else '已设置' end as 密码 "
                   "from 操作员");
const QString kPasswordColumn = QStringLiteral("密码");

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
    BuildFrame(320, 410, IdPlaceholder, QRect(14, 48, 292, 132));
    group->setGeometry(Units().Rect(7, 35, 306, 170));
    group->lower();

    AddButtons({
        {IdReload, "更新", 14, 185, [this] { OnReload(); }},
        {IdSave, "保存", 68, 185, [this] { OnSave(); }},
        {IdDelete, "删除", 122, 185, [this] { OnDelete(); }},
        {IdAdd, "添加", 176, 185, [this] { OnAdd(); }},
        {IdSetPassword, "设置密码...", 230, 185, [this] { OnSetPassword(); }},
        {IdClose, "关闭", 263, 390, nullptr},
    });

    BuildAlertGroup();
    BuildBackupGroup();
    BuildReceiptGroup();
    auto* payment = new CPaymentSettingsGroup(
        [this](const QString& action, const QString& object, const QString& content) {
            LogSettings(action, object, content);
        },
        this);
    payment->setGeometry(Units().Rect(7, 354, 306, 32));

    m_pAutoRun = new QCheckBox(QStringLiteral("开机自动运行"), this);
    m_pAutoRun->setObjectName(QString::number(IdAutoRun));
    m_pAutoRun->setGeometry(Units().Rect(7, 392, 100, 10));
    connect(m_pAutoRun, &QCheckBox::clicked, this, &CSettingsDlg::OnAutoRunClicked);
}

QLineEdit* CSettingsDlg::AddGroupField(const char* label, int id, int x, int labelWidth, int y) {
    auto* text = new QLabel(QString::fromUtf8(label), this);
    text->setGeometry(Units().Rect(x, y + 2, labelWidth, 10));
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::number(id));
    edit->setGeometry(Units().Rect(x + labelWidth, y, 36, 12));
    return edit;
}

void CSettingsDlg::BuildAlertGroup() {
    auto* group = new QGroupBox(QStringLiteral("药品预警"), this);
    // Two lines: the thresholds beside 应用, the lock under them.
    group->setGeometry(Units().Rect(7, 208, 306, 46));
    m_pNearExpiryDays = AddGroupField("近效期（天）：", IdNearExpiryDays, 14, 52, 219);
    m_pShortageBoxes = AddGroupField("缺货下限（盒）：", IdShortageBoxes, 112, 60, 219);
    m_pExpiredLocked = new QCheckBox(QStringLiteral("过期药品禁止销售"), this);
    m_pExpiredLocked->setObjectName(QString::number(IdExpiredLocked));
    m_pExpiredLocked->setGeometry(Units().Rect(14, 236, 120, 10));
    AddButtons({{IdApplyAlerts, "应用", 256, 218, [this] { OnApplyAlerts(); }}});
    const CAlertSettings alerts = CAlertSettings::Load();
    m_pNearExpiryDays->setText(alerts.DaysText());
    m_pShortageBoxes->setText(alerts.BoxesText());
    m_pExpiredLocked->setChecked(alerts.expiredLocked);
}

void CSettingsDlg::BuildBackupGroup() {
    auto* group = new QGroupBox(QStringLiteral("数据备份"), this);
    group->setGeometry(Units().Rect(7, 256, 306, 32));
    m_pBackupsKept = AddGroupField("保留备份（份）：", IdBackupsKept, 14, 60, 267);
    AddButtons({{IdApplyBackups, "应用", 256, 266, [this] { OnApplyBackups(); }}});
    m_pBackupsKept->setText(QString::number(CBackupSettings::Load().keep));
}

void CSettingsDlg::OnApplyBackups() {
    QString failure;
    const std::optional<int> keep = CBackupSettings::ParseKeep(m_pBackupsKept->text(), &failure);
    if (!keep) {
        Prompts().Tell(this, failure + QStringLiteral("备份设置没有保存。"),
                       CPrompts::Icon::Warning);
        return;
    }
    CBackupSettings settings = CBackupSettings::Load();
    settings.keep = *keep;
    settings.Save();
    m_pBackupsKept->setText(QString::number(*keep));
}

void CSettingsDlg::OnApplyAlerts() {
    QString failure;
    std::optional<CAlertSettings> alerts =
        CAlertSettings::Parse(m_pNearExpiryDays->text(), m_pShortageBoxes->text(), &failure);
    if (!alerts) {
        Prompts().Tell(this, failure + QStringLiteral("预警设置没有保存。"),
                       CPrompts::Icon::Warning);
        return;
    }
    alerts->expiredLocked = m_pExpiredLocked->isChecked();
    const CAlertSettings before = CAlertSettings::Load();
    alerts->Save();
    m_pNearExpiryDays->setText(alerts->DaysText());
    m_pShortageBoxes->setText(alerts->BoxesText());
    LogSettings(
        QStringLiteral("预警设置"), QStringLiteral("药品预警"),
        QStringLiteral("近效期（天）：%1 → %2；缺货下限（盒）：%3 → %4；过期药品禁止销售：%5 → %6")
            .arg(before.DaysText(), alerts->DaysText(), before.BoxesText(), alerts->BoxesText(),
                 before.LockedText(), alerts->LockedText()));
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

void CSettingsDlg::BuildReceiptGroup() {
    auto* group = new QGroupBox(QStringLiteral("小票"), this);
    group->setGeometry(Units().Rect(7, 290, 306, 62));
    const auto label = [this](const char* text, int x, int y, int width) {
        auto* shown = new QLabel(QString::fromUtf8(text), this);
        shown->setGeometry(Units().Rect(x, y + 2, width, 10));
    };
    const auto place = [this](QWidget* widget, int id, int x, int y, int width) {
        widget->setObjectName(QString::number(id));
        widget->setGeometry(Units().Rect(x, y, width, 12));
    };
    label("店名：", 14, 301, 24);
    m_pShopName = new QLineEdit(this);
    place(m_pShopName, IdShopName, 38, 301, 90);
    label("纸宽：", 136, 301, 24);
    m_pPaper = new QComboBox(this);
    m_pPaper->addItems(CReceiptSettings::PaperNames());
    place(m_pPaper, IdPaper, 160, 300, 50);
    label("打印机：", 14, 317, 30);
    m_pPrinter = new QComboBox(this);
    m_pPrinter->addItems(ReceiptPrinterChoices());
    place(m_pPrinter, IdPrinter, 44, 316, 110);
    m_pPrintEachSale = new QCheckBox(QStringLiteral("每笔销售后自动打印"), this);
    place(m_pPrintEachSale, IdPrintEachSale, 160, 317, 90);
    label("页脚：", 14, 333, 24);
    m_pFooter = new QLineEdit(this);
    place(m_pFooter, IdFooter, 38, 333, 212);
    AddButtons({{IdApplyReceipt, "应用", 256, 300, [this] { OnApplyReceipt(); }}});

    const CReceiptSettings receipt = CReceiptSettings::Load();
    m_pShopName->setText(receipt.shopName);
    m_pPaper->setCurrentIndex(static_cast<int>(receipt.paper));
    // A queue saved on this computer earlier and gone since stays chosen: printing says so.
    if (m_pPrinter->findText(receipt.printer) < 0)
        m_pPrinter->addItem(receipt.printer);
    m_pPrinter->setCurrentText(receipt.printer);
    m_pPrintEachSale->setChecked(receipt.printEachSale);
    m_pFooter->setText(receipt.footer);
}

void CSettingsDlg::OnApplyReceipt() {
    const CReceiptSettings before = CReceiptSettings::Load();
    CReceiptSettings receipt = before;
    receipt.shopName = m_pShopName->text().trimmed();
    if (receipt.shopName.isEmpty()) {
        Prompts().Tell(this,
                       QStringLiteral("“店名”不能为空：小票的第一行就是店名。小票设置没有保存。"),
                       CPrompts::Icon::Warning);
        return;
    }
    receipt.paper = CReceiptSettings::PaperOf(m_pPaper->currentText());
    receipt.printer = m_pPrinter->currentText();
    receipt.printEachSale = m_pPrintEachSale->isChecked();
    receipt.footer = m_pFooter->text().trimmed();
    receipt.Save();
    m_pShopName->setText(receipt.shopName);
    m_pFooter->setText(receipt.footer);
    LogSettings(QStringLiteral("小票设置"), QStringLiteral("小票"), receipt.ChangeText(before));
}

void CSettingsDlg::CreateGrid() {
    m_pGrid = new q_grid(this);
    m_pGrid->SetOperatorName(m_strOperator);
    m_pGrid->SetShownOnlyColumns({kPasswordColumn});
    m_pGrid->SetRowCheck([this](const QStringList& oldValues, QStringList& newValues, bool isNew) {
        return operatorrows::Check(m_pDatabase, oldValues, newValues, isNew);
    });
    m_pGrid->SetWriteGuard([this](const QStringList& oldValues) {
        return operatorrows::ManagerStillThere(m_pDatabase, oldValues);
    });
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
}

void CSettingsDlg::OnSave() {
    const bool added = m_pGrid->IsNewRow();
    m_pGrid->CommitEdit();
    // Only the books know what a new row's password column says.
    if (added)
        OnReload();
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
