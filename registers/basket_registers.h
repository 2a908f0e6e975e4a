#pragma once
// What the registers ask of one customer's 本单 at the counter: a prescription drug needs a
// pharmacist on duty and the prescription, a Class A OTC drug the pharmacist, an ephedrine
// product the buyer's ID and at most a few boxes. One prescription and one buyer serve every
// line of 本单 that needs them.
#include "ephedrine.h"
#include "prescription.h"

#include <QString>
#include <optional>

class CBasketRegisters {
public:
    // What the catalogue says of the drug a line sells.
    struct CRules {
        bool prescriptionDrug = false; // 处方药
        bool pharmacistNeeded = false; // 处方药 or 甲类非处方药
        bool ephedrine = false;        // 含麻黄碱
    };
    // The rules of a drug of 类别 `drugClass`; a drug the catalogue does not hold has none.
    static CRules RulesOf(const QString& drugClass, bool ephedrine);

    static const QString kNoPharmacist;
    static const QString kNoPrescription;
    static const QString kNoBuyer;

    // What a line of `rules` still needs asked at the counter before it can be recorded.
    struct CNeeds {
        bool prescription = false;
        bool buyer = false;
    };
    CNeeds Needs(const CRules& rules) const;
    // Why a line of `rules` taking `boxes` boxes cannot be recorded while `pharmacistOnDuty` is
    // on duty (empty: none is): no pharmacist, a register not filled, one box too many. Empty
    // when it can.
    QString Refusal(const CRules& rules, double boxes, const QString& pharmacistOnDuty) const;

    // The prescription of this 本单, given its number (处方号) here.
    void SetPrescription(const prescription::CPrescription& p);
    void SetBuyer(const ephedrine::CBuyer& buyer);
    // What a line of `rules` is registered with: null where it needs none.
    const prescription::CPrescription* PrescriptionFor(const CRules& rules) const;
    const ephedrine::CBuyer* BuyerFor(const CRules& rules) const;
    // A line of `rules` taking `boxes` is in the books: its boxes count against the limit.
    void Recorded(const CRules& rules, double boxes);
    // The next customer.
    void Clear();

private:
    std::optional<prescription::CPrescription> m_prescription;
    std::optional<ephedrine::CBuyer> m_buyer;
    double m_dEphedrineBoxes = 0;
};
