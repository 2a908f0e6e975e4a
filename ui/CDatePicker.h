#pragma once
// The program's date picker: the date as yyyy-MM-dd (the text statements take) with a Chinese
// calendar to drop down right-aligned (by its arrow, Alt+Down or F4); Tab leaves it for the
// next field, and the arrow keys move between year, month and day or step the one selected.
#include <QDateEdit>

class CDatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit CDatePicker(QWidget* parent = nullptr);
    // A picker with the control id `id` as its object name, wide enough for the condition
    // dialogs' layouts.
    CDatePicker(QWidget* parent, const QString& id);

    // Drops the calendar down, as a click on the arrow does.
    void ShowCalendar();

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Keeps the calendar right-aligned with the picker.
    bool eventFilter(QObject* watched, QEvent* event) override;
};
