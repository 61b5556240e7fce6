// SPDX-License-Identifier: GPL-3.0-or-later
// The maker's version page: any page is cut without harm into values of their fixed widths, and values placed
// at their distances from the markers are cut out as they stand.
#include "fuzzsupport.h"
#include "update/versionpage.h"

using namespace zelvora;
using fuzz::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const QString before = in.takeText();
    const QString code = in.takeText().left(5).leftJustified(5);
    const QString version = in.takeText().left(5).leftJustified(5);
    const QString middle = in.takeText();
    const QString address = in.takeText().left(58).leftJustified(58);
    const QString after = in.takeText();

    const QString program = QStringLiteral("PROGRAM ADI");
    const QString adres = QStringLiteral("ADRES");
    // "PROGRAM ADI" 1 blank, the code, 1 blank, the version; "ADRES" 1 blank, the address.
    const QString page = before + program + QLatin1Char(' ') + code + QLatin1Char(' ') + version + middle + adres
        + QLatin1Char(' ') + address + after;
    const VersionPage cut = VersionPage::cut(page);
    // Compared where the markers placed here are the first ones on the page.
    if (page.indexOf(program) == before.size()) {
        check(cut.programCode == code, "the program code is cut as it stands", page);
        check(cut.latestVersion == version, "the version is cut as it stands", page);
    }
    if (page.indexOf(adres) == before.size() + program.size() + 12 + middle.size())
        check(cut.address == address, "the address is cut as it stands", page);

    const VersionPage any = VersionPage::cut(in.rest().isEmpty() ? before : before + after);
    check(any.programCode.size() <= 5 && any.latestVersion.size() <= 5 && any.address.size() <= 58,
          "values are never wider than their fields");
    return 0;
}
