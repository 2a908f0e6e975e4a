#pragma once
// The frame of the entry dialogs: a fixed dialog measured in dialog units of its font, the
// banner across the top, fields with their labels right-aligned to their left, a separator,
// the status line and the two buttons.
#include "dialog_units.h"

#include <QString>
#include <QStringList>
#include <span>
#include <vector>

class QComboBox;
class QDialog;
class QLabel;
class QPushButton;
class QWidget;

// A control of a form with its id, its label and its place, in dialog units.
struct CFormField {
    QWidget* widget;
    int id;
    const char* label;
    int x, y, width, height;
};

// The labels of placed fields, one per field in order, and the last field in the tab order.
struct CPlacedFields {
    std::vector<QLabel*> labels;
    QWidget* last = nullptr;
};

class CEntryLayout {
public:
    // Gives `dialog` the dialog font (宋体 9 points, or the CJK font standing in for it) and
    // its fixed size of `width` × `height` dialog units.
    CEntryLayout(QDialog* dialog, int width, int height);

    const CDialogUnits& Units() const { return m_units; }

    // The banner across the top, `height` units high: scaled to that height, drawn from the
    // left, cut off where the dialog ends.
    QLabel* Banner(int height);
    // Puts `widget` at x, y, width, height in dialog units and names it after its id.
    void Place(QWidget* widget, int id, int x, int y, int width, int height);
    // A label right-aligned from `left` up to just before `field`, on the field's line.
    QLabel* LabelFor(QWidget* field, const QString& text, int left);
    // Places `fields` with their labels, which start at 5 units, or at `rightLabels` for a field
    // at `split` or right of it, and chains them in the tab order given; a field the Tab key does
    // not reach stays out of the chain.
    CPlacedFields PlaceFields(std::span<const CFormField> fields, int split, int rightLabels);
    // Static text at x, y, width, height, left-aligned.
    QLabel* Text(const QString& text, int x, int y, int width, int height);
    // A horizontal line across the dialog at `y`.
    void Separator(int y);
    // The status line: left-aligned from the top, wrapping.
    QLabel* StatusLine(int x, int y, int width, int height);
    QPushButton* Button(int id, const QString& text, int x, int y, int width, int height);

private:
    QDialog* m_pDialog;
    CDialogUnits m_units;
    int m_nWidth;
};

// An editable list box: sorted by the entry, and nothing typed is completed or added to the list.
QComboBox* NewEntryListBox(QWidget* parent);
// A combo box's list replaced by `items` without touching what its edit shows.
void SetComboItems(QComboBox* box, const QStringList& items);
// Moves the focus to the control of `dialog` named `id` (0: nowhere); an edit is selected, ready
// to be typed over.
void FocusControl(QWidget* dialog, int id);
