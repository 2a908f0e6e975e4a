#pragma once
// The cell editor of the record grid: a borderless child of the grid holding one single-line
// edit that always fills it.
#include <QWidget>

class QLineEdit;

class q_edit : public QWidget {
    Q_OBJECT
public:
    explicit q_edit(QWidget* parent);

    QLineEdit* GetEdit() const { return m_pEdit; }
    void SetText(const QString& text);
    // The editor's value: the edit's text.
    QString Text() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* m_pEdit; // owned by this widget as its child
};
