#pragma once
// Exceptions of the component model and of form definitions.
#include <string>

#include "platform/classes/Exception.h"

// A value cannot become another type (Assign between unrelated classes).
class EConvertError : public Exception {
  public:
    using Exception::Exception;
};

// A component name is not an identifier or is taken by another component of the same owner.
class EComponentError : public Exception {
  public:
    using Exception::Exception;
};

// Where in a definition text something went wrong: 1-based line and column (bytes), 0 when the
// place is not known. Origin names the text (a resource or a file), empty when it has no name.
struct TTextPos {
    int Line = 0;
    int Column = 0;
};

// A definition could not be read: the message says what and where ("Class TFoo not found at
// line 3, column 10"). Everything the failed read created has been freed when it arrives.
class EFormReadError : public EReadError {
  public:
    EFormReadError(const std::string& What, TTextPos Pos, const std::string& Origin = {});
    const std::string& What() const { return FWhat; }
    TTextPos Pos() const { return FPos; }
    int Line() const { return FPos.Line; }
    int Column() const { return FPos.Column; }
    const std::string& Origin() const { return FOrigin; }

  private:
    std::string FWhat;
    TTextPos FPos;
    std::string FOrigin;
};

// The text is not a well-formed definition (a missing token, a cut-off text, a limit exceeded).
class EParserError : public EFormReadError {
  public:
    using EFormReadError::EFormReadError;
};

// The definition names a class that is not registered.
class EClassNotFound : public EFormReadError {
  public:
    using EFormReadError::EFormReadError;
};

// A component tree cannot be written as a definition (a value the text form cannot hold).
class EFormWriteError : public EWriteError {
  public:
    using EWriteError::EWriteError;
};
