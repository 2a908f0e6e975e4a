#pragma once
// A failed ODBC call: the driver manager's and driver's messages, each followed by a line break.
#include <QString>
#include <exception>
#include <sql.h>

class CDBException : public std::exception {
public:
    explicit CDBException(QString error, QString sqlState = {});
    // Collects every diagnostic record of `handle`. Returns an exception with empty text when
    // the handle has none.
    static CDBException FromHandle(SQLSMALLINT handleType, SQLHANDLE handle);
    // A statement that failed on `connection`: its records; where the driver left none there,
    // the connection's; where it left none at all, a text of its own, with the state of a lost
    // connection when the driver says the connection is dead, so that the failure is never
    // silent and an entry cut by it is looked up.
    static CDBException FromStatement(SQLHANDLE statement, SQLHANDLE connection);
    // The text of a failure the driver gave no word of.
    static const QString& NoReasonText();
    // What a statement on a connection that is not open fails with.
    static CDBException ConnectionClosed();

    const QString& ErrorText() const { return m_strError; }
    const QString& SqlState() const { return m_strState; } // of the first record
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_strError;
    QString m_strState;
    QByteArray m_utf8;
};
