#pragma once
// What every benchmark does alike: books of its own, timings, and "name value" lines.
#include "sql_params.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class CDatabase;

namespace bench {

double Median(std::vector<double> values);
double MillisecondsOf(const std::function<void()>& work);
double SecondsOf(const std::function<void()>& work);

// One figure, as scripts/bench.sh collects them.
void Print(const char* name, double value);
// Says on stderr why `program` stopped; returns false for the caller to return.
bool Fail(const char* program, const QString& why);

// "WITH RECURSIVE n(i) ..." counting i from `from` for `count` rows, to put before a statement
// that fills a table from n.
QString Sequence(int from, int count);

// How card i of benchmark books is named: SQL expressions over i.
struct CardExpressions {
    const char* name;
    const char* origin;
    const char* packModel;
    const char* expiry;
};
// Cards 0 to count - 1 into 存, each of 1000 boxes at 2.5 to 51.5.
QString CardsStatement(int count, const CardExpressions& card);

// Opens new SQLite books at `path` with the program's extension and tables. Returns why not,
// or an empty text.
QString OpenNewBooks(CDatabase& db, const QString& path);

// Runs `statements` as one transaction: the books are filled far faster so.
void FillInOneTransaction(CDatabase& db, const std::vector<QString>& statements);
void FillInOneTransaction(CDatabase& db, const std::vector<CStatement>& statements);

// The PostgreSQL server a benchmark may also run on: --connect's string if given, else
// APRICOT_PG_CONNECT (scripts/with-pg.sh sets it); empty when there is none.
QString ServerConnect(const QStringList& arguments);

// A database of the benchmark's own on a PostgreSQL server, made through `adminConnect` and
// dropped again when this goes, so that no books of anyone else are touched.
class CServerBooks {
public:
    explicit CServerBooks(const QString& adminConnect);
    ~CServerBooks();
    CServerBooks(const CServerBooks&) = delete;
    CServerBooks& operator=(const CServerBooks&) = delete;

    // The connection string of the new database; empty when it could not be made.
    const QString& Connect() const { return m_connect; }
    // Why it could not be made.
    const QString& Error() const { return m_error; }

private:
    QString m_admin;
    QString m_name;
    QString m_connect;
    QString m_error;
};

// main() of a benchmark that needs widgets: a QApplication on the offscreen platform unless
// another is asked for.
int RunWithWidgets(int argc, char** argv, const std::function<bool()>& run);

// Runs `run` on new SQLite books at `sqlitePath`, then, when `server` names one, on new books of
// a database of their own on it (skipped with a line on stderr otherwise); `run` is told which
// ("sqlite", "postgresql"). False when a run or its books failed (said by `program`).
bool OnBothBackends(const char* program, const QString& sqlitePath, const QString& server,
                    const std::function<bool(CDatabase&, const char*)>& run);

} // namespace bench
