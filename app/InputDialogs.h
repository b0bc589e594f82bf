#pragma once

#include "controls/RadixDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TIntEdit;

// The small input dialogs that the command handlers fill, run modally and read back on OK.
// Each confirms through RadixDialog, so the focused field's exit rule runs before the
// handler reads a value. Caption "ダイアログ" until the caller sets one.

// One prompt and one integer field.
class TInputIntDlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TInputIntDlg(QWidget *owner = nullptr);

    QLabel *STTitle;
    TIntEdit *IntEd;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

// Three prompt/integer pairs; a caller hides a pair it doesn't need (empty prompt, edit
// hidden). IntEd3 starts as an unsigned hexadecimal field.
class TInp3Data1Dlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TInp3Data1Dlg(QWidget *owner = nullptr);

    QLabel *STTitle1;
    TIntEdit *IntEd1;
    QLabel *STTitle2;
    TIntEdit *IntEd2;
    QLabel *STTitle3;
    TIntEdit *IntEd3;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

// Two integer pairs and a text pair. With focusText non-zero the text field takes the focus
// when the dialog is shown (a bar-code reader then types straight into it); the last
// argument is accepted and ignored, as callers pass one.
class TInp3Data2Dlg : public RadixDialog
{
    Q_OBJECT

public:
    TInp3Data2Dlg(QWidget *owner, int focusText, int unused = 0);

    QLabel *STTitle1;
    TIntEdit *IntEd1;
    QLabel *STTitle2;
    TIntEdit *IntEd2;
    QLabel *STTitle3;
    QLineEdit *EdString;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

protected:
    void showEvent(QShowEvent *event) override;

private:
    int focusText_;
    bool shown_ = false;
};

// One block write as hex bytes: the block address and four data bytes, upper byte first
// on the form (EdData3) and lower byte last (EdData0).
class TWrData1Dlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TWrData1Dlg(QWidget *owner = nullptr);

    TIntEdit *EdAddr;
    TIntEdit *EdData3;
    TIntEdit *EdData2;
    TIntEdit *EdData1;
    TIntEdit *EdData0;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

// The TI Light password commands: the 4-byte password (EdData3 upper byte .. EdData0 lower
// byte), a block number (STTitle1 / IntEd1) and 4 data bytes (EdWrdata3 .. EdWrdata0) with
// their own upper/lower labels (Label1, Label5). A caller hides the groups it doesn't need.
class TWritePwdDlg : public RadixDialog
{
    Q_OBJECT

public:
    explicit TWritePwdDlg(QWidget *owner = nullptr);

    TIntEdit *EdData3;
    TIntEdit *EdData2;
    TIntEdit *EdData1;
    TIntEdit *EdData0;
    QLabel *STTitle1;
    TIntEdit *IntEd1;
    QLabel *STTitle3;
    TIntEdit *EdWrdata3;
    TIntEdit *EdWrdata2;
    TIntEdit *EdWrdata1;
    TIntEdit *EdWrdata0;
    QLabel *Label1;
    QLabel *Label5;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};
