#pragma once
// Owning wrapper for one ODBC handle; frees it exactly once.
#include <sql.h>
#include <sqlext.h>
#include <utility>

class COdbcHandle {
public:
    COdbcHandle() = default;
    COdbcHandle(SQLSMALLINT type, SQLHANDLE handle) : m_type(type), m_handle(handle) {}
    ~COdbcHandle() { Reset(); }
    COdbcHandle(const COdbcHandle&) = delete;
    COdbcHandle& operator=(const COdbcHandle&) = delete;
    COdbcHandle(COdbcHandle&& other) noexcept
        : m_type(other.m_type), m_handle(std::exchange(other.m_handle, nullptr)) {}
    COdbcHandle& operator=(COdbcHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            m_type = other.m_type;
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }

    // Allocates a child handle of `type` under `parent`; returns false on failure.
    bool Allocate(SQLSMALLINT type, SQLHANDLE parent) {
        Reset();
        SQLHANDLE h = SQL_NULL_HANDLE;
        SQLRETURN rc = SQLAllocHandle(type, parent, &h);
        if (!SQL_SUCCEEDED(rc))
            return false;
        m_type = type;
        m_handle = h;
        return true;
    }
    void Reset() {
        if (m_handle)
            SQLFreeHandle(m_type, m_handle);
        m_handle = nullptr;
    }
    SQLHANDLE Get() const { return m_handle; }
    SQLSMALLINT Type() const { return m_type; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    SQLSMALLINT m_type = SQL_HANDLE_ENV;
    SQLHANDLE m_handle = nullptr;
};
