#pragma once
// The one connection of the process, opened at start-up from connect.txt.
#include "CDatabase.h"
#include <QString>

class CDBConnection {
public:
    CDBConnection() = default;
    virtual ~CDBConnection();

    // True when open; otherwise `message` holds the text to show.
    bool Connect(QString& message);
    CDatabase* GetDatabase() { return &m_database; }

private:
    CDatabase m_database;
};

extern CDBConnection theConnection;
