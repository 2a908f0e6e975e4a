#pragma once
// The dialogs that ask for a start and an end date (the purchase and sales queries and the
// period reports): one pair of pickers, one data exchange and one OK routine.
#include "CConditionDlg.h"

#include <QDateTime>
#include <QString>

class CDateRangeDlg : public CConditionDlg {
    Q_OBJECT
public:
    const QDateTime& StartDate() const { return m_start; }
    const QDateTime& EndDate() const { return m_end; }
    // The texts the pickers displayed when the default button was pressed.
    const QString& StartText() const { return m_strStart; }
    const QString& EndText() const { return m_strEnd; }

protected:
    struct Texts {
        QString id;
        QString caption;
        QString prompt;
        QString startLabel;
        QString endLabel;
        QString okText;
    };
    // `bottomLeft` (may be null) stands at the left of the buttons.
    CDateRangeDlg(const Texts& texts, QWidget* parent, QWidget* bottomLeft = nullptr);

    void SetRange(const QDateTime& start, const QDateTime& end);
    // Pickers to fields (true) or fields to pickers (false).
    void UpdateData(bool save);
    // Takes the two picker texts, then closes with OK.
    void OnOK() override;

private:
    QDateTime m_start;
    QDateTime m_end;
    QString m_strStart;
    QString m_strEnd;

    QDateEdit* m_pStart = nullptr;
    QDateEdit* m_pEnd = nullptr;
};
