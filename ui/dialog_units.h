#pragma once
// Dialog units: positions measured in the dialog font's average character size, a quarter of
// its width across and an eighth of its height down.
#include <QFont>
#include <QRect>

class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);
    int X(int units) const { return (units * m_charWidth + 2) / 4; }
    int Y(int units) const { return (units * m_charHeight + 4) / 8; }
    QRect Rect(int x, int y, int width, int height) const {
        return QRect(X(x), Y(y), X(width), Y(height));
    }

private:
    int m_charWidth;
    int m_charHeight;
};
