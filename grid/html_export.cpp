#include "html_export.h"

#include "prompts.h"
#include "report_file.h"

#include <QStringEncoder>

namespace htmlexport {

namespace {

const char kCrLf[] = "\r\n";

// Collects the pieces and encodes them in large chunks through one encoder: a report of a
// hundred thousand rows must not open a converter per cell.
class CReportWriter {
public:
    explicit CReportWriter(QIODevice& file)
        : m_file(file), m_encoder("GB18030", QStringConverter::Flag::Stateless) {}

    void Put(QStringView text, bool lineEnd) {
        m_pending += text;
        if (lineEnd)
            m_pending += QLatin1StringView(kCrLf);
        if (m_pending.size() >= kChunk)
            Flush();
    }
    bool Flush() {
        if (!m_ok || m_pending.isEmpty())
            return m_ok;
        const QByteArray bytes = m_encoder.encode(m_pending);
        m_pending.clear();
        m_ok = m_file.write(bytes) == bytes.size();
        return m_ok;
    }

private:
    static constexpr qsizetype kChunk = 1 << 16;
    QIODevice& m_file;
    QStringEncoder m_encoder;
    QString m_pending;
    bool m_ok = true;
};

} // namespace

QString ReportPath(const QString& chosen) {
    return reportfile::WithEnding(chosen, QStringLiteral("htm"));
}

QString Escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1StringView("&amp;");
            break;
        case u'<':
            out += QLatin1StringView("&lt;");
            break;
        case u'>':
            out += QLatin1StringView("&gt;");
            break;
        case u'"':
            out += QLatin1StringView("&quot;");
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

bool WriteText(QIODevice& file, const QString& text, bool lineEnd) {
    QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (lineEnd)
        bytes += kCrLf;
    return file.write(bytes) == bytes.size();
}

bool WriteReport(QIODevice& file, const QStringList& titles, const CResultTable& table) {
    CReportWriter out(file);
    out.Put(u"<head>", true);
    out.Put(u"<title>青杏药店进销存管理系统-报表(HTM)</title>", true);
    out.Put(u"</head>", true);
    out.Put(u"<body>", true);
    out.Put(uR"(<table border="1" width="100%" cellspacing="0" cellpadding="0">)", true);
    out.Put(u"<tr>", true);
    const int columns = table.ColumnCount();
    for (int c = 0; c < columns; ++c) {
        out.Put(uR"(<td bgcolor="#C0C0C0">)", false);
        out.Put(Escaped(reportfile::ShownTitle(titles, c)), false);
        out.Put(u"</td>", true);
    }
    out.Put(u"</tr>", true);
    const int rows = table.RowCount();
    for (int r = 0; r < rows; ++r) {
        out.Put(u"<tr>", true);
        for (int c = 0; c < columns; ++c) {
            out.Put(u"<td>", false);
            out.Put(Escaped(table.CellText(r, c)), false);
            out.Put(u"</td>", true);
        }
        out.Put(u"</tr>", true);
    }
    out.Put(u"</table>", true);
    out.Put(u"</body>", true);
    out.Put(u"</html>", true);
    return out.Flush();
}

bool ExportHtml(QWidget* owner, const QStringList& titles, const CResultTable& table) {
    const QString chosen = Prompts().SaveFileName(owner, QStringLiteral("HTM Files (*.HTM)"));
    if (chosen.isEmpty())
        return false;
    const QString path = ReportPath(chosen);
    if (!reportfile::MayReplace(owner, chosen, path))
        return false;

    return reportfile::Write(owner, path,
                             [&](QIODevice& file) { return WriteReport(file, titles, table); });
}

} // namespace htmlexport
