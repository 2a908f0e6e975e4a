#pragma once
// The frame the login and the condition dialogs share: the banner across the top (control 186),
// under it a prompt, the dialog's fields, optionally a sunken rule, and its bottom row; the
// dialog keeps the size its contents need.
#include <QString>

class QDialog;
class QLayout;

struct CBannerFrame {
    int bannerWidth = 400;
    QString prompt;
    // Space between the prompt, the fields and the bottom row.
    int spacing = 8;
    // A sunken line above the bottom row.
    bool rule = false;
};

// Lays `dialog` out; it takes `fields` and `bottom`.
void BuildBannerFrame(QDialog* dialog, const CBannerFrame& frame, QLayout* fields, QLayout* bottom);
