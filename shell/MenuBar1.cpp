#include "MenuBar1.h"

#include "Exceptions.h"

#include <optional>

std::shared_ptr<class MenuBar1> MenuBar1::implicitInstance;

namespace {

// One item: created, constructed, named, enabled by the framework, captioned
// and given its shortcut (never for a separator).
template <class T>
fw::MenuItemRef MakeItem(const char* name, const char* text, std::optional<const char*> shortcut)
{
    auto item = std::make_shared<T>();
    item->Constructor();
    item->Name(QString::fromUtf8(name));
    item->AutoEnable(true);
    item->Text(QString::fromUtf8(text));
    if (shortcut)
        item->KeyboardShortcut(QString::fromUtf8(*shortcut));
    return item;
}

// An entry goes into its menu, looked up by name afresh each time.
void AppendTo(fw::MenuItem& bar, const char* menuName, fw::MenuItemRef entry)
{
    fw::MenuItemRef menu = bar.Child(QString::fromUtf8(menuName));
    if (!menu)
        fw::RaiseNilObjectException(std::string("NilObjectException: no menu ") + menuName);
    menu->Append(std::move(entry));
}

}  // namespace

const fw::ClassRecord& MenuBar1::Lookup()
{
    static const fw::ClassRecord record = [] {
        fw::ClassRecord r;
        r.fullName = "MenuBar1.MenuBar1";
        r.parent = "MenuBar";
        r.operations = {"Enable",    "Close",   "Item",        "Count",       "Child",      "Append",
                        "Insert",    "Remove",  "Remove",      "Remove",      "_Lookup",    "_Lookup",
                        "MenuItem",  "Constructor", "PopUp",   "PopUp",       "_Swap",      "_DisableEntirely",
                        "_SelfEnable", "MenuItem", "Constructor", "_InstallClone", "__DependencyList",
                        "Untitled0", "Untitled1"};
        for (const char* m : {"Untitled0", "Untitled1", "Constructor"})
            r.members.push_back({m, "()", {{"__Scope", "Public"}}});
        r.attributes = {{"__Scope", "Public"}};
        return r;
    }();
    return record;
}

void MenuBar1::Constructor()
{
    Untitled0();
    Untitled1();
}

void MenuBar1::Untitled0()
{
    Append(MakeItem<fw::MenuItem>("FileMenu", "&File", ""));
    AppendTo(*this, "FileMenu", MakeItem<fw::QuitMenuItem>("FileQuit", "Quit", "Cmd+Q"));
}

void MenuBar1::Untitled1()
{
    Append(MakeItem<fw::MenuItem>("EditMenu", "&Edit", ""));
    AppendTo(*this, "EditMenu", MakeItem<fw::MenuItem>("EditUndo", "&Undo", "Cmd+Z"));
    AppendTo(*this, "EditMenu", MakeItem<fw::MenuItem>("UntitledMenu1", "-", std::nullopt));
    AppendTo(*this, "EditMenu", MakeItem<fw::MenuItem>("EditCut", "Cu&t", "Cmd+X"));
    AppendTo(*this, "EditMenu", MakeItem<fw::MenuItem>("EditCopy", "&Copy", "Cmd+C"));
    AppendTo(*this, "EditMenu", MakeItem<fw::MenuItem>("EditPaste", "&Paste", "Cmd+V"));
    AppendTo(*this, "EditMenu", MakeItem<fw::MenuItem>("EditClear", "Clear", ""));
    AppendTo(*this, "EditMenu", MakeItem<fw::MenuItem>("UntitledMenu0", "-", std::nullopt));
    AppendTo(*this, "EditMenu", MakeItem<fw::MenuItem>("EditSelectAll", "Select &All", "Cmd+A"));
}

void MenuBar1::implicitInstanceExit()
{
    implicitInstance.reset();
}

std::shared_ptr<class MenuBar1> MenuBar1()
{
    if (!MenuBar1::implicitInstance) {
        (void)MenuBar1::Lookup();
        auto bar = std::make_shared<class MenuBar1>();
        bar->Constructor();  // stored only once it is complete
        MenuBar1::implicitInstance = bar;
    }
    return MenuBar1::implicitInstance;
}
