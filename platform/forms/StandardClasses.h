#pragma once
// The class library's own classes in the class registry, and the identifier maps of values that
// definitions write by name. The registry registers them before its first use.
#include "platform/classes/Classes.h"
#include "platform/forms/ClassRegistry.h"

class TFiler;

// TPersistent, TComponent (Name, Tag), TCollection, TCollectionItem, TStrings and TStringList
// (their lines as "Strings"), TFont (Charset, Color, Height, Name, Pitch, Size, Style) and their
// enumerations.
void RegisterStandardClasses();

// Declares a list's lines as "Strings = ( ... )" (string lists, and the items and lines that
// controls keep in their windows); reading replaces the lines.
void DefineStrings(TStrings& List, TFiler& Filer);

// Colours by their cl* identifiers ("clBtnFace"); other values as numbers.
const TIdentMap& ColorIdents();
// Character sets by name ("DEFAULT_CHARSET").
const TIdentMap& CharsetIdents();
