#pragma once
// 修改密码: the operator logged in changes their own password (the old one, the new one twice).
#include <QDialog>

class CDatabase;
class QLineEdit;

class CChangePasswordDlg : public QDialog {
    Q_OBJECT
public:
    // Ids of the three boxes, which are also their objectName.
    enum : int { IdOld = 1101, IdNew = 1102, IdRepeated = 1103 };

    // `db` is borrowed; `name` is the operator logged in. `knownOld`, when given, is the old
    // password the login has just checked: it is filled in.
    CChangePasswordDlg(CDatabase* db, QString name, QWidget* parent = nullptr,
                       const QString& knownOld = {});

    // 确定: stores the new password, or says why not and stays open.
    void OnOk();

private:
    CDatabase* m_pDatabase;
    QString m_strName;
    QLineEdit* m_pOld = nullptr;
    QLineEdit* m_pNew = nullptr;
    QLineEdit* m_pRepeated = nullptr;
};
