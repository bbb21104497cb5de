#include "Runtime.h"

#include "Menu.h"
#include "ModalInView.h"
#include "Window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace fw {

namespace {

struct RuntimeState {
    std::unique_ptr<QApplication> ownedApp;
    std::unique_ptr<Application> app;
    QElapsedTimer clock;
    std::function<std::int32_t()> tickSource;
    std::exception_ptr pending;
    bool stopped = false;    // a handler failed: no further handler runs
    bool quitting = false;
    bool loopRunning = false;
    bool reported = false;
    int exitStatus = 0;
    int depth = 0;
    int beeps = 0;
    int msgBoxes = 0;
    std::vector<std::function<void()>> idle;
    bool idleScheduled = false;
    std::vector<QPointer<QWidget>> handlerWindows;  // innermost last
};

RuntimeState& State()
{
    static RuntimeState s;
    return s;
}

void FlushIdle()
{
    RuntimeState& s = State();
    s.idleScheduled = false;
    if (s.depth > 0)
        return;  // a handler is on the stack; its end schedules us again
    while (!s.idle.empty()) {
        std::vector<std::function<void()>> batch;
        batch.swap(s.idle);
        for (auto& fn : batch)
            fn();
    }
}

void ScheduleIdle()
{
    RuntimeState& s = State();
    if (s.idleScheduled || s.idle.empty() || !QCoreApplication::instance())
        return;
    s.idleScheduled = true;
    QTimer::singleShot(0, QCoreApplication::instance(), &FlushIdle);
}


bool HasDisplay()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

}  // namespace

Application::~Application() = default;

void Application::MenuBar(std::shared_ptr<fw::MenuBar> bar)
{
    menuBar_ = std::move(bar);
}

void RuntimeInit(int& argc, char** argv)
{
    RuntimeState& s = State();
    if (!QApplication::instance())
        s.ownedApp = std::make_unique<QApplication>(argc, argv);
    // Quitting when the last window closes is decided by the framework: the
    // splash hides every window for a moment, which must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    s.clock.start();
}

void RuntimeInitExternalClasses() {}
void InitPluginEntrypoints() {}

void RuntimeRegisterAppObject(std::unique_ptr<Application> app)
{
    State().app = std::move(app);
}

Application* App()
{
    return State().app.get();
}

void RuntimeRun()
{
    RuntimeState& s = State();
    RethrowPending();
    if (!s.quitting && !s.stopped) {
        s.loopRunning = true;
        QApplication::exec();
        s.loopRunning = false;
    }
    RethrowPending();
}

void RuntimeFinalize()
{
    RuntimeState& s = State();
    DestroyAllWindows();
    s.idle.clear();
    s.app.reset();
}

int RuntimeExit()
{
    RuntimeState& s = State();
    s.ownedApp.reset();
    return s.exitStatus;
}

void UnhandledException(std::exception_ptr error)
{
    RuntimeState& s = State();
    s.exitStatus = 1;
    if (s.reported)
        return;
    s.reported = true;
    std::string what = "unknown exception";
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    std::fprintf(stderr, "Unhandled exception: %s\n", what.c_str());
    std::fflush(stderr);
    if (QApplication::instance() && HasDisplay()) {
        QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(),
                        QStringLiteral("An unexpected error occurred and the program must close.\n\n%1")
                            .arg(QString::fromStdString(what)),
                        QMessageBox::Ok);
        const KeepModalInView inView(box);
        box.exec();
    }
}

void Quit()
{
    RuntimeState& s = State();
    s.quitting = true;
    if (s.loopRunning)
        QCoreApplication::exit(0);
}

bool Quitting()
{
    return State().quitting;
}

bool LoopRunning()
{
    return State().loopRunning;
}

void RuntimeBackgroundTask()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    RethrowPending();
}

std::int32_t Ticks()
{
    RuntimeState& s = State();
    if (s.tickSource)
        return s.tickSource();
    if (!s.clock.isValid())
        s.clock.start();
    const qint64 ticks = s.clock.elapsed() * 60 / 1000;
    // The counter wraps like a 32-bit register; unsigned arithmetic keeps that defined.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks)));
}

void SetTickSource(std::function<std::int32_t()> source)
{
    State().tickSource = std::move(source);
}

double RuntimeCvtSInt32ToReal64(std::int32_t v)
{
    return static_cast<double>(v);
}

std::int32_t RuntimeCvtReal64ToSInt32(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

void MsgBox(const QString& text)
{
    RuntimeState& s = State();
    ++s.msgBoxes;
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // The box belongs to the window whose handler asks for it: shown over it,
    // and kept with it by the window manager (never minimised apart from it).
    // Which window is active may already have moved on by the time a press
    // is handled.
    QPointer<QWidget> owner = s.handlerWindows.empty() ? nullptr : s.handlerWindows.back();
    if (!owner || !owner->isVisible())
        owner = QApplication::activeWindow();
    QPointer<QMessageBox> box = new QMessageBox(owner);
    box->setWindowTitle(QCoreApplication::applicationName());
    box->setTextFormat(Qt::PlainText);
    box->setText(shown);
    box->setIcon(QMessageBox::NoIcon);
    box->setStandardButtons(QMessageBox::Ok);
    {
        const KeepModalInView inView(*box);
        box->exec();
    }
    delete box;  // unless its window went first, and took it along
    // Without a window manager nobody hands the activation back to the window
    // the box came from, and the focus it is about to receive would go nowhere.
    if (owner && owner->isVisible())
        owner->activateWindow();
    RethrowPending();
}

int MsgBoxCount()
{
    return State().msgBoxes;
}

void Beep()
{
    ++State().beeps;
    QApplication::beep();
}

int BeepCount()
{
    return State().beeps;
}

bool Dispatch(const std::function<bool()>& handler, QWidget* window)
{
    RuntimeState& s = State();
    if (s.stopped)
        return true;
    HandlerScope scope;
    s.handlerWindows.emplace_back(window);
    struct Leave {
        ~Leave() { State().handlerWindows.pop_back(); }
    } leave;
    try {
        return handler();
    } catch (...) {
        if (!s.pending)
            s.pending = std::current_exception();
        s.stopped = true;
        // Leaves every running loop, nested ones included.
        QCoreApplication::exit(1);
        return true;
    }
}

bool ExceptionPending()
{
    return State().stopped;
}

void RethrowPending()
{
    RuntimeState& s = State();
    if (s.pending) {
        std::exception_ptr e = s.pending;
        s.pending = nullptr;
        std::rethrow_exception(e);
    }
}

int DispatchDepth()
{
    return State().depth;
}

HandlerScope::HandlerScope()
{
    ++State().depth;
}

HandlerScope::~HandlerScope()
{
    if (--State().depth == 0)
        ScheduleIdle();
}

void WhenIdle(std::function<void()> fn)
{
    State().idle.push_back(std::move(fn));
    ScheduleIdle();
}

}  // namespace fw
