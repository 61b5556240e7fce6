// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QString>

namespace zelvora {

// Keeps a second copy of the program off the same database. A lock left by a crashed copy is taken over.
class InstanceLock final
{
public:
    explicit InstanceLock(const QString& lockPath);
    ~InstanceLock();
    Q_DISABLE_COPY_MOVE(InstanceLock)

    // True when this copy now holds the lock (or already held it).
    bool acquire();
    // After a failed acquire(): true when another copy holds the lock, false when the lock file itself
    // could not be made (a folder that cannot be written, a full disk).
    bool heldByAnotherCopy() const { return m_lock.error() == QLockFile::LockFailedError; }

private:
    QLockFile m_lock;
};

} // namespace zelvora
