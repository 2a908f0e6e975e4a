#include "CCalculatorWindow.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kDisplayPointSize = 26;
constexpr int kSmallestDisplayPointSize = 10;
constexpr int kButtonPointIncrease = 4;

} // namespace

CCalculatorWindow::CCalculatorWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("计算器"));

    pending_ = new QLabel(this);
    pending_->setObjectName("pending");
    pending_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    pending_->setMinimumHeight(pending_->fontMetrics().height());

    display_ = new QLabel(this);
    display_->setObjectName("display");
    display_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    display_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    display_->setFrameShape(QFrame::StyledPanel);
    display_->setMinimumWidth(320);
    // Long numbers shrink the font rather than widen the window.
    display_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    QFont displayFont = display_->font();
    displayFont.setPointSize(kDisplayPointSize);
    display_->setFont(displayFont);
    // Room for the CJK fallback font of the error text, so nothing jumps.
    display_->setFixedHeight(display_->fontMetrics().height() * 3 / 2 + 8);

    auto* grid = new QGridLayout;
    grid->setSpacing(4);
    using Op = CCalculatorEngine::Operator;
    auto& e = engine_;

    mapKey(Qt::Key_Percent, addButton(grid, "%", "percent", 0, 0, [&e] { e.percent(); }));
    mapKey(Qt::Key_Delete, addButton(grid, "CE", "clearEntry", 0, 1, [&e] { e.clearEntry(); }));
    mapKey(Qt::Key_Escape, addButton(grid, "C", "clearAll", 0, 2, [&e] { e.clearAll(); }));
    mapKey(Qt::Key_Backspace, addButton(grid, "←", "backspace", 0, 3, [&e] { e.backspace(); }));
    for (int digit = 0; digit <= 9; ++digit) {
        const int row = digit == 0 ? 4 : 3 - (digit - 1) / 3;
        const int column = digit == 0 ? 1 : (digit - 1) % 3;
        mapKey(Qt::Key_0 + digit,
               addButton(grid, QString::number(digit), QStringLiteral("digit%1").arg(digit), row,
                         column, [&e, digit] { e.inputDigit(digit); }));
    }
    QPushButton* divide =
        addButton(grid, "÷", "divide", 1, 3, [&e] { e.inputOperator(Op::Divide); });
    mapKey(Qt::Key_Slash, divide);
    QPushButton* multiply =
        addButton(grid, "×", "multiply", 2, 3, [&e] { e.inputOperator(Op::Multiply); });
    mapKey(Qt::Key_Asterisk, multiply);
    mapKey(Qt::Key_multiply, multiply);
    mapKey(Qt::Key_Minus,
           addButton(grid, "−", "subtract", 3, 3, [&e] { e.inputOperator(Op::Subtract); }));
    mapKey(Qt::Key_Plus, addButton(grid, "+", "add", 4, 3, [&e] { e.inputOperator(Op::Add); }));
    addButton(grid, "±", "sign", 4, 0, [&e] { e.toggleSign(); });
    QPushButton* point = addButton(grid, ".", "point", 4, 2, [&e] { e.inputPoint(); });
    mapKey(Qt::Key_Period, point);
    mapKey(Qt::Key_Comma, point); // the keypad's point on a decimal-comma layout
    QPushButton* equals = addButton(
        grid, "=", "equals", 5, 0, [&e] { e.equals(); }, 4);
    mapKey(Qt::Key_Equal, equals);
    mapKey(Qt::Key_Return, equals);
    mapKey(Qt::Key_Enter, equals);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pending_);
    layout->addWidget(display_);
    layout->addLayout(grid, 1);
    setFocusPolicy(Qt::StrongFocus);
    refresh();
}

QString CCalculatorWindow::displayText() const {
    return display_->text();
}

QPushButton* CCalculatorWindow::addButton(QGridLayout* grid, const QString& text,
                                          const QString& name, int row, int column,
                                          std::function<void()> action, int columnSpan) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    // The window keeps the keyboard focus; otherwise Space would press
    // whichever button was clicked last.
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumSize(64, 44);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QFont font = button->font();
    font.setPointSize(font.pointSize() + kButtonPointIncrease);
    button->setFont(font);
    grid->addWidget(button, row, column, 1, columnSpan);
    connect(button, &QPushButton::clicked, this, [this, action = std::move(action)] {
        action();
        refresh();
    });
    return button;
}

void CCalculatorWindow::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QGuiApplication::clipboard()->setText(display_->text());
        return;
    }
    const Qt::KeyboardModifiers blocking = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if ((event->modifiers() & blocking) == 0) {
        if (QPushButton* button = keyButtons_.value(event->key())) {
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void CCalculatorWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitDisplayFont();
}

void CCalculatorWindow::refresh() {
    display_->setText(QString::fromStdString(engine_.display()));
    pending_->setText(QString::fromStdString(engine_.pendingText()));
    fitDisplayFont();
}

void CCalculatorWindow::fitDisplayFont() {
    const int room = display_->contentsRect().width() - 2 * display_->margin() - 8;
    QFont font = display_->font();
    font.setPointSize(kDisplayPointSize);
    while (font.pointSize() > kSmallestDisplayPointSize &&
           QFontMetrics(font).horizontalAdvance(display_->text()) > room)
        font.setPointSize(font.pointSize() - 1);
    display_->setFont(font);
}
