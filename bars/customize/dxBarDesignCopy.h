#pragma once
// The design-time copy: the owner form's definition read again into a temporary form, for the
// bar manager alone, so that a bar or the usage record can go back to what the design declares.
//
// The copy's text is made from the definition's lines:
//   object TempForm: TdxBarTempForm
//     <the form's first two size lines: "  Width =", "  Height =", "  ClientWidth =",
//      "  ClientHeight =">
//     <the manager's block, "object <Name>: <Class>" through its "end", without event lines>
//   end
// An event line is one whose text after its indentation is "On" and an upper-case letter
// ("OnClick = ..."): the copy has no methods to bind them to. Properties that merely begin with
// "On" ("OneOnRow = True") are kept.
#include <optional>
#include <string>
#include <string_view>

#include "bars/model/dxBarCustomizing.h"

// Whether Line assigns an event handler (see the top of this file).
bool IsEventLine(std::string_view Line);
// Whether Line gives the manager one of its image lists, components of the form that a copy of
// the manager alone leaves out (its items need no pictures).
bool IsImageListLine(std::string_view Line);

// The copy's definition text for the manager Name of class ClassName in Definition; none when
// the manager's object is not in it.
std::optional<std::string> DesignTimeCopyText(std::string_view Definition, const std::string& Name,
                                              const std::string& ClassName);

// Reads the copy for Manager (see TdxBarManager::CreateDesignTimeCopy).
TCustomForm* CreateDesignTimeCopy(TdxBarManager& Manager);
