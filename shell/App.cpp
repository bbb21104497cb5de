#include "App.h"

#include "AboutWnd.h"
#include "ControlWnd.h"
#include "Exceptions.h"
#include "HelpWnd.h"
#include "InvisibleWnd.h"
#include "MenuBar1.h"

const fw::ClassRecord& App::Lookup()
{
    static const fw::ClassRecord record = [] {
        fw::ClassRecord r;
        r.fullName = "App";
        r.parent = "Application";
        r.attributes = {{"__Scope", "Public"}};
        return r;
    }();
    return record;
}

void initialize()
{
    (void)fw::Window::Class();
    (void)fw::EditField::Class();
    (void)fw::StaticText::Class();
    (void)fw::Canvas::Class();
    (void)fw::Separator::Class();
    (void)App::Lookup();
    (void)ControlWnd::Lookup();
    (void)MenuBar1::Lookup();
    (void)InvisibleWnd::Lookup();
    (void)AboutWnd::Lookup();
    (void)helpWnd::Lookup();
}

void InitFileTypes() {}

void NewAppInstance()
{
    auto app = std::make_unique<App>();
    if (!app)
        fw::RaiseNilObjectException();
    app->MenuBar(::MenuBar1());
    fw::RuntimeRegisterAppObject(std::move(app));
}

void ApplicationAddMenuHandlers() {}

void MakeDefaultView()
{
    (void)::InvisibleWnd();
}

void Main()
{
    try {
        fw::RuntimeInitExternalClasses();
        fw::InitPluginEntrypoints();
        InitFileTypes();
        NewAppInstance();
        ApplicationAddMenuHandlers();
        MakeDefaultView();
        fw::RuntimeRun();
    } catch (...) {
        fw::UnhandledException(std::current_exception());
    }
}

void finalize()
{
    fw::RuntimeFinalize();
    MenuBar1::implicitInstanceExit();
}
