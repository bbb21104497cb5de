#pragma once
// Start-up and close-down: the application object, the class records, the
// main routine with its one catch-all, and the finalisers.

#include "Runtime.h"
#include "Window.h"

class App : public fw::Application {
public:
    static const fw::ClassRecord& Lookup();
};

// Builds the class record of every class, the framework's first.
void initialize();
// The main routine: the start-up steps and the event loop, inside the one
// catch-all that reports an escaped exception.
void Main();
void InitFileTypes();
void NewAppInstance();
void ApplicationAddMenuHandlers();
void MakeDefaultView();
// The framework's window registries, then the shared menu bar, last.
void finalize();
