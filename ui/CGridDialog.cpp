#include "CGridDialog.h"

#include "artwork.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

CGridDialog::CGridDialog(QWidget* owner, int resource, const QString& caption)
    : QDialog(owner), m_units(font()) {
    setObjectName(QString::number(resource));
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
}

QLabel* CGridDialog::BuildFrame(int width, int height, int placeholderId,
                                const QRect& placeholder) {
    setFixedSize(m_units.X(width), m_units.Y(height));
    AddBannerLabel(this, m_units.Rect(0, 0, width, 31));
    // In the dialog's own coordinates, so the grid can lie exactly over it.
    m_pPlaceholder = new QLabel(this);
    m_pPlaceholder->setObjectName(QString::number(placeholderId));
    m_pPlaceholder->setGeometry(
        m_units.Rect(placeholder.x(), placeholder.y(), placeholder.width(), placeholder.height()));
    return m_pPlaceholder;
}

void CGridDialog::AddButtons(const std::vector<CButton>& buttons) {
    for (const CButton& item : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(item.text), this);
        button->setObjectName(QString::number(item.id));
        button->setGeometry(m_units.Rect(item.x, item.y, 50, 14));
        // No default button: Enter must not press one.
        button->setAutoDefault(false);
        button->setDefault(false);
        if (item.action)
            connect(button, &QPushButton::clicked, this, item.action);
        else
            connect(button, &QPushButton::clicked, this, &QDialog::reject);
    }
}

QRect CGridDialog::GridGeometry() const {
    return m_pPlaceholder ? m_pPlaceholder->geometry() : QRect();
}

void CGridDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget());
            button && m_bEnterPressesFocusedButton)
            button->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
