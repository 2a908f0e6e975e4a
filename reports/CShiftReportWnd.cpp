#include "CShiftReportWnd.h"

#include "CDatePicker.h"
#include "artwork.h"
#include "csv_export.h"
#include "grid_printing.h"
#include "money.h"
#include "prompts.h"
#include "typed_amount.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPushButton* NewButton(const QString& text, const QString& id, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(id);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CShiftReportWnd::CShiftReportWnd(CDatabase* db, const QString& operatorName, bool isManager,
                                 const QDateTime& now, QWidget* parent)
    : QDialog(parent), m_report(db, operatorName, isManager) {
    setObjectName(QStringLiteral("shiftreport"));
    setWindowTitle(QStringLiteral("交班报表"));
    setWindowIcon(ProgramIcon());
    resize(720, 420);

    m_pDate = new CDatePicker(this, QStringLiteral("date"));
    m_pDate->setDate(now.date());
    m_pOperator = new QComboBox(this);
    m_pOperator->setObjectName(QStringLiteral("operator"));
    m_pOperator->setMinimumWidth(160);
    // A 营业员 sees and hands over only their own sales.
    m_pOperator->setEnabled(isManager);
    auto* conditions = new QHBoxLayout;
    conditions->addWidget(new QLabel(QStringLiteral("日期："), this));
    conditions->addWidget(m_pDate);
    conditions->addSpacing(16);
    conditions->addWidget(new QLabel(QStringLiteral("营业员："), this));
    conditions->addWidget(m_pOperator);
    conditions->addStretch();

    m_pTable = new QTableWidget(this);
    m_pTable->setObjectName(QStringLiteral("table"));
    m_pTable->setColumnCount(int(shiftreport::Titles().size()));
    m_pTable->setHorizontalHeaderLabels(shiftreport::Titles());
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->verticalHeader()->setVisible(false);
    m_pTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_pTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    m_pHead = new QLabel(this);
    m_pHead->setObjectName(QStringLiteral("head"));
    m_pHead->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_pView = NewButton(QStringLiteral("查看"), QStringLiteral("view"), this);
    m_pPrint = NewButton(QStringLiteral("打印..."), QStringLiteral("print"), this);
    m_pExport = NewButton(QStringLiteral("导出 CSV..."), QStringLiteral("export"), this);
    m_pHandOver = NewButton(QStringLiteral("交班"), QStringLiteral("handover"), this);
    m_pClose = NewButton(QStringLiteral("关闭"), QStringLiteral("close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {m_pView, m_pPrint, m_pExport, m_pHandOver, m_pClose})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(conditions);
    layout->addWidget(m_pTable, 1);
    layout->addWidget(m_pHead);
    layout->addLayout(buttons);

    connect(m_pDate, &QDateEdit::dateChanged, this, [this] {
        if (!m_bFilling)
            Reload();
    });
    connect(m_pOperator, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_bFilling)
            LoadFigures();
    });
    connect(m_pView, &QPushButton::clicked, this, &CShiftReportWnd::Reload);
    connect(m_pPrint, &QPushButton::clicked, this, &CShiftReportWnd::Print);
    connect(m_pExport, &QPushButton::clicked, this, &CShiftReportWnd::ExportCsv);
    connect(m_pHandOver, &QPushButton::clicked, this, &CShiftReportWnd::HandOver);
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::accept);
    Reload();
}

QString CShiftReportWnd::Choice() const {
    return m_pOperator->currentText();
}

QString CShiftReportWnd::PrintTitle() const {
    return QStringLiteral("交班报表 %1 %2")
        .arg(m_figures.day.toString(Qt::ISODate),
             m_report.IsManager() ? Choice() : m_report.OperatorName());
}

bool CShiftReportWnd::FillChoices() {
    QString failure;
    const std::optional<QStringList> choices = m_report.Choices(m_pDate->date(), &failure);
    if (!choices) {
        Prompts().TellFailure(this, failure);
        return false;
    }
    const QString chosen = Choice();
    m_bFilling = true;
    m_pOperator->clear();
    m_pOperator->addItems(*choices);
    m_pOperator->setCurrentIndex(std::max(0, int(choices->indexOf(chosen))));
    m_bFilling = false;
    return true;
}

bool CShiftReportWnd::Reload() {
    return FillChoices() && LoadFigures();
}

bool CShiftReportWnd::LoadFigures() {
    QString failure;
    std::optional<CShiftFigures> figures = m_report.Load(m_pDate->date(), Choice(), &failure);
    // Figures that could not be read are not left standing for the day picked.
    m_figures = figures ? std::move(*figures) : CShiftFigures{};
    ShowFigures();
    if (!figures)
        Prompts().TellFailure(this, failure);
    return figures.has_value();
}

void CShiftReportWnd::ShowFigures() {
    const bool loaded = m_figures.day.isValid();
    const CResultTable table = loaded ? shiftreport::Table(m_figures) : CResultTable();
    const QStringList titles = loaded ? shiftreport::Titles(m_figures) : shiftreport::Titles();
    m_pTable->setColumnCount(int(titles.size()));
    m_pTable->setHorizontalHeaderLabels(titles);
    m_pTable->setRowCount(table.RowCount());
    for (int r = 0; r < table.RowCount(); ++r)
        for (int c = 0; c < table.ColumnCount(); ++c) {
            auto* item = new QTableWidgetItem(table.CellText(r, c));
            if (c > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_pTable->setItem(r, c, item);
        }
    m_pHead->setText(loaded ? auditlog::HeadText(m_figures.head) : QString());
    for (QPushButton* button : {m_pPrint, m_pExport, m_pHandOver})
        button->setEnabled(loaded);
}

void CShiftReportWnd::Print() {
    if (!m_figures.day.isValid())
        return;
    gridprinting::PrintPreview(this, shiftreport::Titles(m_figures),
                               shiftreport::PrintedTable(m_figures), PrintTitle(),
                               QDate::currentDate().toString(Qt::ISODate));
}

bool CShiftReportWnd::ExportCsv() {
    if (!m_figures.day.isValid())
        return false;
    return csvexport::ExportCsv(this, shiftreport::Titles(m_figures),
                                shiftreport::PrintedTable(m_figures));
}

bool CShiftReportWnd::HandOver() {
    // What is recorded is what the books hold now, and the window shows exactly that.
    if (!LoadFigures())
        return false;
    QString failure;
    const std::optional<QStringList> before = m_report.HandedOver(m_figures, &failure);
    if (!before) {
        Prompts().TellFailure(this, failure);
        return false;
    }
    if (!before->isEmpty()) {
        const QString question =
            m_figures.day == QDate::currentDate() && m_figures.rows.size() == 1
                ? QStringLiteral("今天已经交过班，还要再交一次吗？")
                : QStringLiteral("%1 在 %2 已经交过班，还要再交一次吗？")
                      .arg(before->join(QStringLiteral("、")), m_figures.day.toString(Qt::ISODate));
        if (Prompts().Message(this, question, CPrompts::Icon::Question,
                              CPrompts::Buttons::YesNoDefaultNo) != CPrompts::Answer::Yes)
            return false;
    }
    const std::optional<std::map<QString, long long>> counted = AskCounted();
    if (!counted)
        return false;
    const CShiftReport::Outcome outcome =
        m_report.HandOver(m_figures, QDateTime::currentDateTime(), *counted);
    Prompts().Tell(this, outcome.message,
                   outcome.ok ? CPrompts::Icon::Information : CPrompts::Icon::Warning);
    if (outcome.ok) {
        // The figures stay those handed over; only the head moves on past the 交班 rows.
        QString failure;
        if (const std::optional<auditlog::CChainHead> head = m_report.Head(&failure)) {
            m_figures.head = *head;
            ShowFigures();
        } else {
            Prompts().TellFailure(this, failure);
        }
    }
    return outcome.ok;
}

std::optional<std::map<QString, long long>> CShiftReportWnd::AskCounted() {
    std::map<QString, long long> counted;
    for (const CShiftRow& row : m_figures.rows) {
        // Sales from before operators were recorded have no drawer to count.
        if (row.clerk.isEmpty())
            continue;
        QString failure, typed;
        std::optional<long long> cents;
        while (!cents) {
            QInputDialog ask(this);
            ask.setObjectName(QStringLiteral("cashcount"));
            ask.setWindowTitle(QStringLiteral("交班点钞"));
            ask.setLabelText((failure.isEmpty() ? QString() : failure + QLatin1Char('\n')) +
                             QStringLiteral("%1 应有现金 %2 元。点钞（元）：")
                                 .arg(row.clerk, money::Yuan(row.CashCents())));
            // A sum refused stays to be corrected.
            ask.setTextValue(typed);
            if (ask.exec() != QDialog::Accepted)
                return std::nullopt;
            typed = ask.textValue();
            cents = typedamount::Cents(typed, QStringLiteral("点钞金额"), &failure);
        }
        counted[row.clerk] = *cents;
    }
    return counted;
}
