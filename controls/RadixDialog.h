#pragma once

#include <QDialog>

// Base of the dialogs that hold edit fields. Confirming the dialog by any path (a click, the
// default button, an accelerator, accept() from code) first runs the exit rule of the field
// that has the focus, as leaving it would; when that rule keeps the focus the dialog stays
// open. A subclass that overrides accept() to read its fields calls leaveFocusedField()
// first and returns when it is false.
class RadixDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RadixDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    void accept() override;
    void done(int result) override;

protected:
    bool leaveFocusedField();
};
