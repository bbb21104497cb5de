#pragma once
// The application runtime: start-up, the event loop and its end, the
// reporting of an escaped exception, ticks, the background task and the
// small services every handler may call (message box, beep).

#include <QString>

class QWidget;

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

namespace fw {

class MenuBar;

// The application object. One is registered per process.
class Application {
public:
    virtual ~Application();
    std::shared_ptr<fw::MenuBar> MenuBar() const { return menuBar_; }
    void MenuBar(std::shared_ptr<fw::MenuBar> bar);

private:
    std::shared_ptr<fw::MenuBar> menuBar_;
};

void RuntimeInit(int& argc, char** argv);
void RuntimeInitExternalClasses();
void InitPluginEntrypoints();
void RuntimeRegisterAppObject(std::unique_ptr<Application> app);
Application* App();
// Runs the event loop until the application quits. An exception that escaped
// a handler ends the loop and is thrown again from here.
void RuntimeRun();
// Releases the application object, the windows and the Qt application.
void RuntimeFinalize();
int RuntimeExit();
// Reports an escaped exception once: a line on standard error and, where a
// display is there, a message box. The exit status becomes non-zero.
void UnhandledException(std::exception_ptr error);

// The quit action: ends the event loop; windows are not shown any more.
void Quit();
bool Quitting();
bool LoopRunning();

// Runs pending events once; an exception that escaped a handler meanwhile
// is thrown again here.
void RuntimeBackgroundTask();

// Sixtieths of a second on a monotonic clock. Wraps around like the 32-bit
// counter it is; tests may drive it.
std::int32_t Ticks();
void SetTickSource(std::function<std::int32_t()> source);  // empty: the clock
double RuntimeCvtSInt32ToReal64(std::int32_t v);
// Drops the fraction; saturates out of range and gives 0 for NaN.
std::int32_t RuntimeCvtReal64ToSInt32(double v);

// A modal box with the text and one OK button; returns once dismissed.
void MsgBox(const QString& text);
int MsgBoxCount();
void Beep();
int BeepCount();

// Calls a handler from Qt's event dispatch. An exception never unwinds
// through Qt: it is kept, the loop is ended, and later handlers do not run.
// The window is the top-level one whose handler this is: a message box the
// handler shows belongs to it.
bool Dispatch(const std::function<bool()>& handler, QWidget* window = nullptr);
bool ExceptionPending();
void RethrowPending();
int DispatchDepth();
// While alive, a handler is on the stack: closed windows wait to be destroyed.
// Dispatch holds one; so does a window's Open, which is called directly.
class HandlerScope {
public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};
// Runs fn once no handler is on the stack any more (now, if none is).
void WhenIdle(std::function<void()> fn);

}  // namespace fw
