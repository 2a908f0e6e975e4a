#pragma once
// What every benchmark does alike: books of its own, timings, and "name value" lines.
#include <QString>
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

// main() of a benchmark that needs widgets: a QApplication on the offscreen platform unless
// another is asked for.
int RunWithWidgets(int argc, char** argv, const std::function<bool()>& run);

} // namespace bench
