#include "controls/RadixDialog.h"

#include "controls/FieldEdit.h"

RadixDialog::RadixDialog(QWidget *parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

bool RadixDialog::leaveFocusedField()
{
    return ::leaveFocusedField(this);
}

void RadixDialog::accept()
{
    if (!leaveFocusedField())
        return;
    QDialog::accept();
}

void RadixDialog::done(int result)
{
    if (result == QDialog::Accepted && !leaveFocusedField())
        return;
    QDialog::done(result);
}
