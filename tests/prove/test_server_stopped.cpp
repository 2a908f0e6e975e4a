// The PostgreSQL server stopped while the program runs (pg_ctl stop -m immediate on a private
// cluster): every statement reports its error through the status line or a message, in
// moments rather than at the query time-out; nothing crashes; the dialogs can still be
// cancelled and closed; and once the server is back, the books hold exactly what had been
// committed, with no half-written entry.
#include "CDBException.h"
#include "CLoginDlg.h"
#include "CPurchaseEntryDlg.h"
#include "CSalesEntryDlg.h"
#include "CSettingsDlg.h"
#include "books_state.h"
#include "entry_books.h"
#include "maintenance_dialog.h"
#include "private_cluster.h"
#include "q_edit.h"
#include "q_grid.h"
#include "recording_prompts.h"
#include "result_loader.h"
#include "schema.h"
#include "ui_driving.h"
#include "write_back.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>

namespace {

using namespace uitest;
using namespace provetest;
using entrytest::Batch;
using entrytest::SaleOf;

constexpr qint64 kQueryTimeoutMs = 15000;

class ServerStoppedTest : public ::testing::Test {
protected:
    void SetUp() override {
        bool skip = false;
        const QString unavailable = CPrivateCluster::Unavailable(&skip);
        if (skip)
            GTEST_SKIP() << unavailable.toStdString();
        ASSERT_TRUE(unavailable.isEmpty()) << unavailable.toStdString();
        try {
            m_cluster = std::make_unique<CPrivateCluster>();
            ASSERT_TRUE(m_db.OpenEx(m_cluster->ConnectString()));
            schema::Create(m_db);
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
        ASSERT_TRUE(CPurchaseEntry(&m_db).Add(Batch("1", "10")).recorded);
        ASSERT_TRUE(CSalesEntry(&m_db).Add(SaleOf("1", "1", "12")).recorded);
        m_before = ReadBooks(m_db);
        // A settings dialog must not look at the machine's own autostart folder.
        ASSERT_TRUE(m_config.isValid());
        qputenv("XDG_CONFIG_DIRS", m_config.path().toUtf8());
    }

    void TearDown() override { qunsetenv("XDG_CONFIG_DIRS"); }

    void Stop() {
        ASSERT_NO_THROW(m_cluster->StopImmediately());
        m_prompts.Clear();
    }

    // The books as a new connection reads them after the server is back.
    BooksState BooksAfterRestart() {
        if (!m_cluster->IsRunning())
            m_cluster->Start();
        CDatabase fresh;
        EXPECT_TRUE(fresh.OpenEx(m_cluster->ConnectString()));
        return ReadBooks(fresh);
    }

    // Runs one step that talks to the dead server: it must come back soon and say what
    // happened, in a message or in the returned status.
    template <typename Step> void ExpectReported(const char* what, Step step) {
        SCOPED_TRACE(what);
        m_prompts.Clear();
        QElapsedTimer timer;
        timer.start();
        const QString status = step();
        EXPECT_LT(timer.elapsed(), kQueryTimeoutMs);
        const QStringList shown = m_prompts.Texts();
        EXPECT_TRUE(!status.isEmpty() || !shown.isEmpty()) << "failed silently";
        for (const QString& text : shown)
            EXPECT_FALSE(text.trimmed().isEmpty()) << "an empty message";
        m_said << QStringLiteral("%1: %2 %3")
                      .arg(QString::fromUtf8(what), status, shown.join(QLatin1Char('|')));
    }

    std::unique_ptr<CPrivateCluster> m_cluster;
    CDatabase m_db;
    BooksState m_before;
    CRecordingPrompts m_prompts;
    QTemporaryDir m_config;
    QStringList m_said;
};

TEST_F(ServerStoppedTest, EveryStatementReportsItsError) {
    q_grid grid;
    ASSERT_TRUE(grid.Create(&m_db, QStringLiteral("存"), QStringLiteral("SELECT * FROM 存"),
                            nullptr, QRect(0, 0, 800, 300), true, true));
    grid.SetPermissions(true, true, true, true);
    const std::vector<CResultColumn> columns = grid.Result().Columns();
    QStringList card;
    for (int c = 0; c < grid.GetColumnCount(); ++c)
        card << grid.GetItemText(0, c);
    Stop();

    ExpectReported("grid query", [&] {
        EXPECT_FALSE(grid.SetQuery(QStringLiteral("进"), QStringLiteral("SELECT * FROM 进")));
        return QString();
    });
    ExpectReported("grid reload", [&] {
        EXPECT_FALSE(grid.Reload());
        return QString();
    });
    ExpectReported("purchase entry", [&] {
        const CEntryOutcome outcome = CPurchaseEntry(&m_db).Add(Batch("2", "5"));
        EXPECT_FALSE(outcome.recorded);
        EXPECT_NE(outcome.status, CPurchaseEntry::kRecorded);
        return outcome.status;
    });
    ExpectReported("purchase lists", [&] {
        QString failure;
        const CPurchaseEntry::Lists lists = CPurchaseEntry(&m_db).OpeningLists(&failure);
        EXPECT_TRUE(lists.purchasers.isEmpty());
        return failure;
    });
    ExpectReported("sales pickers", [&] {
        QString failure;
        EXPECT_FALSE(CSalesEntry(&m_db).PickerLists({}, &failure).has_value());
        return failure;
    });
    ExpectReported("sales entry", [&] {
        const CEntryOutcome outcome =
            CSalesEntry(&m_db).Add(SaleOf("1", "1", "12", "2003-05-03 09:00:00"));
        EXPECT_FALSE(outcome.recorded);
        EXPECT_EQ(outcome.status, CSalesEntry::kLookupFailed);
        EXPECT_FALSE(outcome.message.isEmpty());
        return outcome.status;
    });
    CRowWriter writer(&m_db, nullptr);
    ExpectReported("write-back insert", [&] {
        QStringList other = card;
        other[0] = QStringLiteral("板蓝根颗粒");
        EXPECT_FALSE(writer.Insert(QStringLiteral("存"), columns, other));
        return QString();
    });
    ExpectReported("write-back update", [&] {
        QStringList changed = card;
        changed[5] = QStringLiteral("99");
        EXPECT_FALSE(writer.Update(QStringLiteral("存"), columns, card, changed));
        return QString();
    });
    ExpectReported("write-back delete", [&] {
        EXPECT_FALSE(writer.Delete(QStringLiteral("存"), columns, card));
        return QString();
    });
    ExpectReported("a statement", [&] {
        QString failure;
        EXPECT_FALSE(
            RunStatement(&m_db, QStringLiteral("销"), QStringLiteral("SELECT * FROM 销"), &failure)
                .has_value());
        return failure;
    });

    // Back again: nothing was lost and nothing half-written, but this connection stays broken
    // and keeps saying so rather than pretending.
    EXPECT_EQ(BooksAfterRestart(), m_before);
    ExpectReported("purchase entry after the restart",
                   [&] { return CPurchaseEntry(&m_db).Add(Batch("2", "5")).status; });
    std::cout << m_said.join(QLatin1Char('\n')).toStdString() << "\n";
}

// The server gone between two statements of an entry: the statements already run die with
// their transaction.
TEST_F(ServerStoppedTest, ServerGoneInsideAnEntryLeavesNoHalfEntry) {
    struct Case {
        const char* after; // the statement after which the server goes
        std::function<CEntryOutcome()> entry;
    };
    const Case cases[] = {
        {"INSERT INTO 进", [&] { return CPurchaseEntry(&m_db).Add(Batch("2", "5")); }},
        {"UPDATE 存", [&] { return CPurchaseEntry(&m_db).Add(Batch("2", "5")); }},
        {"INSERT INTO 销",
         [&] { return CSalesEntry(&m_db).Add(SaleOf("1", "1", "12", "2003-05-03 09:00:00")); }},
        {"UPDATE 存",
         [&] { return CSalesEntry(&m_db).Add(SaleOf("2", "1", "12", "2003-05-03 09:00:01")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.after);
        bool stopped = false;
        m_db.SetStatementHook([&](const QString& sql) {
            if (!stopped && sql.startsWith(QString::fromUtf8(c.after))) {
                stopped = true;
                m_cluster->StopImmediately();
            }
        });
        QElapsedTimer timer;
        timer.start();
        const CEntryOutcome outcome = c.entry();
        m_db.SetStatementHook({});
        EXPECT_TRUE(stopped);
        EXPECT_LT(timer.elapsed(), kQueryTimeoutMs);
        EXPECT_FALSE(outcome.recorded);
        EXPECT_FALSE(outcome.status.isEmpty());
        EXPECT_EQ(BooksAfterRestart(), m_before);
        // The connection died with the server; the program's next connection is a new one.
        m_db.Close();
        ASSERT_TRUE(m_db.OpenEx(m_cluster->ConnectString()));
    }
}

TEST_F(ServerStoppedTest, AfterARestartTheProgramCarriesOnOnANewConnection) {
    int reconnects = 0;
    m_db.SetReconnectHook([&] { ++reconnects; });
    Stop();
    ASSERT_NO_THROW(m_cluster->Start());
    // A query runs again at once, on a new connection.
    QString failure;
    const std::optional<CResultTable> rows = RunStatement(
        &m_db, QStringLiteral("存"), QStringLiteral("SELECT 现有存货量 FROM 存"), &failure);
    ASSERT_TRUE(rows) << failure.toStdString();
    EXPECT_EQ(rows->CellText(0, 0), "9");
    EXPECT_EQ(reconnects, 1);

    // After the next restart, a purchase whose first statement finds the connection gone is
    // reported as failed with nothing written; pressed again, it is recorded.
    Stop();
    ASSERT_NO_THROW(m_cluster->Start());
    const CEntryOutcome cut = CPurchaseEntry(&m_db).Add(Batch("2", "5"));
    EXPECT_FALSE(cut.recorded);
    EXPECT_FALSE(cut.status.isEmpty());
    EXPECT_TRUE(m_db.IsAutoCommit());
    const CEntryOutcome again = CPurchaseEntry(&m_db).Add(Batch("2", "5"));
    EXPECT_TRUE(again.recorded) << again.status.toStdString();
    EXPECT_EQ(reconnects, 2);
    // A sale looks its card up first, which opens the connection again before the entry.
    Stop();
    ASSERT_NO_THROW(m_cluster->Start());
    const CEntryOutcome sale =
        CSalesEntry(&m_db).Add(SaleOf("1", "1", "12", "2003-05-03 09:00:00"));
    EXPECT_TRUE(sale.recorded) << sale.status.toStdString();
    EXPECT_EQ(reconnects, 3);
    CDatabase other;
    ASSERT_TRUE(other.OpenEx(m_cluster->ConnectString()));
    EXPECT_EQ(QueryValue(other, "SELECT 现有存货量 FROM 存"), "13");
}

// A large result read in the background when the server restarts: the load fails with the
// driver's text and keeps no part of the rows; the next load reads them all again.
TEST_F(ServerStoppedTest, ALoadCutByARestartKeepsNoRowsAndTheNextOneReadsThemAll) {
    m_db.ExecuteSQL(QStringLiteral(
        "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
        "实收金额, 坏帐) SELECT TIMESTAMP '2004-01-01' + i * INTERVAL '1 minute', '药', '厂', "
        "'盒', '2030-01-01', 1, 1, '整盒销售', 1, 0 FROM generate_series(1, 40000) AS n(i)"));
    q_grid grid;
    ASSERT_TRUE(grid.Create(&m_db, QStringLiteral("销"), QStringLiteral("SELECT * FROM 销"),
                            nullptr, QRect(0, 0, 800, 300), true, true));
    ASSERT_LT(grid.model()->rowCount(), 40001) << "read whole before the restart";
    Stop();
    ASSERT_NO_THROW(m_cluster->Start());
    EXPECT_EQ(grid.GetItemCount(), 0);
    EXPECT_EQ(grid.Result().ColumnCount(), 15);
    ASSERT_EQ(m_prompts.Texts().size(), 1u);
    EXPECT_FALSE(m_prompts.Texts().at(0).trimmed().isEmpty());

    EXPECT_TRUE(grid.Reload());
    EXPECT_EQ(grid.GetItemCount(), 40001);
    EXPECT_EQ(m_prompts.Texts().size(), 1u);
}

// Closes a dialog with its 关闭 button (id 2) or, without one, with the window's close.
void CloseWithButton(QDialog& dialog) {
    if (QPushButton* close = Button(dialog, 2))
        close->click();
    else
        dialog.reject();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(ServerStoppedTest, DialogsOpenWhenTheServerGoesCanStillBeUsedAndClosed) {
    CPurchaseEntryDlg purchase(&m_db);
    CSalesEntryDlg sales(&m_db);
    CStockMaintDlg stock(&m_db);
    CSettingsDlg settings(&m_db);
    for (QDialog* dialog : std::initializer_list<QDialog*>{&purchase, &sales, &stock, &settings})
        dialog->show();
    ASSERT_TRUE(m_prompts.Texts().isEmpty());
    Stop();

    ExpectReported("purchase 添加", [&] {
        purchase.findChild<QLineEdit*>(QStringLiteral("1054"))->setText(QStringLiteral("板蓝根"));
        purchase.findChild<QLineEdit*>(QStringLiteral("1055"))->setText(QStringLiteral("白云山"));
        purchase.findChild<QLineEdit*>(QStringLiteral("1056"))->setText(QStringLiteral("10g"));
        Button(purchase, 1)->click();
        return purchase.findChild<QLabel*>(QStringLiteral("1060"))->text();
    });
    EXPECT_NE(purchase.findChild<QLabel*>(QStringLiteral("1060"))->text(),
              CPurchaseEntry::kRecorded);
    ExpectReported("sales 添加", [&] {
        const std::pair<const char*, QString> card[] = {
            {"1050", QStringLiteral("阿莫西林胶囊")},
            {"1051", QStringLiteral("石药集团")},
            {"1052", QStringLiteral("0.25g*24粒")},
            {"1058", QStringLiteral("2005-04-30")},
        };
        for (const auto& [id, text] : card)
            sales.findChild<QComboBox*>(QString::fromLatin1(id))->setEditText(text);
        Button(sales, 1)->click();
        EXPECT_EQ(sales.findChild<QLabel*>(QStringLiteral("1060"))->text(),
                  CSalesEntry::kLookupFailed);
        return sales.findChild<QLabel*>(QStringLiteral("1060"))->text();
    });
    ExpectReported("stock 更新", [&] {
        stock.OnReload();
        return QString();
    });
    ExpectReported("settings 更新", [&] {
        settings.OnReload();
        return QString();
    });
    for (QDialog* dialog : std::initializer_list<QDialog*>{&purchase, &sales, &stock, &settings})
        CloseWithButton(*dialog);
    std::cout << m_said.join(QLatin1Char('\n')).toStdString() << "\n";
    EXPECT_EQ(BooksAfterRestart(), m_before);
}

TEST_F(ServerStoppedTest, DialogsOpenedAfterTheServerWentReportAndClose) {
    Stop();
    ExpectReported("login dialog", [&] {
        CLoginDlg login(&m_db);
        login.show();
        // Nobody can be admitted; cancelling ends the dialog.
        Button(login, 1)->click();
        EXPECT_NE(login.result(), QDialog::Accepted);
        Button(login, 2)->click();
        EXPECT_EQ(login.result(), QDialog::Rejected);
        return QString();
    });
    ExpectReported("purchase dialog", [&] {
        CPurchaseEntryDlg purchase(&m_db);
        purchase.show();
        CloseWithButton(purchase);
        return QString();
    });
    ExpectReported("sales dialog", [&] {
        CSalesEntryDlg sales(&m_db);
        sales.show();
        CloseWithButton(sales);
        return QString();
    });
    ExpectReported("purchase maintenance", [&] {
        CPurchaseMaintDlg maint(&m_db);
        maint.show();
        CloseWithButton(maint);
        return QString();
    });
    ExpectReported("sales maintenance", [&] {
        CSalesMaintDlg maint(&m_db);
        maint.show();
        CloseWithButton(maint);
        return QString();
    });
    ExpectReported("settings", [&] {
        CSettingsDlg settings(&m_db);
        settings.show();
        CloseWithButton(settings);
        return QString();
    });
    std::cout << m_said.join(QLatin1Char('\n')).toStdString() << "\n";
}

} // namespace
