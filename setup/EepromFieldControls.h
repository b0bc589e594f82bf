#pragma once

#include "setup/EepromImage.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>

class DialogKit;
class QTabWidget;
class QWidget;

// The controls of one editor, one per field of the table that the editor shows: a choice
// group for a radio group, a combo box, or an integer field with the field's range and radix.
// They are children of the kit's dialog, named after their fields, and converted to and from
// the field values.
class EepromFieldControls
{
public:
    EepromFieldControls(const DialogKit &kit, unsigned editor, bool ver121);

    QWidget *control(const QString &name) const { return controls_.value(name); }
    // Every control of the editor in table order.
    QList<QWidget *> controls() const;

    // Fills the controls that have a value; a combo whose index its list lacks shows nothing.
    void show(const FieldValues &values);
    // The values of one area's controls: item indexes, and the edits' numbers (unsigned).
    FieldValues values(int area) const;
    // Colours each control of the area: ng when its field is among the differing, else ok
    // (an invalid colour: the control's own palette).
    void colour(int area, const QStringList &differing, const QColor &ok, const QColor &ng);

    // Lays the controls out on pages, one page per caption, in the table's order: integer
    // fields and combos with their labels above, the groups below them in rows of four.
    QTabWidget *pages(const DialogKit &kit, const QString &name, const QList<const char *> &captions);

private:
    unsigned editor_;
    QHash<QString, QWidget *> controls_;
};
