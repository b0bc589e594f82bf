#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Answers the next modal dialog of type D from inside its exec(), as an operator would:
// the dialog is made the active window first, so typed keys and focus changes behave.
// With no such dialog within the time limit nothing is answered (the caller's checks fail).
template <class D> void whenDialogOpens(std::function<void(D *)> answer, int timeLimitMs = 5000)
{
    auto *timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, started, answer, timeLimitMs] {
        auto *dialog = qobject_cast<D *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (started->elapsed() > timeLimitMs)
                timer->deleteLater();
            return;
        }
        timer->stop();
        timer->deleteLater();
        QApplication::setActiveWindow(dialog);
        (void)QTest::qWaitForWindowActive(dialog);
        answer(dialog);
    });
    timer->start();
}

// Types text into a field the way a keyboard does: focus first, all of it replaced.
inline void typeInto(QWidget *field, const QString &text)
{
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}
