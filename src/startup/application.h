// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

namespace zelvora {

// Turkish everywhere (Qt's own texts included), the application's name, and the accessibility of the
// program's own controls. Called once by main() and by the test runner.
void setupApplication(QApplication& app);

} // namespace zelvora
