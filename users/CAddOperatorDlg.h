#pragma once
// 添加 in 系统设置: a new operator's name, role and password at once, so that no account
// exists without a password.
#include <QDialog>

class CDatabase;
class QComboBox;
class QLineEdit;

class CAddOperatorDlg : public QDialog {
    Q_OBJECT
public:
    // Ids of the fields, which are also their objectName.
    enum : int { IdName = 1113, IdRole = 1114, IdNew = 1111, IdRepeated = 1112 };

    // `db` is borrowed; `actor` is the 店长 logged in, who adds.
    CAddOperatorDlg(CDatabase* db, QString actor, QWidget* parent = nullptr);

    // 确定: adds the operator with the password's hash, or says why not and stays open.
    void OnOk();

private:
    CDatabase* m_pDatabase;
    QString m_strActor;
    QLineEdit* m_pName = nullptr;
    QComboBox* m_pRole = nullptr;
    QLineEdit* m_pNew = nullptr;
    QLineEdit* m_pRepeated = nullptr;
};
