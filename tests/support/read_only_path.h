#pragma once
// A file or folder that refuses every change for the length of a test, even to root: read-only
// permissions for a plain user, the immutable attribute (FS_IOC_SETFLAGS) for root. Undone when
// it goes, so the temporary folder can be removed.
#include <QString>

class CReadOnlyPath {
public:
    explicit CReadOnlyPath(const QString& path);
    ~CReadOnlyPath();
    CReadOnlyPath(const CReadOnlyPath&) = delete;
    CReadOnlyPath& operator=(const CReadOnlyPath&) = delete;

    // Whether the path really refuses to be written now (a folder: a new file in it).
    bool Refuses() const;
    // Why it could not be made read-only, when it could not.
    const QString& Problem() const { return m_problem; }

private:
    QString m_path;
    bool m_folder = false;
    unsigned m_oldMode = 0;
    bool m_chmod = false;
    bool m_immutable = false;
    QString m_problem;
};
