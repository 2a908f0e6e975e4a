#include "basket_registers.h"

#include "entry_number.h"

const QString CBasketRegisters::kNoPharmacist =
    QStringLiteral("药师不在岗，不能销售处方药和甲类非处方药");
const QString CBasketRegisters::kNoPrescription =
    QStringLiteral("处方药须凭处方销售：请先登记处方");
const QString CBasketRegisters::kNoBuyer =
    QStringLiteral("含麻黄碱类复方制剂须登记购买人姓名和身份证号");

CBasketRegisters::CRules CBasketRegisters::RulesOf(const QString& drugClass, bool ephedrine) {
    CRules rules;
    rules.prescriptionDrug = drugClass == QStringLiteral("处方药");
    rules.pharmacistNeeded = rules.prescriptionDrug || drugClass == QStringLiteral("甲类非处方药");
    rules.ephedrine = ephedrine;
    return rules;
}

CBasketRegisters::CNeeds CBasketRegisters::Needs(const CRules& rules) const {
    return {rules.prescriptionDrug && !m_prescription, rules.ephedrine && !m_buyer};
}

QString CBasketRegisters::Refusal(const CRules& rules, double boxes,
                                  const QString& pharmacistOnDuty) const {
    if (rules.pharmacistNeeded && pharmacistOnDuty.isEmpty())
        return kNoPharmacist;
    const CNeeds needs = Needs(rules);
    if (needs.prescription)
        return kNoPrescription;
    if (needs.buyer)
        return kNoBuyer;
    // A line sold on its prescription is the doctor's quantity, not the counter's limit.
    if (rules.ephedrine && !rules.prescriptionDrug)
        return ephedrine::OverLimit(m_dEphedrineBoxes, boxes);
    return {};
}

void CBasketRegisters::SetPrescription(const prescription::CPrescription& p) {
    m_prescription = prescription::Trimmed(p);
    m_prescription->number = entrynumber::Next();
}

void CBasketRegisters::SetBuyer(const ephedrine::CBuyer& buyer) {
    m_buyer = ephedrine::Normalized(buyer);
}

const prescription::CPrescription* CBasketRegisters::PrescriptionFor(const CRules& rules) const {
    return rules.prescriptionDrug && m_prescription ? &*m_prescription : nullptr;
}

const ephedrine::CBuyer* CBasketRegisters::BuyerFor(const CRules& rules) const {
    return rules.ephedrine && m_buyer ? &*m_buyer : nullptr;
}

void CBasketRegisters::Recorded(const CRules& rules, double boxes) {
    if (rules.ephedrine && !rules.prescriptionDrug)
        m_dEphedrineBoxes += boxes;
}

void CBasketRegisters::Clear() {
    m_prescription.reset();
    m_buyer.reset();
    m_dEphedrineBoxes = 0;
}
