#pragma once
// 条码…: one drug's further codes, beside its first one. A 店长 adds (typed or scanned, then
// Enter) and removes them; anyone else may only look.
#include <QDateTime>
#include <QDialog>

class CDatabase;
class QLabel;
class QLineEdit;
class QListWidget;

class CDrugCodesDlg : public QDialog {
    Q_OBJECT
public:
    // `db` is borrowed; the drug is named by its three words (名称, 产地, 规格型号).
    CDrugCodesDlg(CDatabase* db, const QStringList& drug, const QString& operatorName,
                  bool mayChange, QWidget* owner = nullptr);

    QLineEdit* CodeEdit() const { return m_pCode; }
    QListWidget* Codes() const { return m_pCodes; }
    void OnAdd();
    void OnRemove();

private:
    void Reload();

    CDatabase* m_pDatabase;
    QStringList m_drug; // 名称, 产地, 规格型号
    QString m_strOperator;
    QLabel* m_pFirst = nullptr;      // child
    QLineEdit* m_pCode = nullptr;    // child
    QListWidget* m_pCodes = nullptr; // child
};
