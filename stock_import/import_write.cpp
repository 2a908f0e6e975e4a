#include "import_write.h"

#include "CDatabase.h"
#include "CRecordset.h"
#include "CTransaction.h"
#include "batch_receipt.h"
#include "drug_catalogue.h"
#include "entry_lookup.h"
#include "entry_number.h"
#include "money.h"
#include "sql_text.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSet>

#include <map>
#include <set>

namespace stockimport {

const QString kOpeningCode = QStringLiteral("期初");
const QString kImportAction = QStringLiteral("期初导入");

namespace {

// A drug's three words, or a card's four texts, as one key; no text holds the separator.
QString Key(const QStringList& texts) {
    return texts.join(QChar(0x1f));
}

QString DrugKey(const CImportBatch& b) {
    return Key({b.name, b.origin, b.packModel});
}

QString CardKey(const CImportBatch& b) {
    return Key({b.name, b.origin, b.packModel, sqltext::Date(b.expiry)});
}

// Every row of a statement of text columns, each row joined into a key.
QSet<QString> Keys(CDatabase& db, const QString& sql) {
    CRecordset rows(&db);
    rows.Open(sql);
    const short columns = rows.GetODBCFieldCount();
    QSet<QString> keys;
    while (rows.Fetch()) {
        QStringList texts;
        for (short c = 0; c < columns; ++c)
            texts << rows.GetFieldValue(c).value_or(QString());
        keys.insert(Key(texts));
    }
    return keys;
}

const QString kCards = QStringLiteral("SELECT 名称,产地,规格型号,有效截止日期 FROM 存");

QString LineFault(int line, const QString& why) {
    return QStringLiteral("第 %1 行：%2").arg(QString::number(line), why);
}

entrysql::Purchase PurchaseOf(const CImportBatch& b, const QString& operatorName,
                              const QDateTime& now) {
    entrysql::Purchase p;
    p.purchaseDate = now.date();
    p.purchaser = operatorName;
    p.category = kOpeningCode;
    p.code = kOpeningCode;
    p.name = b.name;
    p.origin = b.origin;
    p.packModel = b.packModel;
    p.batch = b.batch;
    p.expiry = b.expiry;
    p.price = b.cost;
    p.quantity = b.quantity;
    p.enteredBy = operatorName;
    p.number = entrynumber::Next();
    return p;
}

QString Refusal(const batchreceipt::CReceipt& receipt) {
    switch (receipt.refusal) {
    case batchreceipt::CReceipt::Refusal::Card:
        return QStringLiteral("库存卡无法建立或更新，请核对名称、产地、规格型号和数量");
    case batchreceipt::CReceipt::Refusal::Purchase:
        return QStringLiteral("进货记录没有写入：") + receipt.why;
    default:
        return receipt.why;
    }
}

} // namespace

void MarkCodeConflicts(CDatabase& db, CImportBatches& batches) {
    QHash<QString, QString> owners; // code → drug key
    QHash<QString, QString> names;  // drug key → the words a person reads
    {
        CRecordset rows(&db);
        rows.Open(QStringLiteral("SELECT 条形码,名称,产地,规格型号 FROM 药品 WHERE 条形码<>'' "
                                 "UNION ALL SELECT 条形码,名称,产地,规格型号 FROM 药品条码"));
        while (rows.Fetch()) {
            const QString code = rows.GetFieldValue(0).value_or(QString());
            QStringList words;
            for (short c = 1; c <= 3; ++c)
                words << rows.GetFieldValue(c).value_or(QString());
            owners.insert(code, Key(words));
            names.insert(Key(words), words.join(QLatin1Char(' ')));
        }
    }
    for (CImportBatch& b : batches) {
        const QString code = b.barcode.trimmed();
        if (!b.fault.isEmpty() || code.isEmpty())
            continue;
        if (const QString problem = drugcatalogue::CodeProblem(code); !problem.isEmpty()) {
            b.fault = LineFault(b.line, problem);
            continue;
        }
        const QString drug = DrugKey(b);
        const auto owner = owners.constFind(code);
        if (owner == owners.cend()) {
            owners.insert(code, drug);
            names.insert(drug, QStringList{b.name, b.origin, b.packModel}.join(QLatin1Char(' ')));
        } else if (*owner != drug) {
            b.fault = LineFault(
                b.line, QStringLiteral("条形码 %1 已是“%2”的条形码，一个条形码只能对应一种药品")
                            .arg(code, names.value(*owner)));
        }
    }
}

CImportSummary Summarize(CDatabase& db, const CImportBatches& batches,
                         std::vector<QString>* becomes) {
    QSet<QString> drugs = Keys(db, QStringLiteral("SELECT 名称,产地,规格型号 FROM 药品"));
    QSet<QString> cards = Keys(db, kCards);
    QSet<QString> created;
    QSet<QString> addedTo;
    CImportSummary out;
    out.rows = int(batches.size());
    if (becomes)
        becomes->assign(batches.size(), QString());
    for (size_t i = 0; i < batches.size(); ++i) {
        const CImportBatch& b = batches[i];
        if (!b.fault.isEmpty()) {
            ++out.faulty;
            continue;
        }
        QStringList said;
        if (!drugs.contains(DrugKey(b))) {
            drugs.insert(DrugKey(b));
            ++out.newDrugs;
            said << QStringLiteral("新药品");
        }
        const QString card = CardKey(b);
        if (!cards.contains(card)) {
            cards.insert(card);
            created.insert(card);
            said << QStringLiteral("新库存卡");
        } else if (!created.contains(card)) {
            addedTo.insert(card);
            said << QStringLiteral("加入已有库存卡");
        } else {
            said << QStringLiteral("加入本文件前面的库存卡");
        }
        if (becomes)
            (*becomes)[i] = said.join(QStringLiteral(" · "));
        out.boxes += b.quantity;
        out.costCents += money::Cents(b.cost * b.quantity);
    }
    out.cardsCreated = int(created.size());
    out.cardsAddedTo = int(addedTo.size());
    return out;
}

QString FileDigest(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

std::optional<CEarlierImport> EarlierImport(CDatabase& db, const QString& digest) {
    CRecordset rows(&db);
    // The digest is bound like any value; hexadecimal holds no pattern character.
    rows.Open(QStringLiteral("SELECT 时间,操作员 FROM 日志 WHERE 动作=? AND 内容 LIKE ? "
                             "ORDER BY 序号"),
              {kImportAction, QStringLiteral("%SHA-256 ") + digest + QStringLiteral("%")});
    if (!rows.Fetch())
        return std::nullopt;
    return CEarlierImport{rows.GetFieldValue(0).value_or(QString()),
                          rows.GetFieldValue(1).value_or(QString())};
}

CImportOutcome WriteImport(CDatabase& db, const QString& fileName, const QString& digest,
                           const CImportBatches& batches, const QString& operatorName,
                           const QDateTime& now) {
    CImportOutcome out;
    for (const CImportBatch& b : batches) {
        if (!b.fault.isEmpty()) {
            out.failure = b.fault;
            return out;
        }
        if (!(b.quantity > 0)) {
            out.failure = LineFault(b.line, QStringLiteral("数量必须大于 0"));
            return out;
        }
    }
    if (batches.empty()) {
        out.failure = QStringLiteral("文件中没有可以导入的行");
        return out;
    }
    const QString number = entrynumber::Next();
    try {
        CTransaction transaction(db);
        // Codes are held against the catalogue and the file here too: a drug new to the
        // catalogue is added without asking it again.
        CImportBatches checked = batches;
        MarkCodeConflicts(db, checked);
        for (const CImportBatch& b : checked)
            if (!b.fault.isEmpty())
                return CImportOutcome{false, b.fault};
        QSet<QString> cards = Keys(db, kCards);
        // Drugs the catalogue lacks enter it without asking it first: MarkCodeConflicts has held
        // every code of the file against the catalogue and the file already.
        QSet<QString> catalogue = Keys(db, QStringLiteral("SELECT 名称,产地,规格型号 FROM 药品"));
        // What the import comes to, counted as it goes, as Summarize counts it for the preview.
        const QSet<QString> cardsBefore = cards;
        QSet<QString> addedTo;
        // Logged together once every batch is written: thousands of rows in few statements.
        std::vector<CLogEntry> log;
        // The drugs (with their codes) an earlier batch put into the catalogue already.
        std::set<QString> entries;
        // What the file says of each drug, the first value of each field: filled in once.
        std::map<QString, drugcatalogue::CDrugFacts> facts;
        for (const CImportBatch& b : batches) {
            drugcatalogue::CDrugFacts& known = facts[DrugKey(b)];
            if (!known.boxPrice)
                known.boxPrice = b.price;
            if (known.approval.isEmpty())
                known.approval = b.approval;
            if (known.drugClass.isEmpty())
                known.drugClass = b.drugClass;
            if (!known.piecesPerBox)
                known.piecesPerBox = b.piecesPerBox;
        }
        for (const CImportBatch& b : batches) {
            const entrysql::Purchase p = PurchaseOf(b, operatorName, now);
            const QString card = CardKey(b);
            const bool exists = cards.contains(card);
            cards.insert(card);
            if (!exists)
                ++out.cardsCreated;
            else if (cardsBefore.contains(card))
                addedTo.insert(card);
            const bool isNew = !catalogue.contains(DrugKey(b));
            bool entered = !entries.insert(DrugKey(b) + QChar(0x1e) + b.barcode).second;
            drugcatalogue::CPurchasedDrug added;
            if (isNew) {
                added = drugcatalogue::EnterNew(db, b.name, b.origin, b.packModel, b.barcode,
                                                operatorName);
                catalogue.insert(DrugKey(b));
                entered = true;
                ++out.newDrugs;
            }
            batchreceipt::CReceipt receipt = batchreceipt::Write(
                db, transaction, p, b.barcode, operatorName, 0,
                exists ? batchreceipt::CardState::Existing : batchreceipt::CardState::New,
                entered ? batchreceipt::DrugState::Entered : batchreceipt::DrugState::Unknown);
            if (!receipt.ok())
                return CImportOutcome{false, LineFault(b.line, Refusal(receipt))};
            // The batch's own row first, with the catalogue's note, as a purchase entry logs it.
            if (!added.note.isEmpty())
                receipt.log.front().content += QStringLiteral("；") + added.note;
            log.insert(log.end(), receipt.log.begin(), receipt.log.end());
            log.insert(log.end(), added.log.begin(), added.log.end());
            if (const auto drug = facts.find(DrugKey(b)); drug != facts.end()) {
                const CDrug fresh =
                    drugcatalogue::NewDrug(b.name, b.origin, b.packModel, b.barcode);
                const std::optional<CLogEntry> filled =
                    drugcatalogue::FillBlanks(db, b.name, b.origin, b.packModel, drug->second,
                                              operatorName, isNew ? &fresh : nullptr);
                facts.erase(drug);
                if (filled) {
                    log.push_back(*filled);
                    ++out.drugsFilled;
                }
            }
            out.boxes += b.quantity;
            out.costCents += money::Cents(b.cost * b.quantity);
        }
        out.rows = int(batches.size());
        out.cardsAddedTo = int(addedTo.size());
        log.push_back({operatorName, kImportAction, QStringLiteral("进"),
                       QStringLiteral("文件 %1，SHA-256 %2，%3 行，%4 盒，成本 %5 元")
                           .arg(fileName, digest, QString::number(out.rows),
                                sqltext::Exact(out.boxes), money::Yuan(out.costCents)),
                       number});
        auditlog::AppendAll(db, std::move(log), now);
        if (const std::optional<CDBException> lost = entrylookup::CommitUnlessLost(transaction)) {
            out.failure = entrylookup::LoggedAfterLoss(&db, number, *lost, QStringLiteral("导入"));
            out.written = out.failure.isEmpty();
            return out;
        }
        out.written = true;
    } catch (const CDBException& e) {
        out = CImportOutcome{};
        out.failure = QStringLiteral("导入失败，账套没有任何改动：") + e.ErrorText();
    }
    return out;
}

} // namespace stockimport
