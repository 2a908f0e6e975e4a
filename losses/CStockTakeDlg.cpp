#include "CStockTakeDlg.h"

#include "artwork.h"
#include "grid_printing.h"
#include "prompts.h"

#include <QCheckBox>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Rows whose count differs from the books, or is not a number yet.
const QColor kDiffers(255, 228, 196);
const QColor kInvalid(255, 190, 190);

} // namespace

CStockTakeDlg::CStockTakeDlg(CDatabase* db, QWidget* parent, QString operatorName)
    : QDialog(parent), m_pDatabase(db), m_stockTake(db, std::move(operatorName)) {
    setObjectName(QStringLiteral("stocktake"));
    setWindowTitle(QStringLiteral("库存盘点"));
    setWindowIcon(ProgramIcon());
    resize(920, 560);

    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(CStockTake::kHint, this);
    hint->setObjectName(QStringLiteral("hint"));
    hint->setWordWrap(true);
    layout->addWidget(hint);
    m_pSheet = new QTableWidget(this);
    m_pSheet->setObjectName(QStringLiteral("sheet"));
    m_pSheet->setColumnCount(int(CStockTake::Titles().size()));
    m_pSheet->setHorizontalHeaderLabels(CStockTake::Titles());
    m_pSheet->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_pSheet->setSelectionBehavior(QAbstractItemView::SelectItems);
    // Typing over a cell replaces its count; the arrows move between cells as on paper.
    m_pSheet->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
    m_pSheet->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_pSheet, 1);

    auto* buttons = new QHBoxLayout;
    m_pWithEmpty = new QCheckBox(QStringLiteral("显示无库存的药品"), this);
    m_pWithEmpty->setObjectName(QStringLiteral("withEmpty"));
    m_pSummary = new QLabel(this);
    m_pSummary->setObjectName(QStringLiteral("summary"));
    m_pPrint = new QPushButton(QStringLiteral("打印..."), this);
    m_pConfirm = new QPushButton(QStringLiteral("确认"), this);
    m_pClose = new QPushButton(QStringLiteral("关闭"), this);
    m_pPrint->setObjectName(QStringLiteral("print"));
    m_pConfirm->setObjectName(QStringLiteral("confirm"));
    m_pClose->setObjectName(QStringLiteral("close"));
    // Enter moves on in the sheet; nothing is confirmed by accident.
    for (QPushButton* button : {m_pPrint, m_pConfirm, m_pClose})
        button->setAutoDefault(false);
    buttons->addWidget(m_pWithEmpty);
    buttons->addWidget(m_pSummary, 1);
    buttons->addWidget(m_pPrint);
    buttons->addWidget(m_pConfirm);
    buttons->addWidget(m_pClose);
    layout->addLayout(buttons);

    connect(m_pSheet, &QTableWidget::cellChanged, this, &CStockTakeDlg::OnCellChanged);
    connect(m_pWithEmpty, &QCheckBox::toggled, this, &CStockTakeDlg::Load);
    connect(m_pPrint, &QPushButton::clicked, this, &CStockTakeDlg::OnPrint);
    connect(m_pConfirm, &QPushButton::clicked, this, &CStockTakeDlg::OnConfirm);
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::reject);
    Load();
}

void CStockTakeDlg::Load() {
    QString failure;
    std::optional<std::vector<CStockTake::Row>> rows =
        CStockTake::Read(m_pDatabase, m_pWithEmpty->isChecked(), &failure);
    if (!rows) {
        Prompts().Tell(this, failure, CPrompts::Icon::Warning);
        return;
    }
    m_rows = CStockTake::KeepTyped(std::move(*rows), m_rows);
    m_bLoaded = true;
    ShowRows();
    if (!m_rows.empty()) {
        m_pSheet->setCurrentCell(0, Counted);
        m_pSheet->setFocus();
    }
}

void CStockTakeDlg::ShowRows() {
    m_bShowing = true;
    m_pSheet->setRowCount(int(m_rows.size()));
    const CResultTable sheet = CStockTake::Sheet(m_rows);
    for (int r = 0; r < sheet.RowCount(); ++r) {
        for (int c = 0; c < sheet.ColumnCount(); ++c) {
            auto* item = new QTableWidgetItem(sheet.CellText(r, c));
            if (c != Counted && c != Note)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            m_pSheet->setItem(r, c, item);
        }
        ShowRow(r);
    }
    m_pSheet->resizeColumnsToContents();
    // Room for a difference such as "-12 盒 15 粒" before any is typed.
    m_pSheet->setColumnWidth(
        Difference,
        std::max(m_pSheet->columnWidth(Difference),
                 fontMetrics().horizontalAdvance(QStringLiteral("-0000 盒 00 粒")) + 12));
    m_bShowing = false;
}

void CStockTakeDlg::ShowRow(int row) {
    const CStockTake::Row& r = m_rows[size_t(row)];
    // Compared as 确认 records it: in whole pieces where the catalogue knows them.
    const std::optional<double> difference = CStockTake::Difference(r);
    const bool showing = m_bShowing;
    m_bShowing = true;
    m_pSheet->item(row, Difference)->setText(CStockTake::DifferenceText(r));
    const QBrush background = !difference        ? QBrush(kInvalid)
                              : *difference != 0 ? QBrush(kDiffers)
                                                 : QBrush();
    for (int c = 0; c < m_pSheet->columnCount(); ++c)
        m_pSheet->item(row, c)->setBackground(background);
    m_bShowing = showing;
    int differing = 0;
    for (const CStockTake::Row& each : m_rows) {
        const std::optional<double> n = CStockTake::Difference(each);
        differing += !n || *n != 0;
    }
    m_pSummary->setText(
        QStringLiteral("共 %1 张库存卡，%2 处差异").arg(m_rows.size()).arg(differing));
}

void CStockTakeDlg::OnCellChanged(int row, int column) {
    if (m_bShowing || row < 0 || size_t(row) >= m_rows.size())
        return;
    const QString text = m_pSheet->item(row, column)->text();
    if (column == Counted)
        m_rows[size_t(row)].counted = text;
    else if (column == Note)
        m_rows[size_t(row)].note = text;
    ShowRow(row);
}

void CStockTakeDlg::OnPrint() {
    gridprinting::PrintPreview(this, CStockTake::Titles(), CStockTake::Sheet(m_rows),
                               QStringLiteral("库存盘点表"),
                               QDate::currentDate().toString(Qt::ISODate));
}

void CStockTakeDlg::OnConfirm() {
    const CStockTake::Outcome outcome = m_stockTake.Confirm(m_rows);
    if (!outcome.ok) {
        Prompts().Tell(this, outcome.message, CPrompts::Icon::Warning);
        if (outcome.row >= 0) {
            m_pSheet->setCurrentCell(outcome.row, Counted);
            m_pSheet->setFocus();
        }
        return;
    }
    Prompts().Tell(this, outcome.message, CPrompts::Icon::Information);
    if (outcome.recorded == 0)
        return;
    m_strRecorded = outcome.message;
    accept();
}
