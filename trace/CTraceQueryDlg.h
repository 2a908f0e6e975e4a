#pragma once
// 追溯码查询: a code typed or scanned, and its story below it. Reads only.
#include <QDialog>

class CDatabase;
class QLineEdit;
class QPlainTextEdit;

class CTraceQueryDlg : public QDialog {
    Q_OBJECT
public:
    // `db` is borrowed and outlives the dialog.
    explicit CTraceQueryDlg(CDatabase* db, QWidget* parent = nullptr);

    // 查询: the story of the code in the field, or why there is none; the field is selected so
    // that the next scan replaces it.
    void Query();
    QString StoryText() const;

private:
    CDatabase* m_pDatabase;
    QLineEdit* m_pCode = nullptr;
    QPlainTextEdit* m_pStory = nullptr;
};
