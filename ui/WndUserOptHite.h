#pragma once
// The program's own message box: a caption, a text, and either a question (mode 0, two buttons) or a
// notice (mode 1, one button), run modally over its owner and above every other window; a press
// anywhere moves it. 1 means confirmed, 2 refused or closed. Every prompt of the program goes through
// it; a test drives it as skin resource 1140 with ModalDriver (buttons 1141, 1142, 1143, close 1002).
#include "ui/UIWnd.h"

class CWndUserOptHite : public CUIWnd {
    Q_OBJECT
public:
    enum Mode { MODE_QUESTION = 0, MODE_NOTICE = 1 };

    CWndUserOptHite(const QString& text, int mode, QWidget* owner = nullptr);

    // The caption above the text; the skin's ("提示") unless set. Call before the box is shown.
    void SetCaption(const QString& caption);
    // The texts of a question's two buttons; the skin's ("确定", "取消") unless set.
    void SetQuestionButtons(const QString& confirm, const QString& refuse);

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;

private:
    QString text_;
    int mode_;
    QString caption_;
    QString confirm_;
    QString refuse_;
};

// Shows the box modally and returns its result.
int ShowUserOptHite(QWidget* owner, const QString& text, int mode);

// The message boxes of the program's dialogs, on the same skinned box: a caption over the text and
// either an OK button ("确定"; closing the box counts as OK) or Yes and No ("是", "否"; closing counts
// as No). For example ShowMessageBox(this, "找不到指定路径！", "错误").
enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };
BoxAnswer ShowMessageBox(QWidget* owner, const QString& text, const QString& caption,
                         BoxButtons buttons = BoxButtons::Ok);
