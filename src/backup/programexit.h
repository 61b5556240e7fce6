// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace zelvora {

// Ends the whole program (the automatic backup, "İptal" of a restore). Tests record it instead.
class ProgramExit final
{
public:
    using Handler = std::function<void(int code)>;

    static void end(int code = 0);

    // Tests: ending goes to the handler. An empty handler restores QCoreApplication::exit().
    static void setHandler(Handler handler);
};

} // namespace zelvora
