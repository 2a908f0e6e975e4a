#pragma once
// The login's rules without the widgets: who may enter, and what the dialog does after each
// attempt.
#include "operator_role.h"

#include <QString>
#include <QStringList>
#include <vector>

class CResultTable;

struct COperator {
    QString name;
    QString password;  // as stored: a hash, or in older books the password itself
    QString role = {}; // as stored in 角色
};

class CLoginCheck {
public:
    // NoPassword: the operator's row holds no password, so nothing typed may let them in.
    enum class Outcome { UnknownUser, WrongPassword, NoPassword, Admitted };
    enum class Focus { None, UserBox, PasswordBox };

    // What the dialog does after an attempt.
    struct Step {
        QString status;     // the status line's new text
        bool clearPassword; // empty the password box
        Focus focus;        // where the focus goes
        bool admit;         // pause, then end the dialog with OK
    };

    CLoginCheck() = default;
    // The operators in the database's order.
    explicit CLoginCheck(std::vector<COperator> operators);
    // The first column of each row as the name, the second as the password, and the column
    // 角色, where the books have it, as the role.
    static CLoginCheck FromResult(const CResultTable& rows);

    const std::vector<COperator>& Operators() const { return m_operators; }
    // The names for the user box, in the box's sorted order.
    QStringList SortedNames() const;

    // The first operator whose name equals `name` exactly decides; no trimming, no case folding.
    // The password is checked against its hash, or against a password still kept in plain text.
    Outcome Check(const QString& name, const QString& password) const;
    // The operator who decides for `name`; null when there is none.
    const COperator* Find(const QString& name) const;
    // Whether `name`'s password is still kept in plain text, so that it must be hashed now.
    bool StoredInPlain(const QString& name) const;
    ERole RoleOf(const QString& name) const;
    // Whether 管理员 still has the password new books are made with, as the login's hint says.
    bool InitialPasswordInUse() const;
    static Step StepFor(Outcome outcome);
    static QString OpeningStatus();

    // The operator and password new books are made with.
    static const QString kInitialUser;
    static const QString kInitialPassword;
    static const QString kNoPasswordStatus;

private:
    std::vector<COperator> m_operators;
};
