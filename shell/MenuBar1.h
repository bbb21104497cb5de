#pragma once
// The program's one menu bar: File (Quit) and Edit (the standard editing
// commands). One instance serves the application and the calculator window.

#include "Menu.h"
#include "Window.h"

#include <memory>

class MenuBar1 : public fw::MenuBar {
public:
    static const fw::ClassRecord& Lookup();
    using fw::MenuItem::Lookup;  // the class record's accessor must not hide the search by name

    // Replaces the default constructor: builds the File menu, then the Edit menu.
    void Constructor();
    void Untitled0();
    void Untitled1();

    // The shared instance; nil before the first use and after its release.
    static std::shared_ptr<class MenuBar1> implicitInstance;
    // Releases the shared instance; the process's last finaliser.
    static void implicitInstanceExit();
};

// The shared menu bar, built on first use.
std::shared_ptr<class MenuBar1> MenuBar1();
