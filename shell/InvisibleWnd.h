#pragma once
// The application's default window: never shown; its Open event runs the
// start-up splash.

#include "Window.h"

#include <string>

class InvisibleWnd : public fw::Window {
public:
    explicit InvisibleWnd(fw::RuntimeNew);
    static const fw::ClassRecord& Lookup();

    void Layout();
    void CreateControls();
    void Event_Open();

    static const std::string& WindowTable();
};

// The shared default window, built on first use.
class InvisibleWnd& InvisibleWnd();

// Whole seconds since the tick counter started, as the splash reads them.
std::int32_t SplashSeconds();
