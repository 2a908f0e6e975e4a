// The main view's commands 32831 and 32836 run the two entries modally, owned by the main
// window.
#include "CApricotView.h"
#include "CTestBooks.h"
#include "command_ids.h"
#include "recording_launcher.h"
#include "recording_prompts.h"

#include <QApplication>
#include <QTimer>

namespace {

class EntryCommandsTest : public CBooksTest {
protected:
    // Runs `command` and reports the modal dialog it showed: its title and whether the main
    // window owns it. The dialog is closed again at once.
    std::pair<QString, bool> ModalOf(int command) {
        QWidget window;
        CApricotView view(&Db(), m_launcher, &window);
        QString title;
        bool owned = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                title = modal->windowTitle();
                owned = modal->parentWidget() == &window;
                modal->close();
            }
        });
        EXPECT_TRUE(view.OnCommand(command));
        return {title, owned};
    }

    CRecordingLauncher m_launcher;
    CRecordingPrompts m_prompts;
};

TEST_P(EntryCommandsTest, BothCommandsRunTheirDialogOwnedByTheMainWindow) {
    EXPECT_EQ(ModalOf(cmd::PurchaseEntry), std::make_pair(QStringLiteral("入库登记表"), true));
    EXPECT_EQ(ModalOf(cmd::SalesEntry), std::make_pair(QStringLiteral("前台销售登记表"), true));
    EXPECT_TRUE(m_prompts.Messages().empty());
}

APRICOT_INSTANTIATE_BACKENDS(EntryCommandsTest);

} // namespace
