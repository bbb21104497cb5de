#pragma once
// The About window, also the start-up splash: the logo, the name, a notice
// and the wordmark. Any key or press in it brings up the calculator.

#include "Window.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class AboutWnd : public fw::Window {
public:
    explicit AboutWnd(fw::RuntimeNew);
    static const fw::ClassRecord& Lookup();

    void Layout();
    void CreateControls();
    void CreateControls0();
    bool Event_KeyDown(const QString& key);
    bool Event_MouseDown(std::int32_t x, std::int32_t y);

    static const std::string& WindowTable();
    static const std::vector<std::pair<QString, std::string>>& ControlTables();
};

// The shared About window, built on first use.
class AboutWnd& AboutWnd();
