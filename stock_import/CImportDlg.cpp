#include "CImportDlg.h"

#include "artwork.h"
#include "named_widget.h"
#include "prompts.h"
#include "sql_text.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString Number(const std::optional<double>& value) {
    return value ? sqltext::Exact(*value) : QString();
}

QStringList Cells(const CImportBatch& b, const QString& becomes) {
    QString expiry = b.expiry.isValid() ? b.expiry.toString(Qt::ISODate) : QString();
    if (b.monthOnly && b.expiry.isValid())
        expiry += QStringLiteral("（按月末）");
    return {QString::number(b.line),
            b.name,
            b.origin,
            b.packModel,
            b.batch,
            expiry,
            b.fault.isEmpty() ? sqltext::Exact(b.quantity) : QString(),
            b.fault.isEmpty() ? sqltext::Exact(b.cost) : QString(),
            Number(b.price),
            b.fault.isEmpty() ? becomes : b.fault};
}

} // namespace

CImportDlg::CImportDlg(CDatabase* db, QString operatorName, QWidget* parent)
    : QDialog(parent), m_pDatabase(db), m_strOperator(std::move(operatorName)) {
    setWindowTitle(QStringLiteral("导入期初库存"));
    setWindowIcon(ProgramIcon());
    resize(1000, 600);

    m_pFile = Named(new QLineEdit(this), IdFile);
    m_pFile->setReadOnly(true);
    m_pFile->setPlaceholderText(QStringLiteral("CSV（UTF-8 或 GB18030）或 XLSX 文件"));
    auto* choose = Named(new QPushButton(QStringLiteral("选择文件..."), this), IdChoose);
    connect(choose, &QPushButton::clicked, this, &CImportDlg::OnChoose);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("文件："), this));
    fileRow->addWidget(m_pFile, 1);
    fileRow->addWidget(choose);
    m_pReadAs = Named(new QLabel(this), IdReadAs);

    m_pRows = Named(new QTableWidget(0, 10, this), IdRows);
    m_pRows->setHorizontalHeaderLabels({QStringLiteral("行"), QStringLiteral("名称"),
                                        QStringLiteral("产地"), QStringLiteral("规格型号"),
                                        QStringLiteral("批号"), QStringLiteral("有效截止日期"),
                                        QStringLiteral("数量"), QStringLiteral("进价"),
                                        QStringLiteral("零售价"), QStringLiteral("导入后 / 问题")});
    m_pRows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pRows->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pRows->verticalHeader()->hide();
    m_pRows->horizontalHeader()->setStretchLastSection(true);

    m_pSummary = Named(new QLabel(QStringLiteral("请选择要导入的文件。"), this), IdSummary);
    m_pSummary->setWordWrap(true);
    m_pSkipFaulty = Named(new QCheckBox(QStringLiteral("跳过有误的行"), this), IdSkipFaulty);
    m_pSkipFaulty->setEnabled(false);
    connect(m_pSkipFaulty, &QCheckBox::toggled, this, &CImportDlg::UpdateImportButton);

    auto* buttons = new QDialogButtonBox(this);
    m_pImport =
        Named(buttons->addButton(QStringLiteral("导入"), QDialogButtonBox::AcceptRole), IdImport);
    m_pImport->setEnabled(false);
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("2"));
    connect(m_pImport, &QPushButton::clicked, this, [this] {
        if (OnImport())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(m_pReadAs);
    layout->addWidget(m_pRows, 1);
    layout->addWidget(m_pSummary);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_pSkipFaulty);
    bottom->addStretch(1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
    choose->setFocus();
}

void CImportDlg::OnChoose() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("选择期初库存文件"), QString(),
                                     QStringLiteral("表格文件 (*.csv *.xlsx *.txt);;所有文件 (*)"));
    if (!path.isEmpty())
        Load(path);
}

void CImportDlg::Load(const QString& path) {
    m_pFile->setText(path);
    if (!m_pDatabase) {
        m_preview = CImportPreview{};
        m_preview.refusal = QStringLiteral("没有连接到数据库。");
    } else {
        m_preview = PreviewImport(*m_pDatabase, path);
    }
    ShowPreview();
}

void CImportDlg::ShowPreview() {
    m_pReadAs->setText(m_preview.readAs.isEmpty() ? QString()
                                                  : QStringLiteral("读作：") + m_preview.readAs);
    m_pRows->setRowCount(0);
    if (!m_preview.refusal.isEmpty()) {
        m_pSummary->setText(m_preview.refusal);
        m_pSummary->setStyleSheet(QStringLiteral("color: red"));
        m_pSkipFaulty->setEnabled(false);
        UpdateImportButton();
        return;
    }
    m_pSummary->setStyleSheet(QString());
    m_pRows->setRowCount(int(m_preview.batches.size()));
    for (int row = 0; row < int(m_preview.batches.size()); ++row) {
        const CImportBatch& b = m_preview.batches[size_t(row)];
        const QStringList cells = Cells(
            b, size_t(row) < m_preview.becomes.size() ? m_preview.becomes[size_t(row)] : QString());
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (!b.fault.isEmpty())
                item->setForeground(Qt::red);
            m_pRows->setItem(row, column, item);
        }
    }
    m_pRows->resizeColumnsToContents();
    QString summary = m_preview.SummaryText();
    if (m_preview.earlier)
        summary += QStringLiteral("\n注意：这个文件已于 %1 由 %2 导入过。")
                       .arg(m_preview.earlier->time.left(19), m_preview.earlier->operatorName);
    m_pSummary->setText(summary);
    m_pSkipFaulty->setChecked(false);
    m_pSkipFaulty->setEnabled(m_preview.summary.faulty > 0);
    UpdateImportButton();
}

void CImportDlg::UpdateImportButton() {
    const bool anyGood = m_preview.summary.rows > m_preview.summary.faulty;
    m_pImport->setEnabled(m_preview.refusal.isEmpty() && anyGood &&
                          (m_preview.summary.faulty == 0 || m_pSkipFaulty->isChecked()));
}

bool CImportDlg::OnImport() {
    if (!m_pImport->isEnabled() || !m_pDatabase)
        return false;
    if (m_preview.earlier &&
        Prompts().Message(this, AgainQuestion(*m_preview.earlier), CPrompts::Icon::Question,
                          CPrompts::Buttons::YesNo) != CPrompts::Answer::Yes)
        return false;
    const stockimport::CImportOutcome outcome =
        stockimport::WriteImport(*m_pDatabase, m_preview.fileName, m_preview.digest,
                                 m_preview.Good(), m_strOperator, QDateTime::currentDateTime());
    if (!outcome.written) {
        // Nothing was written: the file can be corrected and chosen again.
        Prompts().TellFailure(this, QStringLiteral("没有导入任何记录：") + outcome.failure);
        return false;
    }
    Prompts().Tell(this, ImportedText(outcome), CPrompts::Icon::Information);
    return true;
}
