#pragma once

#include <QList>
#include <QString>

#include <functional>

class QWidget;

// The controls of this library by class name, grouped in pages, each with a factory, in the
// order they are registered. There is no form designer: a dialog built from a description
// can create a control by its class name here.
struct ComponentClass {
    QString page;
    QString className;
    std::function<QWidget *(QWidget *parent)> create;
};

const QList<ComponentClass> &registeredComponents();

// A new control of the named class, or null for a name that is not registered.
QWidget *createComponent(const QString &className, QWidget *parent = nullptr);
