#pragma once
// Text forms of values read back from the database, and byte limits of texts.
#include <QString>

namespace textforms {

// The shortest text that converts back to the same double: 0.15, 2, 0.6666666666666666.
QString ShortestDouble(double value);
QString ShortestFloat(float value);
// At most `maxBytes` bytes of UTF-8, never cutting a character in two.
QString CutUtf8(const QString& text, int maxBytes);

} // namespace textforms
