#pragma once
// The customizing dialog over the main window's bars while the form is in a designer's hands:
// the dialog's designer pages and popups and the editors they open.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/bars/CustomizeTestSupport.h"

namespace BarTest {

struct DesignTime : Customize {
    DesignTime() { Form()->SetDesigning(true); }
    ~DesignTime() override {
        ShowCustomizingForm(Manager(), false);
        Form()->SetDesigning(false);
    }
    TForm* Form() { return Bars.Bars.Form(); }
    // Runs an operation that shows a modal dialog; Steps act on it while its loop runs.
    void WithDialog(const std::function<void()>& Operation,
                    std::vector<std::function<void()>> Steps) {
        WithNameDialog(Operation, std::move(Steps));
    }
    std::vector<std::string> Names(const std::vector<TdxBarItem*>& Items) {
        std::vector<std::string> Out;
        for (TdxBarItem* Item : Items) Out.push_back(Item->Name());
        return Out;
    }
    std::vector<std::string> CategoryItems(int Category) {
        std::vector<TdxBarItem*> Items;
        Manager()->GetItemsByCategory(Category, Items);
        return Names(Items);
    }
};

}  // namespace BarTest
