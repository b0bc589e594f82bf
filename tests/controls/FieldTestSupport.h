#pragma once

#include "platform/Beep.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

// A small top-level window holding the field under test and a plain edit after it in the
// tab order, shown and active, so that focus moves the way an operator moves it.
template <class Field> struct FieldForm {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    Field *field = new Field(window.get());
    QLineEdit *next = new QLineEdit(window.get());

    FieldForm()
    {
        field->setObjectName(QStringLiteral("EdField"));
        next->setObjectName(QStringLiteral("EdNext"));
        auto *layout = new QVBoxLayout(window.get());
        layout->addWidget(field);
        layout->addWidget(next);
        resetBeepCount();
    }

    void show()
    {
        next->setFocus();
        window->show();
        QApplication::setActiveWindow(window.get());
        (void)QTest::qWaitForWindowActive(window.get());
    }

    // Tab into the field (selects all), or out of it to the next edit.
    void tabIn()
    {
        next->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(next, Qt::Key_Backtab, Qt::ShiftModifier);
    }
    void tabOut() { QTest::keyClick(field, Qt::Key_Tab); }
};
