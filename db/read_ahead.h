#pragma once
// Rows of a large result fetched on a thread of their own, a few parts ahead of the caller who
// stores them: the driver's work and the caller's overlap instead of taking turns.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A part of a result: its cell texts in UTF-8, one after another, row by row.
struct CRowPart {
    int rows = 0;
    std::string bytes;
    std::vector<std::uint32_t> ends; // where each cell's text ends in `bytes`

    void Clear() {
        rows = 0;
        bytes.clear();
        ends.clear();
    }
};

class CReadAhead {
public:
    // `readPart` fills an empty part and returns false once the result has no more rows (the
    // part may still hold some); what it throws reaches the caller of Next. It runs on the
    // thread only, so whatever it uses is the thread's until this object is gone.
    explicit CReadAhead(std::function<bool(CRowPart&)> readPart, std::size_t partsAhead = 8);
    // Stops after the part being read and waits for the thread.
    ~CReadAhead();
    CReadAhead(const CReadAhead&) = delete;
    CReadAhead& operator=(const CReadAhead&) = delete;

    // The next part in order, waiting for it; false when every part was taken. A failure is
    // thrown after the parts read before it.
    bool Next(CRowPart& part);

private:
    void Run();

    std::function<bool(CRowPart&)> m_readPart;
    const std::size_t m_partsAhead;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<CRowPart> m_parts;
    std::exception_ptr m_failure;
    bool m_finished = false;
    bool m_stop = false;
    std::thread m_thread; // last: it starts once everything above is there
};
