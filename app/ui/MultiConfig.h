#pragma once
// The multi-start chooser ("Mehrere Accounts starten"): lists the box files of the program
// directory and queues every selected one.
#include <functional>
#include <string>

#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/ImgList.h"
#include "platform/widgets/StdCtrls.h"

class TOvcAbstractStore;

class TFormMultiConfig : public TForm {
  public:
    using TForm::TForm;

    TListView* FileView = nullptr;
    // Where the boxes are listed from: the program directory unless set before creation.
    static inline std::string Directory;
    // Queues one box; the scheduler's queueing unless replaced.
    std::function<void(const std::string& FileName)> Queue;

    void FormCreate(TObject* Sender);
    void ButtonViewClick(TObject* Sender);
    // Queues the selected rows' files in the order the list shows them.
    void ButtonOkClick(TObject* Sender);
};

// Shows the chooser modally over the box files of Dir; Store keeps the window's place (may be
// null). True when it was left with OK, whether or not a box was selected: the caller then starts
// the run, which also queues the window's own box.
bool ExecuteMultiConfig(const std::string& Dir, TOvcAbstractStore* Store = nullptr);

void RegisterMultiConfigClasses();
