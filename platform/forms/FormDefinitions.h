#pragma once
// Where definitions come from: the program's resources (the files of resources/forms/, compiled in
// under ":/forms/", each found by the class its header names) and files given by path.
#include <optional>
#include <string>

#include "platform/forms/Component.h"

struct TFormDefinition {
    std::string Text;
    // The resource or file it came from, for messages.
    std::string Origin;
};

// The definition the resources hold for that class (compared without regard to case), or none.
std::optional<TFormDefinition> FindFormDefinition(const std::string& ClassName);

// Reads into Instance the definitions its classes have in the resources, the most basic class
// first (see TReader for the reading and its errors); the text of the one named after Instance's
// own class becomes its DefinitionText. False, and nothing read, when none has a definition.
bool InitInheritedComponent(TComponent* Instance);

// Reads the definition in the file (at most FormsLimits::kMaxDefinitionSize bytes) into Instance,
// or into a new root when Instance is none; returns the root. EFOpenError when the file cannot be
// opened, EFormReadError (with the file's name) when it cannot be read.
TComponent* ReadComponentResFile(const std::string& FileName, TComponent* Instance);
