#pragma once
// A form that holds a bar manager for the tests: read from a definition the program's resources
// hold (the main window's bar manager), or made in code.
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "bars/customize/dxBarDesignCopy.h"
#include "bars/dxBar.h"
#include "platform/forms/Filer.h"
#include "platform/forms/FormDefinitions.h"
#include "platform/widgets/Forms.h"

class TBarsForm {
  public:
    // An empty form with a manager made in code.
    TBarsForm() : FForm(MakeForm()) { new TdxBarManager(FForm); }
    // A form filled from the definition of ClassName (its manager and items).
    static TBarsForm FromDefinition(const std::string& ClassName) {
        TBarsForm Result(MakeForm());
        const auto Definition = FindFormDefinition(ClassName);
        if (!Definition) throw std::runtime_error("no definition for " + ClassName);
        ReadComponentFromText(BarManagerPart(Definition->Text), Result.FForm, Definition->Origin);
        return Result;
    }
    ~TBarsForm() {
        if (FForm) FForm->Free();
    }
    TBarsForm(TBarsForm&& Other) noexcept : FForm(Other.FForm) { Other.FForm = nullptr; }
    TBarsForm(const TBarsForm&) = delete;
    TBarsForm& operator=(const TBarsForm&) = delete;

    TForm* Form() const { return FForm; }
    TdxBarManager* Manager() const { return BarManagerOfForm(FForm); }
    template <class T>
    T* Find(const std::string& Name) const {
        return dynamic_cast<T*>(FForm->FindComponent(Name));
    }
    TdxBarButton* Button(const std::string& Name) const { return Find<TdxBarButton>(Name); }
    // A new item of the form with a caption.
    template <class T = TdxBarButton>
    T* NewItem(const std::string& Caption = {}) const {
        auto* Item = new T(FForm);
        Item->SetCaption(Caption);
        return Item;
    }
    // A new bar with links to the items.
    TdxBar* NewBar(const std::string& Caption, std::initializer_list<TdxBarItem*> Items) const {
        TdxBar* Bar = Manager()->Bars()->Add();
        Bar->SetCaption(Caption);
        for (TdxBarItem* Item : Items) Bar->ItemLinks()->Add()->SetItem(Item);
        return Bar;
    }

  private:
    explicit TBarsForm(TForm* Form) : FForm(Form) {}
    // The window's definition with its bar manager alone, without the event handlers of its
    // items: the window's other components and its handlers belong to the application.
    static std::string BarManagerPart(const std::string& Text) {
        std::istringstream In(Text);
        std::string Line;
        std::getline(In, Line);
        std::string Part = Line + "\n";
        bool Inside = false;
        while (std::getline(In, Line)) {
            if (!Line.empty() && Line.back() == '\r') Line.pop_back();
            if (!Inside) {
                Inside =
                    Line.rfind("  object ", 0) == 0 && Line.find(": TdxBarManager") != Line.npos;
                if (!Inside) continue;
            }
            // Nor does a test keep a layout for the next one.
            const bool Storage = Line.find("StoreInRegistry = ") != Line.npos ||
                                 Line.find("StoreInIniFile = ") != Line.npos;
            if (IsEventLine(Line) || IsImageListLine(Line) || Storage) continue;
            Part += Line + "\n";
            if (Line == "  end") break;
        }
        return Part + "end\n";
    }
    static TForm* MakeForm() {
        RegisterBarClasses();
        return CreateForm<TForm>(nullptr);
    }
    TForm* FForm;
};
