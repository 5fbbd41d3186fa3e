#pragma once
// The information box: the product, its version and the maker, with links to the product's page,
// the support address and the pages of two point programs.
#include "platform/widgets/Forms.h"
#include "platform/widgets/StdCtrls.h"

class TStVersionInfo;

class TAboutBox : public TForm {
  public:
    using TForm::TForm;

    TLabel* VersionLabel = nullptr;
    TStVersionInfo* VersionInfo = nullptr;

    void FormCreate(TObject* Sender);
};
