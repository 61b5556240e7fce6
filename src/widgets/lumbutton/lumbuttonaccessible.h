// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace zelvora {

// Lets assistive technology see every LumButton as a push button named by its caption.
QAccessibleInterface* lumButtonAccessibleFactory(const QString& className, QObject* object);

} // namespace zelvora
