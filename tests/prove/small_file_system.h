#pragma once
// A full disk for one test: a small tmpfs mounted on a folder of the test (mount(2) needs
// CAP_SYS_ADMIN), filled up to its last block on request.
#include <QString>

namespace provetest {

class CSmallFileSystem {
public:
    // Mounts a tmpfs of `bytes` on `folder` (which must exist and be empty).
    CSmallFileSystem(const QString& folder, long long bytes);
    // Removes the filler and unmounts.
    ~CSmallFileSystem();
    CSmallFileSystem(const CSmallFileSystem&) = delete;
    CSmallFileSystem& operator=(const CSmallFileSystem&) = delete;

    bool IsMounted() const { return m_mounted; }
    // Why the file system could not be mounted.
    const QString& Problem() const { return m_problem; }

    // Writes a filler file until the file system has no block left; false when it never
    // filled.
    bool Fill();
    // Removes the filler: the space is back.
    void Free();

private:
    QString m_folder;
    bool m_mounted = false;
    QString m_problem;
};

// A file-size limit (RLIMIT_FSIZE) on the whole test process, for as long as it lives: no
// file may grow past `bytes`, and a write beyond fails with EFBIG instead of SIGXFSZ.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(long long bytes);
    ~CFileSizeLimit();
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

    bool IsSet() const { return m_set; }

private:
    bool m_set = false;
    unsigned long long m_oldSoft = 0;
    unsigned long long m_oldHard = 0;
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace provetest
