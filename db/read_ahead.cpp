#include "read_ahead.h"

#include <utility>

CReadAhead::CReadAhead(std::function<bool(CRowPart&)> readPart, std::size_t partsAhead)
    : m_readPart(std::move(readPart)), m_partsAhead(partsAhead), m_thread([this] { Run(); }) {}

CReadAhead::~CReadAhead() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void CReadAhead::Run() {
    for (;;) {
        CRowPart part;
        bool more = false;
        std::exception_ptr failure;
        try {
            more = m_readPart(part);
        } catch (...) {
            failure = std::current_exception();
        }
        std::unique_lock lock(m_mutex);
        if (part.rows > 0 && !failure)
            m_parts.push_back(std::move(part));
        if (failure || !more) {
            m_failure = failure;
            m_finished = true;
            lock.unlock();
            m_changed.notify_all();
            return;
        }
        m_changed.notify_all();
        // The caller stores slower than the driver reads: what waits for it stays small.
        m_changed.wait(lock, [&] { return m_stop || m_parts.size() < m_partsAhead; });
        if (m_stop)
            return;
    }
}

bool CReadAhead::Next(CRowPart& part) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return !m_parts.empty() || m_finished; });
    if (m_parts.empty()) {
        if (m_failure)
            std::rethrow_exception(std::exchange(m_failure, nullptr));
        return false;
    }
    part = std::move(m_parts.front());
    m_parts.pop_front();
    lock.unlock();
    m_changed.notify_all();
    return true;
}
