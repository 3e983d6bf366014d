// Writes a man page with the lists the method table makes put in where the
// page names them ({{OPTION_BUTTONS}}, {{MODE_LIST}}, {{LAST_MODE}}, {{LIMIT_MODES}},
// {{HOLD_LIST}}, {{TRACE_SPEED}}, {{TRACE_ANGLE}}, {{TRACE_TURN}}), so the
// installed pages list every method as the program has it.
// Usage: homing-man-lists IN OUT

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "Help.h"
#include "Methods.h"

namespace {

/// A sentence of the man page: its first letter a capital, a full stop after it.
std::string Sentence(std::string text)
{
    text[0] = char(std::toupper(static_cast<unsigned char>(text[0])));
    return text + ".";
}

std::string OptionButtons()
{
    std::string text;
    for (const Method& method : Methods)
        if (*method.Caption)
            text += std::string(".TP\n.B ") + method.Caption + "\n" + method.Name + ": " + method.Description + ".\n";
    text.pop_back(); // the page's own line end follows
    return text;
}

void Replace(std::string& text, const std::string& name, const std::string& part)
{
    for (std::size_t at; (at = text.find("{{" + name + "}}")) != std::string::npos;)
        text.replace(at, name.size() + 4, part);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: homing-man-lists IN OUT\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1]);
    std::stringstream page;
    page << in.rdbuf();
    if (!in) {
        std::fprintf(stderr, "homing-man-lists: cannot read %s\n", argv[1]);
        return 2;
    }
    std::string text = page.str();
    Replace(text, "OPTION_BUTTONS", OptionButtons());
    Replace(text, "MODE_LIST", ModeList());
    Replace(text, "LIMIT_MODES", LimitModes());
    Replace(text, "LAST_MODE", std::to_string(SteeringModeCount - 1));
    Replace(text, "HOLD_LIST", HoldList());
    Replace(text, "TRACE_SPEED", Sentence(TraceColumnText(&Shot::Speed)));
    Replace(text, "TRACE_ANGLE", Sentence(TraceColumnText(&Shot::Angle)));
    Replace(text, "TRACE_TURN", Sentence(TraceColumnText(&Shot::Turn)));
    if (text.find("{{") != std::string::npos) {
        std::fprintf(stderr, "homing-man-lists: %s names a list it does not know\n", argv[1]);
        return 2;
    }
    std::ofstream out(argv[2]);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "homing-man-lists: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
