// Opening the one connection from connect.txt, and its failure texts.
#include "CDBConnection.h"
#include "CDBException.h"
#include "text_forms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QString SqliteString(const QString& folder) {
    return QStringLiteral("Driver=SQLite3;Timeout=5000;Database=%1/books.db").arg(folder);
}

QString PostgresString() {
    return qEnvironmentVariable("APRICOT_PG_CONNECT");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Each test runs in a fresh working directory, where Connect looks for connect.txt.
class ConnectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_oldCwd = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    }
    void TearDown() override { QDir::setCurrent(m_oldCwd); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_oldCwd;
    CDBConnection m_connection;
    QString m_message = QStringLiteral("untouched");
};

TEST_F(ConnectTest, MissingFileIsReportedAndNothingOpens) {
    EXPECT_FALSE(m_connection.Connect(m_message));
    EXPECT_EQ(m_message, QStringLiteral("文件connect.txt不存在"));
    EXPECT_FALSE(m_connection.GetDatabase()->IsOpen());
}

TEST_F(ConnectTest, UnreadableFileCountsAsMissing) {
    // A folder of that name cannot be opened as a file, even by root.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("connect.txt")));
    EXPECT_FALSE(m_connection.Connect(m_message));
    EXPECT_EQ(m_message, QStringLiteral("文件connect.txt不存在"));
}

TEST_F(ConnectTest, FileBesideTheExecutableIsNotUsed) {
    const QString beside = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() +
                           QStringLiteral("/connect.txt");
    ASSERT_FALSE(QFile::exists(beside)) << "leftover " << beside.toStdString();
    WriteFile(beside, SqliteString(m_dir.path()).toUtf8());
    const bool opened = m_connection.Connect(m_message);
    QFile::remove(beside);
    EXPECT_FALSE(opened);
    EXPECT_EQ(m_message, QStringLiteral("文件connect.txt不存在"));
}

TEST_F(ConnectTest, EmptyFileGivesTheDriverManagersText) {
    WriteFile(Path("connect.txt"), {});
    EXPECT_FALSE(m_connection.Connect(m_message));
    EXPECT_TRUE(m_message.contains(QStringLiteral("Driver Manager"))) << m_message.toStdString();
    EXPECT_TRUE(m_message.endsWith(QLatin1Char('\n')));
    EXPECT_FALSE(m_connection.GetDatabase()->IsOpen());
}

TEST_F(ConnectTest, UnknownDataSourceIsRejectedWithoutPrompt) {
    WriteFile(Path("connect.txt"), "DSN=no_such_source_here");
    EXPECT_FALSE(m_connection.Connect(m_message));
    EXPECT_TRUE(m_message.contains(QStringLiteral("Data source name not found")))
        << m_message.toStdString();
}

TEST_F(ConnectTest, SecondConnectKeepsTheFirstConnection) {
    WriteFile(Path("connect.txt"), SqliteString(m_dir.path()).toUtf8());
    ASSERT_TRUE(m_connection.Connect(m_message)) << m_message.toStdString();
    EXPECT_EQ(m_message, QStringLiteral("untouched"));
    m_connection.GetDatabase()->ExecuteSQL(QStringLiteral("CREATE TABLE 表(列 TEXT)"));

    EXPECT_FALSE(m_connection.Connect(m_message));
    EXPECT_EQ(m_message, QStringLiteral("数据库正在被其他程序使用"));
    ASSERT_TRUE(m_connection.GetDatabase()->IsOpen());
    EXPECT_NO_THROW(
        m_connection.GetDatabase()->ExecuteSQL(QStringLiteral("INSERT INTO 表 VALUES('x')")));
}

TEST_F(ConnectTest, OneTrailingLineBreakIsDropped) {
    for (const QByteArray& ending : {QByteArray("\n"), QByteArray("\r\n")}) {
        CDBConnection connection;
        WriteFile(Path("connect.txt"), SqliteString(m_dir.path()).toUtf8() + ending);
        ASSERT_TRUE(connection.Connect(m_message)) << m_message.toStdString();
        connection.GetDatabase()->ExecuteSQL(
            QStringLiteral("CREATE TABLE IF NOT EXISTS t(a TEXT)"));
    }
    // The database is the file named in the string, not a new one whose name ends in a break.
    EXPECT_TRUE(QFile::exists(Path("books.db")));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 2); // books.db, connect.txt
}

TEST_F(ConnectTest, OtherBytesArePassedOnAsTheyStand) {
    // Only one break is dropped: the second belongs to the string, and so to the file name.
    WriteFile(Path("connect.txt"), SqliteString(m_dir.path()).toUtf8() + "\n\n");
    ASSERT_TRUE(m_connection.Connect(m_message)) << m_message.toStdString();
    m_connection.GetDatabase()->ExecuteSQL(QStringLiteral("CREATE TABLE t(a TEXT)"));
    EXPECT_TRUE(QFile::exists(Path("books.db\n")));
    // Not even decoded: a file name in another encoding than UTF-8 names the same file.
    CDBConnection latin1;
    WriteFile(Path("connect.txt"),
              "Driver=SQLite3;Database=" + QFile::encodeName(m_dir.path()) + "/caf\xe9.db");
    ASSERT_TRUE(latin1.Connect(m_message)) << m_message.toStdString();
    latin1.GetDatabase()->ExecuteSQL(QStringLiteral("CREATE TABLE t(a TEXT)"));
    EXPECT_EQ(::access((QFile::encodeName(m_dir.path()) + "/caf\xe9.db").constData(), F_OK), 0);
}

TEST_F(ConnectTest, PostgresServerThatIsNotThereIsReported) {
    if (PostgresString().isEmpty() && qEnvironmentVariable("APRICOT_SKIP_PG") == "1")
        GTEST_SKIP() << "APRICOT_SKIP_PG=1";
    WriteFile(Path("connect.txt"),
              "Driver=PostgreSQL Unicode;Servername=/nonexistent-socket-dir;Port=1;Database=x;");
    EXPECT_FALSE(m_connection.Connect(m_message));
    EXPECT_FALSE(m_message.isEmpty());
    EXPECT_LE(m_message.toUtf8().size(), 254);
}

TEST_F(ConnectTest, PostgresConnectionOpens) {
    if (PostgresString().isEmpty()) {
        if (qEnvironmentVariable("APRICOT_SKIP_PG") == "1")
            GTEST_SKIP() << "APRICOT_SKIP_PG=1";
        FAIL() << "APRICOT_PG_CONNECT is not set (set APRICOT_SKIP_PG=1 to skip on purpose)";
    }
    WriteFile(Path("connect.txt"), PostgresString().toUtf8() + "\n");
    ASSERT_TRUE(m_connection.Connect(m_message)) << m_message.toStdString();
    EXPECT_EQ(m_connection.GetDatabase()->GetDialect(), CDatabase::Dialect::PostgreSQL);
}

TEST(TextForms, CutNeverSplitsACharacter) {
    const QString chinese(200, QChar(0x836F)); // 药: three bytes each
    const QString cut = textforms::CutUtf8(chinese, 254);
    EXPECT_EQ(cut.toUtf8().size(), 252);
    EXPECT_EQ(cut, QString(84, QChar(0x836F)));
    EXPECT_EQ(textforms::CutUtf8(QStringLiteral("abc"), 254), QStringLiteral("abc"));
    EXPECT_EQ(textforms::CutUtf8(QStringLiteral("a药"), 3), QStringLiteral("a"));
}

TEST(TextForms, ShortestDoubleReadsBackExactly) {
    EXPECT_EQ(textforms::ShortestDouble(0.15), QStringLiteral("0.15"));
    EXPECT_EQ(textforms::ShortestDouble(2.0), QStringLiteral("2"));
    EXPECT_EQ(textforms::ShortestDouble(2.0 / 3.0), QStringLiteral("0.6666666666666666"));
    EXPECT_EQ(textforms::ShortestDouble(3 / 20.0), QStringLiteral("0.15"));
    for (double v : {1e-7, 123456.789, 1.0 / 3.0, 1e21, -0.5})
        EXPECT_EQ(textforms::ShortestDouble(v).toDouble(), v);
}

} // namespace
