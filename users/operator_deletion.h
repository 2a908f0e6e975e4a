#pragma once
// What the settings dialog's 删除 does with the operator row the user chose.
#include <QString>

class COperatorDeletion {
public:
    enum class Step {
        Refuse, // show `text` (OK button) and delete nothing
        Ask,    // ask `text` with Yes and No; delete on Yes
    };
    struct Decision {
        Step step;
        QString text;
    };

    // `selectedRow` is -1 when no row is selected; `name` is the first cell of that row.
    // `operatorsInBooks` counts the rows of 操作员 in the database now. A row that is open as
    // a new row is not in the database yet, so deleting it never leaves the books without an
    // operator (`selectedIsUnsaved`). `lastManager`: the books hold no other 店长 and this row
    // is one.
    static Decision Decide(int selectedRow, const QString& name, int operatorsInBooks,
                           bool selectedIsUnsaved, bool lastManager = false);

    static QString NoSelectionText();
    static QString QuestionText(const QString& name);
    static QString LastOperatorText(const QString& name);
};
