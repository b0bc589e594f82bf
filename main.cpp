#include "app/AboutBox.h"
#include "app/KV8AppForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    KV8AppForm = new TKV8AppForm;
    AboutBox = new TAboutBox(KV8AppForm);
    KV8AppForm->show();
    app.exec();
    // The settings are saved and the hub is closed only now, when no wait is left on the stack.
    KV8AppForm->Shutdown();
    delete KV8AppForm;
    AboutBox = nullptr;
    return 0;
}
