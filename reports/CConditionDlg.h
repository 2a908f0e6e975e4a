#pragma once
// The frame every query and report condition dialog shares: the banner across the top, a
// prompt, the condition fields, a rule, and the default button and 关闭 at the bottom right.
#include <QDialog>

class QDateEdit;
class QGridLayout;
class QLabel;
class QPushButton;

class CConditionDlg : public QDialog {
    Q_OBJECT
public:
    QPushButton* OkButton() const { return m_pOk; }
    QPushButton* CloseButton() const { return m_pClose; }

protected:
    // `id` is the dialog's resource number, kept as its objectName.
    CConditionDlg(const QString& id, const QString& caption, QWidget* parent);

    // Lays the dialog out. `fields` holds the condition controls, label in column 0 and control
    // in column 1; `bottomLeft` (may be null) stands at the left of the buttons.
    void BuildFrame(const QString& prompt, QGridLayout* fields, const QString& okText,
                    QWidget* bottomLeft = nullptr);
    // A short-date picker with a drop-down calendar; its displayed text is what the
    // statements take.
    QDateEdit* MakeDatePicker(const QString& id);

    // Runs when the default button is pressed; closes the dialog with OK.
    virtual void OnOK() = 0;

private:
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pClose = nullptr;
};
