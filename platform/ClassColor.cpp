#include "platform/ClassColor.h"

#include <QPalette>
#include <QWidget>

QColor classLibraryColor(int value)
{
    const auto bits = static_cast<uint32_t>(value);
    if ((bits >> 24) == 0x80)
        return {};
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

void setBackgroundColor(QWidget *widget, const QColor &color)
{
    if (!color.isValid()) {
        widget->setPalette(QPalette());
        widget->setAutoFillBackground(false);
        return;
    }
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}
