#pragma once
// 关于: the program's name and version, and a link that opens a new mail to the feedback contact.
#include <QDialog>

class CShellLauncher;
class QPushButton;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // `launcher` is borrowed; `feedbackAddress` is the installation's feedback contact.
    CAboutDlg(const QString& feedbackAddress, CShellLauncher& launcher, QWidget* parent = nullptr);

    QPushButton* LinkButton() const { return m_pLink; }

private:
    QPushButton* m_pLink = nullptr;
};
