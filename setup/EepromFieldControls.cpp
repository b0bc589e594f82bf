#include "setup/EepromFieldControls.h"

#include "controls/DialogKit.h"
#include "platform/ClassColor.h"

#include <QTabWidget>

namespace
{

constexpr int groupColumns = 4;

bool inEditor(const EepromField &f, unsigned editor)
{
    return (f.editors & editor) != 0;
}

} // namespace

EepromFieldControls::EepromFieldControls(const DialogKit &kit, unsigned editor, bool ver121) : editor_(editor)
{
    for (const EepromField &f : eepromFields()) {
        if (!inEditor(f, editor))
            continue;
        const QString name = QLatin1String(f.control);
        const QString caption = QString::fromUtf8(f.caption);
        QWidget *widget = nullptr;
        switch (f.kind) {
        case FieldControl::Radio: {
            const QStringList items = fieldItems(f, ver121);
            widget = kit.choiceGroup(name, caption, items, items.size() > 4 ? 2 : 1);
            break;
        }
        case FieldControl::Combo:
            widget = kit.comboBox(name, fieldItems(f, ver121));
            break;
        case FieldControl::Edit:
            // A positive radix shows the 32 bits unsigned: the range is given as its bit pattern.
            widget = kit.intEdit(name, {static_cast<int32_t>(static_cast<uint32_t>(f.minValue)),
                                        static_cast<int32_t>(static_cast<uint32_t>(f.maxValue)), f.radix});
            break;
        }
        widget->setEnabled(f.enabled);
        controls_.insert(name, widget);
    }
}

QList<QWidget *> EepromFieldControls::controls() const
{
    QList<QWidget *> out;
    for (const EepromField &f : eepromFields())
        if (inEditor(f, editor_))
            out << controls_.value(QLatin1String(f.control));
    return out;
}

void EepromFieldControls::show(const FieldValues &values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        QWidget *widget = controls_.value(it.key());
        if (auto *group = qobject_cast<ChoiceGroup *>(widget))
            group->setItemIndex(static_cast<int>(it.value()));
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            combo->setCurrentIndex(it.value() < combo->count() ? static_cast<int>(it.value()) : -1);
        else if (auto *edit = qobject_cast<TIntEdit *>(widget))
            edit->SetValue(static_cast<int32_t>(static_cast<uint32_t>(it.value())));
    }
}

FieldValues EepromFieldControls::values(int area) const
{
    FieldValues out;
    for (const EepromField &f : eepromFields()) {
        if (f.area != area || !inEditor(f, editor_))
            continue;
        QWidget *widget = controls_.value(QLatin1String(f.control));
        int64_t value = 0;
        if (auto *group = qobject_cast<ChoiceGroup *>(widget))
            value = group->itemIndex();
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            value = combo->currentIndex();
        else if (auto *edit = qobject_cast<TIntEdit *>(widget))
            value = static_cast<uint32_t>(edit->GetValue());
        out.insert(QLatin1String(f.control), value);
    }
    return out;
}

void EepromFieldControls::colour(int area, const QStringList &differing, const QColor &ok, const QColor &ng)
{
    for (const EepromField &f : eepromFields())
        if (f.area == area && inEditor(f, editor_))
            setBackgroundColor(controls_.value(QLatin1String(f.control)),
                               differing.contains(QLatin1String(f.control)) ? ng : ok);
}

QTabWidget *EepromFieldControls::pages(const DialogKit &kit, const QString &name, const QList<const char *> &captions)
{
    auto *tabs = DialogKit::named(new QTabWidget, name);
    for (const char *caption : captions) {
        auto *page = new QWidget;
        auto *fieldsGrid = new QGridLayout;
        auto *groupsGrid = new QGridLayout;
        int fieldCount = 0, groupCount = 0;
        for (const EepromField &f : eepromFields()) {
            if (!inEditor(f, editor_) || qstrcmp(f.page, caption) != 0)
                continue;
            QWidget *widget = controls_.value(QLatin1String(f.control));
            if (f.kind == FieldControl::Radio) {
                groupsGrid->addWidget(widget, groupCount / groupColumns, groupCount % groupColumns);
                ++groupCount;
            } else {
                // Two label-and-field pairs a row.
                const int row = fieldCount / 2, column = 2 * (fieldCount % 2);
                fieldsGrid->addWidget(kit.label(QString::fromUtf8(f.caption), widget), row, column);
                fieldsGrid->addWidget(widget, row, column + 1);
                ++fieldCount;
            }
        }
        auto *layout = new QVBoxLayout(page);
        layout->addLayout(fieldsGrid);
        layout->addLayout(groupsGrid);
        layout->addStretch(1);
        tabs->addTab(page, QString::fromUtf8(caption));
    }
    return tabs;
}
