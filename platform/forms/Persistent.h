#pragma once
// The roots of the class library's object model: TObject (a class with a registered name) and
// TPersistent (an object that can take over another's state with Assign and that form definitions
// can read and write).
#include <map>
#include <memory>
#include <string>
#include <vector>

class TFiler;

class TObject {
  public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The name the class is registered under ("TButton"); for a class that is not registered,
    // the name of its C++ type.
    std::string ClassName() const;
};

class TPersistent : public TObject {
  public:
    // Tells the free watches of this thread that the object goes.
    ~TPersistent() override;

    // Takes over the state of Source. The base asks Source to assign itself to this object
    // (AssignTo); when neither side knows the other, EConvertError "Cannot assign a TFoo to a
    // TBar" ("a nil" for no source).
    virtual void Assign(const TPersistent* Source);

    // The object's name in messages and designers: its owner's path and its own name.
    virtual std::string GetNamePath() const;

    // The name of the method an event property was bound to when it was read from a definition
    // (empty when none): the writer writes it back. Assigning a handler in code does not change
    // the recorded name; clearing it should (SetBoundMethodName with an empty name).
    std::string BoundMethodName(const std::string& EventName) const;
    void SetBoundMethodName(const std::string& EventName, const std::string& MethodName);

  protected:
    // Copies this object into Dest; the base raises the "cannot assign" error.
    virtual void AssignTo(TPersistent* Dest) const;
    // Declares values that are stored in definitions besides the published properties (see
    // TFiler::DefineProperty).
    virtual void DefineProperties(TFiler& Filer);
    // The object that owns this one (for GetNamePath); none at this level.
    virtual TPersistent* GetOwner() const { return nullptr; }

  private:
    friend class TFiler;
    // Event name -> method name; most objects have none, so the map is made on first use.
    std::unique_ptr<std::map<std::string, std::string>> FMethodNames;
};

// While it lives, Freed hears of every persistent object of this thread that is being destroyed
// (components, collection items, collections, sub-objects). The reader uses it to never touch an
// object that a setter or a Loaded freed while a definition is being read. Only the object's
// identity may be used then: its own parts are gone.
class TPersistentFreeWatch {
  public:
    TPersistentFreeWatch();
    virtual ~TPersistentFreeWatch();
    TPersistentFreeWatch(const TPersistentFreeWatch&) = delete;
    TPersistentFreeWatch& operator=(const TPersistentFreeWatch&) = delete;
    virtual void Freed(const TPersistent* Obj) = 0;
};
