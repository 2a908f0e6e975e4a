#pragma once

#include "CCalculatorEngine.h"

#include <QHash>
#include <QWidget>

#include <functional>

class QGridLayout;
class QLabel;
class QPushButton;

// The calculator's window: a display over a grid of buttons. Keys are mapped
// onto the buttons, so typing and clicking take the same path into the engine.
class CCalculatorWindow : public QWidget {
    Q_OBJECT

public:
    explicit CCalculatorWindow(QWidget* parent = nullptr);

    QString displayText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPushButton* addButton(QGridLayout* grid, const QString& text, const QString& name, int row,
                           int column, std::function<void()> action, int columnSpan = 1);
    void mapKey(int key, QPushButton* button) { keyButtons_.insert(key, button); }
    void refresh();
    void fitDisplayFont();

    CCalculatorEngine engine_;
    QLabel* pending_ = nullptr;
    QLabel* display_ = nullptr;
    QHash<int, QPushButton*> keyButtons_;
};
