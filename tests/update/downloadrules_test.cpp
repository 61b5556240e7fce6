// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/downloadrules.h"
#include "update/httptransfer.h"
#include "update/versionpage.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

namespace zelvora {
namespace {

TEST(UrlFileNameTest, TakesTheFileNameOfAnHttpAddressOnly)
{
    const struct
    {
        const char* address;
        const char* name;
    } cases[] = {
        {"http://www.zelvora.example/indir/setup.exe", "setup.exe"},
        {"http://host/a/b/c/veresiye_1.0.6.zip", "veresiye_1.0.6.zip"},
        {"http://host/setup.exe   ", "setup.exe   "}, // blanks are kept, as cut from the page
        {"http://host/klasor/", ""}, // ends in a folder
        {"http://host/klasor", ""}, // no dot
        {"http://host/a.b/", "a.b/"}, // the last character is not examined
        {"http://host/.x", ".x"},
        {"http://host/x.", ""}, // a dot only as the last character
        {"http://", ""},
        {"https://host/setup.exe", ""},
        {"HTTP://host/setup.exe", ""},
        {"ftp://host/setup.exe", ""},
        {"h", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(download::UrlFileName(QString::fromUtf8(c.address)), QString::fromUtf8(c.name)) << c.address;
}

TEST(SavedFileNameTest, OnlyAPlainFileNameIsEverSavedUnder)
{
    const struct
    {
        const char* address;
        std::optional<QString> name;
    } cases[] = {
        {"http://host/indir/setup.exe", QStringLiteral("setup.exe")},
        {"http://host/setup.exe      ", QStringLiteral("setup.exe")}, // the page's padding is no part of it
        {"http://host/.x", QStringLiteral(".x")},
        {"http://host/..", std::nullopt},
        {"http://host/x.y/", std::nullopt},
        {"http://host/a\\..\\b.exe", std::nullopt},
        {"http://host/a\\b.exe", std::nullopt},
        {"http://host/klasor/", std::nullopt},
        {"http://host/ . ", std::nullopt},
        {"http://host/a\tb.exe", std::nullopt},
        {"https://host/setup.exe", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(download::savedFileName(QString::fromUtf8(c.address)), c.name) << c.address;
}

// The file lands in the folder whatever its name looks like: QDir::filePath would take ":setup.exe" for a
// Qt resource path and give it back alone, a file in the working folder.
TEST(SavedFileNameTest, PathIsTheNameInsideTheFolder)
{
    const struct
    {
        const char* folder;
        const char* address;
        std::optional<QString> path;
    } cases[] = {
        {"/home/a/Downloads", "http://host/setup.exe", QStringLiteral("/home/a/Downloads/setup.exe")},
        {"/home/a/Downloads", "http://host/:setup.exe", QStringLiteral("/home/a/Downloads/:setup.exe")},
        {"/home/a/Downloads", "http://:wwsetup.exe", QStringLiteral("/home/a/Downloads/:wwsetup.exe")},
        {"/", "http://host/setup.exe", QStringLiteral("/setup.exe")},
        {"/home/a/Downloads", "http://host/..", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(download::savedFilePath(QString::fromUtf8(c.folder), QString::fromUtf8(c.address)), c.path)
            << c.address;
}

TEST(DownloadStatusTest, StatusTextsAsTheUserReadsThem)
{
    const QString url = QStringLiteral("http://host/setup.exe");
    const struct
    {
        const char* header;
        std::optional<QString> error;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 5", std::nullopt},
        {"HTTP/1.1 206 Partial Content", std::nullopt},
        {"HTTP/1.1 204 No Content", QStringLiteral("Hiçbir şey indirmedi! ")},
        {"HTTP/1.1 401 Unauthorized", QStringLiteral("Otorite başarısız oldu! ")},
        {"HTTP/1.1 404 Not Found", QStringLiteral("Serverda, \"http://host/setup.exe\" isimli bir dosya yok.")},
        {"HTTP/1.1 \r\n", QStringLiteral("İnternet Bağlantısı yok")},
        {"HTTP/1.1 500 Internal Server Error\r\nServer: x",
         QStringLiteral("Servisçi, takip eden yanıt döndü: İnternet bağlantısını kontrol edin.\r\r"
                        "HTTP/1.1 500 Internal Server Error\r")},
        {"HTTP/1.1 503 Busy",
         QStringLiteral("Servisçi, takip eden yanıt döndü: İnternet bağlantısını kontrol edin.\r\r<nothing>")},
    };
    for (const auto& c : cases) {
        const QString header = QString::fromUtf8(c.header);
        EXPECT_EQ(download::statusError(download::statusText(header), header, url), c.error) << c.header;
    }
}

TEST(DownloadStatusTest, LengthsAreSixtyFourBit)
{
    EXPECT_EQ(download::contentLength(QStringLiteral("2500")), 2500);
    EXPECT_EQ(download::contentLength(QStringLiteral("3000000000")), Q_INT64_C(3000000000));
    EXPECT_EQ(download::contentLength(QStringLiteral(" 12abc")), 12);
    EXPECT_EQ(download::contentLength(QStringLiteral("abc")), 0);
    EXPECT_EQ(download::contentLength(QString()), 0);
    EXPECT_EQ(download::contentLength(QStringLiteral("-5")), 0);
    EXPECT_EQ(download::progressPercent(Q_INT64_C(3000000000), Q_INT64_C(6000000000)), 50);
}

TEST(DownloadStatusTest, ProgressRoundsHalfToEven)
{
    const struct
    {
        qint64 received, announced;
        int percent;
    } cases[] = {{1024, 2500, 41}, {2048, 2500, 82}, {2500, 2500, 100}, {1, 8, 12}, {3, 8, 38}, {5, 8, 62}, {0, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(download::progressPercent(c.received, c.announced), c.percent) << c.received << "/" << c.announced;
}

TEST(VersionPageTest, CutsAtTheMarkers)
{
    const QString address = QStringLiteral("http://www.zelvora.example/indir/setup.exe").leftJustified(58);
    const QString page
        = QStringLiteral("<html>PROGRAM ADI:ZELVO 1.0.6<br>ADRES:") + address + QStringLiteral("</html>");
    const VersionPage cut = VersionPage::cut(page);
    EXPECT_EQ(cut.programCode, QStringLiteral("ZELVO"));
    EXPECT_EQ(cut.latestVersion, QStringLiteral("1.0.6"));
    EXPECT_EQ(cut.address, address);

    // Missing markers count as position 0: the values come from positions 12, 18 and 6 of the page.
    const QString plain = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    const VersionPage none = VersionPage::cut(plain);
    EXPECT_EQ(none.programCode, QStringLiteral("lmnop"));
    EXPECT_EQ(none.latestVersion, QStringLiteral("rstuv"));
    EXPECT_EQ(none.address, plain.mid(5));
    EXPECT_TRUE(VersionPage::cut(QString()).latestVersion.isEmpty());
}

TEST(HttpTransferTest, AddressesAndDecoding)
{
    const QString path = QStringLiteral("/kurlar/today.html?");
    EXPECT_EQ(HttpTransfer::addressOn(QStringLiteral("www.tcmb.gov.tr"), path),
              QStringLiteral("http://www.tcmb.gov.tr/kurlar/today.html?"));
    EXPECT_EQ(HttpTransfer::addressOn(QStringLiteral("https://bank.example/"), path),
              QStringLiteral("https://bank.example/kurlar/today.html?"));
    EXPECT_EQ(HttpTransfer::addressOn(QStringLiteral("HTTP://127.0.0.1:8080"), path),
              QStringLiteral("HTTP://127.0.0.1:8080/kurlar/today.html?"));

    const QString turkish = QStringLiteral("DANİMARKA KRONU İSVİÇRE FRANGI ğüşıöç");
    EXPECT_EQ(HttpTransfer::decodePage(QStringEncoder("windows-1254").encode(turkish), "text/html"), turkish);
    EXPECT_EQ(HttpTransfer::decodePage(turkish.toUtf8(), "text/html; charset=\"UTF-8\""), turkish);
    EXPECT_EQ(HttpTransfer::decodePage(QStringEncoder("windows-1254").encode(turkish), "text/html; charset=bogus"),
              turkish);
}

TEST(HttpTransferTest, APageWithoutACharsetInItsResponseIsReadByItsMetaTagOrItsBytes)
{
    const QString turkish = QStringLiteral("DANİMARKA KRONU İSVİÇRE FRANGI ğüşıöç");
    const QByteArray cp1254 = QStringEncoder("windows-1254").encode(turkish);
    const QByteArray utf8 = turkish.toUtf8();
    const QByteArray filler(1100, ' ');
    const struct
    {
        const char* what;
        QByteArray body;
        QByteArray expectedBody; // the body as it should read, in UTF-8
    } cases[] = {
        {"meta charset", "<meta charset=utf-8>" + utf8, "<meta charset=utf-8>" + utf8},
        {"meta charset quoted, in capitals", "<META CharSet = 'UTF-8' />" + utf8, "<META CharSet = 'UTF-8' />" + utf8},
        {"meta http-equiv", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-9\">" + cp1254,
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-9\">" + utf8},
        {"meta names Windows-1254", "<meta charset=\"windows-1254\">" + cp1254,
         "<meta charset=\"windows-1254\">" + utf8},
        {"meta with an unknown charset", "<meta charset=\"x-none\">" + utf8, "<meta charset=\"x-none\">" + utf8},
        {"valid UTF-8, undeclared", utf8, utf8},
        {"UTF-8 with a byte order mark", "\xEF\xBB\xBF" + utf8, utf8},
        {"not valid UTF-8", cp1254, utf8},
        {"meta beyond the first 1024 bytes", filler + "<meta charset=utf-8>" + cp1254,
         filler + "<meta charset=utf-8>" + utf8},
        {"a charset outside a meta tag", "<p>charset=utf-8</p>" + cp1254, "<p>charset=utf-8</p>" + utf8},
        {"empty", {}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HttpTransfer::decodePage(c.body, "text/html"), QString::fromUtf8(c.expectedBody)) << c.what;
    // The response's own charset comes first.
    EXPECT_EQ(HttpTransfer::decodePage("<meta charset=utf-8>" + cp1254, "text/html; charset=windows-1254"),
              QStringLiteral("<meta charset=utf-8>") + turkish);
}

} // namespace
} // namespace zelvora
