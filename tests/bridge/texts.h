// What QML receives from the view, compared as text: values come back from
// the files as strings and from the view as numbers, and QML reads both.
#pragma once

#include <QStringList>
#include <QVariantList>

inline QStringList texts(const QVariantList &list)
{
    QStringList out;
    for (const QVariant &v : list)
        out << v.toString();
    return out;
}
