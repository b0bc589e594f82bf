#pragma once

#include "app/ConnectionDialogs.h"
#include "app/KV8AppForm.h"
#include "controls/IntEdit.h"
#include "link/TTComXDlg.h"
#include "platform/AppPaths.h"
#include "platform/PendingMessages.h"
#include "tools/standin/ReaderStandIn.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// The program in a temporary folder: its settings file beside it, a window made per test, and
// the start-up road run in the real event loop with a driver that plays the operator (each step
// waits until its condition holds, then acts once).
class StartupFixture : public ::testing::Test
{
protected:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };

    void SetUp() override { setProgramPathForTest(dir.filePath("kv8demo")); }
    void TearDown() override
    {
        delete form;
        form = nullptr;
        setProgramPathForTest(QString());
        setApplicationClosing(false);
    }

    void writeSettings(const QByteArray &text)
    {
        QFile f(dir.filePath("kv8demo.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray savedSettings()
    {
        QFile f(dir.filePath("kv8demo.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TKV8AppForm &make()
    {
        delete form;
        form = new TKV8AppForm;
        return *form;
    }

    // Shows a new window, runs the loop until the program ends, and returns exec()'s code.
    int run(QList<Step> steps, int limitMs = 20000)
    {
        make();
        QTimer driver;
        int next = 0;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (next < steps.size() && steps[next].ready()) {
                auto act = steps[next++].act;
                act();
            }
        });
        driver.start(5);
        bool timedOut = false;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, [&] {
            timedOut = true;
            form->close();
        });
        limit.start(limitMs);
        form->show();
        const int code = QApplication::exec();
        driver.stop();
        limit.stop();
        form->Shutdown();
        // Closing the last window also posts a quit; handled outside the application's loop it
        // would end the next dialog's exec() at once. One more loop takes it in.
        QTimer::singleShot(50, [] { QCoreApplication::exit(0); });
        QApplication::exec();
        EXPECT_FALSE(timedOut) << "stopped at step " << next << "\n" << form->Memo1->toPlainText().toStdString();
        EXPECT_EQ(next, steps.size());
        return code;
    }

    static TSetIPAddr1Dlg *addressDialog() { return qobject_cast<TSetIPAddr1Dlg *>(QApplication::activeModalWidget()); }

    // The operator's answer: server mode, port 0 (the system picks one; read back from the hub).
    static Step answerAddressDialog()
    {
        return {[] { return addressDialog() != nullptr; },
                [] {
                    TSetIPAddr1Dlg *d = addressDialog();
                    ASSERT_TRUE(QTest::qWaitForWindowExposed(d));
                    QAbstractButton *server = d->RGIPMode->button(1);
                    // A radio button takes clicks on its indicator and label only.
                    QTest::mouseClick(server, Qt::LeftButton, {}, QPoint(4, server->height() / 2));
                    d->Ed_SPortNum->setFocus();
                    d->Ed_SPortNum->SetText(QStringLiteral("0"));
                    QTest::mouseClick(d->OKBtn, Qt::LeftButton);
                }};
    }
    Step connectBoard()
    {
        return {
            [] { return TComXDlg && TComXDlg->listeningPort() > 0; },
            [this] { board.connectTo(QStringLiteral("127.0.0.1"), static_cast<quint16>(TComXDlg->listeningPort())); }};
    }
    // Ready once the connection wait is over and the timer runs.
    Step whenRunning(std::function<void()> act)
    {
        return {[this] { return form->Timer1->isActive() && !form->RunningGauge() && board.isConnected(); },
                std::move(act)};
    }

    QTemporaryDir dir;
    TKV8AppForm *form = nullptr;
    ReaderStandIn board;
};
