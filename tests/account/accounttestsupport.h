#pragma once

#include <QObject>
#include <QString>
#include <gtest/gtest.h>

namespace zelvora::test {

// The named child, or a test failure naming what is missing.
template<class T> T* child(const QObject* parent, const QString& name)
{
    T* found = parent->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

} // namespace zelvora::test
