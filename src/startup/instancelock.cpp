// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/instancelock.h"

namespace zelvora {

InstanceLock::InstanceLock(const QString& lockPath)
    : m_lock(lockPath)
{
    // Never stale by age: only a lock whose process is gone is taken over.
    m_lock.setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::acquire()
{
    return m_lock.isLocked() || m_lock.tryLock(0);
}

} // namespace zelvora
