#pragma once
// 药师在岗: a pharmacist chosen from the list types their own password; they need not be the
// operator logged in.
#include <QDialog>
#include <QStringList>
#include <optional>

class CDatabase;
class QComboBox;
class QLineEdit;

class CPharmacistDutyDlg : public QDialog {
    Q_OBJECT
public:
    // Ids of the two fields, which are also their objectName.
    enum : int { IdPharmacist = 1121, IdPassword = 1122 };

    // `db` is borrowed; `current` is who is on duty now (empty: nobody), `operatorName` who is
    // logged in.
    CPharmacistDutyDlg(CDatabase* db, const QStringList& pharmacists, QString current,
                       QString operatorName, QWidget* parent = nullptr);

    // 确定: checks the password and logs the change; a refusal is said and the dialog stays.
    void OnOk();
    // Who is on duty once accepted.
    const QString& OnDuty() const { return m_strOnDuty; }

    // Reads the pharmacists and runs the dialog modally; without any it says so and does not
    // open. Who is on duty afterwards, or nullopt when nothing changed.
    static std::optional<QString> Run(CDatabase* db, const QString& current,
                                      const QString& operatorName, QWidget* parent);

private:
    CDatabase* m_pDatabase;
    QString m_strCurrent;
    QString m_strOperator;
    QString m_strOnDuty;
    QComboBox* m_pPharmacist = nullptr;
    QLineEdit* m_pPassword = nullptr;
};
