#pragma once
// 设置密码: the 店长 gives the operator chosen in 系统设置 a new password, typed twice.
#include <QDialog>

class CDatabase;
class QLineEdit;

class CSetPasswordDlg : public QDialog {
    Q_OBJECT
public:
    // Ids of the two boxes, which are also their objectName.
    enum : int { IdNew = 1111, IdRepeated = 1112 };

    // `db` is borrowed; `actor` is who is logged in, `name` whose password is set.
    CSetPasswordDlg(CDatabase* db, QString actor, QString name, QWidget* parent = nullptr);

    // 确定: stores the new password's hash, or says why not and stays open.
    void OnOk();

private:
    CDatabase* m_pDatabase;
    QString m_strActor;
    QString m_strName;
    QLineEdit* m_pNew = nullptr;
    QLineEdit* m_pRepeated = nullptr;
};
