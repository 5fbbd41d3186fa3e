#include "platform/forms/Errors.h"

namespace {

std::string Describe(const std::string& What, TTextPos Pos, const std::string& Origin) {
    std::string Text = Origin.empty() ? What : Origin + ": " + What;
    if (Pos.Line > 0)
        Text += " at line " + std::to_string(Pos.Line) + ", column " + std::to_string(Pos.Column);
    return Text;
}

}  // namespace

EFormReadError::EFormReadError(const std::string& What, TTextPos Pos, const std::string& Origin)
    : EReadError(Describe(What, Pos, Origin)), FWhat(What), FPos(Pos), FOrigin(Origin) {}
