#pragma once
// The calculator window: three coefficient fields with their key filters,
// Compute and Clear, the result and its caption, the logo and Help presses,
// and the accessors of its menu bar's items.

#include "Menu.h"
#include "Window.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class ControlWnd : public fw::Window {
public:
    explicit ControlWnd(fw::RuntimeNew);
    static const fw::ClassRecord& Lookup();

    void Layout();
    void CreateControls();
    void CreateControls0();
    bool Canvas1_MouseDown(std::int32_t x, std::int32_t y);
    bool RxxFld_KeyDown(const QString& key);
    bool RyyFld_KeyDown(const QString& key);
    bool RxyFld_KeyDown(const QString& key);
    bool Help_MouseDown(std::int32_t x, std::int32_t y);
    bool ComputeCanvas_MouseDown(std::int32_t x, std::int32_t y);
    bool ClearCanvas_MouseDown(std::int32_t x, std::int32_t y);
    std::shared_ptr<fw::MenuItem> EditMenu();
    std::shared_ptr<fw::MenuItem> EditSelectAll();
    std::shared_ptr<fw::MenuItem> UntitledMenu0();
    std::shared_ptr<fw::MenuItem> EditClear();
    std::shared_ptr<fw::MenuItem> EditPaste();
    std::shared_ptr<fw::MenuItem> EditCopy();
    std::shared_ptr<fw::MenuItem> EditCut();
    std::shared_ptr<fw::MenuItem> UntitledMenu1();
    std::shared_ptr<fw::MenuItem> EditUndo();
    std::shared_ptr<fw::MenuItem> FileMenu();
    std::shared_ptr<fw::QuitMenuItem> FileQuit();
    void Event_Open();

    // The window's settings table and its controls' tables, in creation order.
    static const std::string& WindowTable();
    static const std::vector<std::pair<QString, std::string>>& ControlTables();

private:
    fw::EditField& Field(const char* name) const;
    bool Refuse(const char* field, const char* message);
    template <class T>
    std::shared_ptr<T> ItemNamed(const char* name) const;
};

// The shared calculator window, built on first use.
class ControlWnd& ControlWnd();

// Digits, ".", backspace and tab pass (and "-" where allowed); any other key
// beeps and is swallowed (true).
bool NumericKeyFilter(const QString& key, bool minusAllowed);
