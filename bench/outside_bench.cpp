// SPDX-License-Identifier: GPL-3.0-or-later
// The real program on a real X server, timed from outside its process as the user feels it: keys are sent with
// XTest as a keyboard user types them, and the screen is watched by grabbing the program's window (XGetImage).
// The program runs from a portable folder (the executable beside a copy of the 1,000,000-customer ledger, where
// customer "1" holds 100,000 movements, and one user to sign in with).
//
// When is a window "painted": after the key, the window is grabbed over and over (grab_ms is the mean cost of a grab,
// poll_ms the mean time between two, i.e. the resolution), each grab hashed; once the image has stayed the same for
// 300 ms (and differs from the image before the key), the figure is the time of the first grab that showed that final
// image (taken at the end of that grab, so at most grab_ms late). A text cursor blinks in the focused search box: the
// rows where the picture changes with nothing done are found once per window (watched for 1.1 s while idle) and left
// out of the hash.
//
//   StartupSignedIn   from the process spawned to the customer grid painted after the sign-in: the splash skipped
//                     with Esc as soon as it has the focus, the user name and password typed, Enter, and Enter on
//                     the "Giriş Başarılı" message (login_ms: to the sign-in window focused; after_ok_ms: from
//                     that last Enter).
//   SearchLetter      "a" typed into the focused search box until the grid shows the matching customers.
//   SearchBackspace   BackSpace after it until the grid shows the whole list again.
//                     For both, rows_median_ms: to the first picture that differs from the final one only in a
//                     strip at most 24 px wide (the scroll bar, which may settle once the count has followed).
//   OpenBigAccount    Enter on customer "1" (found by typing its name into the search box, then Tab Tab to the
//                     grid) until its account window is painted with its rows; closed with the window's close
//                     button (Esc does not close it) between iterations.
//   OpenUsersWindow   Alt to the menu bar, the "Program" menu's "Kullanıcı Ekle" item reached with the arrow
//                     keys, and Enter on it until the users window is painted; closed with Esc.
//
// The in-process figures of the same interactions are in bench/windowopen_bench.cpp and
// bench/customerlist_bench.cpp. The program keeps a single instance per computer: no other copy may run.
// Run: Xvfb :5 -screen 0 1280x1024x24 & DISPLAY=:5 openbox & DISPLAY=:5 build/bench/outside_bench
#include "data/clock.h"
#include "data/customerstore.h"
#include "data/database.h"
#include "ledger.h"
#include "users/userstore.h"

#include "benchmain.h"
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// X11 last: its macros (None, Bool, Status, KeyPress...) clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

extern char** environ;

using namespace zelvora;

namespace {

constexpr int kIterations = 9;
constexpr double kSettleMs = 300;
constexpr double kTimeoutMs = 60000;
const QString kUser = QStringLiteral("PATRON");
const QString kLoginCaption = QStringLiteral("Kullanıcı Giriş");

using SteadyClock = std::chrono::steady_clock;

double msBetween(SteadyClock::time_point from, SteadyClock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double load1()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : -1;
}

// ---- The X server: keys through XTest, windows through the window manager's client list ----

using FakeKeyEvent = int (*)(Display*, unsigned int keycode, int isPress, unsigned long delay);

int ignoreXErrors(Display*, XErrorEvent*)
{
    // A window may go away between finding and grabbing it; that grab just fails.
    return 0;
}

class X
{
public:
    bool open(std::string* error)
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {
            *error = "DISPLAY is not set: this benchmark needs a real X server with a window manager, e.g.\n"
                     "  Xvfb :5 -screen 0 1280x1024x24 &  DISPLAY=:5 openbox &  DISPLAY=:5 build/bench/outside_bench";
            return false;
        }
        m_dpy = XOpenDisplay(nullptr);
        if (!m_dpy) {
            *error = "the X server on DISPLAY=" + qgetenv("DISPLAY").toStdString() + " cannot be reached";
            return false;
        }
        // Only the runtime library of XTest is installed, not its headers.
        void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
        m_fakeKey = xtst ? reinterpret_cast<FakeKeyEvent>(dlsym(xtst, "XTestFakeKeyEvent")) : nullptr;
        if (!m_fakeKey) {
            *error = "libXtst.so.6 (XTestFakeKeyEvent) cannot be loaded";
            return false;
        }
        XSetErrorHandler(ignoreXErrors);
        m_clientList = XInternAtom(m_dpy, "_NET_CLIENT_LIST", False);
        m_pidAtom = XInternAtom(m_dpy, "_NET_WM_PID", False);
        m_nameAtom = XInternAtom(m_dpy, "_NET_WM_NAME", False);
        m_utf8 = XInternAtom(m_dpy, "UTF8_STRING", False);
        m_protocols = XInternAtom(m_dpy, "WM_PROTOCOLS", False);
        m_deleteWindow = XInternAtom(m_dpy, "WM_DELETE_WINDOW", False);
        return true;
    }

    // Press and release, with Shift/Control/Alt held when asked.
    void key(KeySym sym, KeySym modifier = 0)
    {
        const unsigned int code = XKeysymToKeycode(m_dpy, sym);
        const unsigned int mod = modifier ? XKeysymToKeycode(m_dpy, modifier) : 0;
        if (mod)
            m_fakeKey(m_dpy, mod, True, CurrentTime);
        m_fakeKey(m_dpy, code, True, CurrentTime);
        m_fakeKey(m_dpy, code, False, CurrentTime);
        if (mod)
            m_fakeKey(m_dpy, mod, False, CurrentTime);
        XFlush(m_dpy);
    }

    // Lower-case letters, digits and blanks.
    void type(const char* text)
    {
        for (const char* c = text; *c; ++c)
            key(*c == ' ' ? XK_space : KeySym(*c));
    }

    // The managed top-level windows of the process; with others, those of every other client.
    std::vector<Window> windowsOf(pid_t pid, bool others = false)
    {
        std::vector<Window> found;
        const std::vector<unsigned long> all = property(DefaultRootWindow(m_dpy), m_clientList, XA_WINDOW);
        for (const unsigned long w : all) {
            const std::vector<unsigned long> owner = property(w, m_pidAtom, XA_CARDINAL);
            if ((!owner.empty() && pid_t(owner.front()) == pid) != others)
                found.push_back(w);
        }
        return found;
    }

    QString title(Window w)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        QString text;
        if (XGetWindowProperty(m_dpy, w, m_nameAtom, 0, 1024, False, m_utf8, &type, &format, &count, &after, &data)
                == Success
            && data) {
            text = QString::fromUtf8(reinterpret_cast<const char*>(data), int(count));
            XFree(data);
        }
        char* name = nullptr;
        if (text.isEmpty() && XFetchName(m_dpy, w, &name) && name) {
            text = QString::fromLocal8Bit(name);
            XFree(name);
        }
        return text;
    }

    // The first viewable window of the process whose title passes the test.
    Window find(pid_t pid, const std::function<bool(const QString&)>& titleTest, Window other = 0)
    {
        for (const Window w : windowsOf(pid)) {
            XWindowAttributes a;
            if (w != other && XGetWindowAttributes(m_dpy, w, &a) && a.map_state == IsViewable && titleTest(title(w)))
                return w;
        }
        return 0;
    }

    bool hasFocus(Window w)
    {
        Window focused = 0;
        int revert = 0;
        XGetInputFocus(m_dpy, &focused, &revert);
        return focused == w;
    }

    XWindowAttributes attributes(Window w)
    {
        XWindowAttributes a {};
        if (!XGetWindowAttributes(m_dpy, w, &a))
            a.map_state = IsUnmapped;
        return a;
    }

    // What the title bar's close button sends.
    void close(Window w)
    {
        XEvent e {};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = m_protocols;
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(m_deleteWindow);
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_dpy, w, False, NoEventMask, &e);
        XFlush(m_dpy);
    }

    XImage* grab(Window w, int width, int height)
    {
        return XGetImage(m_dpy, w, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    }

private:
    std::vector<unsigned long> property(Window w, Atom name, Atom kind)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> values;
        if (XGetWindowProperty(m_dpy, w, name, 0, 4096, False, kind, &type, &format, &count, &after, &data) == Success
            && data) {
            if (format == 32) {
                const auto* longs = reinterpret_cast<const unsigned long*>(data);
                values.assign(longs, longs + count);
            }
            XFree(data);
        }
        return values;
    }

    Display* m_dpy = nullptr;
    FakeKeyEvent m_fakeKey = nullptr;
    Atom m_clientList = 0, m_pidAtom = 0, m_nameAtom = 0, m_utf8 = 0, m_protocols = 0, m_deleteWindow = 0;
};

X g_x;

// ---- Watching a window's picture ----

// Rows [top, bottom) left out of the hash: where a text cursor blinks.
struct Band
{
    int top = 0;
    int bottom = 0;
};

struct Grab
{
    bool ok = false;
    SteadyClock::time_point at;
    quint64 hash = 0;
    std::vector<char> pixels;
    int width = 0;
    int height = 0;
    int stride = 0;
};

Grab grab(Window w, Band band, bool keepPixels = false)
{
    Grab g;
    const XWindowAttributes a = g_x.attributes(w);
    if (a.map_state != IsViewable)
        return g;
    XImage* image = g_x.grab(w, a.width, a.height);
    // The end of the grab: the picture stood on the screen by then, at most grab_ms earlier.
    g.at = SteadyClock::now();
    if (!image)
        return g;
    g.width = image->width;
    g.height = image->height;
    g.stride = image->bytes_per_line;
    const int rowBytes = image->width * image->bits_per_pixel / 8;
    // FNV-1a over 64-bit words, the size in front.
    quint64 h = 1469598103934665603ULL ^ (quint64(g.width) << 32 | quint64(g.height));
    for (int y = 0; y < image->height; ++y) {
        if (y >= band.top && y < band.bottom)
            continue;
        const char* row = image->data + qsizetype(y) * image->bytes_per_line;
        int x = 0;
        for (; x + 8 <= rowBytes; x += 8) {
            quint64 word;
            std::memcpy(&word, row + x, 8);
            h = (h ^ word) * 1099511628211ULL;
        }
        for (; x < rowBytes; ++x)
            h = (h ^ quint64(quint8(row[x]))) * 1099511628211ULL;
    }
    g.hash = h;
    if (keepPixels)
        g.pixels.assign(image->data, image->data + qsizetype(image->height) * image->bytes_per_line);
    XDestroyImage(image);
    g.ok = true;
    return g;
}

// What the grabs cost and how often they came, over the whole run of one benchmark.
struct GrabStats
{
    double grabMs = 0;
    double intervalMs = 0;
    int grabs = 0;
    int intervals = 0;

    void reset() { *this = {}; }
};

GrabStats g_grabStats;

struct Painted
{
    bool ok = false;
    double ms = -1; // from the start given
    // The first picture that differed from the final one only in a strip at most kScrollStripPx wide (the grid's
    // scroll bar, which may settle after the rows while the count follows); -1 when not asked for.
    double rowsMs = -1;
    quint64 hash = 0;
    std::string error;
};

constexpr int kScrollStripPx = 24;

// The width of the columns where two pictures of the same size differ outside the band; 0 when they do not.
int differingWidth(const Grab& a, const Grab& b, Band band)
{
    if (a.width != b.width || a.height != b.height || a.stride != b.stride)
        return std::numeric_limits<int>::max();
    const int bytesPerPixel = a.stride / std::max(a.width, 1);
    int left = a.width;
    int right = -1;
    for (int y = 0; y < a.height; ++y) {
        if (y >= band.top && y < band.bottom)
            continue;
        const char* ra = a.pixels.data() + qsizetype(y) * a.stride;
        const char* rb = b.pixels.data() + qsizetype(y) * b.stride;
        if (std::memcmp(ra, rb, size_t(a.width * bytesPerPixel)) == 0)
            continue;
        for (int x = 0; x < a.width; ++x) {
            if (std::memcmp(ra + x * bytesPerPixel, rb + x * bytesPerPixel, size_t(bytesPerPixel)) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return right < 0 ? 0 : right - left + 1;
}

bool programAlive();

// Grabs the window find() names until its picture has not changed for kSettleMs and differs from before;
// the time of the first grab that showed that picture, from start.
Painted waitPainted(const std::function<Window()>& find, SteadyClock::time_point start, quint64 before, Band band,
                    bool rows = false)
{
    // With rows: the pixels of each new picture (a handful while a window settles), to compare with the final one.
    std::vector<Grab> pictures;
    struct Seen
    {
        SteadyClock::time_point at;
        quint64 hash;
    };
    std::vector<Seen> seen;
    SteadyClock::time_point lastChange {};
    SteadyClock::time_point lastGrab {};
    Painted result;
    for (;;) {
        const SteadyClock::time_point now = SteadyClock::now();
        if (msBetween(start, now) > kTimeoutMs) {
            result.error = "the window did not change and settle within a minute";
            return result;
        }
        if (!programAlive()) {
            result.error = "the program ended";
            return result;
        }
        const Window w = find();
        if (!w) {
            sleepMs(2);
            continue;
        }
        const SteadyClock::time_point grabStart = SteadyClock::now();
        Grab g = grab(w, band, rows);
        if (!g.ok)
            continue;
        g_grabStats.grabMs += msBetween(grabStart, g.at);
        ++g_grabStats.grabs;
        if (lastGrab != SteadyClock::time_point {}) {
            g_grabStats.intervalMs += msBetween(lastGrab, g.at);
            ++g_grabStats.intervals;
        }
        lastGrab = g.at;
        if (seen.empty() || seen.back().hash != g.hash) {
            lastChange = g.at;
            if (rows && g.hash != before)
                pictures.push_back(g);
        }
        seen.push_back({g.at, g.hash});
        if (g.hash != before && msBetween(lastChange, g.at) >= kSettleMs) {
            for (const Seen& s : seen) {
                if (s.hash == g.hash) {
                    result.ok = true;
                    result.ms = msBetween(start, s.at);
                    result.hash = g.hash;
                    for (const Grab& p : pictures) {
                        if (differingWidth(p, g, band) <= kScrollStripPx) {
                            result.rowsMs = msBetween(start, p.at);
                            break;
                        }
                    }
                    return result;
                }
            }
        }
        sleepMs(1);
    }
}

// The rows that change on their own (a blinking text cursor), watched for a while with nothing done.
Band idleBand(Window w)
{
    Band band;
    int top = -1, bottom = -1;
    Grab previous = grab(w, {}, true);
    const SteadyClock::time_point start = SteadyClock::now();
    while (previous.ok && msBetween(start, SteadyClock::now()) < 1100) {
        sleepMs(20);
        Grab next = grab(w, {}, true);
        if (!next.ok || next.height != previous.height || next.stride != previous.stride)
            break;
        for (int y = 0; y < next.height; ++y) {
            const qsizetype at = qsizetype(y) * next.stride;
            if (std::memcmp(next.pixels.data() + at, previous.pixels.data() + at, size_t(next.stride)) != 0) {
                top = top < 0 ? y : std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
        }
        previous = std::move(next);
    }
    if (top >= 0) {
        band.top = std::max(0, top - 2);
        band.bottom = bottom + 2;
    }
    return band;
}

// With OUTSIDE_BENCH_SHOTS set to a folder, the settled picture of each window once, as <name>.ppm: to see what
// "painted" stood for.
void saveShot(Window w, const char* name)
{
    static QSet<QByteArray> saved;
    const QByteArray folder = qgetenv("OUTSIDE_BENCH_SHOTS");
    if (folder.isEmpty() || saved.contains(name))
        return;
    const Grab g = grab(w, {}, true);
    if (!g.ok)
        return;
    saved.insert(name);
    QFile file(QDir(QString::fromLocal8Bit(folder)).filePath(QString::fromLatin1(name) + QStringLiteral(".ppm")));
    if (!file.open(QIODevice::WriteOnly))
        return;
    QByteArray data = QByteArray("P6\n") + QByteArray::number(g.width) + ' ' + QByteArray::number(g.height) + "\n255\n";
    for (int y = 0; y < g.height; ++y) {
        const char* row = g.pixels.data() + qsizetype(y) * g.stride;
        for (int x = 0; x < g.width; ++x)
            data.append(row[4 * x + 2]).append(row[4 * x + 1]).append(row[4 * x]);
    }
    file.write(data);
}

// The blinking cursor's rows. A band taller than a line of text means the window itself was still changing:
// watched once more, else hashed whole.
Band cursorBand(Window w)
{
    constexpr int kLine = 40;
    Band band = idleBand(w);
    if (band.bottom - band.top > kLine)
        band = idleBand(w);
    if (band.bottom - band.top > kLine) {
        std::cerr << "a window kept changing while idle; its picture is hashed whole\n";
        band = {};
    }
    return band;
}

// ---- The program ----

struct Folder
{
    QTemporaryDir dir {QDir::temp().filePath(QStringLiteral("zelvora-outsidebench-XXXXXX"))};
    QByteArray program;
    QByteArray log;
    bool ready = false;
};

// Made once: the program beside a copy of the ledger with today's day counts and one user.
Folder* folder()
{
    static Folder f;
    if (f.ready)
        return &f;
    const QString ledger = bench::ledgerFile(1000000, 1000000);
    if (ledger.isEmpty() || !f.dir.isValid())
        return nullptr;
    const QString program = f.dir.filePath(QStringLiteral("zelvora"));
    if (::link(ZELVORA_EXE, QFile::encodeName(program).constData()) != 0
        && !QFile::copy(QStringLiteral(ZELVORA_EXE), program))
        return nullptr;
    const QString database = f.dir.filePath(QStringLiteral("veresiye.dll"));
    if (!QFile::copy(ledger, database))
        return nullptr;
    QFile(database).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    {
        const std::unique_ptr<Database> db = Database::open(database);
        const QDate today = Clock::today();
        if (!db || !CustomerStore(*db).updateDayCounts(today)
            || UserStore(*db).add(kUser, QStringLiteral("1234")) != UserStore::AddResult::Added)
            return nullptr;
    }
    f.program = QFile::encodeName(program);
    f.log = QFile::encodeName(f.dir.filePath(QStringLiteral("program.log")));
    f.ready = true;
    return &f;
}

// The one running copy of the program; killed when a benchmark starts another, and at the end.
volatile pid_t g_pid = 0;

void stopProgram()
{
    const pid_t pid = g_pid;
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            g_pid = 0;
            return;
        }
        sleepMs(10);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    g_pid = 0;
}

// Ctrl+C: the program goes with the benchmark, and the exit removes the temporary folder.
void stopOnSignal(int signal)
{
    if (g_pid > 0) {
        ::kill(g_pid, SIGKILL);
        ::waitpid(g_pid, nullptr, 0);
        g_pid = 0;
    }
    std::exit(128 + signal);
}

bool spawnProgram(const Folder& f)
{
    stopProgram();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, f.log.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<char*> argv {const_cast<char*>(f.program.constData()), nullptr};
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0 && std::strncmp(*e, "ZELVORA_", 8) != 0)
            envp.push_back(*e);
    }
    static char xcb[] = "QT_QPA_PLATFORM=xcb";
    envp.push_back(xcb);
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, f.program.constData(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    g_pid = pid;
    return true;
}

bool programAlive()
{
    if (g_pid <= 0)
        return false;
    if (::waitpid(g_pid, nullptr, WNOHANG) == 0)
        return true;
    g_pid = 0;
    return false;
}

bool isMainTitle(const QString& title)
{
    return title.startsWith(QStringLiteral("Zelvora   -"));
}

Window mainWindow()
{
    return g_x.find(g_pid, isMainTitle);
}

// Waits until test() holds, polling; false after the timeout or when the program has gone.
bool waitFor(const std::function<bool()>& test, double timeoutMs = kTimeoutMs)
{
    const SteadyClock::time_point start = SteadyClock::now();
    while (!test()) {
        if (msBetween(start, SteadyClock::now()) > timeoutMs || !programAlive())
            return false;
        sleepMs(2);
    }
    return true;
}

// The window of the process with that title, once it is viewable and has the focus.
Window waitFocused(const std::function<bool(const QString&)>& titleTest, Window other = 0)
{
    Window found = 0;
    waitFor([&] {
        found = g_x.find(g_pid, titleTest, other);
        return found && g_x.hasFocus(found);
    });
    return found;
}

Band g_mainBand;
bool g_mainBandKnown = false;

struct Startup
{
    bool ok = false;
    double loginMs = -1;
    double totalMs = -1;
    double afterOkMs = -1;
    std::string error;
};

// Starts the program and signs in as a keyboard user does; the program stays running, signed in.
Startup startAndSignIn(const Folder& f)
{
    Startup s;
    const SteadyClock::time_point start = SteadyClock::now();
    if (!spawnProgram(f)) {
        s.error = "the program could not be started";
        return s;
    }
    // The splash (titled with the program's name alone) closes on Esc; the sign-in window follows it.
    bool splashSkipped = false;
    Window login = 0;
    const bool loginShown = waitFor([&] {
        for (const Window w : g_x.windowsOf(g_pid)) {
            const XWindowAttributes a = g_x.attributes(w);
            if (a.map_state != IsViewable || !g_x.hasFocus(w))
                continue;
            const QString title = g_x.title(w);
            if (title == kLoginCaption) {
                login = w;
                return true;
            }
            if (!isMainTitle(title) && !splashSkipped) {
                g_x.key(XK_Escape);
                splashSkipped = true;
            }
        }
        return false;
    });
    if (!loginShown) {
        s.error = "the sign-in window did not come up, see " + f.log.toStdString();
        return s;
    }
    s.loginMs = msBetween(start, SteadyClock::now());
    // The name list takes the first letter of the name; Enter moves on to the password.
    g_x.type("p");
    g_x.key(XK_Return);
    g_x.type("1234");
    g_x.key(XK_Return);
    const Window message = waitFocused([](const QString& t) { return t == kLoginCaption; }, login);
    if (!message) {
        s.error = "no \"Giriş Başarılı\" message came";
        return s;
    }
    const Window main = mainWindow();
    const quint64 before = main ? grab(main, g_mainBand).hash : 0;
    const SteadyClock::time_point ok = SteadyClock::now();
    g_x.key(XK_Return);
    const Painted p = waitPainted(mainWindow, ok, before, g_mainBand);
    if (!p.ok) {
        s.error = "the main window: " + p.error;
        return s;
    }
    // "Şifre Yanlış" comes under the same title; after it the sign-in window stays.
    if (g_x.find(g_pid, [](const QString& t) { return t == kLoginCaption; })) {
        s.error = "the sign-in did not succeed";
        return s;
    }
    saveShot(mainWindow(), "main");
    s.afterOkMs = p.ms;
    s.totalMs = msBetween(start, ok) + p.ms;
    s.ok = true;
    return s;
}

// Learns where the search box's cursor blinks, once the signed-in main window stands still.
void learnMainBand()
{
    if (g_mainBandKnown)
        return;
    const Window w = mainWindow();
    if (!w)
        return;
    g_mainBand = cursorBand(w);
    g_mainBandKnown = true;
}

void setCounters(benchmark::State& state, const std::vector<double>& figures)
{
    if (figures.empty())
        return;
    state.counters["median_ms"] = median(figures);
    double sum = 0;
    for (const double v : figures)
        sum += v;
    state.counters["mean_ms"] = sum / double(figures.size());
    state.counters["min_ms"] = *std::min_element(figures.begin(), figures.end());
    state.counters["max_ms"] = *std::max_element(figures.begin(), figures.end());
    state.counters["grab_ms"] = g_grabStats.grabs ? g_grabStats.grabMs / g_grabStats.grabs : 0;
    state.counters["poll_ms"] = g_grabStats.intervals ? g_grabStats.intervalMs / g_grabStats.intervals : 0;
    state.counters["load1"] = load1();
}

// Ends the benchmark with the error, naming the program's windows at that moment and showing the end of its log.
void fail(benchmark::State& state, const std::string& error)
{
    std::string text = error + "; windows:";
    int n = 0;
    for (const Window w : g_x.windowsOf(g_pid)) {
        text += " \"" + g_x.title(w).toStdString() + "\"";
        saveShot(w, QByteArray("failure-" + QByteArray::number(++n)).constData());
    }
    // Another program on the same display takes the keys and covers the windows.
    text += "; other programs' windows:";
    for (const Window w : g_x.windowsOf(g_pid, true))
        text += " \"" + g_x.title(w).toStdString() + "\"";
    if (const Folder* f = folder()) {
        QFile log(QString::fromLocal8Bit(f->log));
        if (log.open(QIODevice::ReadOnly))
            std::cerr << "program log (end):\n" << log.readAll().right(2000).toStdString() << '\n';
    }
    state.SkipWithError(text.c_str());
}

void StartupSignedIn(benchmark::State& state)
{
    const Folder* f = folder();
    if (!f) {
        fail(state, "the program folder could not be made");
        return;
    }
    // Once unmeasured: the file in the page cache, and the search box's blinking cursor learnt.
    const Startup warm = startAndSignIn(*f);
    if (!warm.ok) {
        fail(state, warm.error.c_str());
        return;
    }
    learnMainBand();
    g_grabStats.reset();
    std::vector<double> totals, logins, afterOk;
    for (auto _ : state) {
        const Startup s = startAndSignIn(*f);
        if (!s.ok) {
            fail(state, s.error.c_str());
            break;
        }
        state.SetIterationTime(s.totalMs / 1e3);
        totals.push_back(s.totalMs);
        logins.push_back(s.loginMs);
        afterOk.push_back(s.afterOkMs);
    }
    setCounters(state, totals);
    if (!totals.empty()) {
        state.counters["login_ms"] = median(logins);
        state.counters["after_ok_ms"] = median(afterOk);
    }
}

// The running program, signed in, its main window standing still; started when none runs.
bool signedIn(benchmark::State& state)
{
    if (programAlive() && mainWindow())
        return true;
    const Folder* f = folder();
    if (!f) {
        fail(state, "the program folder could not be made");
        return false;
    }
    const Startup s = startAndSignIn(*f);
    if (!s.ok) {
        fail(state, s.error.c_str());
        return false;
    }
    learnMainBand();
    return true;
}

// Waits until the main window has stood still for a while, changed or not: for the keys that are not timed.
bool mainWindowSettled()
{
    sleepMs(100);
    return waitPainted(mainWindow, SteadyClock::now(), 0, g_mainBand).ok;
}

// Sends the key and waits until the main window shows something else and stands still; its time in ms.
Painted mainWindowAfterKey(KeySym key, KeySym modifier = 0)
{
    const Window w = mainWindow();
    if (!w || !g_x.hasFocus(w)) {
        Painted p;
        p.error = "the main window does not have the focus";
        return p;
    }
    const quint64 before = w ? grab(w, g_mainBand).hash : 0;
    const SteadyClock::time_point start = SteadyClock::now();
    g_x.key(key, modifier);
    return waitPainted(mainWindow, start, before, g_mainBand, true);
}

// Where the keyboard focus stands in the main window: the search box after the sign-in, the grid after an
// account window.
bool g_focusInGrid = false;

// The search box focused, its text selected.
void focusSearchBox()
{
    if (g_focusInGrid) {
        g_x.key(XK_Tab, XK_Shift_L);
        g_x.key(XK_Tab, XK_Shift_L);
        g_focusInGrid = false;
    }
    g_x.key(XK_a, XK_Control_L);
}

// "a" typed into the empty search box and then BackSpace, the one or the other timed.
void runSearch(benchmark::State& state, bool timeLetter)
{
    if (!signedIn(state))
        return;
    // Once unmeasured: the box emptied, and the grid in table order, as BackSpace leaves it. Not waited for as a
    // change: the whole list in name order and the "a" list may show the same first rows.
    focusSearchBox();
    g_x.key(XK_BackSpace);
    bool ready = mainWindowSettled();
    g_x.key(XK_a);
    ready = ready && mainWindowSettled();
    g_x.key(XK_BackSpace);
    if (!ready || !mainWindowSettled()) {
        fail(state, "the search box did not answer");
        return;
    }
    g_grabStats.reset();
    std::vector<double> figures;
    std::vector<double> rowFigures;
    for (auto _ : state) {
        const Painted letter = mainWindowAfterKey(XK_a);
        saveShot(mainWindow(), "search-a");
        const Painted back = letter.ok ? mainWindowAfterKey(XK_BackSpace) : Painted {};
        saveShot(mainWindow(), "search-backspace");
        if (!letter.ok || !back.ok) {
            fail(state, ("the search: " + letter.error + back.error).c_str());
            break;
        }
        const double ms = timeLetter ? letter.ms : back.ms;
        state.SetIterationTime(ms / 1e3);
        figures.push_back(ms);
        rowFigures.push_back((timeLetter ? letter : back).rowsMs);
    }
    setCounters(state, figures);
    // The rows on the screen, the scroll bar perhaps still to settle as the count follows.
    if (!rowFigures.empty())
        state.counters["rows_median_ms"] = median(rowFigures);
}

void SearchLetter(benchmark::State& state)
{
    runSearch(state, true);
}

void SearchBackspace(benchmark::State& state)
{
    runSearch(state, false);
}

bool isBigAccountTitle(const QString& title)
{
    return title.contains(QStringLiteral(" / 1 - ( "));
}

Window bigAccountWindow()
{
    return g_x.find(g_pid, isBigAccountTitle);
}

// From the search box (or the grid) to customer "1" selected in the grid with the focus on it.
bool selectBigAccount()
{
    focusSearchBox();
    // Its name is "Zeynep Yıldız 1": the search folds ı to i. The name is the first of those it begins.
    g_x.type("zeynep yildiz 1");
    g_x.key(XK_Tab);
    g_x.key(XK_Tab);
    g_focusInGrid = true;
    return mainWindowSettled();
}

Band g_accountBand;
bool g_accountBandKnown = false;

// Enter on the selected row until the account window is painted; then closes it.
Painted openBigAccount()
{
    const SteadyClock::time_point start = SteadyClock::now();
    g_x.key(XK_Return);
    Painted p = waitPainted(bigAccountWindow, start, 0, g_accountBand);
    const Window w = bigAccountWindow();
    if (p.ok)
        saveShot(w, "account");
    if (p.ok && !g_accountBandKnown) {
        g_accountBand = cursorBand(w);
        g_accountBandKnown = true;
    }
    if (!w) {
        p.ok = false;
        p.error = "no account window of customer \"1\" came up";
        return p;
    }
    g_x.close(w);
    if (!waitFor([] { return !bigAccountWindow(); }, 10000)) {
        p.ok = false;
        p.error = "the account window did not close";
    }
    // The main window reads its list again when it comes back to the front.
    mainWindowSettled();
    return p;
}

// One opening unmeasured (the file in the page cache, the window's own changing rows learnt), then each iteration
// timed; ready(), when given, puts the main window where the opening starts from before each.
void timeOpenings(benchmark::State& state, const std::function<Painted()>& open,
                  const std::function<bool()>& ready = {}, const char* notReady = "")
{
    if (!signedIn(state))
        return;
    if (ready && !ready()) {
        fail(state, notReady);
        return;
    }
    const Painted warm = open();
    if (!warm.ok) {
        fail(state, warm.error.c_str());
        return;
    }
    g_grabStats.reset();
    std::vector<double> figures;
    for (auto _ : state) {
        if (ready && !ready()) {
            fail(state, notReady);
            break;
        }
        const Painted p = open();
        if (!p.ok) {
            fail(state, p.error.c_str());
            break;
        }
        state.SetIterationTime(p.ms / 1e3);
        figures.push_back(p.ms);
    }
    setCounters(state, figures);
}

void OpenBigAccount(benchmark::State& state)
{
    timeOpenings(state, openBigAccount, selectBigAccount, "customer \"1\" could not be selected");
}

bool isUsersTitle(const QString& title)
{
    return title == QStringLiteral("Kullanıcı Ekle");
}

Window usersWindow()
{
    return g_x.find(g_pid, isUsersTitle);
}

// Alt opens the menu bar, Down the "Program" menu on its first item; "Kullanıcı Ekle" is the fifth item.
// Enter on it is timed until the users window is painted; Esc closes it.
Painted openUsersWindow()
{
    g_x.key(XK_Alt_L);
    g_x.key(XK_Down);
    for (int i = 0; i < 4; ++i)
        g_x.key(XK_Down);
    sleepMs(150);
    const SteadyClock::time_point start = SteadyClock::now();
    g_x.key(XK_Return);
    Painted p = waitPainted(usersWindow, start, 0, {});
    const Window w = usersWindow();
    if (!w) {
        p.ok = false;
        p.error = "the users window did not come up";
        return p;
    }
    saveShot(w, "users");
    g_x.key(XK_Escape);
    if (!waitFor([] { return !usersWindow(); }, 10000)) {
        p.ok = false;
        p.error = "the users window did not close on Esc";
    }
    mainWindowSettled();
    return p;
}

void OpenUsersWindow(benchmark::State& state)
{
    timeOpenings(state, openUsersWindow);
}

BENCHMARK(StartupSignedIn)->Iterations(kIterations)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SearchLetter)->Iterations(kIterations)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SearchBackspace)->Iterations(kIterations)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(OpenBigAccount)->Iterations(kIterations)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(OpenUsersWindow)->Iterations(kIterations)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    std::string error;
    if (!g_x.open(&error)) {
        std::cerr << "outside_bench: " << error << '\n';
        return 1;
    }
    std::signal(SIGINT, stopOnSignal);
    std::signal(SIGTERM, stopOnSignal);
    const int result = bench::run(argc, argv, {}, [] { stopProgram(); });
    stopProgram();
    return result;
}
