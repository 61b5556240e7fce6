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

private:
    QLockFile m_lock;
};

} // namespace zelvora
