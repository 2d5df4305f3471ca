#include "lister/sign_in/print_kept.h"

#include "lister/console/text_rules.h"

namespace tarnvale::lister {

void PrintKept(Output& out, const KeptShortcut& kept)
{
    out.Text("text ").Bracketed(kept.fields.text).Line();
    if (kept.fields.program.empty())
        out.Text("  starts no program").Line();
    else
        out.Text("  starts ").Unbracketed(kept.fields.program).Text(" if need be").Line();
    if (kept.fields.place.known) {
        out.Text("  puts it ");
        PrintPlace(out, kept.fields.place);
        out.Line();
    }
    if (HowTyped(kept.fields.text) == Typing::Fine)
        PrintCommand(out, L"tarnvale-list.exe --forget", kept.fields.text);
    else
        out.Text("  no command line for its text: switch it off in Task Manager's Startup tab,")
            .Line().Text("  or delete the shortcut itself:").Line()
            .Text("  ").Unbracketed(kept.path).Line();
    out.Line();
}

void PrintPlace(Output& out, const WindowPlace& place)
{
    const auto signedNumber = [&](long value) {
        if (value < 0)
            out.Text("-");
        out.Number(static_cast<unsigned>(value < 0 ? -value : value));
    };
    out.Text("at ");
    signedNumber(place.rect.left);
    out.Text(",");
    signedNumber(place.rect.top);
    out.Text(", ").Number(static_cast<unsigned>(place.rect.Width())).Text(L"\u00D7")
        .Number(static_cast<unsigned>(place.rect.Height()));
    if (place.maximized)
        out.Text(", maximized");
}

}  // namespace tarnvale::lister
