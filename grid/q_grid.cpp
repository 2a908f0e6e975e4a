#include "q_grid.h"

#include <algorithm>

#include "CDatabase.h"
#include "column_kinds.h"
#include "csv_export.h"
#include "grid_model.h"
#include "html_export.h"
#include "prompts.h"
#include "q_edit.h"
#include "result_loader.h"
#include "sort_keys.h"
#include "write_back.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

namespace {

constexpr int kColumnWidth = 130;
// A load reads this many rows before the grid shows them; the rest comes in the background,
// a part at a time, so the window stays responsive.
constexpr int kFirstRows = 2000;
constexpr int kRowsPerPart = 2000;
constexpr int kPartMilliseconds = 40;
const QColor kBackground(255, 255, 225);
const QColor kText(0, 0, 56);

} // namespace

q_grid::q_grid(QWidget* parent)
    : QTableView(parent), m_pModel(new CGridModel(m_table, this)), m_pLoadTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("42179"));
    m_pLoadTimer->setInterval(0);
    connect(m_pLoadTimer, &QTimer::timeout, this, &q_grid::ReadMore);
    setModel(m_pModel);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    verticalHeader()->hide();
    // One fixed height for every row keeps a hundred thousand rows cheap to lay out.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(qMax(fontMetrics().height() + 6, 20));

    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultSectionSize(kColumnWidth);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->viewport()->installEventFilter(this);
    connect(header, &QHeaderView::sectionClicked, this, &q_grid::OnHeaderClick);
    connect(header, &QHeaderView::sectionResized, this, [this] { PlaceEditors(); });
    connect(header, &QHeaderView::sectionMoved, this, [this] { PlaceEditors(); });

    SetColors(kBackground, kText);
}

q_grid::~q_grid() {
    // The editors go without writing back an open row; rows not read yet are not wanted.
    m_pLoadTimer->stop();
    m_pFinishLoad.reset();
    m_pLoad.reset();
    m_pEditors.clear();
    setModel(nullptr);
    delete m_pModel;
}

bool q_grid::Create(CDatabase* db, const QString& table, const QString& sql, QWidget* parent,
                    const QRect& rect, bool visible, bool clientEdge) {
    return Create(db, table, CStatement{sql, {}}, parent, rect, visible, clientEdge);
}

bool q_grid::Create(CDatabase* db, const QString& table, const CStatement& statement,
                    QWidget* parent, const QRect& rect, bool visible, bool clientEdge) {
    const QString& sql = statement.sql;
    if (parent != parentWidget())
        setParent(parent);
    setGeometry(rect);
    setFrameShape(clientEdge ? QFrame::StyledPanel : QFrame::NoFrame);
    setFrameShadow(clientEdge ? QFrame::Sunken : QFrame::Plain);
    setVisible(visible);
    if (!resultloader::MayRun(db, table, sql))
        return false;
    m_pDatabase = db;
    m_strTable = table;
    m_strSql = sql;
    m_values = statement.values;
    return Load();
}

bool q_grid::SetQuery(const QString& table, const QString& sql) {
    return SetQuery(table, CStatement{sql, {}});
}

bool q_grid::SetQuery(const QString& table, const CStatement& statement) {
    if (!resultloader::MayRun(m_pDatabase, table, statement.sql))
        return false;
    m_strTable = table;
    m_strSql = statement.sql;
    m_values = statement.values;
    return Load();
}

bool q_grid::Reload() {
    return Load();
}

void q_grid::SetPermissions(bool sort, bool add, bool remove, bool edit) {
    m_bAllowSort = sort;
    m_bAllowAdd = add;
    m_bAllowDelete = remove;
    m_bAllowEdit = edit;
}

void q_grid::SetOperatorName(const QString& name) {
    m_strOperator = name;
}

void q_grid::SetShownOnlyColumns(const QStringList& names) {
    m_shownOnly = names;
    ApplyShownOnly();
}

void q_grid::SetRowCheck(RowCheck check) {
    m_rowCheck = std::move(check);
}

void q_grid::SetWriteGuard(WriteGuard guard) {
    m_writeGuard = std::move(guard);
}

void q_grid::SetChangeWording(writeback::ChangeWording wording) {
    m_changeWording = std::move(wording);
}

void q_grid::ApplyShownOnly() {
    const auto& columns = m_table.Columns();
    for (std::size_t i = 0; i < columns.size() && i < m_pEditors.size(); ++i)
        m_pEditors[i]->GetEdit()->setReadOnly(
            m_shownOnly.contains(sortkeys::ColumnName(columns[i].m_strName)));
}

bool q_grid::IsConnected() const {
    return m_pDatabase && m_pDatabase->IsOpen();
}

bool q_grid::Load() {
    ReadRest();
    CommitEdit();
    m_pEditors.clear();
    m_pModel->Reset([&] {
        m_pLoad.reset();
        m_table.Clear();
        if (IsConnected() && !m_strSql.isEmpty()) {
            m_pLoad = std::make_unique<resultloader::CLoad>(*m_pDatabase, m_table);
            if (m_pLoad->StartStreaming(m_strSql, m_values))
                m_pLoad->FetchSome(kFirstRows);
        }
    });
    // Each column 130 pixels, also after a load that kept the header's old widths.
    for (int i = 0; i < m_table.ColumnCount(); ++i)
        horizontalHeader()->resizeSection(i, kColumnWidth);
    for (int i = 0; i < m_table.ColumnCount(); ++i)
        m_pEditors.push_back(std::make_unique<q_edit>(viewport()));
    ApplyShownOnly();
    if (m_pLoad && !m_pLoad->Done()) {
        // Whatever the books are asked next, the rest is read first.
        m_pFinishLoad = std::make_shared<std::function<void()>>([this] { ReadRest(); });
        m_pDatabase->SetPendingRead(m_pFinishLoad);
        m_pLoadTimer->start();
        return true;
    }
    return FinishLoad();
}

void q_grid::ReadMore() {
    if (!m_pLoad)
        return;
    QElapsedTimer part;
    part.start();
    while (!m_pLoad->Done() && part.elapsed() < kPartMilliseconds)
        m_pLoad->FetchSome(kRowsPerPart);
    m_pModel->ShowNewRows();
    if (m_pLoad->Done())
        FinishLoad();
}

bool q_grid::ReadRest() const {
    // The rows not read yet belong to what the grid shows already: reading them is no change a
    // caller can see, only time.
    auto* self = const_cast<q_grid*>(this);
    if (!self->m_pLoad)
        return true;
    self->m_pLoad->FetchAll();
    self->m_pModel->ShowNewRows();
    return self->FinishLoad();
}

bool q_grid::FinishLoad() {
    m_pLoadTimer->stop();
    m_pFinishLoad.reset();
    resultloader::CLoadOutcome outcome;
    if (m_pLoad)
        outcome = m_pLoad->Outcome();
    m_pLoad.reset();
    // A failed load kept no rows; the view must not show those it was told of.
    if (m_pModel->rowCount() != m_table.RowCount())
        m_pModel->Reset([] {});
    // Shown after the model is complete again: a message box runs its own event loop.
    if (!outcome.message.isEmpty())
        Prompts().Tell(this, outcome.message, CPrompts::Icon::Warning);
    return outcome.ok;
}

void q_grid::BeginEdit(int row) {
    ReadRest();
    if (m_pEditors.empty() || row < 0 || row >= GetItemCount() || !IsConnected())
        return;
    for (std::size_t i = 0; i < m_pEditors.size(); ++i)
        m_pEditors[i]->SetText(m_table.CellText(row, int(i)));
    m_nEditRow = row;
    PlaceEditors();
}

void q_grid::HideEditors() {
    for (const auto& editor : m_pEditors)
        editor->hide();
}

void q_grid::PlaceEditors() {
    if (m_nEditRow < 0 || m_nEditRow >= GetItemCount())
        return;
    const QRect view = viewport()->rect();
    for (std::size_t i = 0; i < m_pEditors.size(); ++i) {
        const QRect cell = visualRect(m_pModel->index(m_nEditRow, int(i)));
        q_edit* editor = m_pEditors[i].get();
        if (cell.isEmpty() || !cell.intersects(view)) {
            editor->hide();
            continue;
        }
        editor->setGeometry(cell);
        editor->show();
        editor->raise();
    }
}

void q_grid::CloseEditWithoutWriting() {
    m_bNewRow = false;
    m_nEditRow = -1;
    HideEditors();
}

void q_grid::CommitEdit() {
    ReadRest();
    if (m_nEditRow == -1)
        return;
    const int row = m_nEditRow;
    const auto& columns = m_table.Columns();
    QStringList newValues, oldValues;
    for (std::size_t i = 0; i < columns.size() && i < m_pEditors.size(); ++i) {
        // Shown afterwards as stored: an empty number as 0, a text without trailing blanks.
        oldValues << m_table.CellText(row, int(i));
        // A shown-only cell keeps what the books computed, whatever its editor holds.
        newValues << (m_shownOnly.contains(sortkeys::ColumnName(columns[i].m_strName))
                          ? oldValues.last()
                          : writeback::StoredText(m_pEditors[i]->Text(), columns[i].m_nSQLType));
    }
    if (m_rowCheck) {
        const QString refusal = m_rowCheck(oldValues, newValues, m_bNewRow);
        if (!refusal.isEmpty()) {
            if (m_bNewRow)
                m_pModel->RemoveRow(row);
            CloseEditWithoutWriting();
            Prompts().Tell(this, refusal, CPrompts::Icon::Warning);
            return;
        }
    }
    CRowWriter writer(m_pDatabase, this,
                      {m_strOperator, m_shownOnly, m_writeGuard, m_changeWording});
    const bool written = m_bNewRow ? writer.Insert(m_strTable, columns, newValues)
                                   : writer.Update(m_strTable, columns, oldValues, newValues);
    if (written) {
        // A new entry's number is given as it is written.
        if (const int key = writeback::NumberColumn(columns);
            key >= 0 && !writer.NewNumber().isEmpty())
            newValues[key] = writer.NewNumber();
        for (int i = 0; i < newValues.size(); ++i)
            m_pModel->SetCell(row, i, newValues[i]);
    } else if (m_bNewRow) {
        m_pModel->RemoveRow(row);
    }
    CloseEditWithoutWriting();
    // Whether the row went in is unknown: the books say, not the grid.
    if (!written && writer.ConnectionBroke())
        Reload();
}

void q_grid::AddRow() {
    ReadRest();
    // Without columns there would be no editors, and the row could never be closed.
    if (!m_bAllowAdd || m_bNewRow || !IsConnected() || m_table.ColumnCount() == 0)
        return;
    const int row = m_pModel->InsertRow(GetItemCount());
    scrollToBottom();
    CommitEdit();
    BeginEdit(row);
    m_bNewRow = true;
}

void q_grid::DeleteRow(int row, bool commitFirst) {
    ReadRest();
    if (!m_bAllowDelete || row < 0 || row >= GetItemCount() || !IsConnected())
        return;
    if (commitFirst) {
        CommitEdit();
        // A failed insert has just removed the new row, which may have been this one.
        if (row >= GetItemCount())
            return;
    }
    QStringList oldValues;
    for (int i = 0; i < m_table.ColumnCount(); ++i)
        oldValues << m_table.CellText(row, i);
    CRowWriter writer(m_pDatabase, this,
                      {m_strOperator, m_shownOnly, m_writeGuard, m_changeWording});
    if (!writer.Delete(m_strTable, m_table.Columns(), oldValues)) {
        if (writer.ConnectionBroke())
            Reload();
        return;
    }
    m_pModel->RemoveRow(row);
    // The editors must not stay over a row that is gone, nor write into the row after it.
    if (row == m_nEditRow) {
        CloseEditWithoutWriting();
    } else if (row < m_nEditRow) {
        --m_nEditRow;
        PlaceEditors();
    }
}

bool q_grid::ExecuteStatement(const QString& sql) {
    ReadRest();
    CRowWriter writer(m_pDatabase, this);
    if (writer.ExecuteStatement(sql))
        return true;
    if (writer.ConnectionBroke())
        Reload();
    return false;
}

QStringList q_grid::Titles() const {
    QStringList titles;
    for (const CResultColumn& column : m_table.Columns())
        titles << column.m_strName;
    return titles;
}

bool q_grid::ExportHtml() {
    // A load that fails now has shown why; the rows shown were not the whole result.
    if (!ReadRest())
        return false;
    // The save dialog belongs to the main window, not to the grid.
    return htmlexport::ExportHtml(window(), Titles(), m_table);
}

bool q_grid::ExportCsv(csvexport::Encoding encoding) {
    if (!ReadRest())
        return false;
    return csvexport::ExportCsv(window(), Titles(), m_table, encoding);
}

int q_grid::GetItemCount() const {
    ReadRest();
    return m_table.RowCount();
}

const CResultTable& q_grid::Result() const {
    ReadRest();
    return m_table;
}

int q_grid::GetColumnCount() const {
    return m_table.ColumnCount();
}

QString q_grid::GetItemText(int row, int column) const {
    ReadRest();
    return m_table.CellText(row, column);
}

int q_grid::InsertItem(int row, const QString& text) {
    ReadRest();
    if (m_table.ColumnCount() == 0)
        return -1;
    const int at = m_pModel->InsertRow(row);
    m_pModel->SetCell(at, 0, text);
    if (m_nEditRow >= at) {
        ++m_nEditRow;
        PlaceEditors();
    }
    return at;
}

bool q_grid::SetItemText(int row, int column, const QString& text) {
    ReadRest();
    if (row < 0 || row >= GetItemCount() || column < 0 || column >= GetColumnCount())
        return false;
    m_pModel->SetCell(row, column, text);
    return true;
}

QString q_grid::ColumnTitle(int column) const {
    if (column < 0 || column >= GetColumnCount())
        return {};
    return m_table.Columns()[std::size_t(column)].m_strName;
}

std::vector<int> q_grid::GetSelectedRows() const {
    std::vector<int> rows;
    if (selectionModel()) {
        for (const QModelIndex& index : selectionModel()->selectedRows())
            rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

int q_grid::GetSelectedRow() const {
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void q_grid::SetColors(const QColor& background, const QColor& text) {
    QPalette pal = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, background);
        pal.setColor(group, QPalette::Window, background);
        pal.setColor(group, QPalette::Text, text);
    }
    // The selection stays visible when the grid has no focus.
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);
    viewport()->setAutoFillBackground(true);
}

q_edit* q_grid::Editor(int column) const {
    if (column < 0 || std::size_t(column) >= m_pEditors.size())
        return nullptr;
    return m_pEditors[std::size_t(column)].get();
}

void q_grid::mousePressEvent(QMouseEvent* event) {
    m_bPressedInView = event->button() == Qt::LeftButton;
    QTableView::mousePressEvent(event);
    // As in a list control, a click below the last row selects nothing, so it closes the open
    // row without opening it again.
    if (m_bPressedInView && !indexAt(event->position().toPoint()).isValid())
        clearSelection();
}

void q_grid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const bool click = m_bPressedInView && event->button() == Qt::LeftButton;
    m_bPressedInView = false;
    if (click)
        OnRowClick();
}

void q_grid::OnRowClick() {
    CommitEdit();
    if (!m_bAllowEdit)
        return;
    const int row = GetSelectedRow();
    if (row >= 0)
        BeginEdit(row);
}

void q_grid::OnHeaderClick(int column) {
    ReadRest();
    CommitEdit();
    if (!m_bAllowSort || column < 0 || column >= GetColumnCount())
        return;
    const bool flag = column != s_nSortColumn ? true : !s_bSortFlag;
    s_bSortFlag = flag;
    m_pModel->Reorder(sortkeys::SortOrder(m_table, column, flag));
    if (s_nSortColumn >= 0 && s_nSortColumn < GetColumnCount())
        m_pModel->SetTitle(s_nSortColumn, sortkeys::CutArrow(ColumnTitle(s_nSortColumn)));
    m_pModel->SetTitle(column, sortkeys::WithArrow(sortkeys::CutArrow(ColumnTitle(column)), flag));
    s_nSortColumn = column;
}

// Where the header shows the resize cursor: within the grip margin of a section's edge.
bool q_grid::IsOnDivider(int x) const {
    const QHeaderView* header = horizontalHeader();
    const int visual = header->visualIndexAt(x);
    if (visual < 0)
        return false;
    const int logical = header->logicalIndex(visual);
    const int left = header->sectionViewportPosition(logical);
    const int grip = header->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header);
    if (x > left + header->sectionSize(logical) - grip)
        return header->sectionResizeMode(logical) == QHeaderView::Interactive;
    if (x < left + grip) {
        for (int v = visual - 1; v >= 0; --v) {
            const int before = header->logicalIndex(v);
            if (!header->isSectionHidden(before))
                return header->sectionResizeMode(before) == QHeaderView::Interactive;
        }
    }
    return false;
}

bool q_grid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // The start of a column resize writes the open row back; the drag goes on.
        if (mouse->button() == Qt::LeftButton && IsOnDivider(int(mouse->position().x())))
            CommitEdit();
    }
    return QTableView::eventFilter(watched, event);
}

void q_grid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    PlaceEditors();
}

void q_grid::updateGeometries() {
    QTableView::updateGeometries();
    PlaceEditors();
}
