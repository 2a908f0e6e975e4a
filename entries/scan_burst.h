#pragma once
// Telling a barcode scanner from a person at the keyboard. A scanner types like a keyboard, so
// the keys alone cannot tell; their shape and speed can. The rule:
//   a run of digits, each key within kMaxGapMs of the one before, ended by Enter/Return within
//   kMaxGapMs of the last digit, is a scan when it holds 8 to 14 digits (EAN-8, UPC-A, EAN-13,
//   ITF-14: a barcode) or 20 digits (a drug trace code).
// A scanner sends a key every few milliseconds; a person's keys come 80 ms or more apart, so a
// typed quantity never joins a scan, and a typed code (slow) is typing, never a scan.
#include <QString>
#include <QtGlobal>

namespace scanburst {

inline constexpr qint64 kMaxGapMs = 35;

enum class Shape { None, Barcode, TraceCode };

// The shape of a run of keys: a barcode (8–14 digits), a trace code (20 digits) or none.
Shape ShapeOf(const QString& text);

class CBurst {
public:
    enum class Step {
        Other,      // not part of a run: the key goes where it always did
        FirstDigit, // a digit that may begin a scan: the caller notes the field as it was
        Digit,      // a digit that follows the run within the gap
        Code,       // Enter that ends a scan: Code() holds it, the Enter is the scanner's
    };

    // One key press at `ms` (any clock that counts milliseconds): `text` the character it
    // types, `enter` for Enter or Return.
    Step Key(const QString& text, bool enter, qint64 ms);
    // The code of the last Step::Code.
    const QString& Code() const { return m_strCode; }
    Shape CodeShape() const { return ShapeOf(m_strCode); }

private:
    QString m_strDigits;
    QString m_strCode;
    qint64 m_nLast = 0;
    bool m_bAny = false; // a key came before: m_nLast means something
};

} // namespace scanburst
