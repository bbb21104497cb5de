#include "HelpWnd.h"

#include "Tables.h"

namespace {

// Lines are joined by CR, the system's line break.
const char kHelpText[] =
    "Tolvane\r"
    "\r"
    "A difference score is obtained by subtracting one test score from another test score. For example, a student's IQ test score and Reading test score. This might be interpreted as the difference between ability and achievement.\r"
    "\r"
    "A difference score is, like the test scores from which it was calculated, unreliable to some extent. Its reliability will be a function of the reliability of the tests used in its computation and the correlation between the scores from the two tests used in its computation as per: Rd = (.5 (Rxx + Ryy) - Rxy) \xC3\xB7" " 1 - Rxy.\r"
    "\r"
    "\r"
    "\r"
    "Reference: for the theory of difference scores and their reliability, see a standard textbook on measurement, for example R. L. Thorndike and R. M. Thorndike-Christ, Measurement and Evaluation in Psychology and Education, 8th edition, Boston: Pearson, 2010, or J. C. Nunnally and I. H. Bernstein, Psychometric Theory, 3rd edition, New York: McGraw-Hill, 1994.\r"
    "\r"
    "Terms of use: Tolvane may be used free of charge for study, teaching, research and professional practice. It may be copied and passed on unchanged, together with this text. It keeps no records, needs no network connection and sends nothing anywhere at any time: the numbers typed in stay on this computer and are gone when the window is closed.\r"
    "\r"
    "How to cite: Tembrisk (2026). Tolvane: reliability of difference scores (version 1.0) [Computer software]. Please name the program and its version whenever a reliability computed with it is reported in a paper or in a report.\r"
    "\r"
    "Disclaimer: Tolvane is provided as is, without warranty of any kind. The result is only as good as the coefficients typed in; check them against the two test manuals, and interpret any difference score in the light of its reliability and of everything else that is known about the person tested. A low reliability means that a large difference between two scores may well be due to chance alone, so decisions about a person should never rest on this number by itself.";

}  // namespace

helpWnd::helpWnd(fw::RuntimeNew) : fw::Window(Lookup()) {}

const fw::ClassRecord& helpWnd::Lookup()
{
    static const fw::ClassRecord record = [] {
        fw::ClassRecordBuilder<class helpWnd> b("helpWnd");
        b.Operation("Layout").Operation("CreateControls").Operation("_CreateControls0", "()", true);
        b.Member("EditField1", "( String ) as EditField");
        b.Handles("Layout", "Layout", &helpWnd::Layout).Handles("CreateControls", "CreateControls", &helpWnd::CreateControls);
        return b.Build();
    }();
    return record;
}

std::string_view helpWnd::HelpText()
{
    return {kHelpText, sizeof kHelpText - 1};
}

const std::string& helpWnd::WindowTable()
{
    static const std::string table = [] {
        fw::WindowSettings s;
        s.placement = 3;
        s.width = 550;
        s.height = 500;
        s.title = "Vantrel Info";
        s.resizeable = false;
        s.maximizeButton = false;
        return s.Encode();
    }();
    return table;
}

const std::string& helpWnd::EditField1Table()
{
    static const std::string table = [] {
        fw::EditFieldSettings s;
        s.name = "EditField1";
        s.left = -1;
        s.top = -1;
        s.width = 551;
        s.height = 498;
        s.tabIndex = 0;
        s.multiline = true;
        s.scrollbarVertical = true;
        s.textSize = 12;
        s.text = std::string(HelpText());
        return s.Encode();
    }();
    return table;
}

void helpWnd::Layout()
{
    fw::SetProperties(*this, WindowTable());
}

void helpWnd::CreateControls()
{
    CreateControls0();
}

void helpWnd::CreateControls0()
{
    CreateControl<fw::EditField>("EditField1", EditField1Table());
}

class helpWnd& helpWnd()
{
    return fw::ImplicitInstance<class helpWnd>();
}
