#include "CTraceQueryDlg.h"

#include "artwork.h"
#include "trace_story.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CTraceQueryDlg::CTraceQueryDlg(CDatabase* db, QWidget* parent) : QDialog(parent), m_pDatabase(db) {
    setObjectName(QStringLiteral("tracequery"));
    setWindowTitle(QStringLiteral("追溯码查询"));
    setWindowIcon(ProgramIcon());
    resize(640, 380);

    m_pCode = new QLineEdit(this);
    m_pCode->setObjectName(QStringLiteral("code"));
    m_pCode->setPlaceholderText(QStringLiteral("输入或扫描 20 位追溯码，回车查询"));
    auto* query = new QPushButton(QStringLiteral("查询"), this);
    query->setObjectName(QStringLiteral("query"));
    query->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("追溯码："), this));
    top->addWidget(m_pCode, 1);
    top->addWidget(query);
    top->addWidget(close);

    m_pStory = new QPlainTextEdit(this);
    m_pStory->setObjectName(QStringLiteral("story"));
    m_pStory->setReadOnly(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pStory, 1);

    // A scanner ends its code with Enter: that queries and never closes the dialog.
    connect(m_pCode, &QLineEdit::returnPressed, this, &CTraceQueryDlg::Query);
    connect(query, &QPushButton::clicked, this, &CTraceQueryDlg::Query);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    m_pCode->setFocus();
}

void CTraceQueryDlg::Query() {
    QString failure;
    const std::optional<tracestory::CStory> story =
        tracestory::Load(m_pDatabase, m_pCode->text(), &failure);
    m_pStory->setPlainText(story ? tracestory::Text(*story) : failure);
    m_pCode->selectAll();
    m_pCode->setFocus();
}

QString CTraceQueryDlg::StoryText() const {
    return m_pStory->toPlainText();
}
