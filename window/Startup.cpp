#include "Startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFontDatabase>
#include <QIcon>
#include <QImage>
#include <QLibraryInfo>
#include <QPixmap>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "Endings.h"
#include "Form1.h"
#include "Icon.h"
#include "Quoted.h"

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

/// Whether a Wayland compositor answers on the socket WAYLAND_DISPLAY names.
bool WaylandAnswers()
{
    std::string socketPath = Environment("WAYLAND_DISPLAY");
    if (socketPath.empty())
        return false;
    if (socketPath[0] != '/') {
        const std::string runtime = Environment("XDG_RUNTIME_DIR");
        if (runtime.empty())
            return false;
        socketPath = runtime + "/" + socketPath;
    }
    sockaddr_un address{};
    if (socketPath.size() >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answers = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return answers;
}

/// A connection to the X server that DISPLAY names, held open until Qt has
/// connected too: if the probe hung up while it was the server's only client,
/// a bare X server would reset just as Qt connects, and Qt would abort.
struct XProbe {
    xcb_connection_t* Connection = nullptr;
    bool Answers()
    {
        if (Environment("DISPLAY").empty())
            return false;
        if (!Connection)
            Connection = xcb_connect(nullptr, nullptr);
        return !xcb_connection_has_error(Connection);
    }
    void Release()
    {
        if (Connection)
            xcb_disconnect(Connection);
        Connection = nullptr;
    }
    ~XProbe() { Release(); }
};

/// The platform plugins installed, by the names Qt knows them by.
QStringList InstalledPlatforms()
{
    QStringList folders = {QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms"};
    for (const QString& folder : qEnvironmentVariable("QT_PLUGIN_PATH").split(':', Qt::SkipEmptyParts))
        folders << folder + "/platforms";
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM_PLUGIN_PATH"))
        folders << qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    QStringList names;
    for (const QString& folder : folders)
        for (QString file : QDir(folder).entryList({"libq*.so"}, QDir::Files)) {
            file = file.mid(4, file.size() - 7); // libqNAME.so
            names << (file.endsWith("-generic") ? file.chopped(8) : file);
        }
    names.removeDuplicates();
    return names;
}

/// The platforms asked for by -platform or QT_QPA_PLATFORM, in order (Qt takes
/// a list separated by ';', each with options after ':'); none when unasked.
QStringList AskedPlatforms(int argc, char** argv)
{
    QString asked = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (int n = 1; n + 1 < argc; ++n)
        if (std::string_view(argv[n]) == "-platform" || std::string_view(argv[n]) == "--platform")
            asked = QString::fromLocal8Bit(argv[n + 1]);
    QStringList names;
    for (const QString& entry : asked.split(';', Qt::SkipEmptyParts))
        names << entry.section(':', 0, 0);
    return names;
}

int Refuse(const std::string& message)
{
    std::fprintf(stderr, "homing: %s\n", message.c_str());
    return 1;
}

constexpr const char* NoDisplay =
    "no display to open the window on (DISPLAY and WAYLAND_DISPLAY name none that answers); to run it "
    "headless, start it under xvfb-run";

/// Chooses the platform Qt will use, or says in one line why there is none:
/// what was asked for, if it is installed and answers; otherwise a Wayland
/// compositor that answers, then an X server.
int ChoosePlatform(int argc, char** argv, XProbe& x)
{
    const QStringList installed = InstalledPlatforms();
    const QStringList asked = AskedPlatforms(argc, argv);
    if (asked.isEmpty()) {
        if (installed.contains("wayland") && WaylandAnswers())
            qputenv("QT_QPA_PLATFORM", "wayland");
        else if (installed.contains("xcb") && x.Answers())
            qputenv("QT_QPA_PLATFORM", "xcb");
        else
            return Refuse(NoDisplay);
        return 0;
    }
    for (const QString& name : asked) {
        if (!installed.contains(name))
            continue;
        if (name == "xcb" ? x.Answers() : name.startsWith("wayland") ? WaylandAnswers() : true)
            return 0;
    }
    for (const QString& name : asked)
        if (!installed.contains(name))
            return Refuse("the Qt platform plugin \"" + name.toStdString() +
                          "\" is not installed (installed: " + installed.join(", ").toStdString() + ")");
    return Refuse(NoDisplay);
}

const QCommandLineOption RecordOption("record", "Write the session as a scenario script for homing-sim.", "FILE");
const QCommandLineOption TraceOption("trace", "Write the CSV trace of the frames run, as homing-sim does.", "FILE");
const QCommandLineOption ReplayOption("replay", "Play a scenario script in the window; live input waits until it ends.",
                                      "FILE");

void Describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription("Six ways a homing missile can steer towards a moving target.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({RecordOption, TraceOption, ReplayOption});
}

bool AsksForHelpOrVersion(int argc, char** argv)
{
    for (int n = 1; n < argc; ++n)
        for (const char* flag : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[n], flag) == 0)
                return true;
    return false;
}

/// What the parser took but would pass over in silence: an empty or repeated
/// file option, or an argument that is no option. Returns it in one line.
std::string UnusedArgument(const QCommandLineParser& parser)
{
    for (const QCommandLineOption* option : {&RecordOption, &TraceOption, &ReplayOption}) {
        const QString name = "--" + option->names().first();
        const QStringList values = parser.values(*option);
        if (values.size() > 1)
            return name.toStdString() + " is given twice; a session takes one of each";
        if (values.size() == 1 && values.first().isEmpty())
            return name.toStdString() + " needs a FILE, got an empty name";
    }
    if (!parser.positionalArguments().isEmpty())
        return "unexpected argument " + QuotedPath(parser.positionalArguments().first().toStdString()) +
               " (the window takes --record, --trace and --replay; see --help)";
    return {};
}

/// The window's icon, at every size, from the same artwork as the installed one.
QIcon ProgramIcon()
{
    const Surface sheet = LoadSpriteSheet();
    QIcon icon;
    for (const int size : IconSizes) {
        const std::vector<std::uint32_t> pixels = SpriteIcon(sheet, IconSprite, size);
        icon.addPixmap(QPixmap::fromImage(
            QImage(reinterpret_cast<const uchar*>(pixels.data()), size, size, size * 4, QImage::Format_ARGB32).copy()));
    }
    return icon;
}

} // namespace

int RunHoming(int argc, char** argv)
{
    std::signal(SIGXFSZ, SIG_IGN); // a file-size limit fails a write, reported, instead of killing the session
    std::signal(SIGPIPE, SIG_IGN); // so does a trace piped to a reader that has gone

    QCoreApplication::setApplicationName("homing");
    QCoreApplication::setApplicationVersion(HOMING_VERSION);
    QGuiApplication::setDesktopFileName(HOMING_APP_ID);
    if (AsksForHelpOrVersion(argc, argv)) {
        // Usage and version need no display; Qt's own options are listed by --help-all.
        QCoreApplication core(argc, argv);
        QCommandLineParser parser;
        Describe(parser);
        parser.process(core);
        return 0;
    }

    XProbe x;
    if (const int refused = ChoosePlatform(argc, argv, x))
        return refused;
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C"); // Qt took the user's; a script's numbers read the same everywhere
    x.Release();                     // Qt holds its own connection now
    QCommandLineParser parser;
    Describe(parser);
    parser.process(application);
    if (const std::string unused = UnusedArgument(parser); !unused.empty()) {
        std::fprintf(stderr, "homing: %s\n", unused.c_str());
        return SessionBadInput;
    }
    const SessionFiles files{parser.value(RecordOption).toStdString(), parser.value(TraceOption).toStdString(),
                             parser.value(ReplayOption).toStdString()};
    QApplication::setWindowIcon(ProgramIcon());
    if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
        std::fputs("homing: no installed font shows the Japanese captions; install fonts-ipafont-gothic (or "
                   "another Japanese font)\n",
                   stderr);
    Form1 form;
    if (const std::string error = form.OpenSession(files); !error.empty()) {
        std::fprintf(stderr, "homing: %s\n", error.c_str());
        return SessionBadInput;
    }
    form.show();
    WatchEndings(form);
    const int status = application.exec();
    return EndSession(form, status);
}
