#include "CStockTakeDlg.h"

#include "artwork.h"
#include "grid_printing.h"
#include "prompts.h"
#include "scan_catcher.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Rows whose count differs from the books, or is not a number yet.
const QColor kDiffers(255, 228, 196);
const QColor kInvalid(255, 190, 190);

// The codes of one 盘亏 row's missing boxes: scanned anywhere in it or typed with Enter, Delete
// takes one off; 确定 hands them back to the sheet.
class CCodesDlg : public QDialog {
public:
    CCodesDlg(QWidget* parent, CStockTake::Row row) : QDialog(parent), m_row(std::move(row)) {
        setObjectName(QStringLiteral("stocktakecodes"));
        setWindowTitle(QStringLiteral("盘亏药盒的追溯码"));
        auto* layout = new QVBoxLayout(this);
        // A row no longer 盘亏 still opens, so that its codes can be taken off.
        const QString shortBy = CStockTake::Missing(m_row)
                                    ? QStringLiteral("盘亏 ") +
                                          CStockTake::DifferenceText(m_row).remove(QLatin1Char('-'))
                                    : CStockTake::kCodesOnlyWhenShort;
        auto* card = new QLabel(QStringLiteral("%1，%2，%3，有效期至 %4；%5")
                                    .arg(m_row.card.name, m_row.card.origin, m_row.card.packModel,
                                         m_row.card.expiry, shortBy),
                                this);
        card->setWordWrap(true);
        layout->addWidget(card);
        auto* line = new QHBoxLayout;
        m_pCode = new QLineEdit(this);
        m_pCode->setObjectName(QStringLiteral("code"));
        m_pCode->setPlaceholderText(QStringLiteral("扫药盒上的追溯码，或输入后按 Enter"));
        m_pCount = new QLabel(this);
        m_pCount->setObjectName(QStringLiteral("count"));
        line->addWidget(m_pCode, 1);
        line->addWidget(m_pCount);
        layout->addLayout(line);
        m_pList = new QListWidget(this);
        m_pList->setObjectName(QStringLiteral("codes"));
        m_pList->setToolTip(QStringLiteral("选中一个追溯码按 Delete 删去"));
        layout->addWidget(m_pList, 1);
        m_pStatus = new QLabel(QStringLiteral("选中一个追溯码按 Delete 删去"), this);
        m_pStatus->setObjectName(QStringLiteral("status"));
        m_pStatus->setWordWrap(true);
        layout->addWidget(m_pStatus);
        auto* buttons = new QHBoxLayout;
        auto* ok = new QPushButton(QStringLiteral("确定"), this);
        auto* cancel = new QPushButton(QStringLiteral("取消"), this);
        ok->setObjectName(QStringLiteral("ok"));
        // Enter belongs to the code field: a scan never closes the dialog.
        for (QPushButton* button : {ok, cancel})
            button->setAutoDefault(false);
        buttons->addStretch(1);
        buttons->addWidget(ok);
        buttons->addWidget(cancel);
        layout->addLayout(buttons);
        auto* remove =
            new QShortcut(QKeySequence::Delete, m_pList, nullptr, nullptr, Qt::WidgetShortcut);
        connect(remove, &QShortcut::activated, this, [this] {
            const int at = m_pList->currentRow();
            if (at < 0 || at >= m_row.traceCodes.size())
                return;
            m_row.traceCodes.removeAt(at);
            Show();
        });
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        for (QWidget* control : findChildren<QWidget*>())
            control->installEventFilter(this);
        resize(420, 300);
        Show();
        m_pCode->setFocus();
    }

    const QStringList& Codes() const { return m_row.traceCodes; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && Key(watched, static_cast<QKeyEvent*>(event)))
            return true;
        return QDialog::eventFilter(watched, event);
    }

private:
    bool Key(QObject* watched, QKeyEvent* key) {
        using Step = scanburst::CBurst::Step;
        const Step step = m_scans.Key(watched, key);
        if (step == Step::Code)
            Add(m_scans.Code());
        if (step != Step::Other)
            return step == Step::Code;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || watched != m_pCode)
            return false;
        // A code refused stays to be put right.
        if (!m_pCode->text().trimmed().isEmpty() && Add(m_pCode->text()))
            m_pCode->clear();
        return true;
    }

    bool Add(const QString& typed) {
        const tracelist::CAdded added =
            tracelist::Added(m_row.traceCodes, typed, CStockTake::kCodes);
        if (!added.refusal.isEmpty()) {
            m_pStatus->setText(added.refusal);
            return false;
        }
        m_row.traceCodes << added.code;
        Show();
        m_pStatus->setText(QStringLiteral("追溯码 %1 已扫入").arg(added.code));
        return true;
    }

    void Show() {
        m_pList->clear();
        m_pList->addItems(m_row.traceCodes);
        m_pCount->setText(CStockTake::CodesCounted(m_row));
    }

    CStockTake::Row m_row;
    CScanCatcher m_scans;
    QLineEdit* m_pCode = nullptr;
    QLabel* m_pCount = nullptr;
    QListWidget* m_pList = nullptr;
    QLabel* m_pStatus = nullptr;
};

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
    m_pCodes = new QPushButton(QStringLiteral("追溯码…"), this);
    m_pCodes->setObjectName(QStringLiteral("codes"));
    m_pCodes->setToolTip(QStringLiteral("盘亏的行：扫入缺少的药盒的追溯码（Ctrl+T）"));
    m_pConfirm = new QPushButton(QStringLiteral("确认"), this);
    m_pClose = new QPushButton(QStringLiteral("关闭"), this);
    m_pPrint->setObjectName(QStringLiteral("print"));
    m_pConfirm->setObjectName(QStringLiteral("confirm"));
    m_pClose->setObjectName(QStringLiteral("close"));
    // Enter moves on in the sheet; nothing is confirmed by accident.
    for (QPushButton* button : {m_pPrint, m_pCodes, m_pConfirm, m_pClose})
        button->setAutoDefault(false);
    buttons->addWidget(m_pWithEmpty);
    buttons->addWidget(m_pSummary, 1);
    buttons->addWidget(m_pCodes);
    buttons->addWidget(m_pPrint);
    buttons->addWidget(m_pConfirm);
    buttons->addWidget(m_pClose);
    layout->addLayout(buttons);

    connect(m_pSheet, &QTableWidget::cellChanged, this, &CStockTakeDlg::OnCellChanged);
    connect(m_pWithEmpty, &QCheckBox::toggled, this, &CStockTakeDlg::Load);
    connect(m_pPrint, &QPushButton::clicked, this, &CStockTakeDlg::OnPrint);
    connect(m_pCodes, &QPushButton::clicked, this, &CStockTakeDlg::OnCodes);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this), &QShortcut::activated, this,
            &CStockTakeDlg::OnCodes);
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
    const QString codes = r.traceCodes.isEmpty()
                              ? QString()
                              : QStringLiteral("追溯码 %1 个：%2")
                                    .arg(QString::number(r.traceCodes.size()),
                                         r.traceCodes.join(QStringLiteral("、")));
    m_pSheet->item(row, Difference)->setToolTip(codes);
    m_bShowing = showing;
    int differing = 0;
    qsizetype scanned = 0;
    for (const CStockTake::Row& each : m_rows) {
        const std::optional<double> n = CStockTake::Difference(each);
        differing += !n || *n != 0;
        scanned += each.traceCodes.size();
    }
    const QString summary =
        QStringLiteral("共 %1 张库存卡，%2 处差异").arg(m_rows.size()).arg(differing);
    m_pSummary->setText(scanned ? summary + QStringLiteral("，追溯码 %1 个").arg(scanned)
                                : summary);
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

void CStockTakeDlg::OnCodes() {
    // A count still in its cell's editor is taken first: the focus leaving it commits it.
    if (QWidget* focused = QApplication::focusWidget();
        focused && focused != m_pSheet && m_pSheet->isAncestorOf(focused))
        m_pSheet->setFocus();
    const int row = m_pSheet->currentRow();
    if (row < 0 || size_t(row) >= m_rows.size())
        return;
    CStockTake::Row& r = m_rows[size_t(row)];
    // Codes scanned before the count was changed stay, for 确认 to name.
    if (!CStockTake::Missing(r) && r.traceCodes.isEmpty()) {
        Prompts().Tell(this, CStockTake::kCodesOnlyWhenShort, CPrompts::Icon::Information);
        return;
    }
    CCodesDlg codes(this, r);
    if (codes.exec() != QDialog::Accepted)
        return;
    r.traceCodes = codes.Codes();
    ShowRow(row);
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
