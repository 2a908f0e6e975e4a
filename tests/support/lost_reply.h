#pragma once
// Books whose connection loses a reply on cue: a statement reaches the books and then its
// connection breaks, as when the link to the server is cut before the answer comes back. On
// PostgreSQL the program's connection is really ended; on SQLite only the error is raised.
#include "CDBException.h"
#include "CTestBooks.h"

#include <memory>

class CLostReplyBooksTest : public CBooksTest {
protected:
    static inline const QString kDriverText = QStringLiteral("[test] 回复前连接中断");

    void SetUp() override {
        CBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        if (Books().GetBackend() == Backend::PostgreSQL)
            m_killer = Books().OpenAnotherConnection();
        Db().SetStatementHook([this](const QString& sql) {
            if (!m_cut.isEmpty() && sql.startsWith(m_cut)) {
                m_cut.clear();
                m_gone = m_stayGone;
                LoseReply();
            } else if (m_gone) {
                LoseReply();
            }
        });
    }
    void TearDown() override {
        if (m_books)
            Db().SetStatementHook({});
    }

    // The next statement that begins with `prefix` runs, then its connection breaks; with
    // `stayGone`, so does every statement after it until Back().
    void CutAfter(const QString& prefix, bool stayGone) {
        m_cut = prefix;
        m_stayGone = stayGone;
    }
    void Back() { m_gone = false; }

    void LoseReply() {
        if (m_killer)
            m_killer->ExecuteSQL(
                QStringLiteral("SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity "
                               "WHERE datname=current_database() AND pid<>pg_backend_pid()"));
        throw CDBException(kDriverText + QStringLiteral("\n"), QStringLiteral("08S01"));
    }

    std::unique_ptr<CDatabase> m_killer;
    QString m_cut;
    bool m_stayGone = false;
    bool m_gone = false;
};
