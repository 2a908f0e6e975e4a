#include "operator_deletion.h"

#include "operator_rows.h"

COperatorDeletion::Decision COperatorDeletion::Decide(int selectedRow, const QString& name,
                                                      int operatorsInBooks, bool selectedIsUnsaved,
                                                      bool lastManager) {
    if (selectedRow < 0)
        return {Step::Refuse, NoSelectionText()};
    // With no operator left nobody could ever log in again, and the books would be locked away.
    if (!selectedIsUnsaved && operatorsInBooks <= 1)
        return {Step::Refuse, LastOperatorText(name)};
    // Without a 店长 nobody could manage the accounts or the settings any more.
    if (!selectedIsUnsaved && lastManager)
        return {Step::Refuse, operatorrows::LastManagerText(name)};
    return {Step::Ask, QuestionText(name)};
}

QString COperatorDeletion::NoSelectionText() {
    return QStringLiteral("请选择一个不在使用的帐号。");
}

QString COperatorDeletion::QuestionText(const QString& name) {
    return QStringLiteral("确认删除帐号:") + name + QStringLiteral("  ?");
}

QString COperatorDeletion::LastOperatorText(const QString& name) {
    return QStringLiteral("帐号“%1”是系统中最后一个帐号，不能删除：删除以后就再也没有人能够登陆"
                          "系统了。请先添加并保存另一个帐号，再删除这一个。")
        .arg(name);
}
