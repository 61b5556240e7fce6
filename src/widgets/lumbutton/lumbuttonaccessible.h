#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace zelvora {

// Lets assistive technology see every LumButton as a push button named by its caption.
QAccessibleInterface* lumButtonAccessibleFactory(const QString& className, QObject* object);

} // namespace zelvora
