// apricot: the pharmacy's books. Reads connect.txt from the working directory.
#include "CApricotApp.h"
#include "CDBConnection.h"
#include "CLoginDlg.h"
#include "shell_launcher.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    SetUpApplication();
    CDesktopLauncher launcher;
    CApricotApp apricot(theConnection, launcher);
    if (!apricot.InitInstance(&RunLoginDialog))
        return apricot.ExitInstance(0);
    return apricot.ExitInstance(application.exec());
}
