#pragma once
// The prescription a prescription drug is sold on, asked once a 本单 before its first such line
// is recorded: the patient, the doctor, the institution and the day, with the pharmacist on duty
// who reviews it and the operator who dispenses it shown. Cancel records nothing.
#include "prescription.h"

#include <QDate>
#include <QDialog>

class QComboBox;
class QDateEdit;
class QLineEdit;

class CPrescriptionDlg : public QDialog {
    Q_OBJECT
public:
    // Ids of the fields, which are also their objectName.
    enum : int {
        IdPatient = 1401,
        IdSex = 1402,
        IdAge = 1403,
        IdDoctor = 1404,
        IdInstitution = 1405,
        IdDate = 1406,
    };

    CPrescriptionDlg(QString pharmacist, QString dispenser, QDate today, QWidget* parent = nullptr);

    // The prescription as filled in.
    prescription::CPrescription Prescription() const;
    // 确定: accepted when every field can be registered, else says which cannot and stays.
    void OnOk();

private:
    QString m_strPharmacist;
    QString m_strDispenser;
    QDate m_today;
    QLineEdit* m_pPatient = nullptr;
    QComboBox* m_pSex = nullptr;
    QLineEdit* m_pAge = nullptr;
    QLineEdit* m_pDoctor = nullptr;
    QLineEdit* m_pInstitution = nullptr;
    QDateEdit* m_pDate = nullptr;
};
