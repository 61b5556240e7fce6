// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <gtest/gtest.h>

#include <stdexcept>

namespace zelvora::test {

// The named child. A missing one fails the case and ends it (GoogleTest reports the exception), instead of
// handing back a null pointer that the next line would follow.
template<class T> T* child(const QObject* parent, const QString& name)
{
    T* found = parent->findChild<T*>(name);
    if (!found) {
        ADD_FAILURE() << "no child named " << name.toStdString();
        throw std::runtime_error("missing child " + name.toStdString());
    }
    return found;
}

} // namespace zelvora::test
