#pragma once
// The control units' component base and their abstract section/item store.
#include <cstdint>
#include <string>
#include <type_traits>

#include "platform/forms/Component.h"

// Base of the control units' components: publishes the read-only About.
class TOvcComponent : public TComponent {
  public:
    using TComponent::TComponent;
    std::string About() const { return "v4.02"; }
    // Stored forms carry the value; writing it changes nothing.
    void SetAbout(const std::string&) {}
};

// Texts by section and item. Opening nests: only the first Open reads the data and only the
// Close that ends the last one writes it back; a Close without an Open does nothing.
class TOvcAbstractStore : public TOvcComponent {
  public:
    using TOvcComponent::TOvcComponent;

    void Open();
    void Close();
    int OpenCount() const { return FOpenCount; }

    virtual std::string ReadString(const std::string& Section, const std::string& Item,
                                   const std::string& Default) = 0;
    virtual void WriteString(const std::string& Section, const std::string& Item,
                             const std::string& Value) = 0;
    virtual void EraseSection(const std::string& Section);

    // The text read as a decimal number; Default when there is none or it is not one.
    int32_t ReadInteger(const std::string& Section, const std::string& Item, int32_t Default);
    void WriteInteger(const std::string& Section, const std::string& Item, int32_t Value);

  protected:
    virtual void DoOpen() = 0;
    virtual void DoClose() = 0;

  private:
    int FOpenCount = 0;
};

// A decimal number with an optional sign that fits 32 bits, else Default.
int32_t StrToIntDef(const std::string& Text, int32_t Default);

// Runs Fn with the store open and closes it again, also when Fn fails (Fn's error is the one
// that passes on then).
template <class F>
auto WithStoreOpen(TOvcAbstractStore& Store, F&& Fn) -> decltype(Fn()) {
    Store.Open();
    try {
        if constexpr (std::is_void_v<decltype(Fn())>) {
            Fn();
            Store.Close();
        } else {
            auto Result = Fn();
            Store.Close();
            return Result;
        }
    } catch (...) {
        if (Store.OpenCount() > 0) {
            try {
                Store.Close();
            } catch (...) {
            }
        }
        throw;
    }
}
