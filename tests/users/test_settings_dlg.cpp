// The settings dialog on both backends: the operator grid and its buttons, the delete question
// and the last-operator refusal, a new operator who can log in, the keyboard, and the
// start-with-the-system check box over a temporary $XDG_CONFIG_DIRS.
#include "CAddOperatorDlg.h"
#include "CAlertSettingsGroup.h"
#include "CBackupSettingsGroup.h"
#include "CPaymentSettingsGroup.h"
#include "CReceiptSettingsGroup.h"
#include "CSetPasswordDlg.h"
#include "CSettingsDlg.h"
#include "CTestBooks.h"
#include "CTraceSettingsGroup.h"
#include "alert_settings.h"
#include "backup_settings.h"
#include "desktop_entry.h"
#include "login_check.h"
#include "operator_passwords.h"
#include "operator_rows.h"
#include "pharmacists.h"
#include "q_edit.h"
#include "q_grid.h"
#include "query_rows.h"
#include "read_only_path.h"
#include "recording_prompts.h"
#include "result_loader.h"
#include "settings_groups.h"
#include "ui_driving.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace uitest;

const QColor kLoadedBackground(255, 242, 255);
const QColor kGridBackground(255, 255, 225);

void ClickBox(QCheckBox& box) {
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, box.height() / 2));
}

int RowOf(const q_grid& grid, const QString& name) {
    for (int r = 0; r < grid.GetItemCount(); ++r)
        if (grid.GetItemText(r, 0) == name)
            return r;
    return -1;
}

class SettingsDlgTest : public CBooksTest {
protected:
    void SetUp() override {
        for (const char* name : kConfigVariables)
            m_oldConfig.emplace_back(qEnvironmentVariableIsSet(name), qgetenv(name));
        CBooksTest::SetUp();
        if (!m_books)
            return;
        ASSERT_TRUE(m_config.isValid());
        SetConfigDirs(m_config.path() + QStringLiteral("/xdg:/etc/xdg"));
        // Where the system's folder is refused, the user's takes the entry: never the real one.
        SetConfigHome(m_config.path() + QStringLiteral("/home"));
        Db().SetStatementHook([this](const QString& sql) { m_sent << sql; });
    }
    void TearDown() override {
        if (m_books)
            Db().SetStatementHook({});
        for (std::size_t i = 0; i < m_oldConfig.size(); ++i) {
            if (m_oldConfig[i].first)
                qputenv(kConfigVariables[i], m_oldConfig[i].second);
            else
                qunsetenv(kConfigVariables[i]);
        }
    }
    static constexpr const char* kConfigVariables[] = {"XDG_CONFIG_DIRS", "XDG_CONFIG_HOME"};
    static void SetConfigDirs(const QString& dirs) { qputenv("XDG_CONFIG_DIRS", dirs.toUtf8()); }
    static void SetConfigHome(const QString& dir) { qputenv("XDG_CONFIG_HOME", dir.toUtf8()); }
    QString EntryPath() const {
        return m_config.path() + QStringLiteral("/xdg/autostart/青杏药店进销存管理系统.desktop");
    }

    // The dialog as 系统设置 would show it, without waiting for it.
    std::unique_ptr<CSettingsDlg> Open() {
        auto dialog = std::make_unique<CSettingsDlg>(&Db(), nullptr, CAutoRunEntry(),
                                                     QStringLiteral("管理员"));
        AddSettingsGroups(*dialog, &Db(), QStringLiteral("管理员"));
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        m_sent.clear();
        return dialog;
    }
    void AddOperator(const QString& name, const QString& password) {
        Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('%1', '%2')")
                 .arg(name, password));
    }
    QStringList Operators() {
        QStringList out;
        for (const QStringList& row :
             QueryRows(Db(), QStringLiteral("SELECT 用户名, 密码 FROM 操作员 ORDER BY 用户名")))
            out << row[0] + QLatin1Char('/') + row[1];
        return out;
    }
    // 设置密码... for the selected row: types `password` twice and presses 确定 (then 取消, in
    // case it was refused).
    void SetPassword(CSettingsDlg& dialog, const QString& password) {
        QTimer::singleShot(0, [password] {
            auto* set = qobject_cast<CSetPasswordDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(set, nullptr);
            for (int id : {CSetPasswordDlg::IdNew, CSetPasswordDlg::IdRepeated})
                set->findChild<QLineEdit*>(QString::number(id))->setText(password);
            set->OnOk();
            if (set->isVisible())
                set->reject();
        });
        Press(dialog, CSettingsDlg::IdSetPassword);
    }
    // 添加: fills the new operator's dialog and presses 确定 (then 取消, in case it was refused).
    void Add(CSettingsDlg& dialog, const QString& name, const QString& role,
             const QString& password, const QString& repeated) {
        QTimer::singleShot(0, [=] {
            auto* add = qobject_cast<CAddOperatorDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(add, nullptr);
            add->findChild<QLineEdit*>(QString::number(CAddOperatorDlg::IdName))->setText(name);
            add->findChild<QComboBox*>(QString::number(CAddOperatorDlg::IdRole))
                ->setCurrentText(role);
            add->findChild<QLineEdit*>(QString::number(CAddOperatorDlg::IdNew))->setText(password);
            add->findChild<QLineEdit*>(QString::number(CAddOperatorDlg::IdRepeated))
                ->setText(repeated);
            add->OnOk();
            if (add->isVisible())
                add->reject();
        });
        Press(dialog, CSettingsDlg::IdAdd);
    }
    QStringList Deletes() const {
        QStringList out;
        for (const QString& sql : m_sent)
            if (sql.startsWith(QLatin1String("DELETE")))
                out << sql;
        return out;
    }
    // What the login would decide now, from the books.
    CLoginCheck::Outcome Login(const QString& name, const QString& password) {
        const auto rows = RunStatement(&Db(), QStringLiteral("操作员"),
                                       QStringLiteral("SELECT * FROM 操作员"), nullptr);
        EXPECT_TRUE(rows.has_value());
        return CLoginCheck::FromResult(rows ? *rows : CResultTable()).Check(name, password);
    }

    QTemporaryDir m_config;
    std::vector<std::pair<bool, QByteArray>> m_oldConfig;
    QStringList m_sent;
    CRecordingPrompts m_prompts;
};

// --- layout and look --------------------------------------------------------------------------

TEST_P(SettingsDlgTest, LayoutAndLookAfterAGoodLoad) {
    auto dialog = Open();
    EXPECT_EQ(dialog->objectName(), QStringLiteral("153"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("系统设置"));

    auto* group = dialog->findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), QStringLiteral("用户列表"));
    auto* placeholder = dialog->findChild<QLabel*>(QStringLiteral("1042"));
    ASSERT_NE(placeholder, nullptr);
    EXPECT_TRUE(group->geometry().contains(placeholder->geometry()));
    q_grid* grid = dialog->Grid();
    EXPECT_EQ(grid->geometry(), placeholder->geometry());
    EXPECT_EQ(grid->frameShadow(), QFrame::Sunken);
    auto* banner = dialog->findChild<QLabel*>(QStringLiteral("186"));
    ASSERT_NE(banner, nullptr);
    EXPECT_LE(banner->geometry().bottom(), group->geometry().top());

    // 更新 保存 删除 添加 left to right in one row under the grid; the check box at the bottom
    // left, 关闭 at the bottom right; no default button.
    int lastX = -1;
    for (const auto& [id, text] : std::vector<std::pair<int, QString>>{
             {3, "更新"}, {6, "保存"}, {5, "删除"}, {4, "添加"}, {1049, "设置密码..."}}) {
        QPushButton* button = Button(*dialog, id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->text(), text);
        EXPECT_GT(button->x(), lastX);
        EXPECT_EQ(button->y(), Button(*dialog, 3)->y());
        EXPECT_GT(button->y(), grid->geometry().bottom());
        EXPECT_FALSE(button->isDefault() || button->autoDefault()) << id;
        lastX = button->x();
    }
    QPushButton* close = Button(*dialog, 2);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("关闭"));
    EXPECT_FALSE(close->isDefault() || close->autoDefault());
    EXPECT_GT(close->geometry().right(), Button(*dialog, 4)->geometry().right());
    EXPECT_GT(close->y(), Button(*dialog, 3)->y());
    QCheckBox* box = dialog->AutoRunBox();
    EXPECT_EQ(box->objectName(), QStringLiteral("1043"));
    EXPECT_EQ(box->text(), QStringLiteral("开机自动运行"));
    EXPECT_LT(box->x(), Button(*dialog, 3)->x());
    EXPECT_GT(box->y(), Button(*dialog, 3)->y());

    // Name, role and whether a password is set, never the password or its hash; in the
    // settings colours, names 200 wide.
    ASSERT_EQ(grid->GetColumnCount(), 3);
    EXPECT_EQ(grid->ColumnTitle(0), QStringLiteral("用户名"));
    EXPECT_EQ(grid->ColumnTitle(1), QStringLiteral("角色"));
    EXPECT_EQ(grid->ColumnTitle(2), QStringLiteral("密码"));
    ASSERT_EQ(grid->GetItemCount(), 1);
    EXPECT_EQ(GridRow(*grid, 0), (QStringList{"管理员", "店长", "已设置"}));
    EXPECT_TRUE(grid->Editor(2)->GetEdit()->isReadOnly());
    EXPECT_FALSE(grid->Editor(1)->GetEdit()->isReadOnly());
    EXPECT_EQ(grid->columnWidth(0), 200);
    EXPECT_EQ(grid->palette().color(QPalette::Base), kLoadedBackground);
    EXPECT_TRUE(grid->m_bAllowSort && grid->m_bAllowAdd && grid->m_bAllowDelete &&
                grid->m_bAllowEdit);
    EXPECT_FALSE(grid->Sql().contains(QStringLiteral("select 用户名, 密码")));
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(SettingsDlgTest, ClosedConnectionKeepsTheGridsDefaultsButTheBoxWorks) {
    Db().Close();
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    EXPECT_EQ(grid->GetColumnCount(), 0);
    EXPECT_EQ(grid->palette().color(QPalette::Base), kGridBackground);
    EXPECT_FALSE(grid->m_bAllowAdd || grid->m_bAllowDelete || grid->m_bAllowEdit);
    Press(*dialog, CSettingsDlg::IdReload);
    Press(*dialog, CSettingsDlg::IdAdd);
    EXPECT_EQ(grid->GetItemCount(), 0);
    Press(*dialog, CSettingsDlg::IdDelete);
    EXPECT_EQ(m_prompts.Texts(), QStringList{QStringLiteral("请选择一个不在使用的帐号。")});
    ClickBox(*dialog->AutoRunBox());
    EXPECT_TRUE(dialog->AutoRunBox()->isChecked());
    EXPECT_TRUE(QFile::exists(EntryPath()));
}

TEST_P(SettingsDlgTest, FailedLoadStaysReadOnlyAfterReload) {
    Books().DropTables();
    auto dialog = Open();
    // The driver's text, from the grid.
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    q_grid* grid = dialog->Grid();
    EXPECT_EQ(grid->palette().color(QPalette::Base), kGridBackground);
    // The table is back, 更新 loads it, and for this opening it stays read-only.
    Exec(QStringLiteral("CREATE TABLE 操作员 (用户名 VARCHAR(50) NOT NULL PRIMARY KEY, "
                        "密码 VARCHAR(50) NOT NULL, 角色 VARCHAR(10) NOT NULL DEFAULT '店长')"));
    AddOperator(QStringLiteral("管理员"), QStringLiteral("737"));
    Press(*dialog, CSettingsDlg::IdReload);
    EXPECT_EQ(grid->GetItemCount(), 1);
    EXPECT_FALSE(grid->m_bAllowAdd || grid->m_bAllowDelete || grid->m_bAllowEdit);
    EXPECT_EQ(grid->palette().color(QPalette::Base), kGridBackground);
    EXPECT_EQ(grid->columnWidth(0), 130);
}

// --- the operator grid ------------------------------------------------------------------------

TEST_P(SettingsDlgTest, ReloadShowsTheTablesRowsNow) {
    auto dialog = Open();
    auto other = Books().OpenAnotherConnection();
    other->ExecuteSQL(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('李四', 'pw')"));
    EXPECT_EQ(dialog->Grid()->GetItemCount(), 1);
    Press(*dialog, CSettingsDlg::IdReload);
    EXPECT_EQ(dialog->Grid()->GetItemCount(), 2);
    EXPECT_GE(RowOf(*dialog->Grid(), QStringLiteral("李四")), 0);
    // Still wide enough for names.
    EXPECT_EQ(dialog->Grid()->columnWidth(0), 200);
}

TEST_P(SettingsDlgTest, AnAddedOperatorCanLogIn) {
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    // Each refusal keeps the books as they were.
    const struct {
        const char* name;
        const char* role;
        const char* password;
        const char* repeated;
        QString said;
    } refused[] = {
        {"管理员", "店长", "abc", "abc", QString()}, // the books hold the name already
        {" ", "营业员", "abc", "abc", operatorrows::kEmptyName},
        {"张三", "营业员", "", "", operatorpasswords::kEmptyNewOperatorPassword},
        {"张三", "营业员", "abc", "abd", QString()},
    };
    for (const auto& r : refused) {
        Add(*dialog, QString::fromUtf8(r.name), QString::fromUtf8(r.role),
            QString::fromUtf8(r.password), QString::fromUtf8(r.repeated));
        if (!r.said.isEmpty()) {
            EXPECT_EQ(m_prompts.Texts().last(), r.said) << r.name << r.role << r.password;
        }
        EXPECT_EQ(Operators(), QStringList{QStringLiteral("管理员/737")});
    }
    EXPECT_EQ(m_prompts.Texts().size(), 4);
    // The name, the role and only the password's hash, with the log row, at once.
    Add(*dialog, QStringLiteral("张三"), QStringLiteral("营业员"), QStringLiteral("abc"),
        QStringLiteral("abc"));
    EXPECT_EQ(Login(QStringLiteral("张三"), QStringLiteral("abc")), CLoginCheck::Outcome::Admitted);
    EXPECT_FALSE(Operators()[0].contains(QStringLiteral("abc")));
    EXPECT_EQ(GridRow(*grid, RowOf(*grid, QStringLiteral("张三"))),
              (QStringList{"张三", "营业员", "已设置"}));
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT 操作员, 动作, 内容 FROM 日志 ORDER BY 序号")),
              (std::vector<QStringList>{{"管理员", "添加", "用户名：张三；角色：营业员"}}));
    // A row added in the grid by hand has no password: it cannot log in until 设置密码.
    grid->AddRow();
    Type(*grid, 0, QStringLiteral("李四"));
    Press(*dialog, CSettingsDlg::IdSave);
    EXPECT_EQ(GridRow(*grid, RowOf(*grid, QStringLiteral("李四"))),
              (QStringList{"李四", "营业员", "未设置"}));
    EXPECT_EQ(Login(QStringLiteral("李四"), QString()), CLoginCheck::Outcome::NoPassword);
    grid->selectRow(RowOf(*grid, QStringLiteral("李四")));
    SetPassword(*dialog, QString());
    EXPECT_EQ(m_prompts.Texts().last(), operatorpasswords::kEmptyPassword);
    grid->selectRow(RowOf(*grid, QStringLiteral("李四")));
    SetPassword(*dialog, QStringLiteral("def"));
    EXPECT_EQ(Login(QStringLiteral("李四"), QStringLiteral("def")), CLoginCheck::Outcome::Admitted);
}

TEST_P(SettingsDlgTest, ChangedPasswordIsTheOneThatWorks) {
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    // Text in the password column is never written: only 设置密码 sets a password.
    ClickRow(*grid, 0);
    Type(*grid, 2, QStringLiteral("n3w"));
    Press(*dialog, CSettingsDlg::IdSave);
    EXPECT_EQ(Operators(), QStringList{QStringLiteral("管理员/737")});
    EXPECT_EQ(grid->GetItemText(0, 2), QStringLiteral("已设置"));
    grid->selectRow(0);
    SetPassword(*dialog, QStringLiteral("n3w"));
    EXPECT_EQ(Login(QStringLiteral("管理员"), QStringLiteral("737")),
              CLoginCheck::Outcome::WrongPassword);
    EXPECT_EQ(Login(QStringLiteral("管理员"), QStringLiteral("n3w")),
              CLoginCheck::Outcome::Admitted);
}

TEST_P(SettingsDlgTest, ExistingNameIsRefusedByTheBooks) {
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    grid->AddRow();
    Type(*grid, 0, QStringLiteral("管理员"));
    Type(*grid, 1, QStringLiteral("other"));
    Press(*dialog, CSettingsDlg::IdSave);
    // The grid shows the driver's message and drops the row; the books keep one 管理员.
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(grid->GetItemCount(), 1);
    EXPECT_EQ(Operators(), QStringList{QStringLiteral("管理员/737")});
}

// --- 删除 -------------------------------------------------------------------------------------

TEST_P(SettingsDlgTest, DeleteWithoutSelectionSaysChooseAnAccount) {
    AddOperator(QStringLiteral("张三"), QStringLiteral("abc"));
    auto dialog = Open();
    Press(*dialog, CSettingsDlg::IdDelete);
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text, QStringLiteral("请选择一个不在使用的帐号。"));
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::Ok);
    EXPECT_TRUE(Deletes().isEmpty());
    EXPECT_EQ(Operators().size(), 2);
}

TEST_P(SettingsDlgTest, YesDeletesTheAccountInUseToo) {
    Exec(QStringLiteral("INSERT INTO 操作员 VALUES ('张三', 'abc', '店长')"));
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    grid->selectRow(RowOf(*grid, QStringLiteral("管理员")));
    m_prompts.AnswerNext(CPrompts::Answer::Yes);
    Press(*dialog, CSettingsDlg::IdDelete);
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text, QStringLiteral("确认删除帐号:管理员  ?"));
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::YesNo);
    EXPECT_EQ(m_prompts.Messages()[0].icon, CPrompts::Icon::Question);
    EXPECT_EQ(Operators(), QStringList{QStringLiteral("张三/abc")});
    EXPECT_EQ(grid->GetItemCount(), 1);
    EXPECT_EQ(grid->GetItemText(0, 0), QStringLiteral("张三"));
}

TEST_P(SettingsDlgTest, NoKeepsTheRow) {
    AddOperator(QStringLiteral("张三"), QStringLiteral("abc"));
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    grid->selectRow(RowOf(*grid, QStringLiteral("张三")));
    m_prompts.AnswerNext(CPrompts::Answer::No);
    Press(*dialog, CSettingsDlg::IdDelete);
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text, QStringLiteral("确认删除帐号:张三  ?"));
    EXPECT_TRUE(Deletes().isEmpty());
    EXPECT_EQ(grid->GetItemCount(), 2);
    EXPECT_EQ(Operators().size(), 2);
}

TEST_P(SettingsDlgTest, TheLastOperatorIsNeverDeleted) {
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    grid->selectRow(0);
    m_prompts.AnswerNext(CPrompts::Answer::Yes);
    Press(*dialog, CSettingsDlg::IdDelete);
    // Refused outright: no question whose Yes would be refused anyway.
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::Ok);
    EXPECT_TRUE(m_prompts.Messages()[0].text.contains(QStringLiteral("最后一个帐号")));
    EXPECT_TRUE(Deletes().isEmpty());
    EXPECT_EQ(grid->GetItemCount(), 1);
    EXPECT_EQ(Login(QStringLiteral("管理员"), QStringLiteral("737")),
              CLoginCheck::Outcome::Admitted);
}

TEST_P(SettingsDlgTest, TheBooksCountNotTheGrid) {
    AddOperator(QStringLiteral("张三"), QStringLiteral("abc"));
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    // Another counter removed 张三 after the list was loaded: the grid still shows two.
    Books().OpenAnotherConnection()->ExecuteSQL(
        QStringLiteral("DELETE FROM 操作员 WHERE 用户名='张三'"));
    ASSERT_EQ(grid->GetItemCount(), 2);
    grid->selectRow(RowOf(*grid, QStringLiteral("管理员")));
    m_prompts.AnswerNext(CPrompts::Answer::Yes);
    Press(*dialog, CSettingsDlg::IdDelete);
    EXPECT_TRUE(Deletes().isEmpty());
    EXPECT_EQ(Operators(), QStringList{QStringLiteral("管理员/737")});
}

TEST_P(SettingsDlgTest, TheLastManagerIsNeitherDeletedNorDemoted) {
    AddOperator(QStringLiteral("张三"), QStringLiteral("abc"));
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    const int row = RowOf(*grid, QStringLiteral("管理员"));
    const QString refusal = operatorrows::LastManagerText(QStringLiteral("管理员"));
    grid->selectRow(row);
    m_prompts.AnswerNext(CPrompts::Answer::Yes);
    Press(*dialog, CSettingsDlg::IdDelete);
    EXPECT_TRUE(Deletes().isEmpty());
    ClickRow(*grid, row);
    Type(*grid, 1, QStringLiteral("营业员"));
    Press(*dialog, CSettingsDlg::IdSave);
    EXPECT_EQ(m_prompts.Texts(), (QStringList{refusal, refusal}));
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT 角色 FROM 操作员 WHERE 用户名='管理员'")),
              QStringLiteral("店长"));
    // With a second 店长 in the books (another counter made one), the demotion goes through.
    Books().OpenAnotherConnection()->ExecuteSQL(
        QStringLiteral("UPDATE 操作员 SET 角色='店长' WHERE 用户名='张三'"));
    ClickRow(*grid, row);
    Type(*grid, 1, QStringLiteral("营业员"));
    Press(*dialog, CSettingsDlg::IdSave);
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT 角色 FROM 操作员 WHERE 用户名='管理员'")),
              QStringLiteral("营业员"));
    EXPECT_EQ(m_prompts.Texts().size(), 2);
}

TEST_P(SettingsDlgTest, TwoCountersDemotingTheOnlyTwoManagersLeaveOne) {
    if (GetParam() == Backend::SQLite)
        GTEST_SKIP() << "SQLite books take one writer at a time: no other counter can write "
                        "inside the change";
    AddOperator(QStringLiteral("张三"), QStringLiteral("abc"));
    Exec(QStringLiteral("UPDATE 操作员 SET 角色='店长' WHERE 用户名='张三'"));
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    // Between this dialog's look at the roles and its write, another counter demotes 张三.
    auto other = Books().OpenAnotherConnection();
    bool demoted = false;
    Db().SetStatementHook([&](const QString& sql) {
        if (!demoted && sql.startsWith(QStringLiteral("UPDATE 操作员"))) {
            demoted = true;
            other->ExecuteSQL(
                QStringLiteral("UPDATE 操作员 SET 角色='营业员' WHERE 用户名='张三'"));
        }
    });
    ClickRow(*grid, RowOf(*grid, QStringLiteral("管理员")));
    Type(*grid, 1, QStringLiteral("营业员"));
    Press(*dialog, CSettingsDlg::IdSave);
    Db().SetStatementHook({});
    ASSERT_TRUE(demoted);
    EXPECT_EQ(m_prompts.Texts(),
              QStringList{operatorrows::LastManagerText(QStringLiteral("管理员"))});
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT 角色 FROM 操作员 WHERE 用户名='管理员'")),
              QStringLiteral("店长"));
}

TEST_P(SettingsDlgTest, AnUnsavedRowCanBeDeletedBesideTheLastOperator) {
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    grid->AddRow();
    Type(*grid, 0, QStringLiteral("新人"));
    grid->selectRow(1);
    m_prompts.AnswerNext(CPrompts::Answer::Yes);
    Press(*dialog, CSettingsDlg::IdDelete);
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text, QStringLiteral("确认删除帐号:  ?"));
    // Written first, then deleted as written.
    EXPECT_EQ(Operators(), QStringList{QStringLiteral("管理员/737")});
    EXPECT_EQ(grid->GetItemCount(), 1);
}

// --- keyboard ---------------------------------------------------------------------------------

TEST_P(SettingsDlgTest, EnterPressesOnlyAFocusedButtonAndClosingDiscardsTheOpenRow) {
    for (bool byEscape : {true, false}) {
        auto dialog = Open();
        q_grid* grid = dialog->Grid();
        ClickRow(*grid, 0);
        QLineEdit* edit = grid->Editor(1)->GetEdit();
        edit->setText(QStringLiteral("typed"));
        QTest::keyClick(edit, Qt::Key_Return);
        dialog->AutoRunBox()->setFocus();
        QTest::keyClick(dialog->AutoRunBox(), Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(dialog.get(), Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(grid->EditRow(), 0);
        EXPECT_FALSE(dialog->AutoRunBox()->isChecked());

        if (byEscape) {
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        } else {
            // As in every dialog, Enter presses the button that has the focus.
            Button(*dialog, CSettingsDlg::IdClose)->setFocus();
            QTest::keyClick(Button(*dialog, CSettingsDlg::IdClose), Qt::Key_Return);
        }
        EXPECT_FALSE(dialog->isVisible());
        dialog.reset();
        EXPECT_EQ(Operators(), QStringList{QStringLiteral("管理员/737")});
    }
}

// --- 开机自动运行 ------------------------------------------------------------------------------

TEST_P(SettingsDlgTest, TickingWritesTheEntryAndClearingRemovesIt) {
    auto dialog = Open();
    QCheckBox* box = dialog->AutoRunBox();
    ClickBox(*box);
    ASSERT_TRUE(box->isChecked());
    QFile file(EntryPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    EXPECT_EQ(text, desktopentry::EntryText(QStringLiteral("青杏药店进销存管理系统"),
                                            QCoreApplication::applicationFilePath()));
    ClickBox(*box);
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(QFile::exists(EntryPath()));
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(SettingsDlgTest, OpeningShowsWhetherAnEntryIsThere) {
    EXPECT_FALSE(Open()->AutoRunBox()->isChecked());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(EntryPath()).path()));
    {
        QFile file(EntryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nType=Application\nExec=/somewhere/else/apricot\n");
    }
    // Whatever program it names.
    EXPECT_TRUE(Open()->AutoRunBox()->isChecked());
    {
        QFile file(EntryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Desktop Entry]\nType=Application\nExec=\n");
    }
    EXPECT_FALSE(Open()->AutoRunBox()->isChecked());
}

TEST_P(SettingsDlgTest, RefusedWriteShowsTheRealStateAndSaysWhy) {
    const QString plain = m_config.path() + QStringLiteral("/plain-file");
    {
        QFile file(plain);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    SetConfigDirs(plain);
    SetConfigHome(plain);
    auto dialog = Open();
    QCheckBox* box = dialog->AutoRunBox();
    ClickBox(*box);
    EXPECT_FALSE(box->isChecked());
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_TRUE(m_prompts.Messages()[0].text.startsWith(QStringLiteral("无法设置开机自动运行：")))
        << m_prompts.Messages()[0].text.toStdString();
    EXPECT_TRUE(m_prompts.Messages()[0].text.contains(plain));
    EXPECT_EQ(m_prompts.Messages()[0].icon, CPrompts::Icon::Warning);
}

TEST_P(SettingsDlgTest, RefusedRemovalShowsTheBoxTickedAgain) {
    ASSERT_TRUE(CAutoRunEntry(QStringLiteral("/opt/apricot"),
                              m_config.path() + QStringLiteral("/xdg"),
                              m_config.path() + QStringLiteral("/home"))
                    .Set());
    auto dialog = Open();
    QCheckBox* box = dialog->AutoRunBox();
    ASSERT_TRUE(box->isChecked());
    CReadOnlyPath lock(QFileInfo(EntryPath()).path());
    if (!lock.Refuses())
        GTEST_SKIP() << "this file system lets every write through";
    ClickBox(*box);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(QFile::exists(EntryPath()));
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_TRUE(m_prompts.Messages()[0].text.startsWith(QStringLiteral("无法取消开机自动运行：")))
        << m_prompts.Messages()[0].text.toStdString();
}

// --- 药品预警 ---------------------------------------------------------------------------------

TEST_P(SettingsDlgTest, AlertThresholdsAreSavedOnlyWhenBothAreValid) {
    // The settings file's place is fixed for the whole test program.
    QSettings().remove(QStringLiteral("Alerts"));
    auto dialog = Open();
    auto* days = dialog->findChild<QLineEdit*>(QStringLiteral("1044"));
    auto* boxes = dialog->findChild<QLineEdit*>(QStringLiteral("1045"));
    ASSERT_TRUE(days && boxes);
    EXPECT_EQ(days->text(), QStringLiteral("180"));
    EXPECT_EQ(boxes->text(), QStringLiteral("5"));

    // A bad second value keeps the good first one from being saved too.
    days->setText(QStringLiteral("90"));
    boxes->setText(QStringLiteral("-1"));
    QTest::mouseClick(Button(*dialog, CAlertSettingsGroup::IdApplyAlerts), Qt::LeftButton);
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_TRUE(m_prompts.Messages()[0].text.contains(QStringLiteral("缺货下限（盒）")));
    EXPECT_EQ(CAlertSettings::Load().nearExpiryDays, 180);

    boxes->setText(QStringLiteral(" 2.5 "));
    QTest::mouseClick(Button(*dialog, CAlertSettingsGroup::IdApplyAlerts), Qt::LeftButton);
    EXPECT_EQ(m_prompts.Messages().size(), 1u);
    const CAlertSettings saved = CAlertSettings::Load();
    EXPECT_EQ(saved.nearExpiryDays, 90);
    EXPECT_EQ(saved.shortageBoxes, 2.5);
    // Only what was saved is logged, old → new.
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT 操作员, 动作, 内容 FROM 日志")),
              (std::vector<QStringList>{
                  {"管理员", "预警设置",
                   "近效期（天）：180 → 90；缺货下限（盒）：5 → 2.5；过期药品禁止销售：是 → 是"}}));
    EXPECT_EQ(Open()->findChild<QLineEdit*>(QStringLiteral("1045"))->text(), QStringLiteral("2.5"));
}

TEST_P(SettingsDlgTest, TheExpiredLockIsSavedByApplyAndShownAtTheNextOpening) {
    // Nonsense saved locks, as nothing saved does.
    QSettings().remove(QStringLiteral("Alerts"));
    QSettings().setValue(QStringLiteral("Alerts/ExpiredLocked"), QStringLiteral("nonsense"));
    auto dialog = Open();
    auto* locked =
        dialog->findChild<QCheckBox*>(QString::number(CAlertSettingsGroup::IdExpiredLocked));
    ASSERT_TRUE(locked);
    EXPECT_EQ(locked->text(), QStringLiteral("过期药品禁止销售"));
    EXPECT_TRUE(locked->isChecked());
    // Inside 药品预警, under its fields, clear of the other groups the dialog stacks.
    const auto onDialog = [&dialog](const QWidget* widget) {
        return QRect(widget->mapTo(dialog.get(), QPoint()), widget->size());
    };
    for (auto* group : dialog->findChildren<QGroupBox*>()) {
        if (group->title() == QStringLiteral("药品预警")) {
            EXPECT_TRUE(onDialog(group).contains(onDialog(locked)));
            EXPECT_GT(onDialog(locked).y(),
                      onDialog(dialog->findChild<QLineEdit*>(QStringLiteral("1044"))).bottom());
        } else {
            EXPECT_FALSE(onDialog(group).intersects(onDialog(locked)))
                << group->title().toStdString();
        }
    }

    const std::pair<bool, const char*> changes[] = {{false, "是 → 否"}, {true, "否 → 是"}};
    QStringList logged;
    for (const auto& [tick, change] : changes) {
        ClickBox(*locked);
        ASSERT_EQ(locked->isChecked(), tick);
        // Only 应用 saves it.
        EXPECT_EQ(CAlertSettings::Load().expiredLocked, !tick);
        QTest::mouseClick(Button(*dialog, CAlertSettingsGroup::IdApplyAlerts), Qt::LeftButton);
        EXPECT_EQ(CAlertSettings::Load().expiredLocked, tick);
        logged << QStringLiteral(
                      "近效期（天）：180 → 180；缺货下限（盒）：5 → 5；过期药品禁止销售：") +
                      QString::fromUtf8(change);
        dialog = Open();
        locked =
            dialog->findChild<QCheckBox*>(QString::number(CAlertSettingsGroup::IdExpiredLocked));
        EXPECT_EQ(locked->isChecked(), tick);
    }
    QStringList rows;
    for (const QStringList& row :
         QueryRows(Db(), QStringLiteral("SELECT 内容 FROM 日志 ORDER BY 序号")))
        rows << row[0];
    EXPECT_EQ(rows, logged);
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(SettingsDlgTest, BackupsKeptAreSavedOnlyWhenAWholeNumberFromOne) {
    QSettings().remove(QStringLiteral("Backup"));
    auto dialog = Open();
    auto* kept =
        dialog->findChild<QLineEdit*>(QString::number(CBackupSettingsGroup::IdBackupsKept));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->text(), QStringLiteral("30"));
    for (const char* bad : {"", "0", "-3", "7.5", "三十"}) {
        kept->setText(QString::fromUtf8(bad));
        QTest::mouseClick(Button(*dialog, CBackupSettingsGroup::IdApplyBackups), Qt::LeftButton);
        EXPECT_EQ(CBackupSettings::Load().keep, 30) << bad;
    }
    ASSERT_EQ(m_prompts.Messages().size(), 5u);
    EXPECT_TRUE(m_prompts.Messages()[0].text.contains(QStringLiteral("保留备份（份）")));
    kept->setText(QStringLiteral(" 60 "));
    QTest::mouseClick(Button(*dialog, CBackupSettingsGroup::IdApplyBackups), Qt::LeftButton);
    EXPECT_EQ(CBackupSettings::Load().keep, 60);
    EXPECT_EQ(m_prompts.Messages().size(), 5u);
}

// --- the subsystems' groups ------------------------------------------------------------------

// 执业药师 beside 设置密码...: shows and sets the selected operator's flag; the flag keeps the
// name (a rename is refused) and goes with the deleted operator, logged in the same change.
TEST_P(SettingsDlgTest, ThePharmacistBoxFollowsTheSelectedOperatorAndGoesWithTheirDeletion) {
    AddOperator(QStringLiteral("张三"), QStringLiteral("abc"));
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    QCheckBox* box = dialog->PharmacistBox();
    EXPECT_EQ(box->objectName(), QStringLiteral("1051"));
    EXPECT_EQ(box->text(), QStringLiteral("执业药师"));
    EXPECT_GT(box->y(), Button(*dialog, CSettingsDlg::IdSetPassword)->geometry().bottom());
    EXPECT_GE(box->width(), box->sizeHint().width());
    EXPECT_FALSE(box->isEnabled());
    const int row = RowOf(*grid, QStringLiteral("张三"));
    grid->selectRow(row);
    ASSERT_TRUE(box->isEnabled());
    ClickBox(*box);
    EXPECT_TRUE(box->isChecked());
    grid->selectRow(RowOf(*grid, QStringLiteral("管理员")));
    EXPECT_FALSE(box->isChecked());

    ClickRow(*grid, row);
    Type(*grid, 0, QStringLiteral("张三丰"));
    Press(*dialog, CSettingsDlg::IdSave);
    EXPECT_EQ(m_prompts.Texts(), QStringList{pharmacists::RenameRefusal(QStringLiteral("张三"))});
    grid->selectRow(RowOf(*grid, QStringLiteral("张三")));
    EXPECT_TRUE(box->isChecked());

    m_prompts.AnswerNext(CPrompts::Answer::Yes);
    Press(*dialog, CSettingsDlg::IdDelete);
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT COUNT(*) FROM 执业药师")),
              QStringLiteral("0"));
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT 动作, 对象 FROM 日志 WHERE 动作 IN "
                                             "('设为执业药师', '取消执业药师', '删除') "
                                             "ORDER BY 序号")),
              (std::vector<QStringList>{
                  {"设为执业药师", "张三"}, {"删除", "操作员"}, {"取消执业药师", "张三"}}));
}

TEST_P(SettingsDlgTest, EachGroupHandedInLogsItsChangeUnderTheDialogsOperator) {
    QSettings().remove(QStringLiteral("Backup"));
    QSettings().remove(QStringLiteral("Receipt"));
    QSettings().remove(QStringLiteral("Payment"));
    auto dialog = Open();
    dialog->findChild<QLineEdit*>(QString::number(CBackupSettingsGroup::IdBackupsKept))
        ->setText(QStringLiteral("10"));
    Press(*dialog, CBackupSettingsGroup::IdApplyBackups);
    dialog->findChild<QLineEdit*>(QString::number(CReceiptSettingsGroup::IdShopName))
        ->setText(QStringLiteral("杏林药房"));
    Press(*dialog, CReceiptSettingsGroup::IdApplyReceipt);
    dialog->findChild<QLineEdit*>(QString::number(CPaymentSettingsGroup::IdMethods))
        ->setText(QStringLiteral("现金、微信"));
    Press(*dialog, CPaymentSettingsGroup::IdApplyMethods);
    // The trace rule is the books': off until ticked, and read back from them.
    auto* codes =
        dialog->findChild<QCheckBox*>(QString::number(CTraceSettingsGroup::IdCodesRequired));
    ASSERT_TRUE(codes && codes->isEnabled());
    EXPECT_FALSE(codes->isChecked());
    ClickBox(*codes);
    Press(*dialog, CTraceSettingsGroup::IdApplyTrace);
    EXPECT_TRUE(Open()
                    ->findChild<QCheckBox*>(QString::number(CTraceSettingsGroup::IdCodesRequired))
                    ->isChecked());
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT 操作员, 动作, 对象 FROM 日志 ORDER BY 序号")),
              (std::vector<QStringList>{{"管理员", "备份设置", "数据备份"},
                                        {"管理员", "小票设置", "小票"},
                                        {"管理员", "支付方式设置", "支付方式"},
                                        {"管理员", "追溯码设置", "账套设置"}}));
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT 内容 FROM 日志 ORDER BY 序号")),
              QStringLiteral("保留备份（份）：30 → 10"));
}

APRICOT_INSTANTIATE_BACKENDS(SettingsDlgTest);

} // namespace
