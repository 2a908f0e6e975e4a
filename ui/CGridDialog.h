#pragma once
// The frame of the dialogs over a grid (the three record maintenance dialogs and the system
// settings): a fixed size in dialog units, the banner across the top, a placeholder the grid is
// laid over, and a row of push buttons of which none is the default.
#include "dialog_units.h"

#include <QColor>
#include <QDialog>
#include <functional>
#include <vector>

class QLabel;

class CGridDialog : public QDialog {
    Q_OBJECT
public:
    // The background the grid takes after a good load.
    static QColor LoadedBackground() { return QColor(255, 242, 255); }

protected:
    // One button of 50 × 14 dialog units at (x, y); without an action it closes the dialog,
    // which writes nothing back.
    struct CButton {
        int id;
        const char* text;
        int x;
        int y;
        std::function<void()> action;
    };

    // `resource` is the dialog's number, kept as its objectName.
    CGridDialog(QWidget* owner, int resource, const QString& caption);

    // Sizes the dialog to `width` × `height` dialog units under a banner as wide as it, and puts
    // the placeholder `placeholderId` at `placeholder` (dialog units).
    QLabel* BuildFrame(int width, int height, int placeholderId, const QRect& placeholder);
    void AddButtons(const std::vector<CButton>& buttons);
    // Where the grid goes: over the placeholder, which stays underneath.
    QRect GridGeometry() const;
    const CDialogUnits& Units() const { return m_units; }

    // Enter ends nothing: it would throw away the row being typed in. Where this is set, it
    // presses the button that has the focus.
    bool m_bEnterPressesFocusedButton = false;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CDialogUnits m_units;
    QLabel* m_pPlaceholder = nullptr;
};
