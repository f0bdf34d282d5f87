// zelmora: the desktop program. Start-up: single instance per data folder, splash, environment
// check, defaults and [COMMON], then the launch; the program then lives in its windows.
#include "app/DesktopLaunch.h"
#include "app/Launch.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "app/frmStartup.h"
#include "core/AppState.h"
#include "core/EventLoopMonitor.h"
#include "core/Logging.h"
#include "core/LogonName.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "dialogs/frmSetParameter.h"
#include "groupware/GroupwareSession.h"
#include "groupware/SessionRenewal.h"
#include "groupware/TrayPages.h"
#include "net/InetProtocol.h"
#include "status/frmStatus.h"
#include "ui/BrowserModule.h"
#include "ui/MessageBoxUi.h"
#include "ui/ModalAnswerer.h"
#include "ui/QtTranslations.h"
#include "ui/ResourceDiagnostics.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTimer>

#include <cstdlib>
#include <exception>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace zelmora;

namespace {

QString dataFolderOf(const QStringList& arguments) {
    return chooseDataFolder(arguments.mid(1), QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                            programFolderHoldsData);
}

// The first stage and the launch. Returns the exit status when the program ends before it
// runs, or -1 when it runs.
int start(Settings& settings, AppState& state, GroupwareSession& session, DesktopLaunch& windows,
          const QString& dataFolder) {
    auto* splash = new frmStartup;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    windows.setSplash(splash);
    QCoreApplication::processEvents();

    EnvironmentProblem problem = checkEnvironment(dataFolder, defaultWebEngineProcessPath());
    // The browser windows are a module of their own, loaded with the first page.
    if (problem == EnvironmentProblem::None &&
        ui::findBrowserModule(QCoreApplication::applicationDirPath()).isEmpty()) {
        qCWarning(lcApp) << "browser module missing:"
                         << ui::browserModuleCandidates(QCoreApplication::applicationDirPath());
        problem = EnvironmentProblem::Browser;
    }
    if (problem != EnvironmentProblem::None) {
        reportEnvironmentProblem(problem);
        windows.CloseSplash();
        return EXIT_FAILURE;
    }
    InitializeStartupState(settings, state, dataFolder, QCoreApplication::applicationDirPath(),
                           logonNameOrCommon(GetLoginUserName()));
    // A settings file that cannot be read at all ends the program here, after its message.
    setSettingsExitHandler([] { std::exit(EXIT_FAILURE); });

    const CommonSettingsOutcome outcome =
        handleCommonSettingsResult(ReadCommonSettings(state.settingsFilePath, settings.connection));
    if (outcome == CommonSettingsOutcome::End)
        return EXIT_SUCCESS;
    if (outcome == CommonSettingsOutcome::FirstSetup)
        windows.CloseSplash();

    Launch launch(settings, state, session, windows);
    if (launch.run(outcome == CommonSettingsOutcome::FirstSetup) == Launch::Result::Ended) {
        windows.CloseSplash();
        return EXIT_SUCCESS;
    }
    return -1;
}

// The settings dialog, modal: at the first setup and while the server does not answer (launch),
// and from the settings commands of the tray and the status window.
void useSettingsDialog(Settings& settings, AppState& state, GroupwareSession& session, DesktopLaunch& windows) {
    windows.setSettingsDialog([&settings, &state, &session, &windows](bool firstSetup) {
        frmSetParameter dialog(settings, state, session);
        dialog.bflgFirstSetup = firstSetup;
        dialog.setResidentControl(windows.resident());
        // The emergency exit after a failed directory fetch.
        dialog.setServerDataError(
            [&windows] { ShowServerDataError(1, [&windows](qint16 mode) { windows.EndProgram(mode); }); });
        dialog.exec();
    });
}

// The pages of a refresh are a few large blocks, allocated and freed again every refresh: a
// 1,000-member board is 600 KB of text, and as much again while it is read. The C library would map
// each such block and unmap it when freed, so that the kernel faults in and zeroes its pages anew
// every time (a twentieth of a refresh's CPU). Kept in the heap, with up to 32 MB of it free before
// any is handed back, they reuse the same memory.
void keepLargeBlocksInHeap() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 32 * 1024 * 1024);
#endif
}

} // namespace

int main(int argc, char** argv) {
    keepLargeBlocksInHeap();
    // Qt::AA_ShareOpenGLContexts, which the web engine needs, is left to the first page
    // (ui::loadBrowserModule): set here it makes Qt create an OpenGL context at start-up.
    ui::useJapaneseDates();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelmora"));
    QApplication::setApplicationVersion(QStringLiteral(ZELMORA_VERSION_STRING));
    // The program lives in the tray; closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    ui::installQtTranslations(app);
    ui::installMessageBoxHandler();
    // Test runs of the whole program: modal windows answered by themselves, a shorter request
    // watchdog, and a stall report every second. Only builds for the tests have them
    // (ZELMORA_TEST_HOOKS); the installed program ignores these variables.
#ifdef ZELMORA_TEST_HOOKS
    const int testTickMs = qEnvironmentVariableIntValue("ZELMORA_TEST_TICK_MS");
    ui::ModalAnswerer::fromEnvironment(&app);
    if (const int watchdogMs = qEnvironmentVariableIntValue("ZELMORA_TEST_WATCHDOG_MS"); watchdogMs > 0)
        InetProtocol::instance().setWatchdogInterval(watchdogMs);
#else
    const int testTickMs = 0;
#endif
    EventLoopMonitor monitor(testTickMs > 0 ? 1000 : 60000);
    // Its probe wakes the program 50 times a second (0.7 % of a core at rest): only for the support log.
    if (lcEventLoop().isInfoEnabled() || lcEventLoop().isDebugEnabled())
        monitor.start();
    // Support (zelmora.diag): what the program holds, once a minute (four ticks in test runs).
    ui::ResourceDiagnostics diagnostics(testTickMs > 0 ? 4 * testTickMs : 60000);
    diagnostics.startIfEnabled();

    const QString dataFolder = dataFolderOf(QCoreApplication::arguments());
    SingleInstance instance(dataFolder);
    if (!instance.claim() && instance.otherInstanceAnswered())
        return EXIT_SUCCESS;

    Settings settings;
    AppState state;
    GroupwareSession session;
    // A server restarted while the program runs has forgotten its login: log in again by itself,
    // or every later page would be the "login required" page.
    SessionRenewal renewal(settings.connection, session);
    DesktopLaunch windows(settings, state, session);
    windows.setTestTickMs(testTickMs);
    useSettingsDialog(settings, state, session, windows);
    try {
        const int status = start(settings, state, session, windows, dataFolder);
        if (status >= 0)
            return status;
    } catch (const std::exception& error) {
        showMessage(kTitleError, MsgIcon::Critical, QString::fromLocal8Bit(error.what()));
        return EXIT_FAILURE;
    }

    QObject::connect(&instance, &SingleInstance::activationRequested, &windows, [&windows] {
        qCInfo(lcApp) << "another start asked for the status window";
        if (frmStatus* status = windows.status())
            status->ShowStatus();
    });
#ifdef ZELMORA_TEST_HOOKS
    // Benchmark runs (bench/perf.sh) open one groupware page in the browser window a while after
    // start-up, as the tray menu would, to weigh the web engine; never set in production.
    const QString benchPage = qEnvironmentVariable("ZELMORA_TEST_OPEN_PAGE");
    if (!benchPage.isEmpty() && windows.resident()) {
        QTimer::singleShot(qEnvironmentVariableIntValue("ZELMORA_TEST_OPEN_PAGE_AFTER_MS"), windows.resident(),
                           [&windows, &settings, benchPage] {
                               windows.resident()->RequestPage(OpenGroupwarePage,
                                                               settings.connection.programUrl + benchPage);
                           });
    }
#endif
    return QApplication::exec();
}
