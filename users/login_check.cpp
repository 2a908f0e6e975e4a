#include "login_check.h"

#include "password_hash.h"
#include "result_table.h"
#include "sort_keys.h"

#include <algorithm>

const QString CLoginCheck::kInitialUser = QStringLiteral("管理员");
const QString CLoginCheck::kInitialPassword = QStringLiteral("737");
const QString CLoginCheck::kNoPasswordStatus =
    QStringLiteral("该操作员还没有密码，请店长在系统设置中设置！");

CLoginCheck::CLoginCheck(std::vector<COperator> operators) : m_operators(std::move(operators)) {}

CLoginCheck CLoginCheck::FromResult(const CResultTable& rows) {
    std::vector<COperator> operators;
    operators.reserve(static_cast<size_t>(rows.RowCount()));
    const int columns = rows.ColumnCount();
    int roleColumn = -1;
    for (int c = 2; c < columns; ++c)
        if (sortkeys::ColumnName(rows.Columns()[static_cast<size_t>(c)].m_strName) ==
            QStringLiteral("角色"))
            roleColumn = c;
    for (int r = 0; r < rows.RowCount(); ++r) {
        COperator op;
        if (columns > 0)
            op.name = rows.CellText(r, 0);
        if (columns > 1)
            op.password = rows.CellText(r, 1);
        if (roleColumn >= 0)
            op.role = rows.CellText(r, roleColumn);
        operators.push_back(std::move(op));
    }
    return CLoginCheck(std::move(operators));
}

QStringList CLoginCheck::SortedNames() const {
    QStringList names;
    for (const COperator& op : m_operators)
        names << op.name;
    // The order users of GBK programs know for Chinese names.
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return sortkeys::TextKey(a) < sortkeys::TextKey(b);
    });
    return names;
}

const COperator* CLoginCheck::Find(const QString& name) const {
    const auto it = std::find_if(m_operators.begin(), m_operators.end(),
                                 [&name](const COperator& op) { return op.name == name; });
    return it == m_operators.end() ? nullptr : &*it;
}

CLoginCheck::Outcome CLoginCheck::Check(const QString& name, const QString& password) const {
    const COperator* op = Find(name);
    if (!op)
        return Outcome::UnknownUser;
    // An empty stored password would match an empty box: a row added by hand is no account yet.
    if (op->password.isEmpty())
        return Outcome::NoPassword;
    return passwordhash::Verify(op->password, password) == passwordhash::Match::No
               ? Outcome::WrongPassword
               : Outcome::Admitted;
}

bool CLoginCheck::StoredInPlain(const QString& name) const {
    const COperator* op = Find(name);
    return op && !passwordhash::IsHash(op->password);
}

ERole CLoginCheck::RoleOf(const QString& name) const {
    const COperator* op = Find(name);
    return op ? operatorrole::FromText(op->role) : ERole::Clerk;
}

bool CLoginCheck::InitialPasswordInUse() const {
    return Check(kInitialUser, kInitialPassword) == Outcome::Admitted;
}

CLoginCheck::Step CLoginCheck::StepFor(Outcome outcome) {
    switch (outcome) {
    case Outcome::UnknownUser:
        return {QStringLiteral("用户不存在！"), true, Focus::UserBox, false};
    case Outcome::WrongPassword:
        return {QStringLiteral("密码错误！"), true, Focus::PasswordBox, false};
    case Outcome::NoPassword:
        return {kNoPasswordStatus, true, Focus::UserBox, false};
    case Outcome::Admitted:
        break;
    }
    return {QStringLiteral("登陆成功！"), false, Focus::None, true};
}

QString CLoginCheck::OpeningStatus() {
    return QStringLiteral("输入用户名和密码");
}
