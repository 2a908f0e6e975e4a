#include "CDBConnection.h"

#include "CDBException.h"
#include "connect_string.h"
#include "text_forms.h"

#include <new>

CDBConnection theConnection;

CDBConnection::~CDBConnection() {
    m_database.Close();
}

bool CDBConnection::Connect(QString& message) {
    if (m_database.IsOpen()) {
        message = QStringLiteral("数据库正在被其他程序使用");
        return false;
    }
    const std::optional<QByteArray> bytes = ReadConnectFile(QStringLiteral("connect.txt"));
    if (!bytes) {
        message = QStringLiteral("文件connect.txt不存在");
        return false;
    }

    try {
        // Passed on as they stand: a path in another encoding must name the same file.
        if (!m_database.OpenEx(*bytes)) {
            message = QStringLiteral("试图和数据库建立连接的过程中发生错误");
            return false;
        }
    } catch (const CDBException& e) {
        message = textforms::CutUtf8(e.ErrorText(), 254);
        return false;
    } catch (const std::bad_alloc& e) {
        message = textforms::CutUtf8(QString::fromLatin1(e.what()), 254);
        return false;
    }
    return true;
}
