#pragma once
// The class library's own classes in the class registry, and the identifier maps of values that
// definitions write by name. The registry registers them before its first use.
#include "platform/forms/ClassRegistry.h"

// TPersistent, TComponent (Name, Tag), TCollection, TCollectionItem, TStrings and TStringList
// (their lines as "Strings"), TFont (Charset, Color, Height, Name, Pitch, Size, Style) and their
// enumerations.
void RegisterStandardClasses();

// Colours by their cl* identifiers ("clBtnFace"); other values as numbers.
const TIdentMap& ColorIdents();
// Character sets by name ("DEFAULT_CHARSET").
const TIdentMap& CharsetIdents();
