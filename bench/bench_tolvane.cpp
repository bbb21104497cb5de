// Micro-benchmarks: the calculator window built from its settings tables
// against the same window written directly in Qt, table decoding, one
// Compute press, and the text/number helpers.
#include "AboutWnd.h"
#include "App.h"
#include "ControlWnd.h"
#include "Files.h"
#include "HelpWnd.h"
#include "Pictures.h"
#include "TextNumbers.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

// Runs what the window left queued (show, paint, deferred deletes), so each
// iteration starts from the same quiet state.
void Drain()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// --- the calculator window from its tables ---------------------------------

// Every iteration must free the window it built.
void CheckFreed(benchmark::State& state, qsizetype windowsBefore)
{
    if (QApplication::topLevelWidgets().size() != windowsBefore)
        state.SkipWithError("windows were left behind");
}

void BM_CalculatorWindowFromTables(benchmark::State& state)
{
    fw::DestroyAllWindows();
    Drain();
    const qsizetype before = QApplication::topLevelWidgets().size();
    for (auto _ : state) {
        auto& w = ControlWnd();
        benchmark::DoNotOptimize(&w);
        state.PauseTiming();
        fw::DestroyAllWindows();
        Drain();
        state.ResumeTiming();
    }
    CheckFreed(state, before);
}
BENCHMARK(BM_CalculatorWindowFromTables)->Unit(benchmark::kMicrosecond);

// --- the same window written directly in Qt --------------------------------

class PictureView : public QWidget {
public:
    PictureView(const QImage& image, QWidget* parent, std::function<void()> onPress = {})
        : QWidget(parent), image_(image), onPress_(std::move(onPress))
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(QPoint(0, 0), image_);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (onPress_)
            onPress_();
        else
            e->ignore();
    }

private:
    const QImage& image_;
    std::function<void()> onPress_;
};

// Digits, ".", backspace and tab pass, "-" where allowed; anything else beeps.
class DigitFilter : public QObject {
public:
    DigitFilter(bool minusAllowed, QObject* parent) : QObject(parent), minus_(minusAllowed) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const QString text = static_cast<QKeyEvent*>(e)->text();
        if (text.isEmpty())
            return false;
        const QChar c = text.front();
        if (c.isDigit() || c == u'.' || c == u'\b' || c == u'\t' || (minus_ && c == u'-'))
            return false;
        QApplication::beep();
        return true;
    }

private:
    bool minus_;
};

struct Pictures {
    QImage logo = ImageSmall()->Image(), info = Info()->Image();
    QImage compute = Compute2()->Image(), clear = Clear2()->Image();
};

// Out of line, so that a profiler can single out one build.
[[gnu::noinline]] QMainWindow* CalculatorByHand(const Pictures& pics)
{
    auto* frame = new QMainWindow;
    frame->setAttribute(Qt::WA_QuitOnClose, false);
    frame->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
    frame->setWindowTitle(QStringLiteral("Tolvane"));

    // Menus: the edit commands are enabled by what the focused field allows.
    QMenuBar* bar = frame->menuBar();
    QMenu* fileMenu = bar->addMenu(QStringLiteral("&File"));
    QMenu* editMenu = bar->addMenu(QStringLiteral("&Edit"));
    auto add = [frame](QMenu* menu, const char* text, const char* keys, std::function<void()> run) {
        auto* a = new QAction(QString::fromLatin1(text), menu);
        if (keys)
            a->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        a->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(a, &QAction::triggered, frame, std::move(run));
        menu->addAction(a);
        return a;
    };
    auto focused = [frame] { return qobject_cast<QLineEdit*>(frame->focusWidget()); };
    add(fileMenu, "Quit", "Ctrl+Q", [] { QApplication::quit(); });
    QAction* undo = add(editMenu, "&Undo", "Ctrl+Z", [focused] { if (auto* f = focused()) f->undo(); });
    editMenu->addSeparator();
    QAction* cut = add(editMenu, "Cu&t", "Ctrl+X", [focused] { if (auto* f = focused()) f->cut(); });
    QAction* copy = add(editMenu, "&Copy", "Ctrl+C", [focused] { if (auto* f = focused()) f->copy(); });
    QAction* paste = add(editMenu, "&Paste", "Ctrl+V", [focused] { if (auto* f = focused()) f->paste(); });
    QAction* clear = add(editMenu, "Clear", nullptr, [focused] { if (auto* f = focused()) f->del(); });
    editMenu->addSeparator();
    QAction* all = add(editMenu, "Select &All", "Ctrl+A", [focused] { if (auto* f = focused()) f->selectAll(); });
    auto enable = [=] {
        QLineEdit* f = focused();
        const bool writable = f && !f->isReadOnly();
        const bool selection = f && f->hasSelectedText();
        undo->setEnabled(writable && f->isUndoAvailable());
        cut->setEnabled(writable && selection);
        clear->setEnabled(writable && selection);
        copy->setEnabled(selection);
        paste->setEnabled(writable);
        all->setEnabled(f && !f->text().isEmpty());
    };
    QObject::connect(editMenu, &QMenu::aboutToShow, frame, enable);
    QObject::connect(qApp, &QApplication::focusChanged, frame, enable);
    enable();

    auto* content = new QWidget;
    QPalette white = content->palette();
    white.setColor(QPalette::Window, Qt::white);
    content->setPalette(white);
    content->setAutoFillBackground(true);
    content->setFixedSize(550, 500);
    frame->setCentralWidget(content);
    frame->layout()->setSizeConstraint(QLayout::SetFixedSize);

    QFont mono(QStringLiteral("Courier"));
    mono.setStyleHint(QFont::TypeWriter);
    mono.setPixelSize(14);
    auto field = [&](int left, int top) {
        auto* f = new QLineEdit(content);
        f->setGeometry(left, top, 80, 22);
        f->setFont(mono);
        f->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        f->setMaxLength(6);
        return f;
    };
    QLineEdit* rd = field(235, 316);
    rd->setReadOnly(true);
    rd->setToolTip(QStringLiteral("Reliability of the difference scores"));
    rd->hide();

    const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    QPalette navy = white;
    navy.setColor(QPalette::Active, QPalette::WindowText, QColor(0, 0, 0x80));
    navy.setColor(QPalette::Inactive, QPalette::WindowText, QColor(0, 0, 0x80));
    navy.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    auto label = [&](QRect at, const char* text, int size, bool enabled) {
        auto* l = new QLabel(QString::fromUtf8(text), content);
        QFont f = general;
        f.setPixelSize(size);
        l->setFont(f);
        l->setPalette(navy);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        l->setGeometry(at);
        l->setEnabled(enabled);
        return l;
    };
    label({220, 340, 110, 30}, "Tol\nvane", 12, false)->hide();
    QLabel* title = label({170, 22, 334, 84}, "Tol\nvane", 36, true);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    (new PictureView(pics.logo, content, [] {}))->setGeometry(15, 18, 132, 133);
    label({112, 265, 80, 31}, "Reliability\nof first test", 12, false);
    QLineEdit* rxx = field(112, 241);
    rxx->installEventFilter(new DigitFilter(false, rxx));
    label({235, 265, 80, 31}, "Reliability of\nsecond test", 12, false);
    QLineEdit* ryy = field(235, 241);
    ryy->installEventFilter(new DigitFilter(false, ryy));
    label({352, 265, 92, 31}, "Correlation\nbetween tests", 12, false);
    QLineEdit* rxy = field(358, 241);
    rxy->installEventFilter(new DigitFilter(true, rxy));
    QLabel* notice = label({261, 110, 161, 20}, "\xC2\xA9 2026 Tembrisk \xC2\xB7 v1.0", 11, true);
    notice->setWordWrap(false);
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    (new PictureView(pics.info, content, [] {}))->setGeometry(235, 410, 72, 70);
    auto* line = new QFrame(content);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(179, 108, 325, 4);
    (new PictureView(pics.compute, content, [rd] { rd->show(); }))->setGeometry(20, 442, 106, 38);
    (new PictureView(pics.clear, content, [rd] { rd->hide(); }))->setGeometry(424, 441, 106, 39);

    QWidget::setTabOrder(rd, rxx);
    QWidget::setTabOrder(rxx, ryy);
    QWidget::setTabOrder(ryy, rxy);
    frame->show();
    return frame;
}

void BM_CalculatorWindowByHand(benchmark::State& state)
{
    const Pictures pics;
    const qsizetype before = QApplication::topLevelWidgets().size();
    for (auto _ : state) {
        QMainWindow* w = CalculatorByHand(pics);
        benchmark::DoNotOptimize(w);
        state.PauseTiming();
        delete w;
        Drain();
        state.ResumeTiming();
    }
    CheckFreed(state, before);
}
BENCHMARK(BM_CalculatorWindowByHand)->Unit(benchmark::kMicrosecond);

// --- decoding and applying one settings table ------------------------------

using Target = std::function<fw::PropertyObject&()>;

void RegisterTable(const std::string& name, Target target, const std::string& table)
{
    benchmark::RegisterBenchmark(("BM_DecodeAndApply/" + name).c_str(), [target, &table](benchmark::State& state) {
        fw::PropertyObject& obj = target();
        for (auto _ : state)
            fw::SetProperties(obj, table);
        state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(table.size()));
        state.counters["bytes"] = static_cast<double>(table.size());
    })->Unit(benchmark::kMicrosecond);
}

// The window's own table onto the live window, each control's onto its control.
template <class W>
void RegisterWindowTables(const char* window, W& (*accessor)())
{
    RegisterTable(std::string(window) + ".Window", [accessor]() -> fw::PropertyObject& { return accessor(); },
                  W::WindowTable());
    for (const auto& [name, bytes] : W::ControlTables()) {
        const QString control = name;
        RegisterTable(std::string(window) + "." + name.toStdString(),
                      [accessor, control]() -> fw::PropertyObject& {
                          return accessor().template ControlNamed<fw::Control>(control);
                      },
                      bytes);
    }
}

// --- the rest ---------------------------------------------------------------

void BM_ComputePress(benchmark::State& state)
{
    auto& w = ControlWnd();
    auto& rxx = w.ControlNamed<fw::EditField>("RxxFld");
    auto& ryy = w.ControlNamed<fw::EditField>("RyyFld");
    auto& rxy = w.ControlNamed<fw::EditField>("RxyFld");
    auto& rd = w.ControlNamed<fw::EditField>("RdFld");
    for (auto _ : state) {
        rxx.Text(QStringLiteral(".9"));
        ryy.Text(QStringLiteral(".8"));
        rxy.Text(QStringLiteral("-.5"));
        w.ComputeCanvas_MouseDown(0, 0);
        QString shown = rd.Text();
        benchmark::DoNotOptimize(shown);
    }
    if (rd.Text() != QLatin1String(".7000"))
        state.SkipWithError("Compute did not show .7000");
}
BENCHMARK(BM_ComputePress)->Unit(benchmark::kMicrosecond);

void RegisterVal(const char* label, const char* text)
{
    const QString input = QString::fromLatin1(text);
    benchmark::RegisterBenchmark((std::string("BM_Val/") + label).c_str(), [input](benchmark::State& state) {
        for (auto _ : state)
            benchmark::DoNotOptimize(fw::Val(input));
    });
}

void RegisterFormat(const char* label, double value)
{
    benchmark::RegisterBenchmark((std::string("BM_Format/") + label).c_str(), [value](benchmark::State& state) {
        const QString pattern = QStringLiteral(".0000");
        double v = value;
        for (auto _ : state) {
            benchmark::DoNotOptimize(v);
            QString s = fw::Format(v, pattern);
            benchmark::DoNotOptimize(s);
        }
    });
}

// The offscreen platform warns at every window it shows; that is not news.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        qt_message_output(type, context, message);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(&QuietOffscreen);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    fw::SetExecutableFileForTesting(QStringLiteral(TOLVANE_TREE_DIR "/bin/tolvane"));
    initialize();
    NewAppInstance();
    if (!ImageSmall() || !Tembrisk() || !Info() || !Compute2() || !Clear2()) {
        std::fprintf(stderr, "the pictures are missing from %s/Resources\n", TOLVANE_TREE_DIR);
        return 1;
    }

    RegisterWindowTables("ControlWnd", &ControlWnd);
    RegisterWindowTables("AboutWnd", &AboutWnd);
    RegisterTable("helpWnd.Window", []() -> fw::PropertyObject& { return helpWnd(); }, helpWnd::WindowTable());
    RegisterTable("helpWnd.EditField1",
                  []() -> fw::PropertyObject& { return helpWnd().ControlNamed<fw::Control>("EditField1"); },
                  helpWnd::EditField1Table());
    RegisterVal(".9", ".9");
    RegisterVal("-.5", "-.5");
    RegisterVal("1.0001", "1.0001");
    RegisterVal("40digits", "1234567890123456789012345678901234567890");
    RegisterVal("nbsp.8 (no-break space first)", "\u00A0.8");
    RegisterFormat("0.7000000000000002", 0.7000000000000002);
    RegisterFormat("-4.000000000000001", -4.000000000000001);
    RegisterFormat("1e300", 1e300);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    finalize();
    return 0;
}
