#include "entry_layout.h"

#include "artwork.h"

#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSvgRenderer>

namespace {

QFont DialogFont() {
    QFont font(QStringLiteral("SimSun"), 9);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

CEntryLayout::CEntryLayout(QDialog* dialog, int width, int height)
    : m_pDialog(dialog), m_units(DialogFont()), m_nWidth(width) {
    m_pDialog->setFont(DialogFont());
    m_pDialog->setFixedSize(m_units.X(width), m_units.Y(height));
}

QLabel* CEntryLayout::Banner(int height) {
    const QString path = QStringLiteral(":/res/banner.svg");
    const int pixelsHigh = m_units.Y(height);
    const QSize natural = QSvgRenderer(path).defaultSize();
    const int pixelsWide =
        natural.isEmpty() ? m_units.X(m_nWidth) : pixelsHigh * natural.width() / natural.height();
    auto* banner = new QLabel(m_pDialog);
    banner->setObjectName(QStringLiteral("186"));
    banner->setPixmap(
        RenderSvg(path, QSize(pixelsWide, pixelsHigh), m_pDialog->devicePixelRatioF()));
    banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    banner->setGeometry(0, 0, m_units.X(m_nWidth), pixelsHigh);
    return banner;
}

void CEntryLayout::Place(QWidget* widget, int id, int x, int y, int width, int height) {
    widget->setObjectName(QString::number(id));
    widget->setGeometry(m_units.Rect(x, y, width, height));
}

QLabel* CEntryLayout::LabelFor(QWidget* field, const QString& text, int left) {
    auto* label = new QLabel(text, m_pDialog);
    const QRect at = field->geometry();
    const int gap = m_units.X(2);
    label->setGeometry(m_units.X(left), at.y(), at.x() - gap - m_units.X(left), at.height());
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(field);
    return label;
}

CPlacedFields CEntryLayout::PlaceFields(std::span<const CFormField> fields, int split,
                                        int rightLabels) {
    CPlacedFields placed;
    for (const CFormField& f : fields) {
        Place(f.widget, f.id, f.x, f.y, f.width, f.height);
        placed.labels.push_back(
            LabelFor(f.widget, QString::fromUtf8(f.label), f.x < split ? 5 : rightLabels));
        if (!(f.widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (placed.last)
            QWidget::setTabOrder(placed.last, f.widget);
        placed.last = f.widget;
    }
    return placed;
}

QLabel* CEntryLayout::Text(const QString& text, int x, int y, int width, int height) {
    auto* label = new QLabel(text, m_pDialog);
    label->setGeometry(m_units.Rect(x, y, width, height));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

void CEntryLayout::Separator(int y) {
    auto* line = new QFrame(m_pDialog);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(m_units.X(5), m_units.Y(y), m_units.X(m_nWidth - 10), 2);
}

QLabel* CEntryLayout::StatusLine(int x, int y, int width, int height) {
    auto* status = new QLabel(m_pDialog);
    Place(status, 1060, x, y, width, height);
    status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status->setWordWrap(true);
    return status;
}

QPushButton* CEntryLayout::Button(int id, const QString& text, int x, int y, int width,
                                  int height) {
    auto* button = new QPushButton(text, m_pDialog);
    Place(button, id, x, y, width, height);
    return button;
}

QComboBox* NewEntryListBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setCompleter(nullptr);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

void SetComboItems(QComboBox* box, const QStringList& items) {
    const QString shown = box->currentText();
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    if (box->isEditable())
        box->setEditText(shown);
}

void FocusControl(QWidget* dialog, int id) {
    if (id == 0)
        return;
    auto* control = dialog->findChild<QWidget*>(QString::number(id));
    if (!control)
        return;
    control->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
}
