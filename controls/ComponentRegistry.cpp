#include "controls/ComponentRegistry.h"

#include "controls/DateTimeEdit.h"
#include "controls/FloatEdit.h"
#include "controls/FmtEdit.h"
#include "controls/IntEdit.h"
#include "controls/NumEdit.h"
#include "controls/SHTreeView.h"
#include "controls/SelEdit.h"

namespace
{

template <class Control> ComponentClass entry(const char *page, const char *className)
{
    return {QString::fromLatin1(page), QString::fromLatin1(className),
            [](QWidget *parent) -> QWidget * { return new Control(parent); }};
}

} // namespace

const QList<ComponentClass> &registeredComponents()
{
    static const QList<ComponentClass> components = {
        entry<TFmtEdit>("FmtEdit", "TFmtEdit"),           entry<TIntEdit>("FmtEdit", "TIntEdit"),
        entry<TFloatEdit>("FmtEdit", "TFloatEdit"),       entry<TSelEdit>("FmtEdit", "TSelEdit"),
        entry<TDateTimeEdit>("FmtEdit", "TDateTimeEdit"), entry<TDateEdit>("FmtEdit", "TDateEdit"),
        entry<TTimeEdit>("FmtEdit", "TTimeEdit"),         entry<TNumEdit>("NumEdit", "TNumEdit"),
        entry<TSHTreeView>("SHTreeView", "TSHTreeView"),
    };
    return components;
}

QWidget *createComponent(const QString &className, QWidget *parent)
{
    for (const ComponentClass &component : registeredComponents()) {
        if (component.className == className)
            return component.create(parent);
    }
    return nullptr;
}
