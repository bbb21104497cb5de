#pragma once
// The help window: one editable, scrolling text field holding the help text.

#include "Window.h"

#include <string>
#include <string_view>

class helpWnd : public fw::Window {
public:
    explicit helpWnd(fw::RuntimeNew);
    static const fw::ClassRecord& Lookup();

    void Layout();
    void CreateControls();
    void CreateControls0();

    // The help text as UTF-8, lines joined by CR.
    static std::string_view HelpText();
    static const std::string& WindowTable();
    static const std::string& EditField1Table();
};

// The shared help window, built on first use.
class helpWnd& helpWnd();
