#pragma once

#include "platform/Beep.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

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

template <class Edit> std::string textOf(const Edit *e)
{
    return e->text().toStdString();
}

// The text of the error of type Error that f raises; empty when it raises none.
template <class Error, class F> std::string errorOf(F f)
{
    try {
        f();
    } catch (const Error &e) {
        return e.text.toStdString();
    }
    return std::string();
}

// One key press and the text the field must show after it. Keys below 0x100 are characters.
struct KeyStep {
    int key;
    const char *text;
};

template <class Edit> void expectSteps(Edit *e, std::initializer_list<KeyStep> steps)
{
    for (const KeyStep &s : steps) {
        if (s.key < 0x100)
            QTest::keyClick(e, static_cast<char>(s.key));
        else
            QTest::keyClick(e, static_cast<Qt::Key>(s.key));
        EXPECT_EQ(textOf(e), s.text) << "after key 0x" << std::hex << s.key;
    }
}
