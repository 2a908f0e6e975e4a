#include "CPrescriptionDlg.h"

#include "artwork.h"
#include "named_widget.h"
#include "ok_cancel.h"
#include "prompts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kOldestAge = 150;

} // namespace

CPrescriptionDlg::CPrescriptionDlg(QString pharmacist, QString dispenser, QDate today,
                                   QWidget* parent)
    : QDialog(parent), m_strPharmacist(std::move(pharmacist)), m_strDispenser(std::move(dispenser)),
      m_today(today) {
    setWindowTitle(QStringLiteral("处方登记"));
    setWindowIcon(ProgramIcon());
    m_pPatient = Named(new QLineEdit(this), IdPatient);
    m_pPatient->setMaxLength(50);
    m_pSex = Named(new QComboBox(this), IdSex);
    m_pSex->addItems({QStringLiteral("男"), QStringLiteral("女")});
    // Chosen, never assumed.
    m_pSex->setCurrentIndex(-1);
    m_pAge = Named(new QLineEdit(this), IdAge);
    m_pAge->setValidator(new QIntValidator(0, kOldestAge, m_pAge));
    m_pDoctor = Named(new QLineEdit(this), IdDoctor);
    m_pDoctor->setMaxLength(50);
    m_pInstitution = Named(new QLineEdit(this), IdInstitution);
    m_pInstitution->setMaxLength(100);
    m_pDate = Named(new QDateEdit(m_today, this), IdDate);
    m_pDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_pDate->setCalendarPopup(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("患者姓名："), m_pPatient);
    form->addRow(QStringLiteral("性别："), m_pSex);
    form->addRow(QStringLiteral("年龄（周岁）："), m_pAge);
    form->addRow(QStringLiteral("处方医师："), m_pDoctor);
    form->addRow(QStringLiteral("医疗机构："), m_pInstitution);
    form->addRow(QStringLiteral("处方日期："), m_pDate);
    form->addRow(QStringLiteral("审方药师："), new QLabel(m_strPharmacist, this));
    form->addRow(QStringLiteral("调配人："), new QLabel(m_strDispenser, this));
    auto* note =
        new QLabel(QStringLiteral("处方当日有效，最长不超过 %1 天；本单其余处方药共用这张处方。")
                       .arg(prescription::kValidDays),
                   this);
    note->setWordWrap(true);

    auto* buttons = AddOkCancel(this, [this] { OnOk(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
    m_pPatient->setFocus();
}

prescription::CPrescription CPrescriptionDlg::Prescription() const {
    prescription::CPrescription p;
    p.patient = m_pPatient->text();
    p.sex = m_pSex->currentText();
    p.age = m_pAge->text();
    p.doctor = m_pDoctor->text();
    p.institution = m_pInstitution->text();
    p.date = m_pDate->date();
    p.pharmacist = m_strPharmacist;
    p.dispenser = m_strDispenser;
    return prescription::Trimmed(p);
}

void CPrescriptionDlg::OnOk() {
    if (const QString problem = prescription::Problem(Prescription(), m_today);
        !problem.isEmpty()) {
        // What was typed stays, to be corrected.
        Prompts().Tell(this, problem, CPrompts::Icon::Warning);
        return;
    }
    accept();
}
