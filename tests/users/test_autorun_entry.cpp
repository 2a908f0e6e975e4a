// The autostart entry: the Exec value's two levels of escaping, reading a key back, the folder
// $XDG_CONFIG_DIRS names, and writing and removing the file, also where that is refused.
#include "CAutoRunEntry.h"
#include "desktop_entry.h"
#include "qt_printers.h"
#include "read_only_path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// What a reader of the entry does with the Exec value, written from the desktop entry rules
// on their own: undo the string escapes, split into arguments undoing the quoting, then turn
// %% into %. Empty when the value is malformed.
std::optional<QStringList> DecodeExec(const QString& value) {
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\')) {
            unescaped += value[i];
            continue;
        }
        if (++i == value.size())
            return std::nullopt;
        const QChar c = value[i];
        if (c == QLatin1Char('s'))
            unescaped += QLatin1Char(' ');
        else if (c == QLatin1Char('n'))
            unescaped += QLatin1Char('\n');
        else if (c == QLatin1Char('t'))
            unescaped += QLatin1Char('\t');
        else if (c == QLatin1Char('r'))
            unescaped += QLatin1Char('\r');
        else if (c == QLatin1Char('\\'))
            unescaped += QLatin1Char('\\');
        else
            return std::nullopt;
    }
    const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QStringList arguments;
    qsizetype i = 0;
    while (i < unescaped.size()) {
        if (unescaped[i] == QLatin1Char(' ')) {
            ++i;
            continue;
        }
        QString argument;
        if (unescaped[i] == QLatin1Char('"')) {
            ++i;
            for (;; ++i) {
                if (i == unescaped.size())
                    return std::nullopt;
                if (unescaped[i] == QLatin1Char('"'))
                    break;
                if (unescaped[i] == QLatin1Char('\\')) {
                    if (++i == unescaped.size() || !QStringLiteral("\"`$\\").contains(unescaped[i]))
                        return std::nullopt;
                }
                argument += unescaped[i];
            }
            ++i;
        } else {
            for (; i < unescaped.size() && unescaped[i] != QLatin1Char(' '); ++i) {
                if (reserved.contains(unescaped[i]))
                    return std::nullopt; // must have been quoted
                argument += unescaped[i];
            }
        }
        QString expanded;
        for (qsizetype k = 0; k < argument.size(); ++k) {
            if (argument[k] != QLatin1Char('%')) {
                expanded += argument[k];
                continue;
            }
            if (++k == argument.size() || argument[k] != QLatin1Char('%'))
                return std::nullopt; // a field code where none belongs
            expanded += QLatin1Char('%');
        }
        arguments << expanded;
    }
    return arguments;
}

QString ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

const QString kProgram = QStringLiteral("/usr/lib/apricot/apricot");

// --- the Exec value and the file's text --------------------------------------------------------

TEST(DesktopEntryTest, PlainPathStaysAsItIs) {
    EXPECT_EQ(desktopentry::ExecValue(kProgram), kProgram);
    EXPECT_EQ(desktopentry::ExecValue(QStringLiteral("/opt/青杏/apricot")),
              QStringLiteral("/opt/青杏/apricot"));
}

TEST(DesktopEntryTest, PathWithBlanksOrReservedCharactersIsQuoted) {
    EXPECT_EQ(desktopentry::ExecValue(QStringLiteral("/opt/青杏 药店/apricot")),
              QStringLiteral("\"/opt/青杏 药店/apricot\""));
    EXPECT_EQ(desktopentry::ExecValue(QStringLiteral("/opt/a&b/apricot")),
              QStringLiteral("\"/opt/a&b/apricot\""));
    EXPECT_EQ(desktopentry::ExecValue(QStringLiteral("/home/it's/apricot")),
              QStringLiteral("\"/home/it's/apricot\""));
    // Inside the quotes " ` $ \ take a backslash; as a string value every backslash is then
    // doubled, so a dollar reads \\$ and a backslash four of them.
    EXPECT_EQ(desktopentry::ExecValue(QStringLiteral("/opt/a$b")),
              QStringLiteral("\"/opt/a\\\\$b\""));
    EXPECT_EQ(desktopentry::ExecValue(QStringLiteral("/opt/a\\b")),
              QStringLiteral("\"/opt/a\\\\\\\\b\""));
    EXPECT_EQ(desktopentry::ExecValue(QStringLiteral("/opt/a\"b")),
              QStringLiteral("\"/opt/a\\\\\"b\""));
    EXPECT_EQ(desktopentry::ExecValue(QStringLiteral("/opt/a`b")),
              QStringLiteral("\"/opt/a\\\\`b\""));
}

TEST(DesktopEntryTest, PercentIsNoFieldCode) {
    EXPECT_EQ(desktopentry::ExecValue(QStringLiteral("/opt/100%/apricot")),
              QStringLiteral("/opt/100%%/apricot"));
}

TEST(DesktopEntryTest, EveryPathReadsBackAsOneArgument) {
    const QStringList paths = {
        kProgram,
        QStringLiteral("/opt/青杏 药店/apricot"),
        QStringLiteral("/opt/ two  blanks /apricot "),
        QStringLiteral("/opt/$HOME/`id`/a\\b/\"q\"/apricot"),
        QStringLiteral("/opt/~user/#1/(x)|y;z*?<>/apricot"),
        QStringLiteral("/opt/tab\there/line\nend/cr\r/apricot"),
        QStringLiteral("/opt/50%/%f/apricot"),
        QStringLiteral("/opt/\\\\server\\share/apricot"),
    };
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        const QString value = desktopentry::ExecValue(path);
        // One line, as a key's value has to be.
        EXPECT_FALSE(value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')));
        const std::optional<QStringList> arguments = DecodeExec(value);
        ASSERT_TRUE(arguments.has_value()) << value.toStdString();
        EXPECT_EQ(*arguments, QStringList{path});
    }
}

TEST(DesktopEntryTest, EntryTextNamesTheProgram) {
    EXPECT_EQ(desktopentry::EntryText(QStringLiteral("青杏药店进销存管理系统"),
                                      QStringLiteral("/opt/青杏 药店/apricot")),
              QStringLiteral("[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=青杏药店进销存管理系统\n"
                             "Exec=\"/opt/青杏 药店/apricot\"\n"));
}

TEST(DesktopEntryTest, ReadKeyLooksOnlyInTheDesktopEntryGroup) {
    const QString text = QStringLiteral("# comment\n"
                                        "Exec=/before/any/group\n"
                                        "[Desktop Action x]\n"
                                        "Exec=/other/group\n"
                                        "[Desktop Entry]\n"
                                        "Exec[zh_CN]=/localised\n"
                                        "Name=n\r\n"
                                        "Exec  =  /the/program  \r\n");
    EXPECT_EQ(desktopentry::ReadKey(text, QStringLiteral("Exec")), QStringLiteral("/the/program"));
    EXPECT_EQ(desktopentry::ReadKey(text, QStringLiteral("Name")), QStringLiteral("n"));
    EXPECT_EQ(desktopentry::ReadKey(text, QStringLiteral("Type")), std::nullopt);
    EXPECT_EQ(desktopentry::ReadKey(QStringLiteral("[Other]\nExec=/x\n"), QStringLiteral("Exec")),
              std::nullopt);
    EXPECT_EQ(
        desktopentry::ReadKey(QStringLiteral("[Desktop Entry]\nExec=\n"), QStringLiteral("Exec")),
        QString());
}

// --- where the entry lives ------------------------------------------------------------------

TEST(AutoRunEntryTest, FolderIsTheFirstConfigDirectory) {
    EXPECT_EQ(CAutoRunEntry::AutostartFolder(QString()), QStringLiteral("/etc/xdg/autostart"));
    EXPECT_EQ(CAutoRunEntry::AutostartFolder(QStringLiteral("/a:/b")),
              QStringLiteral("/a/autostart"));
    EXPECT_EQ(CAutoRunEntry::AutostartFolder(QStringLiteral("/a/:/b")),
              QStringLiteral("/a/autostart"));
    // Empty and relative entries do not count.
    EXPECT_EQ(CAutoRunEntry::AutostartFolder(QStringLiteral(":relative:/b")),
              QStringLiteral("/b/autostart"));
    EXPECT_EQ(CAutoRunEntry::AutostartFolder(QStringLiteral("relative")),
              QStringLiteral("/etc/xdg/autostart"));
    EXPECT_EQ(CAutoRunEntry::AutostartFolder(QStringLiteral("/my dirs/x:/b")),
              QStringLiteral("/my dirs/x/autostart"));
    const CAutoRunEntry entry(kProgram, QStringLiteral("/c"), QStringLiteral("/h/"));
    EXPECT_EQ(entry.FilePath(), QStringLiteral("/c/autostart/青杏药店进销存管理系统.desktop"));
    EXPECT_EQ(entry.UserFilePath(), QStringLiteral("/h/autostart/青杏药店进销存管理系统.desktop"));
    // The user's folder without $XDG_CONFIG_HOME, or with a relative one.
    for (const char* home : {"", "relative"})
        EXPECT_EQ(CAutoRunEntry::UserAutostartFolder(QString::fromLatin1(home)),
                  QDir::homePath() + QStringLiteral("/.config/autostart"));
}

TEST(AutoRunEntryTest, StartsTheInstalledLauncherWhenThatStartedUs) {
    // The launcher changes into the data folder, where connect.txt is; the bare program would
    // start in the session's folder and find none.
    qputenv("APRICOT_LAUNCHER", "/usr/bin/apricot");
    EXPECT_EQ(CAutoRunEntry().ProgramPath(), QStringLiteral("/usr/bin/apricot"));
    qputenv("APRICOT_LAUNCHER", "relative/apricot");
    EXPECT_NE(CAutoRunEntry().ProgramPath(), QStringLiteral("relative/apricot"));
    qunsetenv("APRICOT_LAUNCHER");
    EXPECT_NE(CAutoRunEntry().ProgramPath(), QStringLiteral("/usr/bin/apricot"));
}

// --- writing and removing ---------------------------------------------------------------------

class AutoRunFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Dirs() const { return m_dir.path() + QStringLiteral("/xdg:/etc/xdg"); }
    QString Folder() const { return m_dir.path() + QStringLiteral("/xdg/autostart"); }
    QString Home() const { return m_dir.path() + QStringLiteral("/home"); }

    QTemporaryDir m_dir;
};

TEST_F(AutoRunFileTest, SetWritesTheEntryAndRemoveDeletesIt) {
    const CAutoRunEntry entry(kProgram, Dirs(), Home());
    EXPECT_FALSE(entry.IsSet());
    QString reason;
    ASSERT_TRUE(entry.Set(&reason)) << reason.toStdString();
    EXPECT_TRUE(reason.isEmpty());
    EXPECT_TRUE(entry.IsSet());
    EXPECT_EQ(QFileInfo(entry.FilePath()).path(), Folder());
    EXPECT_EQ(ReadAll(entry.FilePath()),
              desktopentry::EntryText(QStringLiteral("青杏药店进销存管理系统"), kProgram));
    // Every user's session reads it.
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(entry.FilePath()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    // Nothing left behind from writing it.
    EXPECT_EQ(QDir(Folder()).entryList(QDir::Files), QStringList{"青杏药店进销存管理系统.desktop"});

    // Set again replaces it, for the program now running.
    const CAutoRunEntry moved(QStringLiteral("/opt/new/apricot"), Dirs(), Home());
    ASSERT_TRUE(moved.Set());
    EXPECT_TRUE(ReadAll(entry.FilePath()).contains(QStringLiteral("Exec=/opt/new/apricot\n")));

    ASSERT_TRUE(entry.Remove(&reason)) << reason.toStdString();
    EXPECT_FALSE(QFile::exists(entry.FilePath()));
    EXPECT_FALSE(entry.IsSet());
    // Removing what is not there is no failure.
    EXPECT_TRUE(entry.Remove(&reason));
    EXPECT_TRUE(CAutoRunEntry(kProgram, m_dir.path() + QStringLiteral("/none"), Home()).Remove());
}

TEST_F(AutoRunFileTest, ProgramInAFolderWithBlanks) {
    const QString program = m_dir.path() + QStringLiteral("/青杏 药店/bin/apricot");
    const CAutoRunEntry entry(program, Dirs(), Home());
    ASSERT_TRUE(entry.Set());
    const std::optional<QString> exec =
        desktopentry::ReadKey(ReadAll(entry.FilePath()), QStringLiteral("Exec"));
    ASSERT_TRUE(exec.has_value());
    EXPECT_EQ(*exec, QLatin1Char('"') + program + QLatin1Char('"'));
    EXPECT_EQ(DecodeExec(*exec), QStringList{program});
}

TEST_F(AutoRunFileTest, IsSetWantsANonEmptyExecWhateverItNames) {
    const CAutoRunEntry entry(kProgram, Dirs(), Home());
    ASSERT_TRUE(QDir().mkpath(Folder()));
    WriteAll(entry.FilePath(), "[Desktop Entry]\nType=Application\nExec=/some/other/program\n");
    EXPECT_TRUE(entry.IsSet());
    WriteAll(entry.FilePath(), "[Desktop Entry]\nType=Application\nExec=   \n");
    EXPECT_FALSE(entry.IsSet());
    WriteAll(entry.FilePath(), "[Desktop Entry]\nType=Application\n");
    EXPECT_FALSE(entry.IsSet());
    WriteAll(entry.FilePath(), "");
    EXPECT_FALSE(entry.IsSet());
}

TEST_F(AutoRunFileTest, SetIsRefusedWhereNeitherFolderCanBe) {
    // Both configuration directories are regular files: no folder can be made inside them,
    // not even by root.
    const QString file = m_dir.path() + QStringLiteral("/plain-file");
    WriteAll(file, "not a folder\n");
    const CAutoRunEntry entry(kProgram, file + QStringLiteral(":/etc/xdg"), file);
    QString reason;
    EXPECT_FALSE(entry.Set(&reason));
    EXPECT_TRUE(reason.contains(QStringLiteral("不能建立文件夹"))) << reason.toStdString();
    EXPECT_EQ(reason.count(file + QStringLiteral("/autostart")), 2) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QStringLiteral("不是文件夹"))) << reason.toStdString();
    EXPECT_FALSE(entry.IsSet());
    EXPECT_EQ(ReadAll(file), QStringLiteral("not a folder\n"));
}

TEST_F(AutoRunFileTest, LockedSystemFolderTakesTheUsersEntryAndKeepsItsOwn) {
    const CAutoRunEntry old(QStringLiteral("/opt/old/apricot"), Dirs(), Home());
    ASSERT_TRUE(old.Set());
    const QString before = ReadAll(old.FilePath());
    CReadOnlyPath lock(Folder());
    if (!lock.Refuses())
        GTEST_SKIP() << "this file system lets every write through";

    // An operator who may not write the system's folder starts the program for themselves.
    const CAutoRunEntry entry(kProgram, Dirs(), Home());
    QString reason;
    ASSERT_TRUE(entry.Set(&reason)) << reason.toStdString();
    EXPECT_TRUE(ReadAll(entry.UserFilePath()).contains(QStringLiteral("Exec=") + kProgram));
    EXPECT_EQ(ReadAll(old.FilePath()), before);

    // Removing takes the user's entry and names the system's, which stays.
    EXPECT_FALSE(entry.Remove(&reason));
    EXPECT_TRUE(reason.contains(QStringLiteral("不能删除文件"))) << reason.toStdString();
    EXPECT_TRUE(reason.contains(entry.FilePath())) << reason.toStdString();
    EXPECT_FALSE(QFile::exists(entry.UserFilePath()));
    EXPECT_TRUE(entry.IsSet());
}

TEST_F(AutoRunFileTest, AFolderInTheEntrysPlaceIsReported) {
    const CAutoRunEntry entry(kProgram, Dirs(), Home());
    ASSERT_TRUE(QDir().mkpath(entry.FilePath() + QStringLiteral("/inside")));
    EXPECT_FALSE(entry.IsSet());
    QString reason;
    EXPECT_FALSE(entry.Remove(&reason));
    EXPECT_TRUE(reason.contains(entry.FilePath())) << reason.toStdString();
    // The user's entry stands in for it.
    EXPECT_TRUE(entry.Set(&reason));
    EXPECT_TRUE(QFileInfo(entry.FilePath()).isDir());
    EXPECT_TRUE(QFileInfo(entry.UserFilePath()).isFile());
}

} // namespace
