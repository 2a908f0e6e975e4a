#include "q_edit.h"

#include <QFont>
#include <QLineEdit>
#include <QResizeEvent>

namespace {

QFont EditorFont() {
    // 宋体 where it is installed, else the CJK face the install step provides: fontconfig
    // alone would pick a Latin serif face for the name.
    QFont font(QStringLiteral("SimSun"));
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Droid Sans Fallback")});
    font.setPixelSize(12);
    return font;
}

} // namespace

q_edit::q_edit(QWidget* parent) : QWidget(parent), m_pEdit(new QLineEdit(this)) {
    setObjectName(QStringLiteral("42180"));
    setWindowTitle(QStringLiteral("GRID EDIT"));
    m_pEdit->setObjectName(QStringLiteral("42181"));
    m_pEdit->setFrame(true);
    m_pEdit->setFont(EditorFont());
    // Created 1x1 in the grid's corner; it lies over no cell until a row opens.
    setGeometry(0, 0, 1, 1);
    m_pEdit->setGeometry(rect());
    hide();
}

void q_edit::SetText(const QString& text) {
    m_pEdit->setText(text);
    m_pEdit->setCursorPosition(0);
}

QString q_edit::Text() const {
    return m_pEdit->text();
}

void q_edit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_pEdit->setGeometry(rect());
}
